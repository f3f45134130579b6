// Fonts: the fonts of window objects.
#include <iexcept.hpp>
#include <iwindow.hpp>

#include "ifont.hpp"

IFont::IFont(const IWindow* window) : IFont(window ? window->handle() : IWindowHandle()) {}

IBase::Boolean IFont::setWindowFont(IWindow* window)
{
    IARGUMENT_CHECK(window != 0, "ifont", "IFont::setWindowFont(IWindow*)");
    // The window keeps a copy that shares this font's record, so the native font lives as long
    // as the window uses it, whatever becomes of this object.
    window->setFont(*this);
    return true;
}

void IFont::reservedOperation() {}
