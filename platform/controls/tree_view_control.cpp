// The tree view: items under their parents in the order inserted, each with
// an image from the tree's image list (its selected image while it is the
// selection) and a button when it has children. Up and down move the
// selection over the items shown, right expands or goes to the first child,
// left collapses or goes to the parent; at the first or last item up and down
// leave the tree to the dialog. Expanding and collapsing, by key or by
// TVM_EXPAND, ask the parent first (TVN_ITEMEXPANDING, TRUE forbids) and tell
// it after; a new selection likewise (TVN_SELCHANGING, TVN_SELCHANGED).
#include <algorithm>
#include <unordered_map>

#include "platform/controls/control_internal.h"
#include "platform/controls/row_scroller.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

constexpr int INDENT = 14;
constexpr int BUTTON = 9;
constexpr int PAD = 3;

struct TreeItem {
    HTREEITEM handle = nullptr;
    std::wstring text;
    int image = 0;
    int selected_image = 0;
    LPARAM param = 0;
    bool expanded = false;
    TreeItem *parent = nullptr;
    std::vector<std::unique_ptr<TreeItem>> children;
};

struct TreeViewState : ClassState {
    std::vector<std::unique_ptr<TreeItem>> roots;
    std::unordered_map<HTREEITEM, TreeItem *> by_handle;
    uintptr_t next_handle = 0x100;  // handles are never reused
    TreeItem *caret = nullptr;
    HIMAGELIST images = nullptr;
    int top = 0;  // the first row in view

    TreeItem *find(HTREEITEM handle) const {
        auto it = by_handle.find(handle);
        return it == by_handle.end() ? nullptr : it->second;
    }
    std::vector<std::unique_ptr<TreeItem>> &siblings_of(const TreeItem *item) {
        return item->parent ? item->parent->children : roots;
    }
    // The items shown: those whose parents are all expanded, in order.
    void shown(std::vector<TreeItem *> *out, const std::vector<std::unique_ptr<TreeItem>> &list) const {
        for (const auto &item : list) {
            out->push_back(item.get());
            if (item->expanded) shown(out, item->children);
        }
    }
    std::vector<TreeItem *> shown() const {
        std::vector<TreeItem *> out;
        shown(&out, roots);
        return out;
    }
    void describe(HWND, std::string *out) const override {
        *out += " count=" + std::to_string(by_handle.size()) + " shown=" + std::to_string(shown().size());
        if (!caret) return;
        std::wstring path = caret->text;
        for (TreeItem *p = caret->parent; p; p = p->parent) path = p->text + L"\\" + path;
        *out += " selected=" + quoted(caret->text) + " path=" + quoted(path) + (caret->expanded ? " expanded" : "");
    }
};

int depth_of(const TreeItem *item) {
    int depth = 0;
    for (const TreeItem *p = item->parent; p; p = p->parent) depth++;
    return depth;
}

bool inside(const TreeItem *item, const TreeItem *ancestor) {
    for (; item; item = item->parent)
        if (item == ancestor) return true;
    return false;
}

void describe_item(const TreeItem *item, const TreeItem *caret, TVITEMW *out) {
    out->mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    if (!item) return;
    out->hItem = item->handle;
    out->state = (item == caret ? TVIS_SELECTED : 0) | (item->expanded ? TVIS_EXPANDED : 0);
    out->stateMask = TVIS_SELECTED | TVIS_EXPANDED;
    out->lParam = item->param;
}

void ensure_visible(HWND window, TreeViewState *s, const TreeItem *item) {
    std::vector<TreeItem *> rows = s->shown();
    int index = int(std::find(rows.begin(), rows.end(), item) - rows.begin());
    rows_scroll_into_view(window, row_geometry(window, s->images, 0), &s->top, index, int(rows.size()));
}

LRESULT notify_tree(HWND window, UINT code, UINT action, const TreeItem *old_item, const TreeItem *new_item,
                    const TreeItem *caret) {
    NMTREEVIEWW change = {};
    change.action = action;
    describe_item(old_item, caret, &change.itemOld);
    describe_item(new_item, caret, &change.itemNew);
    return notify_parent(window, code, &change.hdr);
}

