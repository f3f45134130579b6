// The container message interface: the messages, records, flags and notification codes that a
// container window answers. The library, its own native container and every other window of
// the container classes read and write exactly these records.
#pragma once

#include <cstddef>
#include <cstdint>

struct HBITMAP__;
struct HDC__;
struct HICON__;
struct HWND__;

// Callbacks that a container window calls: stdcall on 32-bit Windows, like every callback of
// the platform (the keyword means nothing on 64-bit Windows).
#if defined(_WIN32) && !defined(_WIN64)
#define OVKCNR_CALLBACK __stdcall
#else
#define OVKCNR_CALLBACK
#endif

// The two window classes that answer the messages: the message-driven class, which comes from
// outside the library, and the library's own emulation on the common controls.
inline constexpr const char WC_CONTAINER[] = "OVK Container";
inline constexpr const char WC_NATIVECONTAINER[] = "OVK Native Container";

// The records are C structures in a fixed field order. Pointer and handle fields are pointer
// wide, so on 32-bit Windows every record has the sizes and offsets the interface fixes (checked
// below); on 64-bit Windows the same fields take their natural places. Code never spells an
// offset or a size: it uses offsetof and sizeof.

struct CNR_POINTL {
    std::int32_t x;
    std::int32_t y;
};

struct CNR_SIZEL {
    std::int32_t cx;
    std::int32_t cy;
};

struct CNR_RECTL {
    std::int32_t xLeft;
    std::int32_t yBottom;
    std::int32_t xRight;
    std::int32_t yTop;
};

struct MINIRECORDCORE;
struct FIELDINFO;

// A pointer-wide parameter, the same type as the platform's LPARAM, so that one comparison
// callback serves the container message and the list and tree controls' own sort messages.
#if defined(_WIN64)
using CNR_LPARAM = long long;
#else
using CNR_LPARAM = long;
#endif

// Comparison of two records (negative, zero or positive) with the caller's data; the native
// container passes the two objects in place of the records.
using PFNCNRCOMPARE = int(OVKCNR_CALLBACK*)(CNR_LPARAM record1, CNR_LPARAM record2,
                                            CNR_LPARAM userData);
// A filter: true keeps the record shown.
using PFNCNRFILTER = int(OVKCNR_CALLBACK*)(MINIRECORDCORE* record, void* userData);

// The short record header in front of every object. The object lies `cb` bytes behind the
// record.
struct MINIRECORDCORE {
    std::uint32_t cb;
    std::uint32_t flRecordAttr;
    CNR_POINTL ptlIcon;
    MINIRECORDCORE* preccNextRecord;
    char* pszIcon;
    HICON__* hptrIcon;
};

// The container information record.
struct CNRINFO {
    std::uint32_t cb;
    PFNCNRCOMPARE pSortRecord;
    FIELDINFO* pFieldInfoLast;
    FIELDINFO* pFieldInfoObject;
    char* pszCnrTitle;
    std::uint32_t flWindowAttr;
    CNR_POINTL ptlOrigin;
    std::uint32_t cDelta;
    std::uint32_t cRecords;
    CNR_SIZEL slBitmapOrIcon;
    CNR_SIZEL slTreeBitmapOrIcon;
    HBITMAP__* hbmExpanded;
    HBITMAP__* hbmCollapsed;
    HICON__* hptrExpanded;
    HICON__* hptrCollapsed;
    std::int32_t cyLineSpacing;
    std::int32_t cxTreeIndent;
    std::int32_t cxTreeLine;
    std::uint32_t cFields;
    std::int32_t xVertSplitbar;
};

// A details-view column descriptor. offStruct counts from the start of the record header.
struct FIELDINFO {
    std::uint32_t cb;
    std::uint32_t flData;
    std::uint32_t flTitle;
    void* pTitleData;
    std::uint32_t offStruct;
    void* pUserData;
    FIELDINFO* pNextFieldInfo;
    std::uint16_t cxWidth;
};

struct FIELDINFOINSERT {
    std::uint32_t cb;
    FIELDINFO* pFieldInfoOrder;
    std::uint32_t fInvalidateFieldInfo;
    std::uint16_t cFieldInfoInsert;
};

// The two 16-bit fields are packed behind each other.
struct RECORDINSERT {
    std::uint32_t cb;
    MINIRECORDCORE* pRecordOrder;
    MINIRECORDCORE* pRecordParent;
    std::uint32_t fInvalidateRecord;
    std::uint16_t zOrder;
    std::uint16_t cRecordsInsert;
};

