// The controls inside one program: their messages and error returns, and
// what their keys do and tell the parent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/phone.h"
#include "platform/screen/screen.h"
#include "tests/support/bitmap_runs.h"
#include "tests/support/temp_device.h"

namespace {

using Events = std::vector<std::string>;

Events events;
bool veto_expand = false;

// Records what the controls tell it; hands Back on to the focus, as the
// dialogs do.
LRESULT parent_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_HOTKEY) SHSendBackToFocusWindow(m, wp, lp);
    if (m == WM_COMMAND && lp) events.push_back("command " + std::to_string(LOWORD(wp)) + " " + std::to_string(HIWORD(wp)));
    if (m != WM_NOTIFY) return DefWindowProcW(w, m, wp, lp);
    auto *h = reinterpret_cast<const NMHDR *>(lp);
    std::string line = "notify " + std::to_string(h->idFrom) + " " + std::to_string(int(h->code));
    if (h->code == LVN_ITEMCHANGED) {
        auto *c = reinterpret_cast<const NMLISTVIEW *>(h);
        line += " " + std::to_string(c->iItem) + " " + std::to_string(c->uOldState) + ">" + std::to_string(c->uNewState);
    }
    if (h->code >= TVN_ITEMEXPANDEDW && h->code <= TVN_SELCHANGINGW)
        line += " " + std::to_string(reinterpret_cast<const NMTREEVIEWW *>(h)->action);
    events.push_back(line);
    return h->code == TVN_ITEMEXPANDINGW && veto_expand;
}

class Controls : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        setenv("LC_ALL", "C", 1);
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        WNDCLASSW wc = {};
        wc.lpfnWndProc = parent_proc;
        wc.lpszClassName = L"ControlsParent";
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, L"ControlsParent", L"Parent", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent);
        events.clear();
        veto_expand = false;
    }
    void TearDown() override {
        DestroyWindow(parent);
        settle();
        TempDevice::TearDown();
    }
    HWND make(LPCWSTR cls, DWORD style, int id, LPCWSTR text = L"") {
        HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 4, 4 + id % 10 * 20, 120, 18, parent,
                                 reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
        EXPECT_TRUE(c);
        return c;
    }
    void settle() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageW(&msg);
    }
    // Presses keys with `control` in focus; returns what the parent was told.
    Events press(HWND control, std::vector<int> keys) {
        SetFocus(control);
        events.clear();
        for (int vk : keys) {
            wchar_t ch = (vk >= '0' && vk <= '9') || (vk >= 'a' && vk <= 'z') ? wchar_t(vk) : 0;
            plat::input_key(vk >= 'a' && vk <= 'z' ? vk - 'a' + 'A' : vk, ch);
            settle();
        }
        return events;
    }
    static LRESULT add(HWND w, UINT message, LPCWSTR text) { return SendMessageW(w, message, 0, reinterpret_cast<LPARAM>(text)); }
    HWND parent = nullptr;
};

