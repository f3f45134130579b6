// The combo box whose items the program changes: construction and styles.
#include <windows.h>

#include "detail/ishared.hpp"
#include "icombobx.hpp"

namespace {

IComboBox::Style& currentDefault()
{
    return ovkshared::defaultStyleOf<IComboBox>(IComboBox::classDefaultStyle);
}

} // namespace

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
    return currentDefault();
}

void IComboBox::setDefaultStyle(const Style& style)
{
    currentDefault() = style;
}