struct CNREDITDATA {
    std::uint32_t cb;
    HWND__* hwndCnr;
    MINIRECORDCORE* pRecord;
    FIELDINFO* pFieldInfo;
    char** ppszText;
    std::uint16_t cbText;
    std::uint32_t id;
};

struct SEARCHSTRING {
    std::uint32_t cb;
    char* pszSearch;
    std::uint32_t fsPrefix;
    std::uint32_t fsCaseSensitive;
    std::uint32_t usView;
};

struct QUERYRECORDRECT {
    std::uint32_t cb;
    MINIRECORDCORE* pRecord;
    std::uint32_t fRightSplitWindow;
    std::uint32_t fsExtent;
};

struct QUERYRECFROMRECT {
    std::uint32_t cb;
    CNR_RECTL rect;
    std::uint32_t fsSearch;
};

// Notification records, built by the container and read by its owner's handlers.
struct NOTIFYRECORDENTER {
    HWND__* hwndCnr;
    std::uint32_t fKey;
    MINIRECORDCORE* pRecord;
};

struct NOTIFYRECORDEMPHASIS {
    HWND__* hwndCnr;
    MINIRECORDCORE* pRecord;
    std::uint32_t fEmphasisMask;
};

struct NOTIFYSCROLL {
    HWND__* hwndCnr;
    std::int32_t lScrollInc;
    std::uint32_t fScroll;
};

struct NOTIFYDELTA {
    HWND__* hwndCnr;
    std::uint32_t fDelta;
};

// The record of CN_CONTEXTMENU: only the record under the pointer is read.
struct NOTIFYCONTEXTMENU {
    void* reserved;
    MINIRECORDCORE* pRecord;
};

// Owner drawing: the record behind DRAWITEMSTRUCT::itemData, and the first parameter of
// CM_PAINTBACKGROUND.
struct CNRDRAWITEMINFO {
    MINIRECORDCORE* pRecord;
    FIELDINFO* pFieldInfo;
};

struct OWNERBACKGROUND {
    HWND__* hwnd;
    HDC__* hps;
    CNR_RECTL rclBackground;
    std::uint32_t idWindow;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(CNRINFO) == 92, "CNRINFO");
static_assert(offsetof(CNRINFO, flWindowAttr) == 20 && offsetof(CNRINFO, ptlOrigin) == 24 &&
                  offsetof(CNRINFO, slBitmapOrIcon) == 40 && offsetof(CNRINFO, hbmExpanded) == 56 &&
                  offsetof(CNRINFO, hptrCollapsed) == 68 && offsetof(CNRINFO, xVertSplitbar) == 88,
              "CNRINFO offsets");
static_assert(sizeof(MINIRECORDCORE) == 28, "MINIRECORDCORE");
static_assert(offsetof(MINIRECORDCORE, preccNextRecord) == 16 &&
                  offsetof(MINIRECORDCORE, pszIcon) == 20 && offsetof(MINIRECORDCORE, hptrIcon) == 24,
              "MINIRECORDCORE offsets");
static_assert(sizeof(FIELDINFO) == 32 && offsetof(FIELDINFO, offStruct) == 16 &&
                  offsetof(FIELDINFO, pNextFieldInfo) == 24 && offsetof(FIELDINFO, cxWidth) == 28,
              "FIELDINFO");
static_assert(sizeof(FIELDINFOINSERT) == 16 && offsetof(FIELDINFOINSERT, cFieldInfoInsert) == 12,
              "FIELDINFOINSERT");
static_assert(sizeof(RECORDINSERT) == 20 && offsetof(RECORDINSERT, zOrder) == 16 &&
                  offsetof(RECORDINSERT, cRecordsInsert) == 18,
              "RECORDINSERT");
static_assert(sizeof(CNREDITDATA) == 28 && offsetof(CNREDITDATA, cbText) == 20 &&
                  offsetof(CNREDITDATA, id) == 24,
              "CNREDITDATA");
static_assert(sizeof(SEARCHSTRING) == 20 && sizeof(QUERYRECORDRECT) == 16 &&
                  sizeof(QUERYRECFROMRECT) == 24 && offsetof(QUERYRECFROMRECT, fsSearch) == 20,
              "query records");
static_assert(sizeof(NOTIFYRECORDENTER) == 12 && offsetof(NOTIFYRECORDENTER, pRecord) == 8 &&
                  sizeof(NOTIFYRECORDEMPHASIS) == 12 &&
                  offsetof(NOTIFYRECORDEMPHASIS, fEmphasisMask) == 8 && sizeof(NOTIFYSCROLL) == 12 &&
                  sizeof(NOTIFYDELTA) == 8 && offsetof(NOTIFYCONTEXTMENU, pRecord) == 4,
              "notification records");
