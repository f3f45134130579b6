// The control base.
#include <windows.h>

#include "icontrol.hpp"

const IWindow::Style IControl::_tabStop(WS_TABSTOP);
const IWindow::Style IControl::_group(WS_GROUP);

// IControl ----------------------------------------------------------------------------------------

IControl::IControl() = default;
IControl::~IControl() = default;

IBase::Boolean IControl::isTabStop() const
{
    return IWindow::isTabStop();
}

IBase::Boolean IControl::isGroup() const
{
    return IWindow::isGroup();
}

void IControl::setStyleBit(unsigned long bit, bool on)
{
    const unsigned long current = style();
    const unsigned long wanted = on ? (current | bit) : (current & ~bit);
    if (wanted != current)
        setStyle(wanted);
}

IControl& IControl::enableGroup(IBase::Boolean enable)
{
    setStyleBit(WS_GROUP, enable != 0);
    return *this;
}

IControl& IControl::disableGroup()
{
    return enableGroup(false);
}

IControl& IControl::enableTabStop(IBase::Boolean enable)
{
    setStyleBit(WS_TABSTOP, enable != 0);
    return *this;
}

IControl& IControl::disableTabStop()
{
    return enableTabStop(false);
}