TEST_F(Controls, SpinBoxTurnsWrappingAsItsBuddySaysAndTellsOnlyWithNotify) {
    HWND spin = make(L"LISTBOX", LBS_NOTIFY | WS_TABSTOP, 1);
    make(UPDOWN_CLASS, UDS_AUTOBUDDY | UDS_HORZ | UDS_WRAP, 2);
    HWND plain = make(L"LISTBOX", WS_TABSTOP, 3);
    for (HWND l : {spin, plain})
        for (LPCWSTR t : {L"1", L"2", L"3"}) add(l, LB_ADDSTRING, t);
    EXPECT_EQ(SendMessageW(spin, LB_SETCURSEL, 0, 0), 0);
    EXPECT_TRUE(events.empty()) << "a program's own choice is not the user's";
    EXPECT_EQ(press(spin, {VK_LEFT}), (Events{"command 1 1"}));
    EXPECT_EQ(SendMessageW(spin, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(press(spin, {VK_RIGHT, VK_RIGHT}), (Events{"command 1 1", "command 1 1"}));
    EXPECT_EQ(SendMessageW(spin, LB_GETCURSEL, 0, 0), 1);
    // Without a wrapping buddy it stops at the ends; without LBS_NOTIFY it says nothing.
    SendMessageW(plain, LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(press(plain, {VK_LEFT, VK_RIGHT, VK_RIGHT, VK_RIGHT}).empty());
    EXPECT_EQ(SendMessageW(plain, LB_GETCURSEL, 0, 0), 2);
    // Expandable: the action key opens the whole list; the choice is told.
    HWND expandable = make(L"LISTBOX", LBS_NOTIFY | WS_TABSTOP, 4);
    make(UPDOWN_CLASS, UDS_AUTOBUDDY | UDS_HORZ | UDS_EXPANDABLE, 5);
    for (LPCWSTR t : {L"a", L"b", L"c"}) add(expandable, LB_ADDSTRING, t);
    EXPECT_EQ(press(expandable, {VK_RETURN, VK_DOWN, VK_DOWN, VK_RETURN}), (Events{"command 4 1"}));
    EXPECT_EQ(SendMessageW(expandable, LB_GETCURSEL, 0, 0), 2);
}

TEST_F(Controls, ListBoxAnswersBadRequestsWithItsErrors) {
    HWND single = make(L"LISTBOX", 0, 1), multi = make(L"LISTBOX", LBS_MULTIPLESEL, 2);
    EXPECT_EQ(SendMessageW(single, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(add(single, LB_ADDSTRING, nullptr), LB_ERR);
    EXPECT_EQ(add(single, LB_ADDSTRING, L"first"), 0);
    EXPECT_EQ(add(single, LB_ADDSTRING, L"second"), 1);
    EXPECT_EQ(SendMessageW(single, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(single, LB_SETCURSEL, 2, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(single, LB_GETCURSEL, 0, 0), 1) << "a bad index leaves the selection";
    EXPECT_EQ(SendMessageW(single, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageW(single, LB_GETCURSEL, 0, 0), LB_ERR) << "-1 clears it";
    EXPECT_EQ(SendMessageW(single, LB_SETSEL, TRUE, 0), LB_ERR) << "one selection only";
    EXPECT_EQ(SendMessageW(single, LB_GETSEL, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(single, LB_GETTEXTLEN, 1, 0), 6);
    WCHAR text[8];
    EXPECT_EQ(SendMessageW(single, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_STREQ(text, L"second");
    EXPECT_EQ(SendMessageW(single, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), LB_ERR);
    for (LPCWSTR d : {L"Sun", L"Mon", L"Tue"}) add(multi, LB_ADDSTRING, d);
    EXPECT_EQ(SendMessageW(multi, LB_SETCURSEL, 0, 0), LB_ERR) << "many selections";
    EXPECT_EQ(SendMessageW(multi, LB_SETSEL, TRUE, 3), LB_ERR);
    EXPECT_EQ(SendMessageW(multi, LB_SETSEL, TRUE, -1), LB_OKAY);
    EXPECT_EQ(SendMessageW(multi, LB_SETSEL, FALSE, 1), LB_OKAY);
    EXPECT_EQ(SendMessageW(multi, LB_GETSEL, 0, 0) + SendMessageW(multi, LB_GETSEL, 1, 0) * 2 +
                  SendMessageW(multi, LB_GETSEL, 2, 0) * 4,
              5);
}

TEST_F(Controls, MultipleSelectionSpinBoxTogglesTheItemInView) {
    HWND days = make(L"LISTBOX", LBS_MULTIPLESEL | LBS_NOTIFY, 1);
    make(UPDOWN_CLASS, UDS_AUTOBUDDY | UDS_HORZ | UDS_WRAP, 2);
    for (LPCWSTR d : {L"Sunday", L"Monday", L"Tuesday"}) add(days, LB_ADDSTRING, d);
    SendMessageW(days, LB_SETSEL, TRUE, 1);
    // Moving through the items selects nothing; the action key toggles the one in view.
    EXPECT_TRUE(press(days, {VK_LEFT}).empty());
    EXPECT_EQ(SendMessageW(days, LB_GETCURSEL, 0, 0), 2) << "the caret wrapped back to the last day";
    EXPECT_EQ(press(days, {VK_RETURN, VK_LEFT, VK_RETURN}), (Events{"command 1 1", "command 1 1"}));
    EXPECT_GT(SendMessageW(days, LB_GETSEL, 2, 0), 0);
    EXPECT_EQ(SendMessageW(days, LB_GETSEL, 1, 0), 0);
    EXPECT_EQ(SendMessageW(days, LB_GETSEL, 0, 0), 0);
}

TEST_F(Controls, DropDownListStepsDropsAndKeepsItsChoiceOnBack) {
    HWND combo = make(L"COMBOBOX", CBS_DROPDOWNLIST, 1);
    RECT r;
    GetClientRect(combo, &r);
    EXPECT_LT(r.bottom, 40) << "one line high, whatever the template's dropped height";
    for (LPCWSTR m : {L"1", L"2", L"5", L"10"}) add(combo, CB_ADDSTRING, m);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 4, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 9, 0), CB_ERR);
    EXPECT_EQ(press(combo, {VK_RIGHT, VK_RIGHT, VK_RIGHT}), (Events{"command 1 1", "command 1 1"}));
    WCHAR text[8];
    EXPECT_EQ(GetWindowTextW(combo, text, 8), 2);
    EXPECT_STREQ(text, L"10");
    EXPECT_EQ(GetWindowTextW(combo, text, 2), 1) << "cut to the buffer";
    EXPECT_TRUE(press(combo, {VK_RETURN, VK_UP, VK_TBACK}).empty()) << "Back closes the list without a choice";
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(press(combo, {VK_RETURN, VK_UP, VK_UP, VK_RETURN}), (Events{"command 1 1"}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 1);
    EXPECT_STREQ(text, L"2");
}

TEST_F(Controls, EditTakesTypingUpToItsLimitAndBackDeletes) {
    HWND edit = make(L"EDIT", ES_AUTOHSCROLL, 1);
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 5);
    Events typed = press(edit, {'a', 'b', 'c', 'd', 'e', 'f', 'g'});
    EXPECT_EQ(std::count(typed.begin(), typed.end(), "command 1 1281"), 2) << "EN_MAXTEXT for each refused character";
    WCHAR text[16];
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"abcde");
    press(edit, {VK_TBACK, VK_LEFT, VK_LEFT, 'x'});
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"abxcd");
    // The limit is the user's: a program's text keeps its length, and a
    // reader's buffer cuts it.
    SetWindowTextW(edit, L"0123456789");
    EXPECT_EQ(GetWindowTextLengthW(edit), 10);
    EXPECT_EQ(GetWindowTextW(edit, text, 8), 7);
    EXPECT_STREQ(text, L"0123456");
    press(edit, {VK_TBACK, VK_TBACK});
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"01234567");
}

TEST_F(Controls, RadioButtonsExcludeEachOtherWithinTheirGroup) {
    HWND a = make(L"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 1), b = make(L"BUTTON", BS_AUTORADIOBUTTON, 2);
    HWND c = make(L"BUTTON", BS_AUTORADIOBUTTON, 3), other = make(L"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 4);
    HWND check = make(L"BUTTON", BS_AUTOCHECKBOX, 5), push = make(L"BUTTON", BS_PUSHBUTTON | WS_DISABLED, 6);
    SendMessageW(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(other, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(press(b, {VK_RETURN}), (Events{"command 2 0"}));
    EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(c, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group";
    EXPECT_EQ(press(check, {VK_RETURN, VK_RETURN, VK_RETURN}), (Events{"command 5 0", "command 5 0", "command 5 0"}));
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    events.clear();
    SendMessageW(push, BM_CLICK, 0, 0);
    SendMessageW(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(events.empty()) << "a disabled button does not click";
    EXPECT_EQ(SendMessageW(push, BM_GETCHECK, 0, 0), 0) << "a push button has no check";
}

TEST_F(Controls, TimePickerEditsHoursAndMinutesInPlace) {
    HWND picker = make(DATETIMEPICK_CLASS, DTS_TIMEFORMAT, 1);
    SYSTEMTIME t = {2024, 2, 0, 29, 7, 30, 0, 0}, got;
    EXPECT_TRUE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t)));
    SYSTEMTIME bad[] = {{2024, 2, 0, 29, 24, 0, 0, 0}, {2023, 2, 0, 29, 7, 0, 0, 0}, {2024, 13, 0, 1, 7, 0, 0, 0}};
    for (SYSTEMTIME &b : bad) EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&b)));
    EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0)) << "no DTS_SHOWNONE";
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, 0), GDT_ERROR);
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got)), GDT_VALID);
    EXPECT_EQ(got.wHour * 100 + got.wMinute, 730);
    EXPECT_EQ(got.wDayOfWeek, 4) << "29 February 2024 was a Thursday";
    // Up and down step the field without carrying; digits type it.
    Events changes = press(picker, {VK_RETURN, VK_UP, VK_RIGHT, VK_DOWN, '0', '5', VK_RETURN});
    EXPECT_EQ(changes.size(), 4u);
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wHour * 100 + got.wMinute, 805);
    press(picker, {VK_RETURN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wHour, 23) << "hours wrap below 0";
    press(picker, {VK_TBACK, '1', '5', '5', '9'});
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wHour * 100 + got.wMinute, 1559) << "two digits of hours, then two of minutes";
    EXPECT_EQ(got.wDay, 29);
    WCHAR text[16];
    GetWindowTextW(picker, text, 16);
    EXPECT_STREQ(text, L"15:59");
}