static_assert(sizeof(CNRDRAWITEMINFO) == 8 && sizeof(OWNERBACKGROUND) == 28 &&
                  offsetof(OWNERBACKGROUND, idWindow) == 24,
              "owner-drawing records");
#endif

// Messages. Parameters are WPARAM and LPARAM, results LRESULT; a result of -1 is compared as
// (LRESULT)-1.
inline constexpr unsigned CM_ALLOCDETAILFIELDINFO = 0xF030;
inline constexpr unsigned CM_ALLOCRECORD = 0xF031;
inline constexpr unsigned CM_ARRANGE = 0xF032;
inline constexpr unsigned CM_ERASERECORD = 0xF033;
inline constexpr unsigned CM_FILTER = 0xF034;
inline constexpr unsigned CM_FREEDETAILFIELDINFO = 0xF035;
inline constexpr unsigned CM_FREERECORD = 0xF036;
inline constexpr unsigned CM_HORZSCROLLSPLITWINDOW = 0xF037;
inline constexpr unsigned CM_INSERTDETAILFIELDINFO = 0xF038;
inline constexpr unsigned CM_INSERTRECORD = 0xF039;
inline constexpr unsigned CM_INVALIDATEDETAILFIELDINFO = 0xF03A;
inline constexpr unsigned CM_INVALIDATERECORD = 0xF03B;
inline constexpr unsigned CM_PAINTBACKGROUND = 0xF03C;
inline constexpr unsigned CM_QUERYCNRINFO = 0xF03D;
inline constexpr unsigned CM_QUERYDETAILFIELDINFO = 0xF03E;
inline constexpr unsigned CM_QUERYDRAGIMAGE = 0xF03F;
inline constexpr unsigned CM_QUERYRECORD = 0xF040;
inline constexpr unsigned CM_QUERYRECORDEMPHASIS = 0xF041;
inline constexpr unsigned CM_QUERYRECORDFROMRECT = 0xF042;
inline constexpr unsigned CM_QUERYRECORDRECT = 0xF043;
inline constexpr unsigned CM_QUERYVIEWPORTRECT = 0xF044;
inline constexpr unsigned CM_REMOVEDETAILFIELDINFO = 0xF045;
inline constexpr unsigned CM_REMOVERECORD = 0xF046;
inline constexpr unsigned CM_SCROLLWINDOW = 0xF047;
inline constexpr unsigned CM_SEARCHSTRING = 0xF048;
inline constexpr unsigned CM_SETCNRINFO = 0xF049;
inline constexpr unsigned CM_SETRECORDEMPHASIS = 0xF04A;
inline constexpr unsigned CM_SORTRECORD = 0xF04B;
inline constexpr unsigned CM_OPENEDIT = 0xF04C;
inline constexpr unsigned CM_CLOSEEDIT = 0xF04D;
inline constexpr unsigned CM_COLLAPSETREE = 0xF04E;
inline constexpr unsigned CM_EXPANDTREE = 0xF04F;
inline constexpr unsigned CM_QUERYRECORDINFO = 0xF050;
inline constexpr unsigned CM_SETCNRCOLORS = 0xF051;
inline constexpr unsigned CM_QUERYCNRCOLOR = 0xF053;

// The parts of a container that an edit names (CNREDITDATA::id), besides the container's own
// window id for an object's text.
inline constexpr std::uint32_t CNR_PART_LEFTHEADING = 0x7FF0;
inline constexpr std::uint32_t CNR_PART_RIGHTHEADING = 0x7FF1;
inline constexpr std::uint32_t CNR_PART_TITLE = 0x7FF5;
inline constexpr std::uint32_t CNR_PART_LEFTCELL = 0x7FF7;
inline constexpr std::uint32_t CNR_PART_RIGHTCELL = 0x7FF8;
// The child id of the message-driven container's edit control.
inline constexpr int CNR_EDIT_CHILD_ID = 0x7FFA;

