// The tool bar: construction, its windows in list order, views, the fit pass of narrow vertical
// tool bars, cursors and the minimum size.
#include <windows.h>

#include <algorithm>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <iframe.hpp>
#include <iprivmsg.hpp>
#include <ovkmsgid.hpp>

#include <detail/idragenb.hpp>

#include "detail/itbardat.hpp"
#include "itbar.hpp"

namespace {

constexpr unsigned long kNarrowVertical = 0x2000;
constexpr unsigned long kView0 = 0x4000, kView1 = 0x8000, kView2 = 0x10000;
constexpr unsigned long kViewBits = kView0 | kView1 | kView2;
constexpr unsigned long kNotMovable = 0x20000;
// Bits that a normalised class word drops along with the view bits it replaced.
constexpr unsigned long kNormalisedOut = 0x00FC1000;

constexpr char kFile[] = "itbar";

// What new tool bars take until the application sets other defaults.
const ISize kInitialMargin(7, 4);
const ISize kInitialPad(-1, -1);
constexpr unsigned long kInitialSpacing = 8;
constexpr unsigned long kInitialMaximumVerticalWidth = 100;

// Two view bits that cannot stand together, or the view 2 bit, give view 2 alone.
unsigned long normalisedClassWord(unsigned long word)
{
    if (((word & kView0) && (word & kView1)) || (word & kView2)) {
        const unsigned long normalised = (word & ~(kView0 | kView1)) | kView2;
        if (normalised != word)
            return normalised & ~kNormalisedOut;
    }
    return word;
}

bool hasGroupStyle(const IWindow* window)
{
    return (GetWindowLongPtrA(window->handle(), GWL_STYLE) & WS_GROUP) != 0;
}

void setGroupStyle(IWindow* window, bool on)
{
    if (auto* control = dynamic_cast<IControl*>(window)) {
        control->enableGroup(on);
        return;
    }
    const unsigned long style = window->style();
    window->setStyle(on ? style | WS_GROUP : style & ~static_cast<unsigned long>(WS_GROUP));
}

// Puts the window behind `previous` in the stacking order that the set canvas lays out in, or
// first when there is none.
void placeBehind(IWindow* window, IWindow* previous)
{
    if (previous)
        window->positionBehindSibling(previous->handle());
    else
        window->positionOnSiblings();
}

} // namespace

const IToolBar::Style IToolBar::narrowVertical(0, kNarrowVertical);
const IToolBar::Style IToolBar::bitmapView(0, kView0);
const IToolBar::Style IToolBar::textView(0, kView1);
const IToolBar::Style IToolBar::bitmapAndTextView(0, kView2);
const IToolBar::Style IToolBar::notMovable(0, kNotMovable);
const IToolBar::Style IToolBar::classDefaultStyle(WS_VISIBLE, kNarrowVertical | kView0);

IToolBar::Style IToolBar::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}
void IToolBar::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}
ISize IToolBar::defaultMargin() { return ovk_app::ClassDefault<kInitialMargin>::current(); }
void IToolBar::setDefaultMargin(const ISize& margin)
{
    ovk_app::ClassDefault<kInitialMargin>::replace(margin);
}
ISize IToolBar::defaultPad() { return ovk_app::ClassDefault<kInitialPad>::current(); }
void IToolBar::setDefaultPad(const ISize& pad) { ovk_app::ClassDefault<kInitialPad>::replace(pad); }
unsigned long IToolBar::defaultSpacing()
{
    return ovk_app::ClassDefault<kInitialSpacing>::current();
}
void IToolBar::setDefaultSpacing(unsigned long spacing)
{
    ovk_app::ClassDefault<kInitialSpacing>::replace(spacing);
}
unsigned long IToolBar::defaultMaximumVerticalWidth()
{
    return ovk_app::ClassDefault<kInitialMaximumVerticalWidth>::current();
}
void IToolBar::setDefaultMaximumVerticalWidth(unsigned long width)
{
    ovk_app::ClassDefault<kInitialMaximumVerticalWidth>::replace(width);
}

// Construction ----------------------------------------------------------------------------------

