// The list box whose items the program changes: construction and styles.
#include <windows.h>

#include "detail/ishared.hpp"
#include "ilistbox.hpp"

namespace {

IListBox::Style& currentDefault()
{
    return ovkshared::defaultStyleOf<IListBox>(IListBox::classDefaultStyle);
}

} // namespace

const char* const IListBox::addId = "IListBox::add";
const char* const IListBox::removeId = "IListBox::remove";
const IListBox::Style IListBox::classDefaultStyle(0x10100100, 0x200);

IListBox::IListBox(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                   const Style& style)
    : IBaseListBox(id, parent, owner, rect, style)
{
}

IListBox::IListBox(unsigned long id, IWindow* parent) : IBaseListBox(id, parent) {}

IListBox::IListBox(const IWindowHandle& handle) : IBaseListBox(handle) {}

IListBox::~IListBox() = default;

IListBox::Style IListBox::defaultStyle()
{
    return currentDefault();
}

void IListBox::setDefaultStyle(const Style& style)
{
    currentDefault() = style;
}
