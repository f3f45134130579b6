// ICnrCtl: construction, styles, refresh and the container information.
#include <windows.h>

#include "icnrctl.hpp"

#include <detail/iclasswide.hpp>
#include <ovkmsgid.hpp>

#include <detail/icallgrd.hpp>
#include <iassert.hpp>

#include "detail/icnrdata.hpp"
#include "detail/icnrnhdr.hpp"
#include "detail/icnrrtxt.hpp"
#include "detail/icnrseam.hpp"
#include "icnrdhdr.hpp"

namespace {

constexpr const char* kFile = "icnrctl";

// Short records and the bit the message interface always wants with them.
constexpr unsigned long kAlwaysSet = CCS_MINIRECORDCORE | 0x800;
constexpr unsigned long kSelectionBits = CCS_EXTENDSEL | CCS_MULTIPLESEL | CCS_SINGLESEL;

// Exactly one selection mode survives: single before extended before multiple, and single when
// none is asked for.
unsigned long withOneSelectionMode(unsigned long style)
{
    unsigned long keep = CCS_SINGLESEL;
    if (style & CCS_SINGLESEL)
        keep = CCS_SINGLESEL;
    else if (style & CCS_EXTENDSEL)
        keep = CCS_EXTENDSEL;
    else if (style & CCS_MULTIPLESEL)
        keep = CCS_MULTIPLESEL;
    return (style & ~kSelectionBits) | keep;
}

} // namespace

const ICnrCtl::Style ICnrCtl::readOnly(CCS_READONLY);
const ICnrCtl::Style ICnrCtl::autoPosition(CCS_AUTOPOSITION);
const ICnrCtl::Style ICnrCtl::extendedSelection(CCS_EXTENDSEL);
const ICnrCtl::Style ICnrCtl::singleSelection(CCS_SINGLESEL);
const ICnrCtl::Style ICnrCtl::multipleSelection(CCS_MULTIPLESEL);
const ICnrCtl::Style ICnrCtl::verifyPointers(CCS_VERIFYPOINTERS);
const ICnrCtl::Style ICnrCtl::messageContainer(0, 0x2);
const ICnrCtl::Style ICnrCtl::fastDelete(0, 0x1);
const ICnrCtl::Style ICnrCtl::classDefaultStyle(WS_VISIBLE | CCS_SINGLESEL);

const ICnrCtl::Attribute ICnrCtl::textView(CV_TEXT);
const ICnrCtl::Attribute ICnrCtl::nameView(CV_NAME);
const ICnrCtl::Attribute ICnrCtl::iconView(CV_ICON);
const ICnrCtl::Attribute ICnrCtl::detailsView(CV_DETAIL);
const ICnrCtl::Attribute ICnrCtl::flowedView(CV_FLOW);
const ICnrCtl::Attribute ICnrCtl::miniIcons(CV_MINI);
const ICnrCtl::Attribute ICnrCtl::treeView(CV_TREE);
const ICnrCtl::Attribute ICnrCtl::containerTitle(CA_CONTAINERTITLE);
const ICnrCtl::Attribute ICnrCtl::titleSeparator(CA_TITLESEPARATOR);
const ICnrCtl::Attribute ICnrCtl::titleLeft(CA_TITLELEFT);
const ICnrCtl::Attribute ICnrCtl::titleRight(CA_TITLERIGHT);
const ICnrCtl::Attribute ICnrCtl::titleCenter(CA_TITLECENTER);
const ICnrCtl::Attribute ICnrCtl::drawItem(0x4000);
const ICnrCtl::Attribute ICnrCtl::detailsViewTitles(CA_DETAILSVIEWTITLES);
const ICnrCtl::Attribute ICnrCtl::orderedTargetEmphasis(0x10000);
const ICnrCtl::Attribute ICnrCtl::readOnlyTitle(0x80000);
const ICnrCtl::Attribute ICnrCtl::drawBackground(0x100000);
const ICnrCtl::Attribute ICnrCtl::mixedTargetEmphasis(0x200000);
const ICnrCtl::Attribute ICnrCtl::treeLine(0x400000);
const ICnrCtl::Attribute ICnrCtl::defaultAttribute(CA_DETAILSVIEWTITLES | 0x10000 | 0x400000 |
                                                   0x80000 | CV_ICON);

