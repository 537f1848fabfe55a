#include "sound/chime_sound.h"

#include "store/settings.h"

bool choose_chime_sound(HWND owner, LPWSTR path) {
    WCHAR fallback[MAX_PATH];
    swprintf(fallback, MAX_PATH, L"%ls\\sounds\\%ls", Folders.InstallFolder, DEFAULT_CHIME_SOUND);
    bool own = Settings.ChimeSound[0] && wcscmp(Settings.ChimeSound, DEFAULT_CHIME_SOUND) != 0;
    plat::copy_wide(path, MAX_PATH, own ? Settings.ChimeSound : fallback);
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return true;
    plat::copy_wide(path, MAX_PATH, fallback);
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return true;
    WCHAR text[MAX_PATH + 100];
    swprintf(text, MAX_PATH + 100, L"Can't find the chime sound file %ls.  Please select a valid sound file.", fallback);
    MessageBoxW(owner, text, L"Error", MB_ICONERROR);
    return false;
}
