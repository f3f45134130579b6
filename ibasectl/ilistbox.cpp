// The list box whose items the program changes: construction and styles.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "ilistbox.hpp"

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
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IListBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}