const char* const ICnrCtl::addId = "IContainerControl::add";
const char* const ICnrCtl::removeId = "IContainerControl::remove";
const char* const ICnrCtl::enterId = "IContainerControl::enter";
const char* const ICnrCtl::selectId = "IContainerControl::select";

// Construction ------------------------------------------------------------------------------------

ICnrCtl::ICnrCtl(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& location,
                 const Style& style, const Attribute& attribute)
{
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    allocationWindow();
    try {
        createWindow(id, parent, owner, location, style, attribute);
        finishConstruction(attribute);
    } catch (...) {
        abandon();
        throw;
    }
}

ICnrCtl::ICnrCtl(unsigned long id, IWindow* parent)
{
    IARGUMENT_CHECK(parent != 0, kFile, "ICnrCtl::ICnrCtl(unsigned long,IWindow*)");
    const IWindowHandle child = handleWithParent(id, parent->handle());
    if (!child) {
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID,
                        IEXCEPTION_LOCATION(kFile, "ICnrCtl::ICnrCtl(unsigned long,IWindow*)"));
    }
    takeOver(child);
    if (GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD)
        setOwner(parent);
}

ICnrCtl::ICnrCtl(const IWindowHandle& handle)
{
    takeOver(handle);
}

void ICnrCtl::takeOver(const IWindowHandle& handle)
{
    allocationWindow();
    try {
        fControlData = new ICnrControlData(*this);
        startHandlingEventsFor(handle);
        // The window was there before the object and stays after it.
        setDestroyOnDelete(false);
        finishConstruction(currentDefaultAttribute());
    } catch (...) {
        abandon();
        throw;
    }
}

void ICnrCtl::createWindow(unsigned long id, IWindow* parent, IWindow* owner,
                           const IRectangle& location, const Style& style,
                           const Attribute& attribute)
{
    const unsigned long windowStyle = withOneSelectionMode(convertToGUIStyle(style) | kAlwaysSet);
    const unsigned long exStyle = convertToGUIStyle(style, true);
    const IWindowHandle parentHandle = parent ? parent->handle() : IWindowHandle();
    const IWindowHandle ownerHandle = owner ? owner->handle() : IWindowHandle();
    if (style.asExtendedUnsignedLong() & messageContainer.asExtendedUnsignedLong()) {
        fControlData = new ICnrControlData(*this);
        startHandlingEventsFor(create(id, nullptr, windowStyle, WC_CONTAINER, parentHandle,
                                      ownerHandle, location, nullptr, nullptr,
                                      defaultSiblingOrder(), exStyle));
        ICnrReplacedTexts::instance().handleEventsFor(this);
        return;
    }
    ICnrControlData::registerContainer();
    fControlData = new ICnrControlData(*this, windowStyle, attribute.asUnsignedLong());
    startHandlingEventsFor(create(id, nullptr, windowStyle | WS_CLIPCHILDREN, WC_NATIVECONTAINER,
                                  parentHandle, ownerHandle, location, nullptr, nullptr,
                                  defaultSiblingOrder(), exStyle));
    INativeContainerHandler::instance().handleEventsFor(this);
    fControlData->createNativeParts(attribute.asUnsignedLong());
}

// The shared handlers, a place in the list of all containers, the view attributes, and then
// the container is live.
void ICnrCtl::finishConstruction(const Attribute& attribute)
{
    addDestroyHandler();
    ICnrSeam::attachOwnerMouse(*this);
    {
        IResourceLock lock(ICnrList::lock());
        ICnrList::containers().push_back(this);
    }
    ICnrInfo info;
    info.flWindowAttr = attribute.asUnsignedLong();
    info.cyLineSpacing = 2;
    info.xVertSplitbar = -1;
    setContainerInfo(&info, CMA_XVERTSPLITBAR | CMA_LINESPACING | CMA_FLWINDOWATTR);
    fState |= live;
}

