// ICnrCtl: the accessors of the container information, the attribute and emphasis wrappers,
// refresh and colours; notification through the observers' handler (icnrobsh.cpp).
#include <windows.h>

#include "icnrctl.hpp"

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <icolor.hpp>
#include <ihandler.hpp>
#include <inotifev.hpp>
#include <iprivmsg.hpp>
#include <itextctl.hpp>

#include "detail/icnrdata.hpp"
#include "detail/icnrobsh.hpp"
#include "icnrevt.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl5";
constexpr unsigned long kSelectionBits = CCS_EXTENDSEL | CCS_MULTIPLESEL | CCS_SINGLESEL;
constexpr unsigned long kTitleAlignments = CA_TITLELEFT | CA_TITLERIGHT | CA_TITLECENTER;
constexpr unsigned long kReadOnlyTitle = 0x80000;
constexpr unsigned long kDrawItem = 0x4000;
// Colours sent to a message-driven container carry this bit with their RGB value.
constexpr unsigned long kRGBColor = 0x02000000;
// The ids of the left and right windows of the details view among the container's children.
constexpr unsigned long kLeftWindowId = 0x7FF0;
constexpr unsigned long kRightWindowId = 0x7FF1;

[[noreturn]] void refused(const char* message, const char* function)
{
    IThrow::systemError(message, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
}

} // namespace

// Container information ------------------------------------------------------------------------------

IString ICnrCtl::title() const
{
    ICnrInfo info;
    containerInfo(&info);
    return IString(info.pszCnrTitle ? info.pszCnrTitle : "");
}

unsigned long ICnrCtl::viewWord() const
{
    ICnrInfo info;
    containerInfo(&info);
    return info.flWindowAttr;
}

long ICnrCtl::lineSpacing() const
{
    ICnrInfo info;
    containerInfo(&info);
    return info.cyLineSpacing;
}

ISize ICnrCtl::iconSize() const
{
    ICnrInfo info;
    containerInfo(&info);
    return ISize(info.slBitmapOrIcon.cx, info.slBitmapOrIcon.cy);
}

// The child windows the container class makes for the two windows of a details view and for
// the title. One that has no window object of its own is wrapped only for the query, and the
// wrapper leaves the window as it is.
IRectangle ICnrCtl::childRectangle(unsigned long childId) const
{
    const IWindowHandle child = handleWithParent(childId, handle());
    if (!child)
        return IRectangle();
    if (const IWindow* window = IWindow::windowWithHandle(child))
        return window->rect();
    const IWindow wrapper(child);
    return wrapper.rect();
}

IRectangle ICnrCtl::detailsViewWindowRectangle(IBase::Boolean rightWindow) const
{
    return childRectangle(rightWindow ? kRightWindowId : kLeftWindowId);
}

IRectangle ICnrCtl::titleRectangle() const
{
    return childRectangle(ICnrControlData::titleId);
}

// The window may keep the title's pointer rather than a copy, so the container keeps the text.
ICnrCtl& ICnrCtl::setTitle(const IString& title)
{
    fTitle = title;
    ICnrInfo info;
    info.pszCnrTitle = const_cast<char*>(static_cast<const char*>(fTitle));
    return setContainerInfo(&info, CMA_CNRTITLE);
}

ICnrCtl& ICnrCtl::setTitle(const IResourceId& titleId)
{
    return setTitle(titleId.resourceLibrary().loadString(titleId.id()));
}

ICnrCtl& ICnrCtl::setDelta(unsigned long delta)
{
    ICnrInfo info;
    info.cDelta = static_cast<std::uint32_t>(delta);
    return setContainerInfo(&info, CMA_DELTA);
}

ICnrCtl& ICnrCtl::setLineSpacing(long spacing)
{
    ICnrInfo info;
    info.cyLineSpacing = static_cast<std::int16_t>(spacing);
    return setContainerInfo(&info, CMA_LINESPACING);
}