TEST_F(Controls, ListViewSortsSelectsAndReturnsTheChosenRow) {
    HWND list = make(WC_LISTVIEW, LVS_REPORT | LVS_SINGLESEL | LVS_SORTASCENDING | LVS_NOCOLUMNHEADER, 1);
    auto insert = [list](LPCWSTR text, LPARAM data) {
        LVITEMW it = {};
        it.mask = LVIF_TEXT | LVIF_PARAM;
        it.iItem = 99;
        it.pszText = const_cast<LPWSTR>(text);
        it.lParam = data;
        return SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
    };
    EXPECT_EQ(insert(L"Wake.mp3", 11), 0);
    EXPECT_EQ(insert(L"alarm.wav", 12), 0);
    EXPECT_EQ(insert(L"Birds.ogg", 13), 1) << "sorted without regard to case";
    EXPECT_EQ(insert(L"birds.ogg", 14), 2) << "after its equal";
    LVITEMW bad = {};
    bad.iSubItem = 1;
    EXPECT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&bad)), -1);
    EXPECT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, 0), -1);
    WCHAR text[5];
    LVITEMW it = {};
    it.mask = LVIF_TEXT | LVIF_PARAM;
    it.iItem = 3;
    it.pszText = text;
    it.cchTextMax = 5;
    EXPECT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_STREQ(text, L"Wake") << "cut to the buffer";
    EXPECT_EQ(it.lParam, 11);
    it.iItem = 4;
    EXPECT_FALSE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    // Keys select one row at a time and move the selection mark; the old row is told first.
    EXPECT_EQ(press(list, {VK_DOWN, VK_DOWN, VK_RETURN}),
              (Events{"notify 1 -101 0 0>3", "notify 1 -101 0 3>0", "notify 1 -101 1 0>3", "notify 1 -4"}));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0), 1);
    LVITEMW select = {};
    select.state = select.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 3) << "one selection";
    EXPECT_FALSE(SendMessageW(list, LVM_DELETEITEM, 7, 0));
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEITEM, 0, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0), 0) << "the mark follows its row";
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0), -1);
}

