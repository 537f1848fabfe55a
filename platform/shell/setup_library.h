// The phone's installer and a package's setup library: the four entries the
// installer looks up by name and calls around copying and removing the
// package's files.
#pragma once

#include "platform/core/types.h"

enum codeINSTALL_INIT { codeINSTALL_INIT_CONTINUE = 0, codeINSTALL_INIT_CANCEL };
enum codeINSTALL_EXIT { codeINSTALL_EXIT_DONE = 0, codeINSTALL_EXIT_UNINSTALL };
enum codeUNINSTALL_INIT { codeUNINSTALL_INIT_CONTINUE = 0, codeUNINSTALL_INIT_CANCEL };
enum codeUNINSTALL_EXIT { codeUNINSTALL_EXIT_DONE = 0 };

// What a setup library exports: C names, visible outside the library.
#define SETUP_EXPORT extern "C" __attribute__((visibility("default")))

typedef codeINSTALL_INIT (*pfnINSTALL_INIT)(HWND parent, BOOL first_call, BOOL previously_installed,
                                            LPCWSTR install_dir);
typedef codeINSTALL_EXIT (*pfnINSTALL_EXIT)(HWND parent, LPCWSTR install_dir, WORD failed_dirs, WORD failed_files,
                                            WORD failed_reg_keys, WORD failed_reg_values, WORD failed_shortcuts);
typedef codeUNINSTALL_INIT (*pfnUNINSTALL_INIT)(HWND parent, LPCWSTR install_dir);
typedef codeUNINSTALL_EXIT (*pfnUNINSTALL_EXIT)(HWND parent);

#define szINSTALL_INIT "Install_Init"
#define szINSTALL_EXIT "Install_Exit"
#define szUNINSTALL_INIT "Uninstall_Init"
#define szUNINSTALL_EXIT "Uninstall_Exit"
