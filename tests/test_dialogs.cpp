// Dialogs inside one program: made from templates, run modally and nested,
// ended, answered, walked with the keys, scrolled and sized to the screen,
// and what they answer to bad requests.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "platform/screen/screen.h"
#include "tests/support/temp_device.h"

namespace {

constexpr int FORM = 700, TREE = 701, TALL = 702, BROKEN = 703, BAR = 710;

const DialogItemResource FORM_ITEMS[] = {
    {L"STATIC", L"Name:", IDC_STATIC, 0, 0, 4, 4, 100, 10},
    {L"BUTTON", L"Off", 2001, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 0, 4, 16, 60, 14},
    {L"EDIT", L"", 2002, ES_AUTOHSCROLL | WS_TABSTOP, 0, 4, 32, 100, 13},
    {L"BUTTON", L"On", 2003, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4, 48, 100, 12},
    {L"BUTTON", L"Go", 2004, BS_PUSHBUTTON | WS_TABSTOP, 0, 4, 62, 60, 14},
    {L"EDIT", L"", 2005, 0, 0, 4, 78, 100, 13},
};
const DialogItemResource TREE_ITEMS[] = {
    {WC_TREEVIEW, nullptr, 2010, TVS_HASBUTTONS | WS_TABSTOP, 0, 0, 0, 120, 80},
};
DialogItemResource TALL_ITEMS[13];
const DialogItemResource BROKEN_ITEMS[] = {
    {L"STATIC", L"fine", IDC_STATIC, 0, 0, 4, 4, 40, 10},
    {L"NoSuchClass", L"", 2020, 0, 0, 4, 20, 40, 10},
};
const DialogResource DIALOGS[] = {
    {FORM, WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 100, L"Form", MENU_ITEMS(FORM_ITEMS)},
    {TREE, WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 100, L"Tree", MENU_ITEMS(TREE_ITEMS)},
    {TALL, WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 100, L"Tall", MENU_ITEMS(TALL_ITEMS)},
    {BROKEN, WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 100, L"Broken", MENU_ITEMS(BROKEN_ITEMS)},
};
const MenuBarResource BARS[] = {{BAR, {{0, L"OK", IDOK, nullptr, 0}, {0, L"Cancel", IDCANCEL, nullptr, 0}}}};

// A dialog procedure given as a function of the test, and the steps it
// takes one loop turn after another (WM_APP), each after what the one
// before set going.
using Script = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

INT_PTR script_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWL_USER, lparam);
    auto *script = reinterpret_cast<Script *>(GetWindowLongPtrW(dialog, DWL_USER));
    return script ? (*script)(dialog, message, wparam, lparam) : FALSE;
}

INT_PTR run(int id, HWND owner, Script script) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(id), owner, script_proc, reinterpret_cast<LPARAM>(&script));
}

using Step = std::function<void(HWND)>;

// Runs `steps` one per loop turn after WM_INITDIALOG, then ends with 1.
Script stepping(std::vector<Step> steps, Script also = nullptr) {
    auto next = std::make_shared<size_t>(0);
    return [steps, next, also](HWND d, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
        if (m == WM_INITDIALOG) PostMessageW(d, WM_APP, 0, 0);
        if (m == WM_APP) {
            if (*next < steps.size()) {
                steps[(*next)++](d);
                PostMessageW(d, WM_APP, 0, 0);
            } else {
                EndDialog(d, 1);
            }
            return TRUE;
        }
        return also ? also(d, m, w, l) : m == WM_INITDIALOG;
    };
}

int focus_id() { return GetDlgCtrlID(GetFocus()); }

LRESULT owner_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class Dialogs : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        for (int i = 0; i < 12; i++)
            TALL_ITEMS[i] = {L"EDIT", L"", 2030 + i, WS_TABSTOP, 0, 4, short(4 + i * 20), 100, 13};
        TALL_ITEMS[12] = {L"STATIC", L"wide", 2100, 0, 0, 4, 250, 300, 10};
        resources_add_dialogs(DIALOGS, 4);
        resources_add_menubars(BARS, 1);
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = owner_proc;
        wc.lpszClassName = L"DialogOwner";
        RegisterClassW(&wc);
    }
    void TearDown() override {
        if (owner) DestroyWindow(owner);
        TempDevice::TearDown();
    }
    HWND make_owner() {
        owner = CreateWindowExW(0, L"DialogOwner", L"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        return owner;
    }
    // A key goes to the focus of the moment it is pressed: one a step, as a
    // person presses them.
    static void key(int vk) { plat::input_key(vk, 0); }
    HWND owner = nullptr;
};