IToolBar::IToolBar(unsigned long id, IFrameWindow* owner, Location location, IBase::Boolean group,
                   const Style& style)
    : ISetCanvas(id, objectWindow(), objectWindow(), IRectangle(),
                 ISetCanvas::Style(style.asUnsignedLong(),
                                   normalisedClassWord(style.asExtendedUnsignedLong()))),
      fToolBarData(new IToolBarData)
{
    IARGUMENT_CHECK(owner != nullptr, kFile,
                    "IToolBar::IToolBar(unsigned long,IFrameWindow*,IToolBar::Location,"
                    "IBase::Boolean,const IToolBar::Style&)");
    try {
        construct(owner, group);
        setLocation(location);
    } catch (...) {
        abandon();
        throw;
    }
}

IToolBar::IToolBar(unsigned long id, IToolBar* neighbour, IBase::Boolean group, const Style& style)
    : ISetCanvas(id, objectWindow(), objectWindow(), IRectangle(),
                 ISetCanvas::Style(style.asUnsignedLong(),
                                   normalisedClassWord(style.asExtendedUnsignedLong()))),
      fToolBarData(new IToolBarData)
{
    IARGUMENT_CHECK(neighbour != nullptr, kFile,
                    "IToolBar::IToolBar(unsigned long,IToolBar*,IBase::Boolean,"
                    "const IToolBar::Style&)");
    try {
        construct(neighbour->ownerFrame(), group);
        placeAfter(neighbour);
    } catch (...) {
        abandon();
        throw;
    }
}

// A constructor that fails leaves no trace: the destructor will not run, so the frame must not
// keep this tool bar in its list, nor its holder a child that goes with the canvas.
void IToolBar::abandon() noexcept
{
    IToolBarData* data = fToolBarData;
    fToolBarData = nullptr;
    try {
        leaveFrameList(*data);
        if (data->handler && isValid())
            data->handler->stopHandlingEventsFor(this);
        if (isValid())
            setParent(objectWindow());
    } catch (const IException&) {
        // The failure being reported is the constructor's.
    }
    delete data;
}

void IToolBar::construct(IFrameWindow* owner, IBase::Boolean group)
{
    IToolBarData& data = *fToolBarData;
    data.owner = owner;
    const ISize margin = defaultMargin();
    data.margin = margin;
    data.maximumVerticalWidth = defaultMaximumVerticalWidth();
    setMargin(margin);
    setPad(defaultPad());
    setGroupPad(defaultSpacing());
    enableGroup(group);
    completeSetUp();
}

// Handlers, drop target and the frame's list: done once, by the constructors or the first add.
void IToolBar::completeSetUp()
{
    IToolBarData& data = *fToolBarData;
    if (data.setUpDone)
        return;
    data.setUpDone = true;
    data.handler = std::make_unique<IToolBarHandler>();
    data.handler->handleEventsFor(this);
    if (isMovable())
        ovk_window::enableDragDrop(this);
    IToolBarList* list = ovk_toolbar::toolBarList(data.owner);
    if (!list) {
        list = new IToolBarList;
        data.owner->setToolBarData(list);
    }
    list->toolBars.push_back(this);
}

IToolBar::~IToolBar()
{
    IToolBarData* data = fToolBarData;
    fToolBarData = nullptr;
    try {
        // A frame object already deleted takes its list and holders along; nothing is left
        // here to undo.
        const bool frameAlive = isWindowValid(data->owner);
        const bool shared = frameAlive && leaveFrameList(*data);
        if (data->handler && isValid())
            data->handler->stopHandlingEventsFor(this);
        if (data->floatingFrame) {
            // The tool bar must leave its floating frame before the frame is destroyed, or
            // the frame takes the tool bar's native window with it.
            if (isValid())
                setParent(objectWindow());
            delete data->floatingFrame;
        }
        if (IToolBarContainer* holder = data->holder; holder && frameAlive) {
            if (isValid())
                setParent(objectWindow());
            if (shared) {
                holder->relayout();
            } else {
                data->owner->removeExtension(holder);
                delete holder;
            }
        }
    } catch (const IException&) {
        // A destructor does not throw; the frame or holder went with their native windows.
    }
    delete data;
}

