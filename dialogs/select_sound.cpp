// Select Sound: every sound file (or playlist) in the documents folder and on
// the storage cards, in one sorted list; the one chosen is answered by path.
#include "dialogs/browse_search.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "resources/dialog_resources.h"
#include "sound/song_list.h"

BrowserChoice Browsers;

namespace {

constexpr int COLUMN_WIDTH = 240;
constexpr int ICON_SIZE = 16;

// The files found, in the order found: each entry's Path and OnCard (set for
// a file outside the documents folder).
struct FileSearch {
    SongNode *head;
    SongNode *tail;
    int count;
    const SearchRoots *roots;
};

struct SoundBrowser {
    HWND list;
    HIMAGELIST icons;
    SongNode *files;
};

SoundBrowser Sounds;

void add_found_file(void *context, LPCWSTR folder, LPCWSTR name) {
    auto *search = static_cast<FileSearch *>(context);
    WCHAR path[MAX_PATH];
    if (!browse_name_matches(Browsers.sound_mode, name) || search->count >= SONG_LIST_MAX) return;
    if (swprintf(path, MAX_PATH, L"%ls\\%ls", folder, name) < 0) return;
    SongNode *node = new_song_node(path);
    if (!node) return;
    node->OnCard = path_is_under(path, search->roots->paths[0]) ? 0 : 1;
    if (search->tail)
        search->tail->Next = node;
    else
        search->head = node;
    search->tail = node;
    search->count++;
}

SongNode *find_sound_files(void) {
    SearchRoots roots;
    find_search_roots(&roots);
    FileSearch search = {nullptr, nullptr, 0, &roots};
    search_folders(&roots, add_found_file, &search);
    return search.head;
}

void free_files(void) {
    FreeSongList(Sounds.files);
    Sounds.files = nullptr;
}

HWND make_list(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    HWND list = CreateWindowExW(0, WC_LISTVIEW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | LVS_REPORT |
                                    LVS_SINGLESEL | LVS_SORTASCENDING | LVS_NOCOLUMNHEADER,
                                0, 0, int(client.right), int(client.bottom), dialog,
                                reinterpret_cast<HMENU>(IDC_SOUND_LIST), nullptr, nullptr);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = COLUMN_WIDTH;
    column.pszText = const_cast<LPWSTR>(Browsers.sound_mode == BROWSE_PLAYLISTS ? L"Playlists" : L"Sounds");
    if (SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)) < 0)
        MessageBoxW(nullptr, L"Failed to insert column", L"Error", MB_OK | MB_ICONEXCLAMATION);
    return list;
}

// Image 0 marks a file in the documents folder, image 1 one on a card.
HIMAGELIST make_icons(HWND list) {
    HIMAGELIST icons = ImageList_Create(ICON_SIZE, ICON_SIZE, ILC_COLOR, 1, 1);
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_SOUND_ICONS));
    if (icons && bitmap) ImageList_Add(icons, bitmap, nullptr);
    if (bitmap) DeleteObject(bitmap);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    return icons;
}

// O(n log n) in the files: each goes to its sorted place.
void fill_list(HWND list, SongNode *files) {
    for (SongNode *file = files; file; file = file->Next) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = 0;
        item.pszText = const_cast<LPWSTR>(last_component(file->Path));
        item.iImage = file->OnCard;
        item.lParam = reinterpret_cast<LPARAM>(file);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    LVITEMW first = {};
    first.state = first.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, 0);
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
}

void on_init(HWND dialog) {
    if (!start_full_screen(dialog, IDB_SELECT_CANCEL)) {
        EndDialog(dialog, -1);
        return;
    }
    Sounds.list = make_list(dialog);
    Sounds.icons = make_icons(Sounds.list);
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    Sounds.files = find_sound_files();
    SetCursor(old);
    fill_list(Sounds.list, Sounds.files);
    SetForegroundWindow(dialog);
    SetFocus(Sounds.list);
}

void on_select(HWND dialog) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = int(SendMessageW(Sounds.list, LVM_GETSELECTIONMARK, 0, 0));
    if (item.iItem < 0 || !SendMessageW(Sounds.list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return;
    auto *file = reinterpret_cast<SongNode *>(item.lParam);
    if (!file) return;
    swprintf(Browsers.sound_path, MAX_PATH, L"%ls", file->Path);
    free_files();
    EndDialog(dialog, IDOK);
}

void on_destroy(void) {
    // Also when the program quits with the browser open.
    free_files();
    if (Sounds.list) DestroyWindow(Sounds.list);
    ImageList_Destroy(Sounds.icons);
    Sounds = {};
}

INT_PTR select_sound_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDC_SELECT || LOWORD(wparam) == IDOK) on_select(dialog);
            if (LOWORD(wparam) == IDCANCEL) {
                free_files();
                EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR *>(lparam)->code == NM_RETURN) on_select(dialog);
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE && lparam == 0 && Sounds.list) SetFocus(Sounds.list);
            return TRUE;
        case WM_DESTROY:
            on_destroy();
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_select_sound(HWND owner, int mode) {
    Browsers.sound_mode = mode;
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SELECT_SOUND), owner, select_sound_proc, 0);
}
