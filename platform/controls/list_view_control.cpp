// The list view in report view: one row per item with its small image and
// text, kept in ascending order of text (without regard to case) with
// LVS_SORTASCENDING; one item selected at a time with LVS_SINGLESEL. Up and
// down move the selection (and the selection mark) and tell the parent
// LVN_ITEMCHANGED; at the first or last row they leave the list to the
// dialog. The action key sends NM_RETURN. Only the rows in view are painted.
#include <algorithm>

#include "platform/controls/control_internal.h"
#include "platform/controls/row_scroller.h"
#include "platform/screen/look.h"
#include "platform/core/text.h"

namespace plat {

namespace {

constexpr int PAD = 3;

struct ListItem {
    std::wstring text;
    std::wstring key;  // the text folded, for sorting
    int image = 0;
    LPARAM param = 0;
    UINT state = 0;
};

struct Column {
    std::wstring text;
    int width = 0;
};

struct ListViewState : ClassState {
    std::vector<std::unique_ptr<ListItem>> items;
    std::vector<Column> columns;
    HIMAGELIST images[2] = {nullptr, nullptr};  // LVSIL_NORMAL, LVSIL_SMALL
    DWORD ex_style = 0;
    int mark = -1;  // the selection mark
    int top = 0;    // the first row in view