BOOL expand(HWND window, HTREEITEM handle, UINT action, bool by_key);

// Expands the closed parents of an item, outermost first, so that it shows.
void open_parents(HWND window, HTREEITEM handle) {
    TreeViewState *s = state_of<TreeViewState>(window);
    TreeItem *item = s ? s->find(handle) : nullptr;
    std::vector<HTREEITEM> parents;
    for (TreeItem *p = item ? item->parent : nullptr; p; p = p->parent) parents.insert(parents.begin(), p->handle);
    for (HTREEITEM p : parents) expand(window, p, TVE_EXPAND, false);
}

// Makes the item the selection (NULL: none), opening its parents so that it
// shows. FALSE when the parent window forbids it.
BOOL select(HWND window, HTREEITEM handle, UINT action) {
    TreeViewState *s = state_of<TreeViewState>(window);
    TreeItem *item = s ? s->find(handle) : nullptr;
    if (!s || (handle && !item)) return FALSE;
    if (item == s->caret) return TRUE;
    HTREEITEM old_handle = s->caret ? s->caret->handle : nullptr;
    if (notify_tree(window, TVN_SELCHANGINGW, action, s->caret, item, s->caret)) return FALSE;
    open_parents(window, handle);
    if (!(s = state_of<TreeViewState>(window)) || (handle && !(item = s->find(handle)))) return FALSE;
    TreeItem *old = s->find(old_handle);
    s->caret = item;
    if (item) ensure_visible(window, s, item);
    InvalidateRect(window, nullptr, TRUE);
    notify_tree(window, TVN_SELCHANGEDW, action, old, item, item);
    return TRUE;
}

BOOL expand(HWND window, HTREEITEM handle, UINT action, bool by_key) {
    TreeViewState *s = state_of<TreeViewState>(window);
    TreeItem *item = s ? s->find(handle) : nullptr;
    if (!item || item->children.empty() || !(action & TVE_TOGGLE)) return FALSE;
    bool open = (action & TVE_TOGGLE) == TVE_TOGGLE ? !item->expanded : (action & TVE_EXPAND) != 0;
    if (open == item->expanded) return open ? TRUE : FALSE;
    UINT code = open ? TVE_EXPAND : TVE_COLLAPSE;
    if (notify_tree(window, TVN_ITEMEXPANDINGW, code, nullptr, item, s->caret)) return FALSE;
    if (!(s = state_of<TreeViewState>(window)) || !(item = s->find(handle))) return FALSE;
    item->expanded = open;
    // A selection inside what closes moves up to the item closed.
    if (!open && s->caret && s->caret != item && inside(s->caret, item)) select(window, handle, by_key ? TVC_BYKEYBOARD : TVC_UNKNOWN);
    if ((s = state_of<TreeViewState>(window)) && (item = s->find(handle))) {
        ensure_visible(window, s, s->caret ? s->caret : item);
        notify_tree(window, TVN_ITEMEXPANDEDW, code, nullptr, item, s->caret);
    }
    return TRUE;
}

// Up or down over the items shown; NULL when that would leave the tree.
// Down into a tree without a selection takes its first item; up leaves it.
TreeItem *next_row(const TreeViewState *s, int vk) {
    std::vector<TreeItem *> rows = s->shown();
    if (rows.empty()) return nullptr;
    if (!s->caret) return vk == VK_DOWN ? rows.front() : nullptr;
    long at = std::find(rows.begin(), rows.end(), s->caret) - rows.begin() + (vk == VK_UP ? -1 : 1);
    return at >= 0 && at < long(rows.size()) ? rows[size_t(at)] : nullptr;
}

