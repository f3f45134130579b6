// Creation, check-mark minimum size and colour answers shared by the concrete buttons.
// The system bitmaps' numbers (OBM_...) come with this.
#define OEMRESOURCE
#include <windows.h>

#include <ovkmsgid.hpp>

#include "detail/ibtnimpl.hpp"
#include "detail/ishared.hpp"

void ovkbutton::create(ITextControl& button, unsigned long id, IWindow* parent, IWindow* owner,
                       const IRectangle& rect, const IWindow::Style& style,
                       const char* condition, const char* file, const char* function)
{
    if (!parent)
        IThrow::argument(condition, IEXCEPTION_LOCATION(file, function));
    button.setExtendedStyle(button.extendedStyle() | style.asExtendedUnsignedLong());
    const IWindowHandle handle = button.create(
        id, nullptr, button.convertToGUIStyle(style, false), "Button", parent->handle(),
        owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
        IWindow::defaultSiblingOrder(), button.convertToGUIStyle(style, true));
    button.startHandlingEventsFor(handle);
}

ISize ovkbutton::checkMinimumSize(const ITextControl& button)
{
    const ISize text = button.displaySize(button.text());
    const unsigned long length = button.textLength();
    // The system's check-box bitmap holds the marks in four columns.
    long check = 0;
    if (const ovk_native::Bitmap marks{LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES))}) {
        BITMAP info{};
        if (GetObjectA(marks.get(), sizeof info, &info) == sizeof info)
            check = info.bmWidth / 4;
    }
    long width = text.width() + 2 * GetSystemMetrics(SM_CXBORDER) + check + 2;
    if (length > 0)
        width += static_cast<long>(static_cast<unsigned long>(text.width()) / length);
    const long height = text.height() + 2 * GetSystemMetrics(SM_CYBORDER);
    return ISize(static_cast<ISize::Coord>(width), static_cast<ISize::Coord>(height));
}

void ovkshared::passToOwner(const IWindow& control, const IEvent& event)
{
    IWindow* target = control.owner();
    if (!target || target == IWindow::desktopWindow())
        target = control.parent();
    if (target)
        target->sendEvent(event);
}

IEventData ovkshared::answerColorRequest(const IEvent& event, const IWindow& control,
                                         ovk_native::Brush& brush)
{
    const HDC context = static_cast<HDC>(event.parameter1().asPointer());
    const IColor background = control.backgroundColor();
    SetBkColor(context, background.asRGBLong());
    SetTextColor(context, control.foregroundColor().asRGBLong());
    // Palette-relative, so that a palette device picks the nearest palette entry. The brush
    // of the previous request is deleted: the control has drawn with it.
    brush.reset(CreateSolidBrush(background.asRGBLong() | 0x2000000));
    return IEventData(static_cast<const void*>(brush.get()));
}

LRESULT ovkbutton::answerColorRequest(const IEvent& event, ITextControl& button,
                                      IButtonBrushRecord& record)
{
    return ovkshared::answerColorRequest(event, button, record.brush).asLong();
}

IWindowHandle ovkbutton::childOf(unsigned long id, IWindow* parent, const char* file,
                                 const char* function)
{
    if (!parent)
        IThrow::argument("parent!=0", IEXCEPTION_LOCATION(file, function));
    const IWindowHandle child = IWindow::handleWithParent(id, parent->handle());
    if (!child)
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID, IEXCEPTION_LOCATION(file, function));
    return child;
}

bool ovkbutton::setKind(IWindow& button, unsigned long kind)
{
    const unsigned long current = button.style();
    const unsigned long wanted = (current & ~0xFul) | kind;
    if (wanted == current)
        return false;
    button.setStyle(wanted);
    button.refresh();
    return true;
}

unsigned long ovkbutton::guiStyle(unsigned long base, const IBitFlag& style,
                                  IBase::Boolean extended, unsigned long kind)
{
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFF000000);
    return base | (style.asUnsignedLong() & BS_LEFTTEXT) | WS_CHILD | kind;
}