// Notification codes: the high word of the first parameter of the control notification 0xFFD0
// that a container sends its owner (the low word is the container's id).
inline constexpr unsigned CN_ENTER = 106;
inline constexpr unsigned CN_EMPHASIS = 108;
inline constexpr unsigned CN_KILLFOCUS = 109;
inline constexpr unsigned CN_SCROLL = 110;
inline constexpr unsigned CN_QUERYDELTA = 111;
inline constexpr unsigned CN_SETFOCUS = 112;
inline constexpr unsigned CN_REALLOCPSZ = 113;
inline constexpr unsigned CN_BEGINEDIT = 114;
inline constexpr unsigned CN_ENDEDIT = 115;
inline constexpr unsigned CN_COLLAPSETREE = 116;
inline constexpr unsigned CN_EXPANDTREE = 117;
inline constexpr unsigned CN_HELP = 118;
inline constexpr unsigned CN_CONTEXTMENU = 119;

// Container styles (the low byte of the window style).
inline constexpr std::uint32_t CCS_EXTENDSEL = 0x0001;
inline constexpr std::uint32_t CCS_MULTIPLESEL = 0x0002;
inline constexpr std::uint32_t CCS_SINGLESEL = 0x0004;
inline constexpr std::uint32_t CCS_AUTOPOSITION = 0x0008;
inline constexpr std::uint32_t CCS_VERIFYPOINTERS = 0x0010;
inline constexpr std::uint32_t CCS_READONLY = 0x0020;
inline constexpr std::uint32_t CCS_MINIRECORDCORE = 0x0040;

// Record emphasis and state (flRecordAttr).
inline constexpr std::uint32_t CRA_SELECTED = 0x0001;
inline constexpr std::uint32_t CRA_TARGET = 0x0002;
inline constexpr std::uint32_t CRA_CURSORED = 0x0004;
inline constexpr std::uint32_t CRA_INUSE = 0x0008;
inline constexpr std::uint32_t CRA_FILTERED = 0x0010;
inline constexpr std::uint32_t CRA_DROPONABLE = 0x0020;
inline constexpr std::uint32_t CRA_RECORDREADONLY = 0x0040;
inline constexpr std::uint32_t CRA_EXPANDED = 0x0080;
inline constexpr std::uint32_t CRA_COLLAPSED = 0x0100;
inline constexpr std::uint32_t CRA_SOURCE = 0x4000;

// Views (flWindowAttr, SEARCHSTRING::usView).
inline constexpr std::uint32_t CV_TEXT = 0x0001;
inline constexpr std::uint32_t CV_NAME = 0x0002;
inline constexpr std::uint32_t CV_ICON = 0x0004;
inline constexpr std::uint32_t CV_DETAIL = 0x0008;
inline constexpr std::uint32_t CV_FLOW = 0x0010;
inline constexpr std::uint32_t CV_MINI = 0x0020;
inline constexpr std::uint32_t CV_TREE = 0x0040;

// Container attributes (flWindowAttr).
inline constexpr std::uint32_t CA_CONTAINERTITLE = 0x0200;
inline constexpr std::uint32_t CA_TITLESEPARATOR = 0x0400;
inline constexpr std::uint32_t CA_TITLELEFT = 0x0800;
inline constexpr std::uint32_t CA_TITLERIGHT = 0x1000;
inline constexpr std::uint32_t CA_TITLECENTER = 0x2000;
inline constexpr std::uint32_t CA_DETAILSVIEWTITLES = 0x8000;

// Positions and commands. One value means different things in different messages (0x0004 is
// CMA_LEFT when scrolling a split window and CMA_LASTCHILD when querying records).
inline constexpr std::uint32_t CMA_TOP = 0x0001;
inline constexpr std::uint32_t CMA_BOTTOM = 0x0002;
inline constexpr std::uint32_t CMA_LEFT = 0x0004;
inline constexpr std::uint32_t CMA_RIGHT = 0x0008;
inline constexpr std::uint32_t CMA_FIRST = 0x0010;
inline constexpr std::uint32_t CMA_LAST = 0x0020;
inline constexpr std::uint32_t CMA_END = 0x0040;
inline constexpr std::uint32_t CMA_PREV = 0x0080;
inline constexpr std::uint32_t CMA_NEXT = 0x0100;
inline constexpr std::uint32_t CMA_HORIZONTAL = 0x0200;
inline constexpr std::uint32_t CMA_VERTICAL = 0x0400;
inline constexpr std::uint32_t CMA_PARENT = 0x0001;
inline constexpr std::uint32_t CMA_FIRSTCHILD = 0x0002;
inline constexpr std::uint32_t CMA_LASTCHILD = 0x0004;
inline constexpr std::uint32_t CMA_ITEMORDER = 0x0001;
inline constexpr std::uint32_t CMA_WINDOW = 0x0002;
inline constexpr std::uint32_t CMA_WORKSPACE = 0x0004;
inline constexpr std::uint32_t CMA_ZORDER = 0x0008;
inline constexpr std::uint32_t CMA_FREE = 0x0001;
inline constexpr std::uint32_t CMA_INVALIDATE = 0x0002;
inline constexpr std::uint32_t CMA_ICON = 0x0800;
inline constexpr std::uint32_t CMA_TEXT = 0x1000;
inline constexpr std::uint32_t CMA_PARTIAL = 0x2000;
inline constexpr std::uint32_t CMA_COMPLETE = 0x4000;

