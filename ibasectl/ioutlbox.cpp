// Outline boxes.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <ovkmsgid.hpp>

#include "detail/ibtnimpl.hpp"
#include "ioutlbox.hpp"

const IWindow::Style IOutlineBox::backgroundFrame(0, 0x1);
const IWindow::Style IOutlineBox::foregroundFrame(0, 0x2);
const IWindow::Style IOutlineBox::halftoneFrame(0, 0x4);
const IWindow::Style IOutlineBox::_border3D(0, 0x20000);
const IWindow::Style IOutlineBox::classDefault(WS_VISIBLE, 0x20002);

namespace {

constexpr const char* kConstructor =
    "IOutlineBox::IOutlineBox(unsigned long,IWindow*,IWindow*,const IRectangle&,"
    "const IOutlineBox::Style&)";

} // namespace

IOutlineBox::IOutlineBox(unsigned long id, IWindow* parent, IWindow* owner,
                         const IRectangle& initial, const Style& style)
{
    if (!parent)
        IThrow::argument("pwndParent!=0", IExceptionLocation("ioutlbox", kConstructor, 116));
    const unsigned long frames = (backgroundFrame | foregroundFrame | halftoneFrame).asExtendedUnsignedLong();
    if ((style.asExtendedUnsignedLong() & frames) == 0) {
        IThrow::argument("(obsStyle & (backgroundFrame | foregroundFrame | halftoneFrame))!=0",
                         IExceptionLocation("ioutlbox", kConstructor, 118));
    }
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "Static", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), initial, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(handle);
}

IOutlineBox::IOutlineBox(unsigned long id, IWindow* parent)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(ovkbutton::childOf(id, parent, "ioutlbox",
                                              "IOutlineBox::IOutlineBox(unsigned long,IWindow*)"));
}

IOutlineBox::IOutlineBox(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
}

IOutlineBox::~IOutlineBox() = default;

IWindow::Style IOutlineBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IOutlineBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

unsigned long IOutlineBox::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long result = IControl::convertToGUIStyle(style, extended);
    const unsigned long bits = style.asExtendedUnsignedLong();
    // The static edge is the native extended bit of the same value.
    if (extended)
        return result | (bits & 0xFF020000);
    unsigned long kinds = 0;
    if (bits & backgroundFrame.asExtendedUnsignedLong())
        kinds |= SS_WHITEFRAME;
    if (bits & foregroundFrame.asExtendedUnsignedLong())
        kinds |= SS_BLACKFRAME;
    if (bits & halftoneFrame.asExtendedUnsignedLong())
        kinds |= SS_GRAYFRAME;
    return result | style.asUnsignedLong() | WS_CHILD | kinds;
}

IRectangle IOutlineBox::visibleRectangle() const
{
    return IRectangle(position(), position());
}

IColor IOutlineBox::foregroundColor() const
{
    switch (outlineType()) {
    case background:
        return IWindow::defaultBackgroundColor(handle());
    case halftone:
        return IGUIColor(IColor::desktop);
    default:
        return IGUIColor(IColor::windowFrame);
    }
}

IOutlineBox& IOutlineBox::setOutlineType(const OutlineType& type)
{
    unsigned long kind;
    switch (type) {
    case foreground:
        kind = SS_BLACKFRAME;
        break;
    case background:
        kind = SS_WHITEFRAME;
        break;
    case halftone:
        kind = SS_GRAYFRAME;
        break;
    default:
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IExceptionLocation("ioutlbox", "IOutlineBox::setOutlineType(const OutlineType&)", 279));
    }
    ovkbutton::setKind(*this, kind);
    return *this;
}

IOutlineBox::OutlineType IOutlineBox::outlineType() const
{
    switch (style() & 0xF) {
    case SS_WHITEFRAME:
        return background;
    case SS_GRAYFRAME:
        return halftone;
    default:
        return foreground;
    }
}