// Takes this tool bar out of its frame's list, and the list out of the frame when it was the
// last; answers whether another tool bar of the frame has the same location.
bool IToolBar::leaveFrameList(IToolBarData& data)
{
    IToolBarList* list = ovk_toolbar::toolBarList(data.owner);
    if (!list)
        return false;
    auto& bars = list->toolBars;
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    bool shared = false;
    for (IToolBar* other : bars)
        shared = shared || other->location() == data.location;
    if (bars.empty()) {
        data.owner->setToolBarData(nullptr);
        delete list;
    }
    return shared;
}

IString IToolBar::asDebugInfo() const
{
    IString text = ISetCanvas::asDebugInfo();
    if (!fToolBarData)
        return text;
    text += IString(",location=") + IString(static_cast<unsigned long>(fToolBarData->location));
    text += IString(",windows=") + IString(static_cast<unsigned long>(fToolBarData->windows.size()));
    return text;
}

// Windows -------------------------------------------------------------------------------------------

std::size_t IToolBar::indexOf(const IWindow* window) const
{
    const auto& windows = fToolBarData->windows;
    for (std::size_t i = 0; i < windows.size(); ++i)
        if (windows[i].window == window)
            return i;
    return windows.size();
}

void IToolBar::insertWindow(IWindow* window, std::size_t index, IBase::Boolean group,
                            const char* function)
{
    IARGUMENT_CHECK(window != nullptr, kFile, function);
    completeSetUp();
    auto& windows = fToolBarData->windows;
    const std::size_t existing = indexOf(window);
    if (existing < windows.size()) {
        windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(existing));
        if (existing < index)
            --index;
    }
    index = std::min(index, windows.size());
    window->setParent(this);
    windows.insert(windows.begin() + static_cast<std::ptrdiff_t>(index), IToolBarWindowRecord{window, true});
    IWindow* previous = nullptr;
    for (std::size_t i = index; i-- > 0;)
        if (windows[i].inLayout) {
            previous = windows[i].window;
            break;
        }
    placeBehind(window, previous);
    afterAdding(window, index, group);
}

void IToolBar::afterAdding(IWindow* window, std::size_t index, IBase::Boolean group)
{
    auto& windows = fToolBarData->windows;
    if (group) {
        setGroupStyle(window, true);
    } else {
        setGroupStyle(window, false);
        if (index + 1 < windows.size()) {
            IWindow* next = windows[index + 1].window;
            if (hasGroupStyle(next)) {
                setGroupStyle(window, true);
                setGroupStyle(next, false);
            }
        } else if (index == 0) {
            setGroupStyle(window, true);
        }
    }
    window->sendEvent(viewMessage(), 0, 0);
    if (isMovable())
        window->sendEvent(IPrivateMessage::toolBarButtonRequest,
                          IPrivateMessage::toolBarButtonEnableDrag, 0);
    fitPass();
    relayout();
}

IToolBar& IToolBar::addAsFirst(IWindow* window, IBase::Boolean group)
{
    insertWindow(window, 0, group, "IToolBar::addAsFirst(IWindow*,IBase::Boolean)");
    return *this;
}

IToolBar& IToolBar::addAsLast(IWindow* window, IBase::Boolean group)
{
    insertWindow(window, fToolBarData->windows.size(), group,
                 "IToolBar::addAsLast(IWindow*,IBase::Boolean)");
    return *this;
}

IToolBar& IToolBar::addBefore(IWindow* window, IWindow* referenceWindow, IBase::Boolean group)
{
    insertWindow(window, indexOf(referenceWindow), group,
                 "IToolBar::addBefore(IWindow*,IWindow*,IBase::Boolean)");
    return *this;
}

IToolBar& IToolBar::addAfter(IWindow* window, IWindow* referenceWindow, IBase::Boolean group)
{
    const std::size_t reference = indexOf(referenceWindow);
    const std::size_t count = fToolBarData->windows.size();
    insertWindow(window, reference < count ? reference + 1 : count, group,
                 "IToolBar::addAfter(IWindow*,IWindow*,IBase::Boolean)");
    return *this;
}

