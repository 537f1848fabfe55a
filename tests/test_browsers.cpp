// The sound and folder browsers over a device's documents folder and storage
// cards: which names they list, where they look, the folder tree's shape and
// order, and what they answer; run in-process, driven through their dialogs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "dialogs/browse_search.h"
#include "dialogs/dialogs.h"
#include "dialogs/folder_tree.h"
#include "platform/device/device.h"
#include "platform/shell/menu_internal.h"
#include "resources/dialog_resources.h"
#include "tests/support/dialog_script.h"
#include "tests/support/notify_probe.h"
#include "tests/support/temp_device.h"

namespace {

using Names = std::vector<std::wstring>;

class Browsers_ : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        register_app_resources();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
    // A file of the device, with the folders above it.
    void file(const std::string &device_path) {
        std::string path = host(device_path.c_str());
        for (size_t at = path.find('/', root.size() + 1); at != std::string::npos; at = path.find('/', at + 1))
            mkdir(path.substr(0, at).c_str(), 0755);
        std::ofstream(path) << "x";
    }
    void cards(const std::vector<const char *> &folders) {
        DeviceSettings ds = *device_settings();
        ds.card_count = 0;
        for (const char *f : folders) {
            mkdir(host(f + 1).c_str(), 0755);
            plat::copy_wide(ds.cards[ds.card_count++], MAX_PATH, plat::from_utf8(f).c_str());
        }
        ASSERT_TRUE(device_save_settings(&ds));
    }
    // What Select Sound lists, as "name:image", in the list's order.
    Names listed(int mode) {
        Names rows;
        script_dialogs({in_dialog(L"Select Sound", [&](HWND d) {
            HWND list = GetDlgItem(d, IDC_SOUND_LIST);
            int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < count; i++) {
                WCHAR text[MAX_PATH];
                LVITEMW it = {};
                it.mask = LVIF_TEXT | LVIF_IMAGE;
                it.iItem = i;
                it.pszText = text;
                it.cchTextMax = MAX_PATH;
                SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
                rows.push_back(std::wstring(text) + L":" + std::to_wstring(it.iImage));
            }
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        })});
        EXPECT_EQ(run_select_sound(nullptr, mode), IDCANCEL);
        EXPECT_TRUE(script_done());
        return rows;
    }
};

std::wstring tree_text(HWND tree, HTREEITEM item, int *image = nullptr) {
    WCHAR text[MAX_PATH] = L"";
    TVITEMW it = {};
    it.mask = TVIF_TEXT | TVIF_IMAGE;
    it.hItem = item;
    it.pszText = text;
    it.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    if (image) *image = it.iImage;
    return text;
}

HTREEITEM tree_next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The tree as "A(B(C),D)".
std::wstring shape(HWND tree, HTREEITEM first) {
    std::wstring out;
    for (HTREEITEM item = first; item; item = tree_next(tree, item, TVGN_NEXT)) {
        if (!out.empty()) out += L",";
        out += tree_text(tree, item);
        HTREEITEM child = tree_next(tree, item, TVGN_CHILD);
        if (child) out += L"(" + shape(tree, child) + L")";
    }
    return out;
}

bool select_enabled() { return SendMessageW(plat::menubar_of_foreground(), TB_ISBUTTONENABLED, IDC_SELECT, 0) != 0; }

TEST(FolderTree, KeepsTopLevelOrderSortsChildrenAndMergesNamesWithoutCase) {
    FolderNode *top = nullptr;
    ASSERT_TRUE(folder_tree_add(&top, L"\\Storage Card\\x"));
    ASSERT_TRUE(folder_tree_add(&top, L"\\My Documents\\Music\\Jazz"));
    ASSERT_TRUE(folder_tree_add(&top, L"\\My Documents\\b"));
    ASSERT_TRUE(folder_tree_add(&top, L"\\MY DOCUMENTS\\A"));
    ASSERT_TRUE(folder_tree_add(&top, L"\\My Documents\\D"));
    ASSERT_TRUE(folder_tree_add(&top, L"\\my documents\\music"));
    std::wstring seen;
    for (FolderNode *n = top; n; n = n->next) seen += std::wstring(n->name) + L";";
    EXPECT_EQ(seen, L"Storage Card;My Documents;") << "top-level folders stay in the order found";
    FolderNode *docs = top->next;
    seen.clear();
    for (FolderNode *n = docs->child; n; n = n->next) seen += std::wstring(n->name) + L";";
    EXPECT_EQ(seen, L"A;b;D;Music;");
    ASSERT_NE(docs->child->next->next->next->child, nullptr);
    EXPECT_STREQ(docs->child->next->next->next->child->name, L"Jazz");
    free_folder_tree(top);
}