void key_down(HWND window, TreeViewState *s, int vk) {
    TreeItem *caret = s->caret;
    if (vk == VK_UP || vk == VK_DOWN) {
        if (TreeItem *to = next_row(s, vk)) select(window, to->handle, TVC_BYKEYBOARD);
    } else if (vk == VK_RIGHT && caret && !caret->children.empty()) {
        if (!caret->expanded) expand(window, caret->handle, TVE_EXPAND, true);
        else select(window, caret->children.front()->handle, TVC_BYKEYBOARD);
    } else if (vk == VK_LEFT && caret) {
        if (caret->expanded) expand(window, caret->handle, TVE_COLLAPSE, true);
        else if (caret->parent) select(window, caret->parent->handle, TVC_BYKEYBOARD);
    }
}

LRESULT dialog_code(const TreeViewState *s, LPARAM msg) {
    const MSG *m = reinterpret_cast<const MSG *>(msg);
    return dlgcode_key_is(msg, VK_UP, VK_DOWN) && next_row(s, int(m->wParam)) ? DLGC_WANTARROWS : 0;
}

void paint_row(HWND window, const TreeViewState *s, const ControlPaint &p, const TreeItem *item, const RECT &row) {
    int x = int(row.left) + PAD + depth_of(item) * INDENT;
    int mid = int(row.top + row.bottom) / 2;
    if (has_style(window, TVS_HASBUTTONS) && !item->children.empty()) {
        RECT box = {x, mid - BUTTON / 2, x + BUTTON, mid - BUTTON / 2 + BUTTON};
        look_fill(p.dc, box, LOOK_PANEL);
        look_frame(p.dc, box, LOOK_FIELD_EDGE, 1);
        look_fill(p.dc, {box.left + 2, mid, box.right - 2, mid + 1}, LOOK_TEXT);
        if (!item->expanded) look_fill(p.dc, {x + BUTTON / 2, box.top + 2, x + BUTTON / 2 + 1, box.bottom - 2}, LOOK_TEXT);
    }
    x += BUTTON + PAD;
    bool selected = item == s->caret && (p.focused || has_style(window, TVS_SHOWSELALWAYS));
    int width = 0, height = 0;
    if (s->images) ImageList_GetIconSize(s->images, &width, &height);
    SIZE text_size = {0, 0};
    GetTextExtentPoint32W(p.dc, item->text.c_str(), int(item->text.size()), &text_size);
    RECT band = {x - 1, row.top, std::min(int(row.right), x + (s->images ? width + PAD : 0) + int(text_size.cx) + 3), row.bottom};
    if (selected) look_fill(p.dc, band, p.focused ? LOOK_HIGHLIGHT : LOOK_IDLE_SELECTION);
    if (s->images) {
        ImageList_Draw(s->images, item == s->caret ? item->selected_image : item->image, p.dc, x, mid - height / 2, ILD_NORMAL);
        x += width + PAD;
    }
    RECT text = {x, row.top, row.right - PAD, row.bottom};
    COLORREF ink = !p.enabled ? LOOK_GRAYED : selected && p.focused ? LOOK_BAR_TEXT : LOOK_TEXT;
    look_text(p.dc, text, item->text.c_str(), ink, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void paint_tree(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLORLISTBOX, &p);
    TreeViewState *s = state_of<TreeViewState>(window);
    if (s) {
        look_fill(p.dc, p.client, LOOK_PANEL);
        std::vector<TreeItem *> rows = s->shown();
        RowGeometry geometry = row_geometry(window, s->images, 0);
        rows_paint(p, geometry, s->top, int(rows.size()),
                   [&](int index, const RECT &row) { paint_row(window, s, p, rows[size_t(index)], row); });
        if (p.focused && !s->caret) look_frame(p.dc, {0, 0, p.client.right, geometry.height}, LOOK_HIGHLIGHT, 1);
        if (has_style(window, WS_BORDER)) look_frame(p.dc, p.client, LOOK_FIELD_EDGE, 1);
    }
    control_paint_end(window, &p);
}

void take_fields(TreeItem *item, const TVITEMW &in) {
    if ((in.mask & TVIF_TEXT) && in.pszText) item->text = in.pszText;
    if (in.mask & TVIF_IMAGE) item->image = in.iImage;
    if (in.mask & TVIF_SELECTEDIMAGE) item->selected_image = in.iSelectedImage;
    if (in.mask & TVIF_PARAM) item->param = in.lParam;
    if ((in.mask & TVIF_STATE) && (in.stateMask & TVIS_EXPANDED)) item->expanded = (in.state & TVIS_EXPANDED) != 0;
}

LRESULT insert_item(HWND window, TreeViewState *s, const TVINSERTSTRUCTW *in) {
    if (!in) return 0;
    TreeItem *parent = in->hParent && in->hParent != TVI_ROOT ? s->find(in->hParent) : nullptr;
    if (in->hParent && in->hParent != TVI_ROOT && !parent) return 0;
    auto item = std::make_unique<TreeItem>();
    item->handle = reinterpret_cast<HTREEITEM>(s->next_handle);
    s->next_handle += 4;
    item->parent = parent;
    take_fields(item.get(), in->item);
    std::vector<std::unique_ptr<TreeItem>> &list = parent ? parent->children : s->roots;
    auto at = list.end();
    if (in->hInsertAfter == TVI_FIRST) at = list.begin();
    else if (TreeItem *after = s->find(in->hInsertAfter); after && after->parent == parent)
        at = std::find_if(list.begin(), list.end(), [after](const auto &i) { return i.get() == after; }) + 1;
    HTREEITEM handle = item->handle;
    s->by_handle[handle] = item.get();
    list.insert(at, std::move(item));
    InvalidateRect(window, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(handle);
}

void forget(TreeViewState *s, TreeItem *item) {
    for (auto &child : item->children) forget(s, child.get());
    s->by_handle.erase(item->handle);
}

// The selection, when it goes with what is deleted, moves to the next
// sibling, else the one before, else the parent.
LRESULT delete_item(HWND window, TreeViewState *s, HTREEITEM handle) {
    if (!handle || handle == TVI_ROOT) {
        s->roots.clear();
        s->by_handle.clear();
        s->caret = nullptr;
        s->top = 0;
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    TreeItem *item = s->find(handle);
    if (!item) return FALSE;
    if (s->caret && inside(s->caret, item)) {
        auto &list = s->siblings_of(item);
        long at = std::find_if(list.begin(), list.end(), [item](const auto &i) { return i.get() == item; }) - list.begin();
        TreeItem *next = size_t(at + 1) < list.size() ? list[size_t(at + 1)].get() : at > 0 ? list[size_t(at - 1)].get() : item->parent;
        select(window, next ? next->handle : nullptr, TVC_UNKNOWN);
        if (!(s = state_of<TreeViewState>(window)) || !(item = s->find(handle))) return FALSE;
        if (s->caret && inside(s->caret, item)) s->caret = nullptr;
    }
    forget(s, item);
    auto &list = s->siblings_of(item);
    list.erase(std::find_if(list.begin(), list.end(), [item](const auto &i) { return i.get() == item; }));
    ensure_visible(window, s, s->caret);
    return TRUE;
}

LRESULT get_item(const TreeViewState *s, TVITEMW *out) {
    const TreeItem *item = out ? s->find(out->hItem) : nullptr;
    if (!item) return FALSE;
    if ((out->mask & TVIF_TEXT) && out->pszText && out->cchTextMax > 0)
        copy_window_text(item->text, WPARAM(out->cchTextMax), reinterpret_cast<LPARAM>(out->pszText));
    if (out->mask & TVIF_IMAGE) out->iImage = item->image;
    if (out->mask & TVIF_SELECTEDIMAGE) out->iSelectedImage = item->selected_image;
    if (out->mask & TVIF_PARAM) out->lParam = item->param;
    if (out->mask & TVIF_CHILDREN) out->cChildren = item->children.empty() ? 0 : 1;
    if (out->mask & TVIF_STATE)
        out->state = ((item == s->caret ? TVIS_SELECTED : 0) | (item->expanded ? TVIS_EXPANDED : 0)) & out->stateMask;
    return TRUE;
}

HTREEITEM sibling(TreeViewState *s, const TreeItem *item, int step) {
    auto &list = s->siblings_of(item);
    long at = std::find_if(list.begin(), list.end(), [item](const auto &i) { return i.get() == item; }) - list.begin() + step;
    return at >= 0 && at < long(list.size()) ? list[size_t(at)]->handle : nullptr;
}

HTREEITEM next_item(TreeViewState *s, WPARAM code, HTREEITEM handle) {
    TreeItem *item = s->find(handle);
    std::vector<TreeItem *> rows;
    switch (code) {
    case TVGN_ROOT: return s->roots.empty() ? nullptr : s->roots.front()->handle;
    case TVGN_CARET: return s->caret ? s->caret->handle : nullptr;
    case TVGN_CHILD:
        if (!handle || handle == TVI_ROOT) return next_item(s, TVGN_ROOT, nullptr);
        return item && !item->children.empty() ? item->children.front()->handle : nullptr;
    case TVGN_PARENT: return item && item->parent ? item->parent->handle : nullptr;
    case TVGN_NEXT: return item ? sibling(s, item, 1) : nullptr;
    case TVGN_PREVIOUS: return item ? sibling(s, item, -1) : nullptr;
    case TVGN_FIRSTVISIBLE:
        rows = s->shown();
        return s->top < int(rows.size()) ? rows[size_t(s->top)]->handle : nullptr;
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        rows = s->shown();
        long at = std::find(rows.begin(), rows.end(), item) - rows.begin() + (code == TVGN_NEXTVISIBLE ? 1 : -1);
        return item && at >= 0 && at < long(rows.size()) ? rows[size_t(at)]->handle : nullptr;
    }
    default: return nullptr;
    }
}

LRESULT tree_message(HWND window, TreeViewState *s, UINT message, WPARAM wparam, LPARAM lparam) {
    auto handle = reinterpret_cast<HTREEITEM>(lparam);
    switch (message) {
    case TVM_INSERTITEMW: return insert_item(window, s, reinterpret_cast<const TVINSERTSTRUCTW *>(lparam));
    case TVM_DELETEITEM: return delete_item(window, s, handle);
    case TVM_EXPAND: return expand(window, handle, UINT(wparam), false);
    case TVM_GETCOUNT: return LRESULT(s->by_handle.size());
    case TVM_GETNEXTITEM: return reinterpret_cast<LRESULT>(next_item(s, wparam, handle));
    case TVM_SELECTITEM: return wparam == TVGN_CARET ? select(window, handle, TVC_UNKNOWN) : FALSE;
    case TVM_GETITEMW: return get_item(s, reinterpret_cast<TVITEMW *>(lparam));
    case TVM_SETITEMW: {
        auto *in = reinterpret_cast<const TVITEMW *>(lparam);
        TreeItem *item = in ? s->find(in->hItem) : nullptr;
        if (!item) return FALSE;
        take_fields(item, *in);
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    case TVM_SETIMAGELIST: {
        if (wparam != TVSIL_NORMAL) return 0;
        HIMAGELIST old = s->images;
        s->images = reinterpret_cast<HIMAGELIST>(lparam);
        InvalidateRect(window, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_ENSUREVISIBLE: {
        if (!s->find(handle)) return FALSE;
        open_parents(window, handle);
        TreeItem *item = (s = state_of<TreeViewState>(window)) ? s->find(handle) : nullptr;
        if (item) ensure_visible(window, s, item);
        return TRUE;
    }
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

LRESULT tree_view_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    TreeViewState *s = state_of<TreeViewState>(window);
    if (message == WM_CREATE) {
        state_make<TreeViewState>(window);
        return 0;
    }
    if (!s) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_tree(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return dialog_code(s, lparam);
    case WM_KEYDOWN: key_down(window, s, int(wparam)); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE: InvalidateRect(window, nullptr, TRUE); return 0;
    default: return tree_message(window, s, message, wparam, lparam);
    }
}

}  // namespace plat