// A constructor that fails leaves nothing behind: the window itself goes with the base.
void ICnrCtl::abandon() noexcept
{
    leaveContainerList();
    try {
        removeDestroyHandler();
        ICnrSeam::detachOwnerMouse(*this);
        stopContainerHandlers();
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
    delete fControlData;
    fControlData = nullptr;
}

// The handler of the container's kind: the native one answers for a native container's window,
// the replaced texts' one takes a message-driven container's notices.
void ICnrCtl::stopContainerHandlers()
{
    if (!fControlData)
        return;
    if (fControlData->isMessageDriven())
        ICnrReplacedTexts::instance().stopHandlingEventsFor(this);
    else
        INativeContainerHandler::instance().stopHandlingEventsFor(this);
}

ICnrCtl::~ICnrCtl()
{
    try {
        ICnrSeam::detachOwnerMouse(*this);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
    // The clean-up runs while the native handler still answers for the window: it is what takes
    // the records out of the native controls, deletes the objects or ends their entries for
    // this container, and tells the columns that they belong to no container.
    cleanUp();
    try {
        if (isValid()) {
            stopContainerHandlers();
            removeDestroyHandler();
        }
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
    delete fControlData;
    fControlData = nullptr;
}

// Styles -------------------------------------------------------------------------------------------

ICnrCtl::Style ICnrCtl::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void ICnrCtl::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

ICnrCtl::Attribute ICnrCtl::currentDefaultAttribute()
{
    return ovk_app::ClassDefault<defaultAttribute>::current();
}

void ICnrCtl::setDefaultAttribute(const Attribute& attribute)
{
    ovk_app::ClassDefault<defaultAttribute>::replace(attribute);
}

unsigned long ICnrCtl::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IControl::convertToGUIStyle(style, extended);
    if (extended)
        return base;
    return base | (style.asUnsignedLong() & 0x7F) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

ISize ICnrCtl::calcMinimumSize() const
{
    return ISize(50, 50);
}

IBase::Boolean ICnrCtl::isMessageContainer() const
{
    return fControlData && fControlData->isMessageDriven();
}

// Clean-up and refresh ---------------------------------------------------------------------------------

ICnrCtl& ICnrCtl::setDeleteObjectsOnClose(IBase::Boolean deleteObjects)
{
    fState = deleteObjects ? (fState | deleteObjectsOnClose) : (fState & ~deleteObjectsOnClose);
    return *this;
}

ICnrCtl& ICnrCtl::setDeleteColumnsOnClose(IBase::Boolean deleteColumns)
{
    fState = deleteColumns ? (fState | deleteColumnsOnClose) : (fState & ~deleteColumnsOnClose);
    return *this;
}

ICnrCtl& ICnrCtl::enableRefresh(IBase::Boolean enable)
{
    if (!enable) {
        if (!(fState & refreshDisabled)) {
            enableUpdate(false);
            fState |= refreshDisabled;
        }
    } else if (fState & refreshDisabled) {
        enableUpdate(true);
        fState &= ~refreshDisabled;
    }
    return *this;
}

ICnrCtl& ICnrCtl::disableRefresh()
{
    return enableRefresh(false);
}

IBase::Boolean ICnrCtl::isRefreshOn() const
{
    return !(fState & refreshDisabled);
}

// Container information ----------------------------------------------------------------------------

const ICnrCtl& ICnrCtl::containerInfo(ICnrInfo* info) const
{
    IARGUMENT_CHECK(info != 0, kFile, "ICnrCtl::containerInfo(ICnrInfo*) const");
    // Queried into a plain record, so that the tree handles it brings are counted once taken
    // into the counted ones.
    CNRINFO record{};
    record.cb = sizeof(CNRINFO);
    if (!sendEvent(CM_QUERYCNRINFO, &record, sizeof(CNRINFO)).asUnsignedLong()) {
        IThrow::systemError("CM_QUERYCNRINFO", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "ICnrCtl::containerInfo(ICnrInfo*) const"));
    }
    info->assign(record);
    return *this;
}

ICnrCtl& ICnrCtl::setContainerInfo(ICnrInfo* info, unsigned long fields)
{
    IARGUMENT_CHECK(info != 0, kFile, "ICnrCtl::setContainerInfo(ICnrInfo*,unsigned long)");
    if (!sendEvent(CM_SETCNRINFO, info->asRecord(), fields).asUnsignedLong()) {
        IThrow::systemError("CM_SETCNRINFO", GetLastError(),
                            IEXCEPTION_LOCATION(kFile,
                                                "ICnrCtl::setContainerInfo(ICnrInfo*,unsigned long)"));
    }
    return *this;
}
