// The handlers shared by every custom button: latching, clicking and drawing the face.
#include <windows.h>

#include <algorithm>
#include <vector>

#include <detail/iclasswide.hpp>
#include <igbundle.hpp>
#include <igrect.hpp>
#include <ikeyevt.hpp>
#include <iprivmsg.hpp>

#include "detail/ibtntext.hpp"
#include "detail/icbdraw.hpp"
#include "icbdrevt.hpp"
#include "icbhdr.hpp"
#include "icustbut.hpp"

namespace {

// The button drawn pressed last on this thread; its release is the click that latches.
thread_local HWND tPressedButton = nullptr;

ICustomButton* buttonOf(const IEvent& event)
{
    return dynamic_cast<ICustomButton*>(IWindow::windowWithHandle(event.dispatchingHandle()));
}

// The release of a button that was pressed latches an up button that may latch, and releases
// a latched button that allows it (an auto-latch button alone is released only by its group).
void latchOnRelease(ICustomButton& button)
{
    if (button.isLatched()) {
        if (button.allowsLatching())
            button.setLatched(false, false);
    } else if (button.allowsLatching() || button.isAutoLatchEnabled()) {
        button.setLatched(true, false);
    }
}

// The owner hears of the click as a command from the library; the desktop is no owner.
void postClick(ICustomButton& button)
{
    IWindow* target = button.owner();
    if (!target || target == IWindow::desktopWindow())
        target = button.parent();
    if (target)
        target->handle().postEvent(WM_COMMAND,
                                   IEventData(static_cast<std::uint16_t>(button.id()), 2), 0);
}

bool clicksOnKey(IEvent& event)
{
    const IKeyboardEvent key(event);
    if (!key.isVirtual() || key.isUpTransition())
        return false;
    const IKeyboardEvent::VirtualKey code = key.virtualKey();
    return code == IKeyboardEvent::space || code == IKeyboardEvent::enter ||
           code == IKeyboardEvent::newLine;
}

} // namespace

// ICustomButtonHandler ----------------------------------------------------------------------------

ICustomButtonHandler::ICustomButtonHandler() = default;
ICustomButtonHandler::~ICustomButtonHandler() = default;

ICustomButtonHandler& ICustomButtonHandler::defaultHandler()
{
    return ovk_app::sharedHandler<ICustomButtonHandler>();
}

IBase::Boolean ICustomButtonHandler::dispatchHandlerEvent(IEvent& event)
{
    ICustomButton* button = buttonOf(event);
    if (!button)
        return false;
    const bool own = event.handle() == event.dispatchingHandle();
    switch (event.eventId()) {
    case IPrivateMessage::buttonPressed:
        if (event.parameter1().asUnsignedLong())
            tPressedButton = button->handle();
        else if (tPressedButton == button->handle())
            tPressedButton = nullptr;
        return true;
    case WM_LBUTTONUP:
        if (own && tPressedButton == button->handle())
            latchOnRelease(*button);
        return false;
    case IPrivateMessage::releaseLatch:
        if (button->isAutoLatchEnabled())
            button->unlatch();
        return true;
    case IPrivateMessage::controlNotification:
        // Only the button's own turn: the notification goes on to its parent afterwards.
        if (event.parameter2().asUnsignedLong() !=
                reinterpret_cast<std::uintptr_t>(button->handle().asValue()) ||
            event.parameter1().highNumber() != BN_CLICKED)
            return false;
        postClick(*button);
        return true;
    case WM_GETDLGCODE:
        if (!own)
            return false;
        button->dispatchRemainingHandlers(event, true);
        event.setResult(event.result().asUnsignedLong() & ~static_cast<unsigned long>(DLGC_UNDEFPUSHBUTTON));
        return true;
    case WM_CHAR:
        if (!own || !clicksOnKey(event))
            return false;
        button->click();
        return true;
    default:
        return false;
    }
}

// ICustomButtonDrawHandler ------------------------------------------------------------------------

ICustomButtonDrawHandler::ICustomButtonDrawHandler() = default;
ICustomButtonDrawHandler::~ICustomButtonDrawHandler() = default;

ICustomButtonDrawHandler& ICustomButtonDrawHandler::defaultHandler()
{
    return ovk_app::sharedHandler<ICustomButtonDrawHandler>();
}

IBase::Boolean ICustomButtonDrawHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_DRAWITEM)
        return false;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(event.parameter2().asUnsignedLong());
    // Offered to the button first and then to its parent: only the button's own turn draws.
    if (!item || item->CtlType != ODT_BUTTON || item->hwndItem != event.dispatchingHandle())
        return false;
    return drawItem(event);
}

