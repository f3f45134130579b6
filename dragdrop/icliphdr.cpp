// The clipboard handler.
#include <windows.h>

#include "iclipbrd.hpp"
#include "icliphdr.hpp"

IClipboardHandler::IClipboardHandler() noexcept = default;

IClipboardHandler::~IClipboardHandler() = default;

IBase::Boolean IClipboardHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_RENDERFORMAT: {
        const auto format = static_cast<unsigned long>(event.parameter1().asUnsignedLong());
        return renderFormat(IClipboard::formatName(IClipboard::FormatHandle(format)));
    }
    case WM_RENDERALLFORMATS:
        return renderAllFormats();
    case WM_DESTROYCLIPBOARD:
        return clipboardEmptied();
    default:
        return false;
    }
}