void IToolBar::detachWindow(std::size_t index)
{
    auto& windows = fToolBarData->windows;
    const IToolBarWindowRecord record = windows[index];
    record.window->setParent(objectWindow());
    if (hasGroupStyle(record.window) && index + 1 < windows.size())
        setGroupStyle(windows[index + 1].window, true);
    windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(index));
    if (record.inLayout)
        relayout();
}

IToolBar& IToolBar::remove(IWindow* window)
{
    IARGUMENT_CHECK(window != nullptr, kFile, "IToolBar::remove(IWindow*)");
    const std::size_t index = indexOf(window);
    if (index < fToolBarData->windows.size())
        detachWindow(index);
    return *this;
}

IToolBar& IToolBar::moveBefore(IWindow* window, IWindow* referenceWindow, IBase::Boolean group)
{
    static const char function[] = "IToolBar::moveBefore(IWindow*,IWindow*,IBase::Boolean)";
    IARGUMENT_CHECK(window != referenceWindow, kFile, function);
    insertWindow(window, indexOf(referenceWindow), group, function);
    return *this;
}

IToolBar& IToolBar::moveAfter(IWindow* window, IWindow* referenceWindow, IBase::Boolean group)
{
    static const char function[] = "IToolBar::moveAfter(IWindow*,IWindow*,IBase::Boolean)";
    IARGUMENT_CHECK(window != referenceWindow, kFile, function);
    const std::size_t reference = indexOf(referenceWindow);
    const std::size_t count = fToolBarData->windows.size();
    std::size_t index = reference < count ? reference + 1 : count;
    // The window's own record leaves before the insertion; insertWindow allows for that.
    insertWindow(window, index, group, function);
    return *this;
}

unsigned long IToolBar::windowCount() const
{
    return static_cast<unsigned long>(fToolBarData->windows.size());
}

// Narrow vertical tool bars keep windows wider than the maximum vertical width out of the layout
// (in the object window) and take them back when they fit or the tool bar turns horizontal.
void IToolBar::fitPass()
{
    IToolBarData& data = *fToolBarData;
    const bool narrow = deckOrientation() == vertical && (extendedStyle() & kNarrowVertical);
    const long widest = static_cast<long>(data.maximumVerticalWidth);
    IWindow* last = nullptr;
    for (IToolBarWindowRecord& record : data.windows) {
        IWindow* window = record.window;
        const long width = narrow ? window->minimumSize().width() : 0;
        if (narrow && record.inLayout && width > widest) {
            window->setParent(objectWindow());
            record.inLayout = false;
        } else if (!record.inLayout && (!narrow || width < widest)) {
            window->setParent(this);
            record.inLayout = true;
            placeBehind(window, last);
        }
        if (record.inLayout)
            last = window;
    }
}

// Views ----------------------------------------------------------------------------------------------

unsigned long IToolBar::viewMessage() const
{
    const unsigned long style = extendedStyle();
    if (style & kView2)
        return IPrivateMessage::bitmapAndTextView;
    if (style & kView1)
        return IPrivateMessage::textView;
    return IPrivateMessage::bitmapView;
}

IToolBar& IToolBar::setButtonView(IToolBarButton::View view)
{
    static const unsigned long bits[3] = {kView0, kView1, kView2};
    const unsigned long value = static_cast<unsigned long>(view);
    if (value > 2)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION(kFile, "IToolBar::setButtonView(IToolBarButton::View)"));
    const unsigned long current = extendedStyle();
    const unsigned long wanted = (current & ~kViewBits) | bits[value];
    if (wanted == current)
        return *this;
    setExtendedStyle(wanted);
    const unsigned long message = viewMessage();
    for (const IToolBarWindowRecord& record : fToolBarData->windows)
        record.window->sendEvent(message, 0, 0);
    fitPass();
    relayout();
    refresh();
    return *this;
}

IToolBarButton::View IToolBar::buttonView() const
{
    const unsigned long style = extendedStyle();
    if (style & kView2)
        return IToolBarButton::showBitmapAndText;
    if (style & kView1)
        return IToolBarButton::showText;
    return IToolBarButton::showBitmap;
}

