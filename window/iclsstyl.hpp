// IWindowClassStyle: the nested Style of a window class built on the window core.
#pragma once

#include <ibitflag.hpp>

#include "iwindow.hpp"

// Each class gets a type of its own (`using Style = IWindowClassStyle<ISetCanvas>;`), so that
// its constants combine with each other and with the window-wide ones (IWindow::visible,
// IControl::_tabStop), but never by accident with another class's.
template <class Owner>
class IWindowClassStyle : public IBitFlagSet<IWindowClassStyle<Owner>> {
public:
    using Word = IBitFlag::Word;

    constexpr IWindowClassStyle(Word value, Word extendedValue = 0)
        : IBitFlagSet<IWindowClassStyle<Owner>>(value, extendedValue) {}
    constexpr IWindowClassStyle(const IWindow::Style& style)
        : IBitFlagSet<IWindowClassStyle<Owner>>(style.asUnsignedLong(),
                                                style.asExtendedUnsignedLong()) {}
};
