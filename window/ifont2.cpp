// Fonts: the font of a window object.
#include <iwindow.hpp>

#include "ifont.hpp"

IFont::IFont(const IWindow* window) : IFont(window ? window->handle() : IWindowHandle()) {}