    int find(UINT state, int from) const {
        for (int i = std::max(from, 0); i < int(items.size()); i++)
            if ((items[size_t(i)]->state & state) == state) return i;
        return -1;
    }
    void describe(HWND, std::string *out) const override {
        int selected = find(LVIS_SELECTED, 0);
        *out += " count=" + std::to_string(items.size()) + " selected=" + std::to_string(selected) +
                " mark=" + std::to_string(mark);
        if (selected >= 0)
            *out += " text=" + quoted(items[size_t(selected)]->text) +
                    " data=" + std::to_string(items[size_t(selected)]->param);
    }
};

bool valid(const ListViewState *s, int index) { return index >= 0 && index < int(s->items.size()); }

int header_height(HWND window, const ListViewState *s) {
    bool shown = !has_style(window, LVS_NOCOLUMNHEADER) && !s->columns.empty();
    return shown ? control_line_height(window) + 4 : 0;
}

RowGeometry rows_of(HWND window, const ListViewState *s) {
    return row_geometry(window, s->images[LVSIL_SMALL], header_height(window, s));
}

void ensure_visible(HWND window, ListViewState *s, int index) {
    rows_scroll_into_view(window, rows_of(window, s), &s->top, index, int(s->items.size()));
}

void notify_changed(HWND window, int index, UINT old_state, UINT new_state, LPARAM param) {
    NMLISTVIEW change = {};
    change.iItem = index;
    change.uNewState = new_state;
    change.uOldState = old_state;
    change.uChanged = LVIF_STATE;
    change.lParam = param;
    notify_parent(window, LVN_ITEMCHANGED, &change.hdr);
}

// Changes the item's state bits in `mask`; one item at most is focused and,
// with LVS_SINGLESEL, selected. Items that lose a state are told first.
void change_state(HWND window, int index, UINT state, UINT mask) {
    ListViewState *s = state_of<ListViewState>(window);
    if (!s || !valid(s, index)) return;
    mask &= LVIS_FOCUSED | LVIS_SELECTED;
    UINT exclusive = (state & mask & LVIS_FOCUSED) | (has_style(window, LVS_SINGLESEL) ? state & mask & LVIS_SELECTED : 0);
    for (int other = 0; exclusive && s && other < int(s->items.size()); other++) {
        if (other == index || !(s->items[size_t(other)]->state & exclusive)) continue;
        change_state(window, other, 0, exclusive);
        s = state_of<ListViewState>(window);
    }
    if (!s || !valid(s, index)) return;
    ListItem &item = *s->items[size_t(index)];
    UINT old = item.state, now = (old & ~mask) | (state & mask);
    if (old == now) return;
    item.state = now;
    InvalidateRect(window, nullptr, TRUE);
    notify_changed(window, index, old, now, item.param);
}

int focus_index(const ListViewState *s) {
    int focused = s->find(LVIS_FOCUSED, 0);
    return focused >= 0 ? focused : s->find(LVIS_SELECTED, 0);
}

// Up or down by one row; -1 when that would leave the list. Down into a list
// without a selection takes its first row; up leaves it.
int next_row(const ListViewState *s, int vk) {
    int count = int(s->items.size()), from = focus_index(s);
    if (count == 0) return -1;
    if (from < 0) return vk == VK_DOWN ? 0 : -1;
    int to = from + (vk == VK_UP ? -1 : 1);
    return to >= 0 && to < count ? to : -1;
}

void move(HWND window, ListViewState *s, int vk) {
    int to = next_row(s, vk);
    if (to < 0) return;
    s->mark = to;
    ensure_visible(window, s, to);
    change_state(window, to, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

LRESULT dialog_code(const ListViewState *s, LPARAM msg) {
    if (dlgcode_key_is(msg, VK_RETURN)) return DLGC_WANTMESSAGE;
    const MSG *m = reinterpret_cast<const MSG *>(msg);
    if (dlgcode_key_is(msg, VK_UP, VK_DOWN) && next_row(s, int(m->wParam)) >= 0) return DLGC_WANTARROWS;
    return 0;
}

void paint_row(HWND window, const ListViewState *s, const ControlPaint &p, int index, const RECT &row) {
    const ListItem &item = *s->items[size_t(index)];
    HIMAGELIST small = s->images[LVSIL_SMALL];
    int image_width = 0, image_height = 0;
    if (small) ImageList_GetIconSize(small, &image_width, &image_height);
    RECT text = {row.left + PAD + (small ? image_width + PAD : 0), row.top, row.right - PAD, row.bottom};
    bool selected = (item.state & LVIS_SELECTED) && (p.focused || has_style(window, LVS_SHOWSELALWAYS));
    if (selected) {
        RECT band = row;
        if (!(s->ex_style & LVS_EX_FULLROWSELECT)) {
            SIZE size = {0, 0};
            GetTextExtentPoint32W(p.dc, item.text.c_str(), int(item.text.size()), &size);
            band = {text.left - 2, row.top, std::min(text.right, text.left + size.cx + 2), row.bottom};
        }
        look_fill(p.dc, band, p.focused ? LOOK_HIGHLIGHT : LOOK_IDLE_SELECTION);
    }
    if (small) ImageList_Draw(small, item.image, p.dc, int(row.left) + PAD, int(row.top + row.bottom - image_height) / 2, ILD_NORMAL);
    COLORREF ink = !p.enabled ? LOOK_GRAYED : selected && p.focused ? LOOK_BAR_TEXT : LOOK_TEXT;
    look_text(p.dc, text, item.text.c_str(), ink, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    if (p.focused && !selected && (item.state & LVIS_FOCUSED)) look_frame(p.dc, row, LOOK_HIGHLIGHT, 1);
}

void paint_header(const ListViewState *s, const ControlPaint &p, int height) {
    RECT band = {0, 0, p.client.right, height};
    look_fill(p.dc, band, LOOK_FACE);
    look_fill(p.dc, {0, height - 1, p.client.right, height}, LOOK_FIELD_EDGE);
    int x = 0;
    for (const Column &c : s->columns) {
        RECT r = {x + PAD, 0, x + c.width - PAD, height};
        look_text(p.dc, r, c.text.c_str(), LOOK_TEXT, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        x += c.width;
    }
}

void paint_list_view(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLORLISTBOX, &p);
    ListViewState *s = state_of<ListViewState>(window);
    if (s) {
        look_fill(p.dc, p.client, LOOK_PANEL);
        RowGeometry rows = rows_of(window, s);
        if (rows.header) paint_header(s, p, rows.header);
        rows_paint(p, rows, s->top, int(s->items.size()),
                   [&](int index, const RECT &row) { paint_row(window, s, p, index, row); });
        if (has_style(window, WS_BORDER)) look_frame(p.dc, p.client, LOOK_FIELD_EDGE, 1);
    }
    control_paint_end(window, &p);
}

// Where a new item goes: after the items whose text sorts before or equal to it.
int insert_position(HWND window, const ListViewState *s, const ListItem &item, int asked) {
    if (!has_style(window, LVS_SORTASCENDING)) return std::clamp(asked, 0, int(s->items.size()));
    auto it = std::upper_bound(s->items.begin(), s->items.end(), item.key,
                               [](const std::wstring &key, const std::unique_ptr<ListItem> &other) { return key < other->key; });
    return int(it - s->items.begin());
}

void set_text(ListItem &item, LPCWSTR text) {
    item.text = text ? text : L"";
    item.key = fold_case(item.text.c_str());
}

LRESULT insert_item(HWND window, ListViewState *s, const LVITEMW *in) {
    if (!in || in->iSubItem != 0) return -1;
    auto item = std::make_unique<ListItem>();
    if (in->mask & LVIF_TEXT) set_text(*item, in->pszText);
    if (in->mask & LVIF_IMAGE) item->image = in->iImage;
    if (in->mask & LVIF_PARAM) item->param = in->lParam;
    int at = insert_position(window, s, *item, in->iItem);
    s->items.insert(s->items.begin() + at, std::move(item));
    if (s->mark >= at) s->mark++;
    InvalidateRect(window, nullptr, TRUE);
    if (in->mask & LVIF_STATE) change_state(window, at, in->state, in->stateMask);
    return at;
}

LRESULT get_item(const ListViewState *s, LVITEMW *out) {
    if (!out || !valid(s, out->iItem) || out->iSubItem != 0) return FALSE;
    const ListItem &item = *s->items[size_t(out->iItem)];
    if ((out->mask & LVIF_TEXT) && out->pszText && out->cchTextMax > 0)
        copy_window_text(item.text, WPARAM(out->cchTextMax), reinterpret_cast<LPARAM>(out->pszText));
    if (out->mask & LVIF_IMAGE) out->iImage = item.image;
    if (out->mask & LVIF_PARAM) out->lParam = item.param;
    if (out->mask & LVIF_STATE) out->state = item.state & out->stateMask;
    return TRUE;
}

LRESULT set_item(HWND window, ListViewState *s, const LVITEMW *in) {
    if (!in || !valid(s, in->iItem) || in->iSubItem != 0) return FALSE;
    ListItem &item = *s->items[size_t(in->iItem)];
    if (in->mask & LVIF_TEXT) set_text(item, in->pszText);
    if (in->mask & LVIF_IMAGE) item.image = in->iImage;
    if (in->mask & LVIF_PARAM) item.param = in->lParam;
    InvalidateRect(window, nullptr, TRUE);
    if (in->mask & LVIF_STATE) change_state(window, in->iItem, in->state, in->stateMask);
    return TRUE;
}

// -1 changes every item.
LRESULT set_item_state(HWND window, ListViewState *s, WPARAM index, const LVITEMW *in) {
    if (!in || (int(index) != -1 && !valid(s, int(index)))) return FALSE;
    if (int(index) != -1) {
        change_state(window, int(index), in->state, in->stateMask);
        return TRUE;
    }
    for (int i = 0; (s = state_of<ListViewState>(window)) && i < int(s->items.size()); i++)
        change_state(window, i, in->state, in->stateMask);
    return TRUE;
}

LRESULT delete_item(HWND window, ListViewState *s, WPARAM index) {
    if (!valid(s, int(index))) return FALSE;
    s->items.erase(s->items.begin() + long(index));
    if (s->mark == int(index)) s->mark = -1;
    else if (s->mark > int(index)) s->mark--;
    s->top = std::clamp(s->top, 0, std::max(0, int(s->items.size()) - 1));
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

LRESULT insert_column(ListViewState *s, WPARAM index, const LVCOLUMNW *in) {
    if (!in) return -1;
    Column c;
    if ((in->mask & LVCF_TEXT) && in->pszText) c.text = in->pszText;
    if (in->mask & LVCF_WIDTH) c.width = in->cx;
    size_t at = std::min(size_t(index), s->columns.size());
    s->columns.insert(s->columns.begin() + long(at), c);
    return LRESULT(at);
}

LRESULT next_item(const ListViewState *s, WPARAM start, LPARAM flags) {
    int from = int(start) + 1;
    UINT want = UINT(flags) & (LVNI_FOCUSED | LVNI_SELECTED);
    if (!want) return from < int(s->items.size()) ? from : -1;
    return s->find(want, from);
}

LRESULT list_view_message(HWND window, ListViewState *s, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case LVM_INSERTITEMW: return insert_item(window, s, reinterpret_cast<const LVITEMW *>(lparam));
    case LVM_GETITEMW: return get_item(s, reinterpret_cast<LVITEMW *>(lparam));
    case LVM_SETITEMW: return set_item(window, s, reinterpret_cast<const LVITEMW *>(lparam));
    case LVM_SETITEMSTATE: return set_item_state(window, s, wparam, reinterpret_cast<const LVITEMW *>(lparam));
    case LVM_GETITEMSTATE: return valid(s, int(wparam)) ? LRESULT(s->items[wparam]->state & UINT(lparam)) : 0;
    case LVM_GETITEMCOUNT: return LRESULT(s->items.size());
    case LVM_GETNEXTITEM: return next_item(s, wparam, lparam);
    case LVM_DELETEITEM: return delete_item(window, s, wparam);
    case LVM_DELETEALLITEMS:
        s->items.clear();
        s->mark = -1;
        s->top = 0;
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    case LVM_INSERTCOLUMNW: return insert_column(s, wparam, reinterpret_cast<const LVCOLUMNW *>(lparam));
    case LVM_GETSELECTIONMARK: return s->mark;
    case LVM_SETSELECTIONMARK: {
        LRESULT old = s->mark;
        s->mark = int(lparam);
        return old;
    }
    case LVM_SETIMAGELIST: {
        if (wparam > LVSIL_SMALL) return 0;
        HIMAGELIST old = s->images[wparam];
        s->images[wparam] = reinterpret_cast<HIMAGELIST>(lparam);
        InvalidateRect(window, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD mask = wparam ? DWORD(wparam) : 0xFFFFFFFF, old = s->ex_style;
        s->ex_style = (old & ~mask) | (DWORD(lparam) & mask);
        InvalidateRect(window, nullptr, TRUE);
        return LRESULT(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return LRESULT(s->ex_style);
    case LVM_ENSUREVISIBLE:
        if (!valid(s, int(wparam))) return FALSE;
        ensure_visible(window, s, int(wparam));
        return TRUE;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

LRESULT list_view_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ListViewState *s = state_of<ListViewState>(window);
    if (message == WM_CREATE) {
        state_make<ListViewState>(window);
        return 0;
    }
    if (!s) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_list_view(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return dialog_code(s, lparam);
    case WM_KEYDOWN:
        if (wparam == VK_UP || wparam == VK_DOWN) move(window, s, int(wparam));
        else if (wparam == VK_RETURN) {
            NMHDR header = {};
            notify_parent(window, NM_RETURN, &header);
        }
        return 0;
    case WM_DESTROY:
        if (!has_style(window, LVS_SHAREIMAGELISTS))
            for (HIMAGELIST list : s->images) ImageList_Destroy(list);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE: InvalidateRect(window, nullptr, TRUE); return 0;
    default: return list_view_message(window, s, message, wparam, lparam);
    }
}

}  // namespace plat
