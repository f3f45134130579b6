// The notebook's page settings, page cursor, page clipping window and page-window keys.
#include <windows.h>
#include <commctrl.h>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>

#include "detail/inbdata.hpp"
#include "iapp.hpp"
#include "ikeyevt.hpp"
#include "inotebk.hpp"
#include "ipainevt.hpp"
#include "ipainhdr.hpp"

// Page settings --------------------------------------------------------------------------------

namespace {

constexpr unsigned long kStatusTextOn = 0x1, kMajorTab = 0x40, kMinorTab = 0x80;

unsigned long withTabKind(unsigned long attributes, bool hasTab)
{
    if (hasTab && !(attributes & (kMajorTab | kMinorTab)))
        attributes |= kMajorTab;
    return attributes;
}

} // namespace

const INotebook::PageSettings::Attribute INotebook::PageSettings::noAttribute(0, 0);
const INotebook::PageSettings::Attribute INotebook::PageSettings::statusTextOn(kStatusTextOn, 0);
const INotebook::PageSettings::Attribute INotebook::PageSettings::majorTab(kMajorTab, 0);
const INotebook::PageSettings::Attribute INotebook::PageSettings::minorTab(kMinorTab, 0);
const INotebook::PageSettings::Attribute INotebook::PageSettings::autoPageSize(0x100, 0);

INotebook::PageSettings::PageSettings() = default;

INotebook::PageSettings::PageSettings(const Attribute& attribute)
    : fAttributes(attribute.asUnsignedLong())
{
}

INotebook::PageSettings::PageSettings(const char* tabText, const char* statusText,
                                      const Attribute& attribute)
    : fAttributes(attribute.asUnsignedLong()), fStatusText(statusText ? statusText : ""),
      fTabText(tabText ? tabText : "")
{
    if (statusText)
        fAttributes |= kStatusTextOn;
    fAttributes = withTabKind(fAttributes, tabText != nullptr);
}

INotebook::PageSettings::PageSettings(const IBitmapHandle& tabBitmap, const char* statusText,
                                      const Attribute& attribute)
    : fAttributes(attribute.asUnsignedLong()), fTabBitmap(tabBitmap),
      fStatusText(statusText ? statusText : "")
{
    if (statusText)
        fAttributes |= kStatusTextOn;
    fAttributes = withTabKind(fAttributes, tabBitmap.isValid());
}

INotebook::PageSettings::PageSettings(const PageSettings& other) = default;
INotebook::PageSettings& INotebook::PageSettings::operator=(const PageSettings& other) = default;
INotebook::PageSettings::~PageSettings() = default;

INotebook::PageSettings& INotebook::PageSettings::setStatusText(const char* text)
{
    fStatusText = text ? text : "";
    fAttributes |= kStatusTextOn;
    return *this;
}

INotebook::PageSettings& INotebook::PageSettings::setStatusText(const IResourceId& id)
{
    return setStatusText(id.resourceLibrary().loadString(id.id()));
}

IString INotebook::PageSettings::statusText() const { return fStatusText; }

INotebook::PageSettings& INotebook::PageSettings::setTabText(const char* text)
{
    fTabText = text ? text : "";
    return *this;
}

INotebook::PageSettings& INotebook::PageSettings::setTabText(const IResourceId& id)
{
    return setTabText(id.resourceLibrary().loadString(id.id()));
}

INotebook::PageSettings& INotebook::PageSettings::setTabBitmap(const IBitmapHandle& bitmap)
{
    fTabBitmap = bitmap;
    return *this;
}

INotebook::PageSettings& INotebook::PageSettings::setTabBitmap(const IResourceId& id)
{
    return setTabBitmap(id.resourceLibrary().loadBitmap(id.id()));
}

IString INotebook::PageSettings::tabText() const { return fTabText; }
IBitmapHandle INotebook::PageSettings::tabBitmap() const { return fTabBitmap; }

INotebook::PageSettings& INotebook::PageSettings::setUserData(unsigned long data)
{
    fUserData = static_cast<std::uint32_t>(data);
    return *this;
}

unsigned long INotebook::PageSettings::userData() const { return fUserData; }
IBase::Boolean INotebook::PageSettings::isStatusTextOn() const { return (fAttributes & kStatusTextOn) != 0; }
IBase::Boolean INotebook::PageSettings::isMajorTab() const { return (fAttributes & kMajorTab) != 0; }
IBase::Boolean INotebook::PageSettings::isMinorTab() const { return (fAttributes & kMinorTab) != 0; }
IBase::Boolean INotebook::PageSettings::isAutoPageSize() const { return (fAttributes & 0x100) != 0; }

// Cursor ---------------------------------------------------------------------------------------

INotebook::Cursor::Cursor(const INotebook& notebook) : fNotebook(&notebook) {}
INotebook::Cursor::~Cursor() = default;

// Every positioning takes the notebook's change count, which every insertion and removal
// raises, so that a cursor never names a page that went.
IBase::Boolean INotebook::Cursor::positionOn(const IPageHandle& page)
{
    fCurrent = page;
    fStamp = fNotebook->fChangeCount;
    return isValid();
}

IBase::Boolean INotebook::Cursor::setToFirst()
{
    if (fNotebook->isEmpty()) {
        invalidate();
        return false;
    }
    return positionOn(fNotebook->firstPage());
}

