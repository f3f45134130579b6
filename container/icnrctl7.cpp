// ICnrCtl: the views, the target emphasis and background attributes, and the tree settings.
#include <windows.h>

#include "icnrctl.hpp"

#include <iapp.hpp>
#include <ireslib.hpp>

namespace {

constexpr std::uint32_t kViewBits = CV_TREE | CV_TEXT | CV_NAME | CV_ICON | CV_DETAIL | CV_FLOW;
constexpr std::uint32_t kOrderedTargetEmphasis = 0x10000;
constexpr std::uint32_t kMixedTargetEmphasis = 0x200000;
constexpr std::uint32_t kDrawBackground = 0x100000;
constexpr std::uint32_t kDrawItem = 0x4000;
constexpr std::uint32_t kTreeLine = 0x400000;

bool has(unsigned long word, std::uint32_t bits)
{
    return (word & bits) == bits;
}

} // namespace

// Queries ---------------------------------------------------------------------------------------------

IBase::Boolean ICnrCtl::isIconView(IBase::Boolean plainOnly) const
{
    const unsigned long word = viewWord();
    return has(word, CV_ICON) && !(plainOnly && has(word, CV_TREE));
}

IBase::Boolean ICnrCtl::isNameView(IBase::Boolean plainOnly) const
{
    const unsigned long word = viewWord();
    return has(word, CV_NAME) && !(plainOnly && has(word, CV_TREE));
}

IBase::Boolean ICnrCtl::isTextView(IBase::Boolean plainOnly) const
{
    const unsigned long word = viewWord();
    return has(word, CV_TEXT) && !(plainOnly && has(word, CV_TREE));
}

IBase::Boolean ICnrCtl::isDetailsView() const { return has(viewWord(), CV_DETAIL); }
IBase::Boolean ICnrCtl::isFlowed() const { return has(viewWord(), CV_FLOW); }
IBase::Boolean ICnrCtl::showsMiniIcons() const { return has(viewWord(), CV_MINI); }
IBase::Boolean ICnrCtl::isTreeIconView() const { return has(viewWord(), CV_TREE | CV_ICON); }
IBase::Boolean ICnrCtl::isTreeNameView() const { return has(viewWord(), CV_TREE | CV_NAME); }
IBase::Boolean ICnrCtl::isTreeTextView() const { return has(viewWord(), CV_TREE | CV_TEXT); }

IBase::Boolean ICnrCtl::isFlowedNameView() const
{
    const unsigned long word = viewWord();
    return has(word, CV_NAME | CV_FLOW) && !has(word, CV_TREE);
}

IBase::Boolean ICnrCtl::isFlowedTextView() const
{
    const unsigned long word = viewWord();
    return has(word, CV_TEXT | CV_FLOW) && !has(word, CV_TREE);
}

IBase::Boolean ICnrCtl::isOrderedTargetEmphasis() const
{
    return has(viewWord(), kOrderedTargetEmphasis);
}

IBase::Boolean ICnrCtl::isMixedTargetEmphasis() const
{
    return has(viewWord(), kMixedTargetEmphasis);
}

IBase::Boolean ICnrCtl::isNormalTargetEmphasis() const
{
    return !has(viewWord(), kOrderedTargetEmphasis | kMixedTargetEmphasis);
}

IBase::Boolean ICnrCtl::isDrawBackgroundEnabled() const { return has(viewWord(), kDrawBackground); }

// Views: the mini-icon bit stays as it is -------------------------------------------------------------

ICnrCtl& ICnrCtl::setView(unsigned long bits)
{
    return changeAttributes(kViewBits, bits);
}

ICnrCtl& ICnrCtl::showTextView() { return setView(CV_TEXT); }
ICnrCtl& ICnrCtl::showNameView() { return setView(CV_NAME); }
ICnrCtl& ICnrCtl::showIconView() { return setView(CV_ICON); }
ICnrCtl& ICnrCtl::showDetailsView() { return setView(CV_DETAIL); }
ICnrCtl& ICnrCtl::showTreeIconView() { return setView(CV_TREE | CV_ICON); }
ICnrCtl& ICnrCtl::showTreeNameView() { return setView(CV_TREE | CV_NAME); }
ICnrCtl& ICnrCtl::showTreeTextView() { return setView(CV_TREE | CV_TEXT); }
ICnrCtl& ICnrCtl::showFlowedNameView() { return setView(CV_FLOW | CV_NAME); }
ICnrCtl& ICnrCtl::showFlowedTextView() { return setView(CV_FLOW | CV_TEXT); }

ICnrCtl& ICnrCtl::showMiniIcons(IBase::Boolean show)
{
    return show ? changeAttributes(0, CV_MINI) : changeAttributes(CV_MINI, 0);
}

ICnrCtl& ICnrCtl::setOrderedTargetEmphasis()
{
    return changeAttributes(kMixedTargetEmphasis, kOrderedTargetEmphasis);
}

ICnrCtl& ICnrCtl::setMixedTargetEmphasis()
{
    return changeAttributes(kOrderedTargetEmphasis, kMixedTargetEmphasis);
}

ICnrCtl& ICnrCtl::setNormalTargetEmphasis()
{
    return changeAttributes(kOrderedTargetEmphasis | kMixedTargetEmphasis, 0);
}

ICnrCtl& ICnrCtl::enableDrawBackground(IBase::Boolean enable)
{
    return enable ? changeAttributes(0, kDrawBackground) : changeAttributes(kDrawBackground, 0);
}

ICnrCtl& ICnrCtl::disableDrawBackground() { return enableDrawBackground(false); }
ICnrCtl& ICnrCtl::disableDrawItem() { return changeAttributes(kDrawItem, 0); }

// Tree settings ---------------------------------------------------------------------------------------

ICnrCtl& ICnrCtl::setTreeItemIcons(const IPointerHandle& expanded, const IPointerHandle& collapsed)
{
    ICnrInfo info;
    info.hptrExpanded = expanded;
    info.hptrCollapsed = collapsed;
    return setContainerInfo(&info, CMA_TREEICON);
}

ICnrCtl& ICnrCtl::setTreeItemIcons(const IResourceId& expanded, const IResourceId& collapsed)
{
    const IResourceLibrary& library = IApplication::current().userResourceLibrary();
    return setTreeItemIcons(library.loadIcon(expanded.id()), library.loadIcon(collapsed.id()));
}

ICnrCtl& ICnrCtl::setTreeBitmapOrIconSize(const ISize& size)
{
    ICnrInfo info;
    info.slTreeBitmapOrIcon = CNR_SIZEL{static_cast<std::int32_t>(size.width()),
                                        static_cast<std::int32_t>(size.height())};
    return setContainerInfo(&info, CMA_SLTREEBITMAPORICON);
}

ICnrCtl& ICnrCtl::setTreeIndent(long indent)
{
    ICnrInfo info;
    info.cxTreeIndent = static_cast<std::int32_t>(indent);
    return setContainerInfo(&info, CMA_CXTREEINDENT);
}

ICnrCtl& ICnrCtl::showTreeLine(long width)
{
    ICnrInfo info;
    containerInfo(&info);
    info.cxTreeLine = static_cast<std::int32_t>(width);
    info.flWindowAttr |= kTreeLine;
    return setContainerInfo(&info, CMA_CXTREELINE | CMA_FLWINDOWATTR);
}

ICnrCtl& ICnrCtl::hideTreeLine()
{
    changeAttributes(kTreeLine, 0);
    if (isVisible())
        refresh(true);
    return *this;
}