ICnrCtl& ICnrCtl::setIconSize(const ISize& size)
{
    ICnrInfo info;
    info.slBitmapOrIcon = CNR_SIZEL{static_cast<std::int32_t>(size.width()),
                                    static_cast<std::int32_t>(size.height())};
    return setContainerInfo(&info, CMA_SLBITMAPORICON);
}

ICnrCtl& ICnrCtl::changeAttributes(unsigned long remove, unsigned long add)
{
    ICnrInfo info;
    containerInfo(&info);
    const std::uint32_t changed = static_cast<std::uint32_t>((info.flWindowAttr & ~remove) | add);
    if (changed == info.flWindowAttr)
        return *this;
    info.flWindowAttr = changed;
    return setContainerInfo(&info, CMA_FLWINDOWATTR);
}

ICnrCtl& ICnrCtl::setTitleAlignment(TitleAlignment alignment)
{
    static constexpr unsigned long bits[] = {CA_TITLELEFT, CA_TITLERIGHT, CA_TITLECENTER};
    IARGUMENT_CHECK(alignment <= centered, kFile,
                    "ICnrCtl::setTitleAlignment(ICnrCtl::TitleAlignment)");
    const unsigned long bit = bits[alignment];
    if (!(viewWord() & bit))
        changeAttributes(kTitleAlignments, bit);
    return *this;
}

namespace {

void switchAttribute(ICnrCtl& container, unsigned long bit, bool on)
{
    container.changeAttributes(on ? 0 : bit, on ? bit : 0);
}

} // namespace

ICnrCtl& ICnrCtl::showTitle(IBase::Boolean show)
{
    switchAttribute(*this, CA_CONTAINERTITLE, show);
    return *this;
}

ICnrCtl& ICnrCtl::hideTitle()
{
    return showTitle(false);
}

ICnrCtl& ICnrCtl::showTitleSeparator(IBase::Boolean show)
{
    switchAttribute(*this, CA_TITLESEPARATOR, show);
    return *this;
}

ICnrCtl& ICnrCtl::hideTitleSeparator()
{
    return showTitleSeparator(false);
}

ICnrCtl& ICnrCtl::showDetailsViewTitles(IBase::Boolean show)
{
    switchAttribute(*this, CA_DETAILSVIEWTITLES, show);
    return *this;
}

ICnrCtl& ICnrCtl::hideDetailsViewTitles()
{
    return showDetailsViewTitles(false);
}

// The title can be edited unless the read-only-title bit is set.
ICnrCtl& ICnrCtl::enableTitleUpdate(IBase::Boolean enable)
{
    switchAttribute(*this, kReadOnlyTitle, !enable);
    return *this;
}

ICnrCtl& ICnrCtl::disableTitleUpdate()
{
    return enableTitleUpdate(false);
}

IBase::Boolean ICnrCtl::isTitleVisible() const
{
    return (viewWord() & CA_CONTAINERTITLE) != 0;
}

IBase::Boolean ICnrCtl::isDrawItem() const
{
    return (viewWord() & kDrawItem) != 0;
}

ICnrCtl& ICnrCtl::setDrawItem(IBase::Boolean drawItem)
{
    switchAttribute(*this, kDrawItem, drawItem);
    return *this;
}

IBase::Boolean ICnrCtl::isTreeView() const
{
    return (viewWord() & CV_TREE) != 0;
}

IBase::Boolean ICnrCtl::isListMode() const
{
    return fControlData && !fControlData->isMessageDriven() && !fControlData->treeControl();
}

// Selection -------------------------------------------------------------------------------------------

ICnrCtl& ICnrCtl::setSelectionStyle(unsigned long selectionBit)
{
    const unsigned long old = style();
    const unsigned long wanted = (old & ~kSelectionBits) | selectionBit;
    if (wanted != old)
        setStyle(wanted);
    if (fControlData && !fControlData->isMessageDriven())
        fControlData->setSelectionStyle(selectionBit == CCS_SINGLESEL ? CCS_SINGLESEL
                                                                      : CCS_MULTIPLESEL);
    return *this;
}