TEST_F(Browsers_, RootsAreTheDocumentsFolderAndTheCardsNotUnderIt) {
    SearchRoots roots;
    cards({"\\Storage Card", "\\My", "\\Gone"});
    rmdir(host("Gone").c_str());
    find_search_roots(&roots);
    ASSERT_EQ(roots.count, 3) << "a card that is not in the device is not searched";
    EXPECT_STREQ(roots.paths[0], L"\\My Documents");
    EXPECT_STREQ(roots.paths[1], L"\\Storage Card");
    EXPECT_STREQ(roots.paths[2], L"\\My") << "a name that only begins like the documents folder is another folder";

    cards({"\\my documents"});
    find_search_roots(&roots);
    EXPECT_EQ(roots.count, 1) << "the documents folder is searched once";
    cards({"\\Storage Card"});
    rmdir(host("Storage Card").c_str());
    find_search_roots(&roots);
    EXPECT_EQ(roots.count, 1) << "no card in the device: the documents folder alone";
}

TEST_F(Browsers_, SelectSoundListsSoundNamesWithoutCaseAndMarksFilesOnCards) {
    file("My Documents/ALARM.MP3");
    file("My Documents/Music/a.mp3");
    file("My Documents/.mp3");
    file("My Documents/notes.txt");
    file("My Documents/mix.asx");
    file("My Documents/Deep/er/Birds.Ogg");
    file("Storage Card/x.wav");
    file("IPSM/elsewhere.wav");
    EXPECT_EQ(listed(BROWSE_SOUNDS), (Names{L"a.mp3:0", L"ALARM.MP3:0", L"Birds.Ogg:0", L"x.wav:1"}));
    EXPECT_EQ(listed(BROWSE_PLAYLISTS), (Names{L"mix.asx:0"}));
}

TEST_F(Browsers_, SelectAnswersThePathOfTheMarkedFileAndDoesNothingOnAnEmptyList) {
    file("My Documents/b.wav");
    file("Storage Card/Tunes/a.wav");
    script_dialogs({in_dialog(L"Select Sound", [](HWND d) {
        SendMessageW(GetDlgItem(d, IDC_SOUND_LIST), LVM_SETSELECTIONMARK, 0, 1);
        SendMessageW(d, WM_COMMAND, IDC_SELECT, 0);
    })});
    EXPECT_EQ(run_select_sound(nullptr, BROWSE_SOUNDS), IDOK);
    EXPECT_STREQ(Browsers.sound_path, L"\\My Documents\\b.wav");

    int before_cancel = 0;
    script_dialogs({in_dialog(L"Select Sound",
                              [](HWND d) {
                                  SendMessageW(d, WM_COMMAND, IDC_SELECT, 0);
                                  SendMessageW(d, WM_COMMAND, IDOK, 0);
                              }),
                    in_dialog(L"Select Sound", [&](HWND d) {
                        before_cancel = 1;
                        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                    })});
    EXPECT_EQ(run_select_sound(nullptr, BROWSE_PLAYLISTS), IDCANCEL);
    EXPECT_EQ(before_cancel, 1) << "with no file, Select left the browser open";
}

