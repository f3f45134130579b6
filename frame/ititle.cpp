// The title of a frame window.
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <inotifhd.hpp>

#include "iframe.hpp"
#include "ititle.hpp"

const char* const ITitle::objectTextId = "ITitle::objectText";
const char* const ITitle::viewTextId = "ITitle::viewText";
const char* const ITitle::viewNumberId = "ITitle::viewNumber";

namespace {

constexpr char kFile[] = "ititle";
constexpr char kSeparator[] = " - ";

// The frame's handle, which is the title bar's: a frame without a caption has none.
HWND titleBarHwnd(IWindow* frame)
{
    const HWND handle = frame->handle();
    if ((GetWindowLongPtrA(handle, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
        IThrow::message(OVK_MSG_NO_TITLE_BAR, IEXCEPTION_LOCATION(kFile, "titleBarHwnd(IWindow*)"));
    return handle;
}

// The three parts of a composed title.
struct Parts {
    std::string object;
    std::string view;
    unsigned long number = 0;
};

Parts split(const std::string& text)
{
    Parts parts;
    const std::size_t dash = text.find(kSeparator);
    parts.object = text.substr(0, dash);
    if (dash == std::string::npos)
        return parts;
    const std::size_t start = dash + std::strlen(kSeparator);
    parts.view = text.substr(start);
    // Only a ':' and digits that end the text are the view number: a view text is often a file
    // name or path ("C:\docs\a.txt"), whose own ':' is text.
    const std::size_t colon = parts.view.rfind(':');
    if (colon == std::string::npos || colon + 1 == parts.view.size())
        return parts;
    const std::string digits = parts.view.substr(colon + 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return parts;
    errno = 0;
    const unsigned long number = std::strtoul(digits.c_str(), nullptr, 10);
    // Digits that no view number could be are text too.
    if (errno == ERANGE)
        return parts;
    parts.number = number;
    parts.view.erase(colon);
    return parts;
}

IString loaded(const IResourceId& id)
{
    return id.id() ? id.resourceLibrary().tryToLoadString(id.id()) : IString();
}

IColor system(unsigned long color)
{
    return IGUIColor(static_cast<IColor::SystemColor>(color));
}

} // namespace

ITitle::ITitle(IFrameWindow* frame, const char* objectText, const char* viewText,
               unsigned long viewNumber)
    : fFrame(frame)
{
    IARGUMENT_CHECK(frame != 0, kFile,
                    "ITitle::ITitle(IFrameWindow*,const char*,const char*,unsigned long)");
    if (objectText)
        setTitleText(objectText, viewText, viewNumber);
}

ITitle::ITitle(IFrameWindow* frame, const IResourceId& objectText, const IResourceId& viewText,
               unsigned long viewNumber)
    : fFrame(frame)
{
    IARGUMENT_CHECK(frame != 0, kFile,
                    "ITitle::ITitle(IFrameWindow*,const IResourceId&,const IResourceId&,"
                    "unsigned long)");
    setTitleText(loaded(objectText), loaded(viewText), viewNumber);
}

ITitle::~ITitle() = default;

IWindow& ITitle::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, ITitleNotifyHandler::shared(), enable);
}

ISize ITitle::parentSize() const
{
    return fFrame->size();
}

IWindow* ITitle::owner() const
{
    return fFrame;
}

IBase::Boolean ITitle::isValid() const
{
    return fFrame->isValid() &&
           (GetWindowLongPtrA(fFrame->handle(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

IWindowHandle ITitle::handle() const
{
    if (!isValid())
        IThrow::message(OVK_MSG_INVALID_HANDLE, IEXCEPTION_LOCATION(kFile, "ITitle::handle() const"));
    return fFrame->handle();
}

// The caption's rectangle: inside the borders, between the system menu's button and the
// caption buttons, one caption high; in the frame's own coordinates.
IRectangle ITitle::nativeRect() const
{
    const HWND frame = titleBarHwnd(fFrame);
    const LONG_PTR style = GetWindowLongPtrA(frame, GWL_STYLE);
    const LONG_PTR extended = GetWindowLongPtrA(frame, GWL_EXSTYLE);
    const bool newShell = IPlatform::hasNewShell();
    RECT r{};
    GetWindowRect(frame, &r);
    int bx = GetSystemMetrics((style & WS_THICKFRAME) ? SM_CXFRAME : SM_CXDLGFRAME);
    int by = GetSystemMetrics((style & WS_THICKFRAME) ? SM_CYFRAME : SM_CYDLGFRAME);
    if (!newShell) {
        bx += GetSystemMetrics(SM_CXBORDER);
        by += GetSystemMetrics(SM_CYBORDER);
    }
    const int button = GetSystemMetrics(SM_CXSIZE);
    r.left += bx + 1 + ((style & WS_SYSMENU) ? button : 0);
    r.top += by;
    r.right -= bx;
    const int buttonStep = GetSystemMetrics(SM_CXBORDER) + button;
    if (style & WS_MAXIMIZEBOX)
        r.right -= buttonStep;
    if (style & WS_MINIMIZEBOX)
        r.right -= buttonStep;
    if (newShell && (style & WS_SYSMENU))
        r.right -= buttonStep;
    if (newShell && (extended & WS_EX_CONTEXTHELP))
        r.right -= buttonStep;
    r.bottom = r.top + GetSystemMetrics(SM_CYSIZE) - 1;
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    const bool menu = !(style & WS_CHILD) && GetMenu(frame);
    const int down = GetSystemMetrics(SM_CYCAPTION) + by + (menu ? GetSystemMetrics(SM_CYMENU) : 0);
    OffsetRect(&r, bx, down);
    return IRectangle(r.left, r.top, r.right, r.bottom);
}

IColor ITitle::borderColor() const { return system(15); }
IColor ITitle::activeColor() const { return system(30); }
IColor ITitle::inactiveColor() const { return system(31); }
IColor ITitle::titleColor1() const { return system(25); }
IColor ITitle::titleColor2() const { return system(23); }
IColor ITitle::titleColor3() const { return system(24); }
IColor ITitle::titleColor4() const { return system(22); }
ITitle& ITitle::setTitleColor1(const IColor&) { return *this; }
ITitle& ITitle::setTitleColor2(const IColor&) { return *this; }
ITitle& ITitle::setTitleColor3(const IColor&) { return *this; }
ITitle& ITitle::setTitleColor4(const IColor&) { return *this; }
ITitle& ITitle::resetTitleColor1() { return *this; }
ITitle& ITitle::resetTitleColor2() { return *this; }
ITitle& ITitle::resetTitleColor3() { return *this; }
ITitle& ITitle::resetTitleColor4() { return *this; }

ITextControl& ITitle::setText(const char* text)
{
    SetWindowTextA(fFrame->handle(), text ? text : "");
    return *this;
}

ITextControl& ITitle::setText(const IResourceId& text)
{
    return setText(static_cast<const char*>(text.resourceLibrary().loadString(text.id())));
}

IString ITitle::text() const
{
    const unsigned long length = textLength();
    std::string buffer(length + 1, '\0');
    const int read = GetWindowTextA(fFrame->handle(), &buffer[0], static_cast<int>(length + 1));
    buffer.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return IString(buffer.c_str());
}

unsigned long ITitle::textLength() const
{
    const int length = GetWindowTextLengthA(fFrame->handle());
    return length > 0 ? static_cast<unsigned long>(length) : 0;
}

IString ITitle::objectText() const
{
    return IString(split(static_cast<const char*>(text())).object.c_str());
}

IString ITitle::viewText() const
{
    return IString(split(static_cast<const char*>(text())).view.c_str());
}

unsigned long ITitle::viewNumber() const
{
    return split(static_cast<const char*>(text())).number;
}

ITitle& ITitle::setTitleText(const char* objectText, const char* viewText, unsigned long viewNumber)
{
    std::string title = objectText ? objectText : "";
    if (!title.empty()) {
        if (viewText && *viewText)
            title += kSeparator + std::string(viewText);
        if (viewNumber != 0)
            title += ":" + std::to_string(viewNumber);
    }
    setText(title.c_str());
    return *this;
}

ITitle& ITitle::setTitleText(const IResourceId& objectText, const IResourceId& viewText,
                             unsigned long viewNumber)
{
    return setTitleText(loaded(objectText), loaded(viewText), viewNumber);
}

ITitle& ITitle::setObjectText(const char* objectText)
{
    const Parts parts = split(static_cast<const char*>(text()));
    if (parts.object == (objectText ? objectText : ""))
        return *this;
    setTitleText(objectText, parts.view.c_str(), parts.number);
    notifyObservers(objectTextId);
    return *this;
}

ITitle& ITitle::setObjectText(const IResourceId& objectText)
{
    const IString text = loaded(objectText);
    return text.length() ? setObjectText(static_cast<const char*>(text)) : *this;
}

ITitle& ITitle::setViewText(const char* viewText)
{
    const Parts parts = split(static_cast<const char*>(text()));
    if (parts.view == (viewText ? viewText : ""))
        return *this;
    setTitleText(parts.object.c_str(), viewText, parts.number);
    notifyObservers(viewTextId);
    return *this;
}

ITitle& ITitle::setViewText(const IResourceId& viewText)
{
    const IString text = loaded(viewText);
    return text.length() ? setViewText(static_cast<const char*>(text)) : *this;
}

ITitle& ITitle::setViewNumber(unsigned long viewNumber)
{
    const Parts parts = split(static_cast<const char*>(text()));
    if (parts.number == viewNumber)
        return *this;
    setTitleText(parts.object.c_str(), parts.view.c_str(), viewNumber);
    notifyObservers(viewNumberId);
    return *this;
}
