// The common controls: up-down (the phone's spin boxes), the date-time picker
// in time format, the list view, the tree view and image lists. A program
// registers the classes it uses with InitCommonControlsEx before making them,
// as on the phone. Notifications reach the parent as WM_NOTIFY with the
// records below; codes are the phone's (Unicode) values.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/window/window.h"

typedef struct tagINITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_DATE_CLASSES 0x00000100

// FALSE for a wrong dwSize. Classes the system never uses (ICC_BAR_CLASSES, ...)
// are not there to register and are passed over.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX *init);

// Notification codes common to the controls.
#define NM_FIRST (0U - 0U)
#define NM_RETURN (NM_FIRST - 4U)

// Image lists: images of one size, drawn with their transparent colour.
struct _IMAGELIST;
typedef struct _IMAGELIST *HIMAGELIST;

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLOR24 0x0018
#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define CLR_NONE 0xFFFFFFFFL

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
// Adds the bitmap cut into images of the list's width; the index of the first,
// -1 on failure. Mask bitmaps are not taken: use ImageList_AddMasked.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The same, with pixels of `key` transparent in a list made with ILC_MASK.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int *width, int *height);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_Destroy(HIMAGELIST list);

// Up-down control. Buddied with a list box it makes the phone's spin box:
// left and right turn the list (UDS_HORZ), wrapping with UDS_WRAP; with
// UDS_EXPANDABLE the action key opens the whole list to choose from.
#define UPDOWN_CLASSW L"msctls_updown32"
#define UPDOWN_CLASS UPDOWN_CLASSW
#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002
#define UDS_ALIGNRIGHT 0x0004
#define UDS_ALIGNLEFT 0x0008
#define UDS_AUTOBUDDY 0x0010
#define UDS_ARROWKEYS 0x0020
#define UDS_HORZ 0x0040
#define UDS_NOTHOUSANDS 0x0080
#define UDS_EXPANDABLE 0x0200
#define UDS_NOSCROLL 0x0400
#define UDM_SETBUDDY (WM_USER + 105)
#define UDM_GETBUDDY (WM_USER + 106)

// Date-time picker, time format: hours and minutes (and AM/PM where the
// locale uses 12 hours). The action key starts editing in place: left and
// right move between the fields, up and down change one, digits type it; the
// action key or Back ends editing.
#define DATETIMEPICK_CLASSW L"SysDateTimePick32"
#define DATETIMEPICK_CLASS DATETIMEPICK_CLASSW
#define DTS_UPDOWN 0x0001
#define DTS_SHOWNONE 0x0002
#define DTS_SHORTDATEFORMAT 0x0000
#define DTS_TIMEFORMAT 0x0009
#define DTM_FIRST 0x1000
#define DTM_GETSYSTEMTIME (DTM_FIRST + 1)
#define DTM_SETSYSTEMTIME (DTM_FIRST + 2)
#define GDT_ERROR (-1)
#define GDT_VALID 0
#define GDT_NONE 1

#define DTN_FIRST (0U - 760U)
#define DTN_DATETIMECHANGE (DTN_FIRST + 1)

typedef struct tagNMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags;  // GDT_VALID
    SYSTEMTIME st;
} NMDATETIMECHANGE, *LPNMDATETIMECHANGE;

// List view: report view with one column, single selection, items kept in
// ascending order of their text (LVS_SORTASCENDING, without regard to case),
// small images, the whole row selected (LVS_EX_FULLROWSELECT). Up and down
// move the selection; the action key sends NM_RETURN.
#define WC_LISTVIEWW L"SysListView32"
#define WC_LISTVIEW WC_LISTVIEWW
#define LVS_ICON 0x0000
#define LVS_REPORT 0x0001
#define LVS_SMALLICON 0x0002
#define LVS_LIST 0x0003
#define LVS_TYPEMASK 0x0003
#define LVS_SINGLESEL 0x0004
#define LVS_SHOWSELALWAYS 0x0008
#define LVS_SORTASCENDING 0x0010
// Without it the list view destroys its image lists when it is destroyed.
#define LVS_SHAREIMAGELISTS 0x0040
#define LVS_NOCOLUMNHEADER 0x4000
#define LVS_EX_FULLROWSELECT 0x00000020

#define LVSIL_NORMAL 0
#define LVSIL_SMALL 1

#define LVIF_TEXT 0x0001
#define LVIF_IMAGE 0x0002
#define LVIF_PARAM 0x0004
#define LVIF_STATE 0x0008
#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002

#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002

#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008
#define LVCFMT_LEFT 0x0000

#define LVM_FIRST 0x1000
#define LVM_SETIMAGELIST (LVM_FIRST + 3)
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_DELETEITEM (LVM_FIRST + 8)
#define LVM_DELETEALLITEMS (LVM_FIRST + 9)
#define LVM_GETNEXTITEM (LVM_FIRST + 12)
#define LVM_ENSUREVISIBLE (LVM_FIRST + 19)
#define LVM_SETITEMSTATE (LVM_FIRST + 43)
#define LVM_GETITEMSTATE (LVM_FIRST + 44)
#define LVM_SETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 54)
#define LVM_GETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 55)
#define LVM_GETSELECTIONMARK (LVM_FIRST + 66)
#define LVM_SETSELECTIONMARK (LVM_FIRST + 67)
#define LVM_GETITEMW (LVM_FIRST + 75)
#define LVM_SETITEMW (LVM_FIRST + 76)
#define LVM_INSERTITEMW (LVM_FIRST + 77)
#define LVM_INSERTCOLUMNW (LVM_FIRST + 97)
#define LVM_GETITEM LVM_GETITEMW
#define LVM_SETITEM LVM_SETITEMW
#define LVM_INSERTITEM LVM_INSERTITEMW
#define LVM_INSERTCOLUMN LVM_INSERTCOLUMNW