// The fields that CM_SETCNRINFO takes from its record.
inline constexpr std::uint32_t CMA_CNRTITLE = 0x0001;
inline constexpr std::uint32_t CMA_DELTA = 0x0002;
inline constexpr std::uint32_t CMA_FLWINDOWATTR = 0x0004;
inline constexpr std::uint32_t CMA_LINESPACING = 0x0008;
inline constexpr std::uint32_t CMA_PFIELDINFOLAST = 0x0010;
inline constexpr std::uint32_t CMA_PSORTRECORD = 0x0020;
inline constexpr std::uint32_t CMA_PTLORIGIN = 0x0040;
inline constexpr std::uint32_t CMA_SLBITMAPORICON = 0x0080;
inline constexpr std::uint32_t CMA_XVERTSPLITBAR = 0x0100;
inline constexpr std::uint32_t CMA_PFIELDINFOOBJECT = 0x0200;
inline constexpr std::uint32_t CMA_TREEICON = 0x0400;
inline constexpr std::uint32_t CMA_TREEBITMAP = 0x0800;
inline constexpr std::uint32_t CMA_CXTREEINDENT = 0x1000;
inline constexpr std::uint32_t CMA_CXTREELINE = 0x2000;
inline constexpr std::uint32_t CMA_SLTREEBITMAPORICON = 0x4000;

// Column data and heading attributes (flData, flTitle).
inline constexpr std::uint32_t CFA_LEFT = 0x0001;
inline constexpr std::uint32_t CFA_RIGHT = 0x0002;
inline constexpr std::uint32_t CFA_CENTER = 0x0004;
inline constexpr std::uint32_t CFA_INVISIBLE = 0x0040;
inline constexpr std::uint32_t CFA_BITMAPORICON = 0x0100;
inline constexpr std::uint32_t CFA_STRING = 0x0800;
inline constexpr std::uint32_t CFA_DATE = 0x2000;
inline constexpr std::uint32_t CFA_TIME = 0x4000;
inline constexpr std::uint32_t CFA_FIREADONLY = 0x8000;
inline constexpr std::uint32_t CFA_ULONG = 0x20000;

// Copies the fields of a container information record that a CM_SETCNRINFO field mask selects.
inline void cnrCopyInfoFields(CNRINFO& to, const CNRINFO& from, std::uint32_t fields) noexcept
{
    if (fields & CMA_PSORTRECORD) to.pSortRecord = from.pSortRecord;
    if (fields & CMA_PFIELDINFOLAST) to.pFieldInfoLast = from.pFieldInfoLast;
    if (fields & CMA_PFIELDINFOOBJECT) to.pFieldInfoObject = from.pFieldInfoObject;
    if (fields & CMA_CNRTITLE) to.pszCnrTitle = from.pszCnrTitle;
    if (fields & CMA_FLWINDOWATTR) to.flWindowAttr = from.flWindowAttr;
    if (fields & CMA_PTLORIGIN) to.ptlOrigin = from.ptlOrigin;
    if (fields & CMA_DELTA) to.cDelta = from.cDelta;
    if (fields & CMA_SLBITMAPORICON) to.slBitmapOrIcon = from.slBitmapOrIcon;
    if (fields & CMA_SLTREEBITMAPORICON) to.slTreeBitmapOrIcon = from.slTreeBitmapOrIcon;
    if (fields & CMA_TREEBITMAP) {
        to.hbmExpanded = from.hbmExpanded;
        to.hbmCollapsed = from.hbmCollapsed;
    }
    if (fields & CMA_TREEICON) {
        to.hptrExpanded = from.hptrExpanded;
        to.hptrCollapsed = from.hptrCollapsed;
    }
    if (fields & CMA_LINESPACING) to.cyLineSpacing = from.cyLineSpacing;
    if (fields & CMA_CXTREEINDENT) to.cxTreeIndent = from.cxTreeIndent;
    if (fields & CMA_CXTREELINE) to.cxTreeLine = from.cxTreeLine;
    if (fields & CMA_XVERTSPLITBAR) to.xVertSplitbar = from.xVertSplitbar;
}
