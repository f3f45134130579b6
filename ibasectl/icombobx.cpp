// The combo box whose items the program changes: construction and styles.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "icombobx.hpp"

const char* const IComboBox::addId = "IComboBox::add";
const char* const IComboBox::removeId = "IComboBox::remove";
const IComboBox::Style IComboBox::classDefaultStyle(0x10000041, 0x200);

IComboBox::IComboBox(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                     const Style& style)
    : IBaseComboBox(id, parent, owner, rect, style)
{
}

IComboBox::IComboBox(unsigned long id, IWindow* parent) : IBaseComboBox(id, parent) {}

IComboBox::IComboBox(const IWindowHandle& handle) : IBaseComboBox(handle) {}

IComboBox::~IComboBox() = default;

IComboBox::Style IComboBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IComboBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}