TEST_F(Browsers_, LoopsMissingFoldersAndOverlongPathsNeitherHangNorCrash) {
    file("My Documents/Music/song.mp3");
    ASSERT_EQ(symlink("..", host("My Documents/Music/up").c_str()), 0);
    ASSERT_EQ(symlink("/", host("My Documents/host-root").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", host("My Documents/dangling").c_str()), 0);
    std::string deep = "My Documents";
    for (int i = 0; i < 30; i++) deep += "/folder-with-a-long-name";
    file(deep + "/lost.wav");
    EXPECT_EQ(listed(BROWSE_SOUNDS), (Names{L"song.mp3:0"}))
        << "each folder once; a path past 260 characters is left out";

    remove_tree(host("My Documents"));
    EXPECT_EQ(listed(BROWSE_SOUNDS), Names{});
}

void count_file(void *context, LPCWSTR, LPCWSTR) { ++*static_cast<int *>(context); }

// Searched by an ordinary user, as root reads every folder: the folder it may
// not read gives nothing and the search goes on past it.
TEST_F(Browsers_, AnUnreadableFolderIsPassedOver) {
    file("My Documents/closed/b.wav");
    file("My Documents/open/a.wav");
    file("My Documents/zz/c.wav");
    ASSERT_EQ(chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(chmod(host("My Documents/closed").c_str(), 0), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        SearchRoots roots;
        find_search_roots(&roots);
        int found = 0;
        search_folders(&roots, count_file, &found);
        _exit(found);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    chmod(host("My Documents/closed").c_str(), 0755);
}

TEST_F(Browsers_, ChooseFolderShowsSoundFoldersWithTheirParentsAndAnswersTheSelectedPath) {
    file("My Documents/Music/Jazz/take5.mp3");
    file("My Documents/Music/cover.jpg");
    file("My Documents/b/x.wav");
    file("My Documents/A/x.wav");
    file("My Documents/D/x.wav");
    file("Storage Card/y.ogg");
    std::wstring tree_shape;
    int closed_image = -1, open_image = -1, closed_again = -1;
    bool enabled_at_start = true, enabled_after = false;
    script_dialogs({in_dialog(L"Choose Folder", [&](HWND d) {
        HWND tree = GetDlgItem(d, IDC_FOLDER_TREE);
        tree_shape = shape(tree, tree_next(tree, nullptr, TVGN_ROOT));
        enabled_at_start = select_enabled();
        HTREEITEM docs = tree_next(tree, tree_next(tree, nullptr, TVGN_ROOT), TVGN_NEXT);
        HTREEITEM music = tree_next(tree, docs, TVGN_CHILD);
        for (int i = 0; i < 3; i++) music = tree_next(tree, music, TVGN_NEXT);
        tree_text(tree, music, &closed_image);
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(docs));
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(music));
        tree_text(tree, music, &open_image);
        SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(music));
        tree_text(tree, music, &closed_again);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(tree_next(tree, music, TVGN_CHILD)));
        enabled_after = select_enabled();
        SendMessageW(d, WM_COMMAND, IDC_SELECT, 0);
    })});
    EXPECT_EQ(run_choose_folder(nullptr, IDD_CHOOSE_FOLDER), IDOK);
    EXPECT_EQ(tree_shape, L"Storage Card,My Documents(A,b,D,Music(Jazz))")
        << "the card's sound lies nearer its root, so the breadth-first search finds it first";
    EXPECT_EQ(closed_image, 1);
    EXPECT_EQ(open_image, 0);
    EXPECT_EQ(closed_again, 1);
    EXPECT_FALSE(enabled_at_start);
    EXPECT_TRUE(enabled_after);
    EXPECT_STREQ(Browsers.folder_path, L"\\My Documents\\Music\\Jazz");
}

TEST_F(Browsers_, ChooseFolderOverNoSoundKeepsSelectDisabledAndOnlyCancelLeaves) {
    file("My Documents/readme.txt");
    int shown = -1;
    bool enabled = true;
    script_dialogs({in_dialog(L"Choose Folder",
                              [&](HWND d) {
                                  shown = int(SendDlgItemMessageW(d, IDC_FOLDER_TREE, TVM_GETCOUNT, 0, 0));
                                  enabled = select_enabled();
                                  SendMessageW(d, WM_COMMAND, IDC_SELECT, 0);
                              }),
                    press(L"Choose Folder", IDCANCEL)});
    EXPECT_EQ(run_choose_folder(nullptr, IDD_CHOOSE_FOLDER_SMALL), IDCANCEL);
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(enabled);
    EXPECT_STREQ(Browsers.folder_path, L"");
}

}  // namespace