IBase::Boolean INotebook::Cursor::setToLast()
{
    if (fNotebook->isEmpty()) {
        invalidate();
        return false;
    }
    return positionOn(fNotebook->lastPage());
}

IBase::Boolean INotebook::Cursor::setToNext()
{
    if (!isValid())
        return false;
    return positionOn(fNotebook->nextPage(fCurrent));
}

IBase::Boolean INotebook::Cursor::setToPrevious()
{
    if (!isValid())
        return false;
    return positionOn(fNotebook->previousPage(fCurrent));
}

IBase::Boolean INotebook::Cursor::isValid() const
{
    return fCurrent.isValid() && fStamp == fNotebook->fChangeCount;
}

void INotebook::Cursor::invalidate() { fCurrent = IPageHandle(); }

IPageHandle INotebook::Cursor::first()
{
    setToFirst();
    return current();
}
IPageHandle INotebook::Cursor::next()
{
    setToNext();
    return current();
}
IPageHandle INotebook::Cursor::previous()
{
    setToPrevious();
    return current();
}
IPageHandle INotebook::Cursor::last()
{
    setToLast();
    return current();
}

IPageHandle INotebook::Cursor::current() const
{
    return isValid() ? fCurrent : IPageHandle();
}

// Page clipping window -------------------------------------------------------------------------

namespace {

// Paints the page area in the notebook's page background colour.
class ClipPainter : public IPaintHandler {
protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override
    {
        IWindow* clip = event.window();
        auto* notebook = clip ? dynamic_cast<INotebook*>(clip->parent()) : nullptr;
        if (!notebook)
            return false;
        event.clearBackground(event.rect(), notebook->pageBackgroundColor());
        return true;
    }
};

// The painter covers every pixel; erasing first would only flicker.
class ClipEraser : public IHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() != WM_ERASEBKGND)
            return false;
        event.setResult(1);
        return true;
    }
};

const char* const kClipClass = "ZUQ Page Clipping Window";

void registerClipClass()
{
    static const bool registered = [] {
        WNDCLASSA clipClass{};
        clipClass.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
        clipClass.lpfnWndProc = DefWindowProcA;
        clipClass.hInstance = GetModuleHandleA(nullptr);
        clipClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        clipClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        clipClass.lpszClassName = kClipClass;
        return RegisterClassA(&clipClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered)
        IThrow::systemError("RegisterClass", GetLastError(),
                            IEXCEPTION_LOCATION("inotebk2", "IPageClipWindow::IPageClipWindow(IWindow&)"));
}

} // namespace

IPageClipWindow::IPageClipWindow(IWindow& notebook)
{
    registerClipClass();
    const HWND clip = CreateWindowExA(0, kClipClass, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                      notebook.handle(),
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(clipWindowId)),
                                      GetModuleHandleA(nullptr), nullptr);
    if (!clip)
        IThrow::systemError("CreateWindow", GetLastError(),
                            IEXCEPTION_LOCATION("inotebk2", "IPageClipWindow::IPageClipWindow(IWindow&)"));
    setDestroyOnDelete(true);
    startHandlingEventsFor(clip);
    ovk_app::sharedHandler<ClipPainter>().handleEventsFor(this);
    ovk_app::sharedHandler<ClipEraser>().handleEventsFor(this);
}

IPageClipWindow::~IPageClipWindow()
{
    try {
        if (isValid()) {
            ovk_app::sharedHandler<ClipPainter>().stopHandlingEventsFor(this);
            ovk_app::sharedHandler<ClipEraser>().stopHandlingEventsFor(this);
        }
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
}

INotebookData::~INotebookData() noexcept(false)
{
    delete clipWindow;
    if (images && !ImageList_Destroy(images))
        IThrow::systemError("ImageList_Destroy", GetLastError(),
                            IEXCEPTION_LOCATION("inotebk", "INotebookData::~INotebookData()"));
}

// Page-window keys -----------------------------------------------------------------------------

namespace ovknotebook {

PageKeyHandler& pageKeyHandler()
{
    return ovk_app::sharedHandler<PageKeyHandler>();
}

IBase::Boolean PageKeyHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_SYSKEYDOWN)
        return false;
    const HWND notebook = GetParent(GetParent(event.handle()));
    char name[32] = "";
    if (!notebook || !GetClassNameA(notebook, name, sizeof name) ||
        lstrcmpiA(name, "SysTabControl32") != 0)
        return false;
    IKeyboardEvent key(event);
    if (!key.isVirtual() || !(event.parameter2().asUnsignedLong() & IKeyboardEvent::altMask) ||
        key.isShiftDown() || key.isCtrlDown())
        return false;
    switch (key.virtualKey()) {
    case IKeyboardEvent::pageUp:
    case IKeyboardEvent::pageDown: {
        const HWND focus = GetFocus();
        SendMessageA(notebook, WM_SYSKEYDOWN, static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                     event.parameter2().asLong());
        if (GetFocus() == focus)
            SetFocus(notebook);
        return true;
    }
    case IKeyboardEvent::up:
        SetFocus(notebook);
        return true;
    default:
        return false;
    }
}

} // namespace ovknotebook