TEST_F(Dialogs, OpensWithTheFirstTabStopFocusedAndEndsWithItsResult) {
    make_owner();
    int first = 0, focused = 0;
    bool owner_disabled = false, in_front = false;
    HWND seen = nullptr;
    INT_PTR result = run(FORM, owner, [&](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
        if (m == WM_INITDIALOG) {
            first = GetDlgCtrlID(reinterpret_cast<HWND>(w));
            PostMessageW(d, WM_APP, 0, 0);
            return TRUE;
        }
        if (m != WM_APP) return FALSE;
        seen = d;
        focused = focus_id();
        owner_disabled = !IsWindowEnabled(owner);
        in_front = GetForegroundWindow() == d;
        EndDialog(d, 42);
        return TRUE;
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(first, 2002) << "the disabled button is passed over";
    EXPECT_EQ(focused, 2002);
    EXPECT_TRUE(owner_disabled && in_front);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetForegroundWindow(), owner);
    EXPECT_FALSE(EndDialog(seen, 3)) << "a closed dialog cannot be ended";
}

TEST_F(Dialogs, AnsweringFalseKeepsTheFocusTheProcedureChose) {
    make_owner();
    int focused = 0;
    run(FORM, owner, stepping({[&](HWND) { focused = focus_id(); }}, [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
            if (m == WM_INITDIALOG) SetFocus(GetDlgItem(d, 2004));
            return FALSE;
        }));
    EXPECT_EQ(focused, 2004);
}

TEST_F(Dialogs, BadTemplatesOwnersAndEndsFailAsOnThePhone) {
    make_owner();
    size_t windows = plat::window_table().windows.size();
    EXPECT_EQ(run(799, owner, nullptr), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(run(BROKEN, owner, nullptr), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(plat::window_table().windows.size(), windows) << "nothing left behind";
    EXPECT_EQ(run(FORM, reinterpret_cast<HWND>(0x7777770), nullptr), 0) << "an owner that is no window";
    EXPECT_FALSE(EndDialog(owner, 1)) << "not a dialog";
    EXPECT_FALSE(EndDialog(nullptr, 1));
    INT_PTR twice = run(FORM, owner, [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_INITDIALOG) {
            EXPECT_TRUE(EndDialog(d, 5));
            EXPECT_TRUE(EndDialog(d, 6));
        }
        return m == WM_INITDIALOG;
    });
    EXPECT_EQ(twice, 6) << "ended twice, the later result wins";
}

TEST_F(Dialogs, UpAndDownWalkTheTabStopsAndTheActionKeyGoesWhereItIsWanted) {
    make_owner();
    std::vector<int> walk;
    std::vector<std::string> commands;
    auto note_focus = [&](HWND) { walk.push_back(focus_id()); };
    run(FORM, owner,
        stepping({[](HWND) { key(VK_DOWN); }, note_focus, [](HWND) { key(VK_DOWN); }, note_focus,
                  [](HWND) { key(VK_DOWN); }, note_focus, [](HWND) { key(VK_UP); }, note_focus,
                  [](HWND) { key(VK_RETURN); }, [](HWND) { key(VK_UP); }, [](HWND) { key(VK_UP); }, note_focus,
                  [](HWND) { key(VK_RETURN); },
                  [](HWND d) {
                      EnableWindow(GetDlgItem(d, 2001), TRUE);
                      key(VK_UP);
                  },
                  note_focus},
                 [&](HWND, UINT m, WPARAM w, LPARAM) -> INT_PTR {
                     if (m == WM_COMMAND) commands.push_back(std::to_string(LOWORD(w)) + " " + std::to_string(HIWORD(w)));
                     return m == WM_INITDIALOG || m == WM_COMMAND;
                 }));
    EXPECT_EQ(walk, (std::vector<int>{2003, 2004, 2002, 2004, 2002, 2001}));
    // The button takes the action key; the edit box does not, so the dialog gets IDOK.
    EXPECT_EQ(commands, (std::vector<std::string>{"2004 0", "1 0"}));
}

TEST_F(Dialogs, NestedDialogsReturnToTheirOwnLoops) {
    make_owner();
    std::vector<std::string> order;
    Script inner = stepping({[&](HWND d) { order.push_back("ended below " + std::to_string(EndDialog(GetParent(d), 7))); },
                             [](HWND) { key(VK_DOWN); },
                             [&](HWND d) {
                                 order.push_back("inner focus " + std::to_string(focus_id()));
                                 EndDialog(d, 5);
                             }});
    INT_PTR outer = run(FORM, owner, [&](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_INITDIALOG) PostMessageW(d, WM_APP, 0, 0);
        if (m == WM_APP) {
            order.push_back("inner gave " + std::to_string(run(FORM, d, inner)));
            order.push_back(IsWindowVisible(d) ? "outer shows" : "outer hidden");
        }
        return TRUE;
    });
    EXPECT_EQ(outer, 7);
    EXPECT_EQ(order, (std::vector<std::string>{"ended below 1", "inner focus 2003", "inner gave 5", "outer hidden"}));
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(Dialogs, QuittingWhileModalLeavesEveryLoopAndKeepsTheQuit) {
    make_owner();
    INT_PTR inner_result = 99;
    INT_PTR outer = run(FORM, owner, [&](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_INITDIALOG) PostMessageW(d, WM_APP, 0, 0);
        if (m == WM_APP) inner_result = run(FORM, d, [](HWND, UINT im, WPARAM, LPARAM) -> INT_PTR {
            if (im == WM_INITDIALOG) PostQuitMessage(3);
            return im == WM_INITDIALOG;
        });
        return TRUE;
    });
    EXPECT_EQ(inner_result, 0);
    EXPECT_EQ(outer, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Dialogs, AnsweredNotificationsGiveDwlMsgResult) {
    make_owner();
    BOOL expanded = TRUE;
    int asked = 0;
    run(TREE, owner,
        stepping({[&](HWND d) {
                     HWND tree = GetDlgItem(d, 2010);
                     TVINSERTSTRUCTW in = {};
                     in.hParent = TVI_ROOT;
                     in.item.mask = TVIF_TEXT;
                     in.item.pszText = const_cast<LPWSTR>(L"Music");
                     LRESULT music = SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&in));
                     in.hParent = reinterpret_cast<HTREEITEM>(music);
                     in.item.pszText = const_cast<LPWSTR>(L"Jazz");
                     SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&in));
                     expanded = BOOL(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, music));
                 }},
                 [&](HWND d, UINT m, WPARAM, LPARAM l) -> INT_PTR {
                     if (m != WM_NOTIFY || reinterpret_cast<NMHDR *>(l)->code != TVN_ITEMEXPANDINGW) return m == WM_INITDIALOG;
                     asked++;
                     SetWindowLongPtrW(d, DWL_MSGRESULT, TRUE);
                     return TRUE;
                 }));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(expanded) << "the dialog forbade it through DWL_MSGRESULT";
}