typedef struct tagLVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
} LVITEMW, LVITEM, *LPLVITEMW;

typedef struct tagLVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    LPWSTR pszText;
    int cchTextMax;
    int iSubItem;
} LVCOLUMNW, LVCOLUMN, *LPLVCOLUMNW;

#define LVN_FIRST (0U - 100U)
#define LVN_ITEMCHANGED (LVN_FIRST - 1U)

typedef struct tagNMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
} NMLISTVIEW, *LPNMLISTVIEW;

// Tree view: items under a parent in the order inserted (at the end), with
// buttons to expand; up and down move the selection over the shown items,
// right expands, left collapses or goes to the parent. The action key is not
// the tree's: the dialog gets it as IDOK. Its image list stays the caller's.
#define WC_TREEVIEWW L"SysTreeView32"
#define WC_TREEVIEW WC_TREEVIEWW
#define TVS_HASBUTTONS 0x0001
#define TVS_HASLINES 0x0002
#define TVS_LINESATROOT 0x0004
#define TVS_SHOWSELALWAYS 0x0020

struct _TREEITEM;
typedef struct _TREEITEM *HTREEITEM;
#define TVI_ROOT ((HTREEITEM)(ULONG_PTR)-0x10000)
#define TVI_FIRST ((HTREEITEM)(ULONG_PTR)-0x0FFFF)
#define TVI_LAST ((HTREEITEM)(ULONG_PTR)-0x0FFFE)

#define TVIF_TEXT 0x0001
#define TVIF_IMAGE 0x0002
#define TVIF_PARAM 0x0004
#define TVIF_STATE 0x0008
#define TVIF_HANDLE 0x0010
#define TVIF_SELECTEDIMAGE 0x0020
#define TVIF_CHILDREN 0x0040
#define TVIS_SELECTED 0x0002
#define TVIS_EXPANDED 0x0020

#define TVE_COLLAPSE 0x0001
#define TVE_EXPAND 0x0002
#define TVE_TOGGLE 0x0003

#define TVGN_ROOT 0x0000
#define TVGN_NEXT 0x0001
#define TVGN_PREVIOUS 0x0002
#define TVGN_PARENT 0x0003
#define TVGN_CHILD 0x0004
#define TVGN_FIRSTVISIBLE 0x0005
#define TVGN_NEXTVISIBLE 0x0006
#define TVGN_PREVIOUSVISIBLE 0x0007
#define TVGN_CARET 0x0009

#define TVSIL_NORMAL 0

#define TV_FIRST 0x1100
#define TVM_DELETEITEM (TV_FIRST + 1)
#define TVM_EXPAND (TV_FIRST + 2)
#define TVM_GETCOUNT (TV_FIRST + 5)
#define TVM_SETIMAGELIST (TV_FIRST + 9)
#define TVM_GETNEXTITEM (TV_FIRST + 10)
#define TVM_SELECTITEM (TV_FIRST + 11)
#define TVM_ENSUREVISIBLE (TV_FIRST + 20)
#define TVM_INSERTITEMW (TV_FIRST + 50)
#define TVM_GETITEMW (TV_FIRST + 62)
#define TVM_SETITEMW (TV_FIRST + 63)
#define TVM_INSERTITEM TVM_INSERTITEMW
#define TVM_GETITEM TVM_GETITEMW
#define TVM_SETITEM TVM_SETITEMW

typedef struct tagTVITEMW {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
} TVITEMW, TVITEM, *LPTVITEMW;

typedef struct tagTVINSERTSTRUCTW {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TVITEMW item;
} TVINSERTSTRUCTW, TVINSERTSTRUCT, *LPTVINSERTSTRUCTW;

#define TVN_FIRST (0U - 400U)
#define TVN_SELCHANGINGW (TVN_FIRST - 50U)
#define TVN_SELCHANGEDW (TVN_FIRST - 51U)
#define TVN_ITEMEXPANDINGW (TVN_FIRST - 54U)
#define TVN_ITEMEXPANDEDW (TVN_FIRST - 55U)
#define TVN_SELCHANGING TVN_SELCHANGINGW
#define TVN_SELCHANGED TVN_SELCHANGEDW
#define TVN_ITEMEXPANDING TVN_ITEMEXPANDINGW
#define TVN_ITEMEXPANDED TVN_ITEMEXPANDEDW

#define TVC_UNKNOWN 0x0000
#define TVC_BYKEYBOARD 0x0002

typedef struct tagNMTREEVIEWW {
    NMHDR hdr;
    UINT action;
    TVITEMW itemOld;
    TVITEMW itemNew;
    POINT ptDrag;
} NMTREEVIEWW, NMTREEVIEW, *LPNMTREEVIEWW;