IBase::Boolean IToolBar::isMovable() const
{
    return !(extendedStyle() & kNotMovable);
}

IFrameWindow* IToolBar::ownerFrame() const
{
    return fToolBarData->owner;
}

IFrameWindow* IToolBar::floatingFrame() const
{
    return fToolBarData->floatingFrame;
}

// Size and layout ------------------------------------------------------------------------------------

// Lays the tool bar out now, and then whatever holds it: a side holder, whose new size the frame
// must learn, or the floating frame (which layout() fits).
void IToolBar::relayout()
{
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    layout();
    if (fToolBarData->holder)
        fToolBarData->holder->relayout();
}

ISize IToolBar::calcMinimumSize() const
{
    if (!fToolBarData)
        return ISetCanvas::calcMinimumSize();
    if (!fToolBarData->placed)
        return ISize();
    if (!GetWindow(handle(), GW_CHILD)) {
        const ISize bitmap = IToolBarButton::standardBitmapSize();
        return ISize(bitmap.width() + 5 * GetSystemMetrics(SM_CXBORDER) + 10,
                     bitmap.height() + 5 * GetSystemMetrics(SM_CYBORDER) + 16);
    }
    return ISetCanvas::calcMinimumSize();
}

ISetCanvas& IToolBar::layout()
{
    const ISize before = layoutMinimumSize();
    ISetCanvas::layout();
    if (fToolBarData && fToolBarData->floatingFrame && !fToolBarData->moving &&
        layoutMinimumSize() != before)
        fitFloatingFrame();
    return *this;
}

// Cursors --------------------------------------------------------------------------------------------

IToolBar::WindowCursor::WindowCursor(const IToolBar& toolBar) : fToolBar(toolBar) {}

IBase::Boolean IToolBar::WindowCursor::setToFirst()
{
    fIndex = 0;
    fValid = !fToolBar.fToolBarData->windows.empty();
    return fValid;
}

IBase::Boolean IToolBar::WindowCursor::setToNext()
{
    if (!fValid)
        return false;
    ++fIndex;
    fValid = fIndex < fToolBar.fToolBarData->windows.size();
    return fValid;
}

IBase::Boolean IToolBar::WindowCursor::isValid() const
{
    return fValid && fIndex < fToolBar.fToolBarData->windows.size();
}

void IToolBar::WindowCursor::invalidate()
{
    fValid = false;
}

IToolBar::FrameCursor::FrameCursor(const IFrameWindow* frame) : fFrame(frame) {}

bool IToolBar::FrameCursor::current() const
{
    return fFrame && fFrame->toolBarData() == fList;
}

IBase::Boolean IToolBar::FrameCursor::setToFirst()
{
    const IToolBarList* list = ovk_toolbar::toolBarList(fFrame);
    fList = list;
    fIndex = 0;
    fValid = list && !list->toolBars.empty();
    return fValid;
}

IBase::Boolean IToolBar::FrameCursor::setToNext()
{
    if (!current())
        return setToFirst();
    if (!fValid)
        return false;
    ++fIndex;
    fValid = fIndex < static_cast<const IToolBarList*>(fList)->toolBars.size();
    return fValid;
}

IBase::Boolean IToolBar::FrameCursor::isValid() const
{
    return fValid && current() &&
           fIndex < static_cast<const IToolBarList*>(fList)->toolBars.size();
}

void IToolBar::FrameCursor::invalidate()
{
    fValid = false;
}

IWindow* IToolBar::windowAt(const WindowCursor& cursor) const
{
    ISTATE_CHECK(cursor.isValid() && &cursor.fToolBar == this, kFile,
                 "IToolBar::windowAt(const IToolBar::WindowCursor&) const");
    return fToolBarData->windows[cursor.fIndex].window;
}

IToolBar* IToolBar::toolBarAt(const FrameCursor& cursor)
{
    ISTATE_CHECK(cursor.isValid(), kFile, "IToolBar::toolBarAt(const IToolBar::FrameCursor&)");
    return static_cast<const IToolBarList*>(cursor.fList)->toolBars[cursor.fIndex];
}