ICnrCtl& ICnrCtl::setSingleSelection()
{
    return setSelectionStyle(CCS_SINGLESEL);
}

ICnrCtl& ICnrCtl::setMultipleSelection()
{
    return setSelectionStyle(CCS_MULTIPLESEL);
}

ICnrCtl& ICnrCtl::setExtendedSelection()
{
    return setSelectionStyle(CCS_EXTENDSEL);
}

IBase::Boolean ICnrCtl::isSingleSelection() const
{
    return (style() & CCS_SINGLESEL) != 0;
}

IBase::Boolean ICnrCtl::isMultipleSelection() const
{
    return (style() & CCS_MULTIPLESEL) != 0;
}

IBase::Boolean ICnrCtl::isExtendedSelection() const
{
    return (style() & CCS_EXTENDSEL) != 0;
}

// Per-object attributes ---------------------------------------------------------------------------------

IBase::Boolean ICnrCtl::isSelected(const ICnrObj* object) const
{
    return (attributes(object) & CRA_SELECTED) != 0;
}

IBase::Boolean ICnrCtl::isCursored(const ICnrObj* object) const
{
    return (attributes(object) & CRA_CURSORED) != 0;
}

IBase::Boolean ICnrCtl::isWriteable(const ICnrObj* object) const
{
    return !(attributes(object) & CRA_RECORDREADONLY);
}

IBase::Boolean ICnrCtl::isCollapsed(const ICnrObj* object) const
{
    return (attributes(object) & CRA_COLLAPSED) != 0;
}

ICnrCtl& ICnrCtl::setDropOnAble(ICnrObj* object, IBase::Boolean dropOnAble)
{
    return dropOnAble ? setAttributes(object, 0, CRA_DROPONABLE)
                      : setAttributes(object, CRA_DROPONABLE, 0);
}

ICnrCtl& ICnrCtl::disableDrop(ICnrObj* object)
{
    return setDropOnAble(object, false);
}

void ICnrCtl::setContainerSourceEmphasis(IBase::Boolean on)
{
    sendEvent(CM_SETRECORDEMPHASIS, 0,
              IEventData(static_cast<std::uint16_t>(on ? 1 : 0), std::uint16_t(CRA_SOURCE)));
}

ICnrCtl& ICnrCtl::setSourceEmphasis(ICnrObj* object, IBase::Boolean show)
{
    if (!object) {
        setContainerSourceEmphasis(show);
        return *this;
    }
    setEmphasis(object, CRA_SOURCE, show);
    if (!show && object->isRefreshOn())
        object->refresh(this);
    return *this;
}

ICnrCtl& ICnrCtl::removeSourceEmphasis(ICnrObj* object)
{
    if (object)
        return setSourceEmphasis(object, false);
    setContainerSourceEmphasis(false);
    if (isRefreshOn())
        refresh(false);
    return *this;
}

ICnrCtl& ICnrCtl::showObject(ICnrObj* object, IBase::Boolean show)
{
    IARGUMENT_CHECK(object!=0, kFile, "ICnrCtl::showObject(ICnrObj*,IBase::Boolean)");
    object->show(show, this);
    return *this;
}

ICnrCtl& ICnrCtl::hideObject(ICnrObj* object)
{
    return showObject(object, false);
}

// Refresh -------------------------------------------------------------------------------------------------

ICnrCtl& ICnrCtl::arrangeIconView()
{
    if (!sendEvent(CM_ARRANGE, 0, 0).asUnsignedLong())
        refused("CM_ARRANGE", "ICnrCtl::arrangeIconView()");
    return *this;
}