TEST_F(Controls, TreeViewExpandsCollapsesAndWalksToTheParents) {
    HWND tree = make(WC_TREEVIEW, TVS_HASBUTTONS, 1);
    auto insert = [tree](HTREEITEM parent, LPCWSTR text) {
        TVINSERTSTRUCTW in = {};
        in.hParent = parent;
        in.hInsertAfter = TVI_LAST;
        in.item.mask = TVIF_TEXT;
        in.item.pszText = const_cast<LPWSTR>(text);
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&in)));
    };
    auto next = [tree](UINT how, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    };
    HTREEITEM docs = insert(TVI_ROOT, L"My Documents"), music = insert(docs, L"Music"), jazz = insert(music, L"Jazz");
    HTREEITEM rock = insert(music, L"Rock"), card = insert(TVI_ROOT, L"Storage Card");
    EXPECT_EQ(next(TVGN_ROOT, nullptr), docs);
    EXPECT_EQ(next(TVGN_NEXT, docs), card);
    EXPECT_EQ(next(TVGN_CHILD, music), jazz);
    EXPECT_EQ(next(TVGN_NEXT, jazz), rock) << "in the order inserted";
    EXPECT_EQ(next(TVGN_PARENT, jazz), music);
    EXPECT_EQ(next(TVGN_PARENT, docs), nullptr);
    EXPECT_EQ(next(TVGN_CARET, nullptr), nullptr);
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(card))) << "no children";
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(docs))) << "already closed";
    veto_expand = true;
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(docs)));
    veto_expand = false;
    events.clear();
    EXPECT_TRUE(SendMessageW(tree, TVM_EXPAND, TVE_TOGGLE, reinterpret_cast<LPARAM>(docs)));
    EXPECT_TRUE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(docs)));
    EXPECT_EQ(events, (Events{"notify 1 -454 2", "notify 1 -455 2"})) << "told once, when it changed";
    // Keys: down selects, right expands and goes in, left goes out and collapses.
    Events keys = press(tree, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_LEFT, VK_LEFT});
    EXPECT_EQ(keys, (Events{"notify 1 -450 2", "notify 1 -451 2", "notify 1 -450 2", "notify 1 -451 2",
                            "notify 1 -454 2", "notify 1 -455 2", "notify 1 -450 2", "notify 1 -451 2",
                            "notify 1 -450 2", "notify 1 -451 2", "notify 1 -454 1", "notify 1 -455 1"}));
    EXPECT_EQ(next(TVGN_CARET, nullptr), music);
    // Selecting a hidden item opens its parents; deleting the selection moves it on.
    EXPECT_TRUE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(jazz)));
    TVITEMW it = {};
    it.mask = TVIF_STATE;
    it.hItem = music;
    it.stateMask = TVIS_EXPANDED;
    EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(it.state, UINT(TVIS_EXPANDED));
    EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(jazz)));
    EXPECT_EQ(next(TVGN_CARET, nullptr), rock);
    it.hItem = jazz;
    EXPECT_FALSE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) << "a deleted item";
    EXPECT_FALSE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(jazz)));
    EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(docs)));
    EXPECT_EQ(next(TVGN_CARET, nullptr), card);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 1);
}

