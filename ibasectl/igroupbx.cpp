// Group boxes.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>

#include "detail/ibtnimpl.hpp"
#include "igroupbx.hpp"

const IWindow::Style IGroupBox::classDefault(WS_VISIBLE, 0);

IGroupBox::IGroupBox(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                     const Style& style)
{
    ovkbutton::create(*this, id, parent, owner, initial, style, "pwndParent!=0", "igroupbx",
                      "IGroupBox::IGroupBox(unsigned long,IWindow*,IWindow*,const IRectangle&,"
                      "const IGroupBox::Style&)");
}

IGroupBox::IGroupBox(unsigned long id, IWindow* parent)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(
        ovkbutton::childOf(id, parent, "igroupbx", "IGroupBox::IGroupBox(unsigned long,IWindow*)"));
}

IGroupBox::IGroupBox(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
}

IGroupBox::~IGroupBox() = default;

IWindow::Style IGroupBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IGroupBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

unsigned long IGroupBox::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long result = ITextControl::convertToGUIStyle(style, extended);
    if (extended)
        return result | (style.asExtendedUnsignedLong() & 0xFF000000);
    return result | style.asUnsignedLong() | WS_CHILD | BS_GROUPBOX;
}

IRectangle IGroupBox::visibleRectangle() const
{
    return IRectangle(position(), position());
}

IColor IGroupBox::foregroundColor() const
{
    return IGUIColor(IColor::iconText);
}

ISize IGroupBox::calcMinimumSize() const
{
    const ISize caption = displaySize(text());
    const auto margin = static_cast<ISize::Coord>(2 * IFont(this).avgCharWidth());
    return ISize(caption.width() + margin, caption.height());
}

ITextControl& IGroupBox::setText(const char* text)
{
    ITextControl::setText(text);
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

ITextControl& IGroupBox::setText(const IResourceId& text)
{
    return ITextControl::setText(text);
}