ICnrCtl& ICnrCtl::refresh(IBase::Boolean immediate)
{
    if (viewWord() & CV_DETAIL) {
        if (!sendEvent(CM_INVALIDATEDETAILFIELDINFO, 0, 0).asUnsignedLong())
            refused("CM_INVALIDATEDETAILFIELDINFO", "ICnrCtl::refresh(IBase::Boolean)");
    } else if (!sendEvent(CM_INVALIDATERECORD, 0, IEventData(std::uint16_t(0), std::uint16_t(0x000A)))
                    .asUnsignedLong()) {
        refused("CM_INVALIDATERECORD", "ICnrCtl::refresh(IBase::Boolean)");
    }
    if (immediate)
        IWindow::refresh(IWindow::immediate);
    fState &= ~refreshPending;
    return *this;
}

ICnrCtl& ICnrCtl::refresh(ICnrObj* object, IBase::Boolean immediate)
{
    IARGUMENT_CHECK(object!=0, kFile, "ICnrCtl::refresh(ICnrObj*,IBase::Boolean)");
    object->refresh(this, immediate);
    return *this;
}

IWindow& ICnrCtl::refresh(RefreshType type)
{
    return IWindow::refresh(type);
}

IWindow& ICnrCtl::refresh(const IRectangle& area, IBase::Boolean immediate)
{
    return IWindow::refresh(area, immediate);
}

void ICnrCtl::refreshAll(IBase::Boolean immediate)
{
    for (const ICnrList::Member& member : ICnrList::members()) {
        const ICnrList::Use use(member);
        if (use && member.container->isValid())
            member.container->refresh(immediate);
    }
}

// Colours ---------------------------------------------------------------------------------------------------

IColor ICnrCtl::areaColor(unsigned long area, IBase::Boolean foreground) const
{
    if (!isMessageContainer())
        return foreground ? IWindow::foregroundColor() : IWindow::backgroundColor();
    const unsigned long rgb = sendEvent(CM_QUERYCNRCOLOR, area, 0).asUnsignedLong();
    return IColor(static_cast<unsigned char>(rgb & 0xFF), static_cast<unsigned char>((rgb >> 8) & 0xFF),
                  static_cast<unsigned char>((rgb >> 16) & 0xFF));
}

ICnrCtl& ICnrCtl::setAreaColor(unsigned long area, const IColor& color)
{
    if (!isMessageContainer())
        return *this;
    if (!sendEvent(CM_SETCNRCOLORS, area, color.asRGBLong() | kRGBColor).asUnsignedLong())
        refused("CM_SETCNRCOLORS", "ICnrCtl::setColor(unsigned long,const IColor&)");
    setLayoutDistorted(ovk_layout::colorChanged, 0);
    return *this;
}

IColor ICnrCtl::foregroundColor() const
{
    return areaColor(0, true);
}

IColor ICnrCtl::backgroundColor() const
{
    return areaColor(1, false);
}

IWindow& ICnrCtl::setForegroundColor(const IColor& color)
{
    return setAreaColor(0, color);
}

IWindow& ICnrCtl::setBackgroundColor(const IColor& color)
{
    return setAreaColor(1, color);
}

// The window's default colour goes to the container window, and the window forgets its own.
IWindow& ICnrCtl::resetForegroundColor()
{
    if (!isMessageContainer())
        return *this;
    IWindow::resetForegroundColor();
    return setAreaColor(0, IWindow::foregroundColor());
}

IWindow& ICnrCtl::resetBackgroundColor()
{
    if (!isMessageContainer())
        return *this;
    IWindow::resetBackgroundColor();
    return setAreaColor(1, IWindow::backgroundColor());
}

// Notification ------------------------------------------------------------------------------------------------

IWindow& ICnrCtl::enableNotification(IBase::Boolean enable)
{
    if (!notificationHandler())
        setNotificationHandler(&ICnrNotifyHandler::instance());
    return IWindow::enableNotification(enable);
}
