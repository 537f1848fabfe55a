// Choose Folder: every folder that holds a sound file, as a tree under the
// documents folder and the storage cards; the one chosen is answered by path.
#include "dialogs/browse_search.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "dialogs/folder_tree.h"
#include "resources/dialog_resources.h"

namespace {

constexpr int FOLDER_ICON_WIDTH = 16;
constexpr int FOLDER_ICON_HEIGHT = 15;
constexpr int OPEN_FOLDER = 0;
constexpr int CLOSED_FOLDER = 1;
constexpr COLORREF FOLDER_KEY = RGB(0, 255, 0);

struct FolderBrowser {
    HWND bar;
    HWND tree;
    HIMAGELIST icons;
    FolderNode *folders;
};

FolderBrowser FolderBrowse;

// Files of one folder come one after another, so the folder is added at its
// first sound file only.
struct TreeSearch {
    FolderNode *top;
    WCHAR last_added[MAX_PATH];
};

void add_sound_folder(void *context, LPCWSTR folder, LPCWSTR name) {
    auto *search = static_cast<TreeSearch *>(context);
    if (!browse_name_matches(BROWSE_SOUNDS, name) || wcscmp(search->last_added, folder) == 0) return;
    swprintf(search->last_added, MAX_PATH, L"%ls", folder);
    folder_tree_add(&search->top, folder);
}

FolderNode *find_sound_folders(void) {
    SearchRoots roots;
    find_search_roots(&roots);
    TreeSearch search = {nullptr, L""};
    search_folders(&roots, add_sound_folder, &search);
    return search.top;
}

// The tree goes without images when they cannot be had.
HIMAGELIST make_icons(HWND tree) {
    HIMAGELIST icons = ImageList_Create(FOLDER_ICON_WIDTH, FOLDER_ICON_HEIGHT, ILC_COLOR | ILC_MASK, 2, 0);
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_FOLDER_ICONS));
    int added = icons && bitmap ? ImageList_AddMasked(icons, bitmap, FOLDER_KEY) : -1;
    if (bitmap) DeleteObject(bitmap);
    if (added >= 0 && ImageList_GetImageCount(icons) >= 2)
        SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    return icons;
}

void insert_nodes(HWND tree, HTREEITEM parent, const FolderNode *first) {
    for (const FolderNode *node = first; node; node = node->next) {
        TVINSERTSTRUCTW in = {};
        in.hParent = parent;
        in.hInsertAfter = TVI_LAST;
        in.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        in.item.pszText = const_cast<LPWSTR>(node->name);
        in.item.iImage = in.item.iSelectedImage = CLOSED_FOLDER;
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&in)));
        if (item) insert_nodes(tree, item, node->child);
    }
}

void enable_select(bool on) {
    SendMessageW(FolderBrowse.bar, TB_ENABLEBUTTON, IDC_SELECT, MAKELONG(on ? TRUE : FALSE, 0));
}

void on_init(HWND dialog) {
    FolderBrowse.bar = start_full_screen(dialog, IDB_SELECT_CANCEL);
    Browsers.folder_path[0] = L'\0';
    FolderBrowse.tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
    FolderBrowse.icons = make_icons(FolderBrowse.tree);
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    FolderBrowse.folders = find_sound_folders();
    SetCursor(old);
    insert_nodes(FolderBrowse.tree, TVI_ROOT, FolderBrowse.folders);
    enable_select(false);
}

HTREEITEM tree_next(HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(FolderBrowse.tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void item_text(HTREEITEM item, LPWSTR out) {
    TVITEMW it = {};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = out;
    it.cchTextMax = MAX_PATH;
    out[0] = L'\0';
    SendMessageW(FolderBrowse.tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

// "\" and the names from the top down to `item`.
void on_selection(HTREEITEM item) {
    WCHAR path[MAX_PATH], text[MAX_PATH], joined[MAX_PATH];
    item_text(item, path);
    for (HTREEITEM up = tree_next(item, TVGN_PARENT); up; up = tree_next(up, TVGN_PARENT)) {
        item_text(up, text);
        swprintf(joined, MAX_PATH, L"%ls\\%ls", text, path);
        swprintf(path, MAX_PATH, L"%ls", joined);
    }
    swprintf(Browsers.folder_path, MAX_PATH, L"\\%ls", path);
    enable_select(true);
}

void on_expanding(const NMTREEVIEWW *change) {
    TVITEMW it = {};
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    it.hItem = change->itemNew.hItem;
    it.iImage = it.iSelectedImage = change->action == TVE_COLLAPSE ? CLOSED_FOLDER : OPEN_FOLDER;
    SendMessageW(FolderBrowse.tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

// Also when the program quits with the browser open: nothing is kept.
void release_browser(void) {
    free_folder_tree(FolderBrowse.folders);
    // The tree forgets the list before it goes.
    if (FolderBrowse.tree) SendMessageW(FolderBrowse.tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(FolderBrowse.icons);
    FolderBrowse = {};
}

void close_browser(HWND dialog, INT_PTR result) {
    release_browser();
    EndDialog(dialog, result);
}

void on_command(HWND dialog, int id) {
    switch (id) {
        case IDOK: {
            HTREEITEM selected = tree_next(nullptr, TVGN_CARET);
            if (selected) SendMessageW(FolderBrowse.tree, TVM_EXPAND, TVE_TOGGLE, reinterpret_cast<LPARAM>(selected));
            break;
        }
        case IDC_SELECT:
            if (Browsers.folder_path[0]) close_browser(dialog, IDOK);
            break;
        case IDCANCEL:
            close_browser(dialog, IDCANCEL);
            break;
        default:
            break;
    }
}

INT_PTR choose_folder_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return TRUE;
        case WM_COMMAND:
            on_command(dialog, LOWORD(wparam));
            return TRUE;
        case WM_NOTIFY: {
            auto *header = reinterpret_cast<const NMHDR *>(lparam);
            auto *change = reinterpret_cast<const NMTREEVIEWW *>(lparam);
            if (header->code == TVN_SELCHANGEDW && change->itemNew.hItem) on_selection(change->itemNew.hItem);
            if (header->code == TVN_ITEMEXPANDINGW) on_expanding(change);
            return TRUE;
        }
        case WM_DESTROY:
            release_browser();
            return FALSE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

int choose_folder_template(void) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (height < width) return IDD_CHOOSE_FOLDER_LANDSCAPE;
    if (width == 176 && height == 220) return IDD_CHOOSE_FOLDER_SMALL;
    return IDD_CHOOSE_FOLDER;
}

INT_PTR run_choose_folder(HWND owner, int template_id) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(template_id), owner, choose_folder_proc, 0);
}