TEST_F(Dialogs, ItemHelpersTakeMissingControlsAndBadNumbers) {
    make_owner();
    run(FORM, owner, [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m != WM_INITDIALOG) return FALSE;
        WCHAR text[8] = L"x";
        EXPECT_FALSE(SetDlgItemTextW(d, 4242, L"nobody"));
        EXPECT_EQ(GetDlgItemTextW(d, 4242, text, 8), 0u);
        EXPECT_EQ(text[0], L'\0');
        EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));
        EXPECT_EQ(SendDlgItemMessageW(d, 4242, WM_GETTEXTLENGTH, 0, 0), 0);
        EXPECT_TRUE(SetDlgItemTextW(d, 2002, L"A name far longer than the buffer"));
        EXPECT_EQ(GetDlgItemTextW(d, 2002, text, 8), 7u);
        EXPECT_STREQ(text, L"A name ");
        BOOL ok = FALSE;
        SetDlgItemInt(d, 2002, UINT(-5), TRUE);
        EXPECT_EQ(int(GetDlgItemInt(d, 2002, &ok, TRUE)), -5);
        EXPECT_TRUE(ok);
        EXPECT_EQ(GetDlgItemInt(d, 2002, &ok, FALSE), 0u);
        EXPECT_FALSE(ok);
        for (LPCWSTR bad : {L"12a", L"", L"4294967296", L"- 3"}) {
            SetDlgItemTextW(d, 2002, bad);
            EXPECT_EQ(GetDlgItemInt(d, 2002, &ok, TRUE), 0u);
            EXPECT_FALSE(ok) << plat::to_utf8(bad);
        }
        SetDlgItemTextW(d, 2002, L" 4294967295 ");
        EXPECT_EQ(GetDlgItemInt(d, 2002, &ok, FALSE), 4294967295u);
        EXPECT_TRUE(ok);
        EXPECT_TRUE(CheckDlgButton(d, 2003, BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(d, 2003), UINT(BST_CHECKED));
        EXPECT_FALSE(CheckDlgButton(d, 4242, BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(d, 4242), 0u);
        EXPECT_TRUE(CheckRadioButton(d, 2003, 2009, 2009));
        EXPECT_EQ(IsDlgButtonChecked(d, 2003), UINT(BST_UNCHECKED));
        EndDialog(d, 1);  // before it ever shows
        return TRUE;
    });
}

