#include "sound/sound_choice.h"

#include "store/settings.h"

constexpr int MESSAGE_CHARS = MAX_PATH + 120;

void default_sound_path(LPCWSTR default_name, LPWSTR path) {
    swprintf(path, MAX_PATH, L"%ls\\sounds\\%ls", Folders.InstallFolder, default_name);
}

// One byte read: a folder, a missing file and an empty one all fail here,
// before the sound library spends its retries on them.
bool sound_file_usable(LPCWSTR path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BYTE first = 0;
    DWORD read = 0;
    bool usable = ReadFile(file, &first, 1, &read, nullptr) && read == 1;
    CloseHandle(file);
    return usable;
}

bool choose_sound(HWND owner, LPCWSTR chosen, LPCWSTR default_name, LPCWSTR missing_format, LPWSTR path) {
    WCHAR fallback[MAX_PATH];
    default_sound_path(default_name, fallback);
    bool own = chosen && chosen[0] && wcscmp(chosen, default_name) != 0;
    if (own && sound_file_usable(chosen)) {
        plat::copy_wide(path, MAX_PATH, chosen);
        return true;
    }
    plat::copy_wide(path, MAX_PATH, fallback);
    if (sound_file_usable(fallback)) return true;
    WCHAR text[MESSAGE_CHARS];
    swprintf(text, MESSAGE_CHARS, missing_format, fallback);
    MessageBoxW(owner, text, L"Error", MB_ICONERROR);
    return false;
}