IBase::Boolean ICustomButtonDrawHandler::drawItem(IEvent& event)
{
    ICustomButtonDrawEvent drawEvent(event);
    IWindowHandle(drawEvent.customButton() ? drawEvent.customButton()->handle()
                                           : event.dispatchingHandle())
        .sendEvent(IPrivateMessage::buttonPressed, drawEvent.isPressed() ? 1 : 0, 0);
    const IBase::Boolean drawn = draw(drawEvent);
    if (drawn)
        event.setResult(drawEvent.result());
    return drawn;
}

IBase::Boolean ICustomButtonDrawHandler::draw(ICustomButtonDrawEvent& event)
{
    drawBorder(event, 0, 0);
    drawBackground(event);
    drawForeground(event);
    if (!event.isEnabled())
        drawDisabled(event);
    event.setResult(true);
    return true;
}

IBase::Boolean ICustomButtonDrawHandler::drawBorder(ICustomButtonDrawEvent& event,
                                                    unsigned long marginX, unsigned long marginY)
{
    using namespace ovk_toolbar;
    IGraphicContext& context = event.graphicContext();
    const ColorSave saved(context);
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    ICustomButton* button = event.customButton();
    IWindow* parent = button ? button->parent() : nullptr;
    const IColor parentBackground = parent ? parent->backgroundColor()
                                           : IColor(IGUIColor(IColor::dialogBackground));

    IRectangle rect = event.faceRectangle();
    const long rings = std::max(static_cast<long>(marginX) + cx, static_cast<long>(marginY) + cy);
    for (long ring = 0; ring < rings; ++ring)
        frame(context, inset(rect, ring, ring, ring, ring), 1, 1, parentBackground);
    rect = inset(rect, static_cast<long>(marginX), static_cast<long>(marginY),
                 static_cast<long>(marginX), static_cast<long>(marginY));
    frame(context, rect, cx, cy, IGUIColor(IColor::windowText));
    rect = inset(rect, cx, cy, cx, cy);

    const bool down = event.isDown() != 0;
    const IColor topLeft = down ? IColor(IGUIColor(IColor::buttonShadow))
                                : IColor(IGUIColor(IColor::buttonHighlight));
    fill(context, IRectangle(rect.minX(), rect.minY(), rect.maxX(), rect.minY() + cy), topLeft);
    fill(context, IRectangle(rect.minX(), rect.minY(), rect.minX() + cx, rect.maxY()), topLeft);
    if (!down) {
        const IColor shadow = IGUIColor(IColor::buttonShadow);
        fill(context, IRectangle(rect.minX() + cx, rect.maxY() - 2 * cy, rect.maxX(), rect.maxY()),
             shadow);
        fill(context, IRectangle(rect.maxX() - 2 * cx, rect.minY() + cy, rect.maxX(), rect.maxY()),
             shadow);
    }
    event.setFaceRectangle(faceInside(rect, down));
    return true;
}

IBase::Boolean ICustomButtonDrawHandler::drawBackground(ICustomButtonDrawEvent& event)
{
    using namespace ovk_toolbar;
    ICustomButton* button = event.customButton();
    if (!button)
        return false;
    IGraphicContext& context = event.graphicContext();
    const IRectangle area = backgroundArea(event.faceRectangle(), event.isDown() != 0);
    const bool latchedUp = event.isLatchedUp() != 0;
    fill(context, area, latchedUp ? button->latchedBackgroundColor() : button->backgroundColor());
    if (latchedUp && button->isLatchedBackgroundHalftoned())
        halftone(context, area, IColor(IColor::white));
    return true;
}

IBase::Boolean ICustomButtonDrawHandler::drawForeground(ICustomButtonDrawEvent& event)
{
    ICustomButton* button = event.customButton();
    if (!button)
        return false;
    const IColor color = event.isLatchedUp() ? button->latchedForegroundColor()
                                             : button->foregroundColor();
    ovk_toolbar::drawText(event.graphicContext(), *button, button->buttonText(), event.faceRectangle(),
                          event.isDown() != 0, color);
    return true;
}

IBase::Boolean ICustomButtonDrawHandler::drawDisabled(ICustomButtonDrawEvent& event)
{
    ICustomButton* button = event.customButton();
    const IColor cover = button ? button->backgroundColor() : IColor(IGUIColor(IColor::buttonFace));
    ovk_toolbar::halftone(event.graphicContext(),
                          ovk_toolbar::backgroundArea(event.faceRectangle(), event.isDown() != 0),
                          cover);
    return true;
}
