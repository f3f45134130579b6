// ICnrInfo.
#include "icnrinfo.hpp"

ICnrInfo::ICnrInfo() noexcept
    : cb(sizeof(CNRINFO)), pSortRecord(nullptr), pFieldInfoLast(nullptr),
      pFieldInfoObject(nullptr), pszCnrTitle(nullptr), flWindowAttr(0), ptlOrigin{0, 0}, cDelta(0),
      cRecords(0), slBitmapOrIcon{0, 0}, slTreeBitmapOrIcon{0, 0}, cyLineSpacing(0),
      cxTreeIndent(0), cxTreeLine(0), cFields(0), xVertSplitbar(0)
{
}

ICnrInfo::ICnrInfo(const ICnrInfo& other) = default;

ICnrInfo& ICnrInfo::operator=(const ICnrInfo& other) = default;

// The members are destroyed in reverse order of declaration, so the icons go before the
// bitmaps and the collapsed one of each pair first.
ICnrInfo::~ICnrInfo() = default;

ICnrInfo& ICnrInfo::assign(const CNRINFO& record)
{
    cb = record.cb;
    pSortRecord = record.pSortRecord;
    pFieldInfoLast = record.pFieldInfoLast;
    pFieldInfoObject = record.pFieldInfoObject;
    pszCnrTitle = record.pszCnrTitle;
    flWindowAttr = record.flWindowAttr;
    ptlOrigin = record.ptlOrigin;
    cDelta = record.cDelta;
    cRecords = record.cRecords;
    slBitmapOrIcon = record.slBitmapOrIcon;
    slTreeBitmapOrIcon = record.slTreeBitmapOrIcon;
    hbmExpanded = IBitmapHandle(record.hbmExpanded);
    hbmCollapsed = IBitmapHandle(record.hbmCollapsed);
    hptrExpanded = IPointerHandle(record.hptrExpanded);
    hptrCollapsed = IPointerHandle(record.hptrCollapsed);
    cyLineSpacing = record.cyLineSpacing;
    cxTreeIndent = record.cxTreeIndent;
    cxTreeLine = record.cxTreeLine;
    cFields = record.cFields;
    xVertSplitbar = record.xVertSplitbar;
    return *this;
}
