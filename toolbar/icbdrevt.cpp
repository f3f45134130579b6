// The draw event of custom buttons.
#include <windows.h>

#include <iwindow.hpp>

#include "icbdrevt.hpp"
#include "icustbut.hpp"

namespace {

const DRAWITEMSTRUCT* record(const IEvent& event)
{
    return reinterpret_cast<const DRAWITEMSTRUCT*>(event.parameter2().asUnsignedLong());
}

IRectangle buttonRectangle(const IEvent& event)
{
    RECT client{};
    if (const DRAWITEMSTRUCT* item = record(event))
        GetClientRect(item->hwndItem, &client);
    return IRectangle(0, 0, client.right, client.bottom);
}

} // namespace

ICustomButtonDrawEvent::ICustomButtonDrawEvent(const IEvent& event)
    : IControlEvent(event), fFace(buttonRectangle(event)),
      fContext(std::make_unique<IGraphicContext>(IPresSpaceHandle(record(event)->hDC)))
{
}

ICustomButtonDrawEvent::ICustomButtonDrawEvent(const IEvent& event, const ISize& size)
    : IControlEvent(event), fFace(size), fContext(std::make_unique<IGraphicContext>(size))
{
}

ICustomButtonDrawEvent::~ICustomButtonDrawEvent() = default;

ICustomButton* ICustomButtonDrawEvent::customButton() const
{
    const DRAWITEMSTRUCT* item = record(*this);
    IWindow* control = item ? IWindow::windowWithHandle(item->hwndItem, true) : controlWindow();
    return dynamic_cast<ICustomButton*>(control);
}

ICustomButtonDrawEvent& ICustomButtonDrawEvent::setFaceRectangle(const IRectangle& face)
{
    fFace = face;
    return *this;
}

unsigned int ICustomButtonDrawEvent::itemState() const
{
    const DRAWITEMSTRUCT* item = record(*this);
    return item ? item->itemState : 0;
}

IBase::Boolean ICustomButtonDrawEvent::isEnabled() const
{
    return (itemState() & ODS_DISABLED) == 0;
}

IBase::Boolean ICustomButtonDrawEvent::isPressed() const
{
    return (itemState() & ODS_SELECTED) != 0;
}

IBase::Boolean ICustomButtonDrawEvent::isLatchedUp() const
{
    const ICustomButton* button = customButton();
    return !isPressed() && button && button->isLatched();
}

IBase::Boolean ICustomButtonDrawEvent::isUp() const
{
    const ICustomButton* button = customButton();
    return !isPressed() && !(button && button->isLatched());
}

IBase::Boolean ICustomButtonDrawEvent::isDown() const
{
    return !isUp();
}
