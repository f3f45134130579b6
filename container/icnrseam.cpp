// The container's title window and its use of the shared owner-mouse handler.
#include <windows.h>

#include "detail/icnrseam.hpp"

#include <iassert.hpp>
#include <iownmhdr.hpp>
#include <istattxt.hpp>

#include "detail/icnrdata.hpp"
#include "icnrctl.hpp"

void ICnrSeam::attachOwnerMouse(ICnrCtl& container)
{
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(&container);
}

void ICnrSeam::detachOwnerMouse(ICnrCtl& container) noexcept
{
    try {
        if (container.isValid())
            IOwnerMouseHandler::defaultHandler()->stopHandlingEventsFor(&container);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
}

ICnrTitle::ICnrTitle(ICnrCtl& container)
    : fText(new IStaticText(ICnrControlData::titleId, &container, &container, IRectangle(),
                            IStaticText::defaultStyle()))
{
    // Hidden until the layout shows it.
    fText->hide();
}

ICnrTitle::~ICnrTitle()
{
    delete fText;
}

HWND ICnrTitle::handle() const noexcept
{
    return fText->isValid() ? static_cast<HWND>(fText->handle()) : nullptr;
}

void ICnrTitle::setText(const char* text)
{
    fText->setText(text ? text : "");
}

void ICnrTitle::takeFontOf(ICnrCtl& container)
{
    fText->setFont(container.font());
}

void ICnrTitle::setAlignment(unsigned long titleAttribute)
{
    IStaticText::Alignment alignment = IStaticText::centerLeft;
    if (titleAttribute & CA_TITLECENTER)
        alignment = IStaticText::centerCenter;
    else if (titleAttribute & CA_TITLERIGHT)
        alignment = IStaticText::centerRight;
    fText->setAlignment(alignment);
}
