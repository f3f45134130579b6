// ICnrInfo: the container information record with counted tree handles.
#pragma once

#include <cstddef>
#include <cstdint>

#include <ibmphdl.hpp>
#include <idefs.hpp>
#include <iptrhdl.hpp>

#include "icnrmsg.hpp"

// Exactly a CNRINFO (no other fields, no virtual operations), so that it travels in the
// container messages as one; its four tree handles are the library's counted handles, each one
// pointer wide, so the layout stays that of the record.
class OVKWIN_API ICnrInfo {
public:
    // cb is the record's size; everything else is 0, the handles hold nothing.
    ICnrInfo() noexcept;
    ICnrInfo(const ICnrInfo& other);
    ICnrInfo& operator=(const ICnrInfo& other);
    // Gives up the handles in reverse order: collapsed and expanded icon, then bitmap.
    ~ICnrInfo();

    // The fields of a plain record, with references taken on its tree handles.
    ICnrInfo& assign(const CNRINFO& record);
    CNRINFO* asRecord() noexcept { return reinterpret_cast<CNRINFO*>(this); }
    const CNRINFO* asRecord() const noexcept { return reinterpret_cast<const CNRINFO*>(this); }

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
    IBitmapHandle hbmExpanded;
    IBitmapHandle hbmCollapsed;
    IPointerHandle hptrExpanded;
    IPointerHandle hptrCollapsed;
    std::int32_t cyLineSpacing;
    std::int32_t cxTreeIndent;
    std::int32_t cxTreeLine;
    std::uint32_t cFields;
    std::int32_t xVertSplitbar;
};

#define OVK_CNRINFO_SAME(field) offsetof(ICnrInfo, field) == offsetof(CNRINFO, field)
static_assert(sizeof(IBitmapHandle) == sizeof(void*) && sizeof(IPointerHandle) == sizeof(void*),
              "the tree handles must be exactly pointer wide");
static_assert(sizeof(ICnrInfo) == sizeof(CNRINFO), "ICnrInfo must be a CNRINFO");
static_assert(OVK_CNRINFO_SAME(pSortRecord) && OVK_CNRINFO_SAME(pszCnrTitle) &&
                  OVK_CNRINFO_SAME(flWindowAttr) && OVK_CNRINFO_SAME(cRecords) &&
                  OVK_CNRINFO_SAME(slTreeBitmapOrIcon) && OVK_CNRINFO_SAME(hbmExpanded) &&
                  OVK_CNRINFO_SAME(hbmCollapsed) && OVK_CNRINFO_SAME(hptrExpanded) &&
                  OVK_CNRINFO_SAME(hptrCollapsed) && OVK_CNRINFO_SAME(cyLineSpacing) &&
                  OVK_CNRINFO_SAME(xVertSplitbar),
              "ICnrInfo must keep the fields of CNRINFO in their places");
#undef OVK_CNRINFO_SAME