TEST_F(Controls, ImageListsCutBitmapsAndDrawWithTheirTransparentColour) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto *p = static_cast<unsigned char *>(bits);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) {
            unsigned char *px = p + y * 24 + x * 3;  // blue, green, red
            px[0] = 0, px[1] = x < 4 ? 0 : 255, px[2] = x < 4 ? 255 : 0;
        }
    HIMAGELIST masked = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 2, 1);
    EXPECT_EQ(ImageList_AddMasked(masked, strip, RGB(0, 255, 0)), 0);
    EXPECT_EQ(ImageList_GetImageCount(masked), 2);
    HIMAGELIST wide = ImageList_Create(16, 4, ILC_COLOR, 1, 1);
    EXPECT_EQ(ImageList_Add(wide, strip, nullptr), -1) << "narrower than one image";
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(nullptr, 8, 4);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 8, 4};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, blue);
    EXPECT_TRUE(ImageList_Draw(masked, 0, dc, 0, 0, ILD_NORMAL));
    EXPECT_TRUE(ImageList_Draw(masked, 1, dc, 4, 0, ILD_TRANSPARENT));
    EXPECT_FALSE(ImageList_Draw(masked, 2, dc, 0, 0, ILD_NORMAL));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 1), RGB(0, 0, 255)) << "green is transparent";
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteObject(blue);
    DeleteDC(dc);
    DeleteObject(strip);
    EXPECT_TRUE(ImageList_Destroy(masked));
    EXPECT_FALSE(ImageList_Destroy(masked));
    EXPECT_EQ(ImageList_GetImageCount(masked), 0);
    // A list view takes its image list with it unless told they are shared.
    HWND shared = make(WC_LISTVIEW, LVS_REPORT | LVS_SHAREIMAGELISTS, 1), owning = make(WC_LISTVIEW, LVS_REPORT, 2);
    HIMAGELIST kept = ImageList_Create(4, 4, ILC_COLOR, 1, 1), taken = ImageList_Create(4, 4, ILC_COLOR, 1, 1);
    SendMessageW(shared, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(kept));
    SendMessageW(owning, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(taken));
    DestroyWindow(shared);
    DestroyWindow(owning);
    EXPECT_TRUE(ImageList_Destroy(kept));
    EXPECT_FALSE(ImageList_Destroy(taken));
    EXPECT_TRUE(ImageList_Destroy(wide));
}

TEST_F(Controls, BitmapStaticTakesItsBitmapsSize) {
    static const std::vector<unsigned char> runs = literal_runs(std::vector<unsigned char>(5 * 3 * 3, 0));
    static const BitmapResource bitmaps[] = {runs_bitmap(900, 5, 3, runs)};
    resources_add_bitmaps(bitmaps, 1);
    HWND picture = make(L"STATIC", SS_BITMAP, 1, L"#900");
    RECT r;
    GetClientRect(picture, &r);
    EXPECT_EQ(r.right * 100 + r.bottom, 503);
    HWND missing = make(L"STATIC", SS_BITMAP, 2, L"#901");
    EXPECT_EQ(SendMessageW(missing, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    HBITMAP mine = CreateCompatibleBitmap(nullptr, 7, 2), other = CreateCompatibleBitmap(nullptr, 1, 1);
    SendMessageW(missing, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(mine));
    GetClientRect(missing, &r);
    EXPECT_EQ(r.right * 100 + r.bottom, 702);
    EXPECT_EQ(SendMessageW(missing, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(other)),
              reinterpret_cast<LRESULT>(mine));
    DestroyWindow(missing);
    DeleteObject(mine);
    DeleteObject(other);
}

}  // namespace