TEST_F(Dialogs, BackReachesTheEditOnlyWhenTheDialogHandsItOn) {
    make_owner();
    LRESULT first_bits = -1, second_bits = -1;
    std::vector<WPARAM> hotkeys;
    std::wstring after_back, after_silenced;
    auto text_now = [](HWND d) {
        WCHAR text[16];
        GetDlgItemTextW(d, 2002, text, 16);
        return std::wstring(text);
    };
    HWND bar = nullptr;
    // The handed-on key arrives a turn after the hot key: each check waits one turn more.
    run(FORM, owner,
        stepping({[](HWND) { key(VK_TBACK); }, [](HWND) {}, [&](HWND d) { after_back = text_now(d); },
                  [&](HWND) {
                      SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT));
                      key(VK_TBACK);
                  },
                  [](HWND) {}, [&](HWND d) { after_silenced = text_now(d); }},
                 [&](HWND d, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
                     if (m == WM_INITDIALOG) {
                         SHMENUBARINFO mb = {};
                         mb.cbSize = sizeof mb;
                         mb.hwndParent = d;
                         mb.nToolBarId = BAR;
                         EXPECT_TRUE(SHCreateMenuBar(&mb));
                         bar = mb.hwndMB;
                         LPARAM both = MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY);
                         first_bits = SendMessageW(mb.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, both);
                         second_bits = SendMessageW(mb.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, both);
                         SetDlgItemTextW(d, 2002, L"abc");
                         return TRUE;
                     }
                     if (m == WM_HOTKEY) {
                         hotkeys.push_back(w);
                         SHSendBackToFocusWindow(m, w, l);
                     }
                     return m == WM_HOTKEY;
                 }));
    EXPECT_EQ(first_bits, 0);
    EXPECT_EQ(second_bits, SHMBOF_NODEFAULT | SHMBOF_NOTIFY);
    EXPECT_EQ(hotkeys, (std::vector<WPARAM>{2})) << "Back's hot key, once; silenced the second time";
    EXPECT_EQ(after_back, L"ab");
    EXPECT_EQ(after_silenced, L"ab");
}

TEST_F(Dialogs, TallDialogScrollsToTheFocusAndFitsASmallScreen) {
    DeviceSettings ds = *device_settings();
    ds.screen_width = 176;
    ds.screen_height = 220;
    ASSERT_TRUE(device_save_settings(&ds));
    plat::screen_sync_settings();
    make_owner();
    RECT dialog_rect = {}, last = {}, first = {}, wide = {}, units = {0, 0, 4, 8}, bottom_rect = {};
    run(TALL, owner,
        stepping({[&](HWND d) {
                      SetFocus(GetDlgItem(d, 2041));
                      GetWindowRect(d, &dialog_rect);
                      GetWindowRect(GetDlgItem(d, 2041), &last);
                      GetWindowRect(GetDlgItem(d, 2100), &wide);
                      MapDialogRect(d, &units);
                  },
                  [&](HWND d) {
                      SetFocus(GetDlgItem(d, 2030));
                      GetWindowRect(GetDlgItem(d, 2030), &first);
                      SHINITDLGINFO init = {SHIDIM_FLAGS, d, SHIDIF_FULLSCREENNOMENUBAR};
                      SHInitDialog(&init);
                      GetWindowRect(d, &bottom_rect);
                  }},
                 [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
                     if (m != WM_INITDIALOG) return FALSE;
                     SHINITDLGINFO init = {SHIDIM_FLAGS, d, SHIDIF_SIZEDLGFULLSCREEN};
                     EXPECT_TRUE(SHInitDialog(&init));
                     return TRUE;
                 }));
    EXPECT_EQ(dialog_rect.left * 1000000 + dialog_rect.top * 1000 + dialog_rect.right, 18176);
    EXPECT_EQ(dialog_rect.bottom, 220 - 22) << "between the title and the soft keys";
    EXPECT_GE(last.top, dialog_rect.top);
    EXPECT_LE(last.bottom, dialog_rect.bottom) << "scrolled into view";
    EXPECT_LE(wide.right, 176) << "narrowed to the screen";
    EXPECT_GT(units.right, 0);
    EXPECT_GT(units.bottom, units.right) << "a character is taller than wide";
    EXPECT_EQ(first.top - dialog_rect.top, (4 * units.bottom + 4) / 8) << "back at the top";
    EXPECT_EQ(bottom_rect.bottom, 220);
    EXPECT_FALSE(SHInitDialog(nullptr));
}

}  // namespace
