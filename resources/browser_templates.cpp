// Select Sound (its list is made when it opens) and Choose Folder, whose
// tree fills the screen of each class, less the dialog's margin: 179
// portrait, 330 176 x 220, 331 landscape (the dialog units of the system
// font: 7 pixels across per 4, 14 down per 8).
#include "resources/dialog_templates.h"

namespace {

constexpr DWORD TREE = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP;

const DialogItemResource TREE_LARGE[] = {{WC_TREEVIEW, nullptr, IDC_FOLDER_TREE, TREE, 0, 0, 0, 137, 149}};
const DialogItemResource TREE_SMALL[] = {{WC_TREEVIEW, nullptr, IDC_FOLDER_TREE, TREE, 0, 0, 0, 100, 100}};
const DialogItemResource TREE_LANDSCAPE[] = {{WC_TREEVIEW, nullptr, IDC_FOLDER_TREE, TREE, 0, 0, 0, 183, 104}};

const DialogResource BROWSERS[] = {
    {IDD_SELECT_SOUND, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 152, L"Select Sound", nullptr, 0},
    {IDD_CHOOSE_FOLDER, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 152, L"Choose Folder", MENU_ITEMS(TREE_LARGE)},
    {IDD_CHOOSE_FOLDER_SMALL, FULL_SCREEN_DIALOG, 0, 0, 0, 100, 103, L"Choose Folder", MENU_ITEMS(TREE_SMALL)},
    {IDD_CHOOSE_FOLDER_LANDSCAPE, FULL_SCREEN_DIALOG, 0, 0, 0, 183, 106, L"Choose Folder", MENU_ITEMS(TREE_LANDSCAPE)},
};

}  // namespace

void add_browser_templates(void) { resources_add_dialogs(BROWSERS, 4); }
