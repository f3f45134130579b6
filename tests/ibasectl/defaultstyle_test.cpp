// Class default styles: each control class keeps its own, which a new control takes when its
// creator names no style, even where two classes start from equal class defaults.
#include <windows.h>

#include <gtest/gtest.h>

#include <icheckbx.hpp>
#include <icombobs.hpp>
#include <icombobx.hpp>
#include <ilistbas.hpp>
#include <ilistbox.hpp>
#include <ipushbut.hpp>

#include "basectltest.hpp"

namespace {

class DefaultStyles : public basectltest::ShownParent {
protected:
    // Whether a new control of the class, given no style, is disabled natively.
    template <class Control>
    bool madeDisabled()
    {
        Control control(7, parent.get(), parent.get());
        return (GetWindowLongPtrA(control.handle(), GWL_STYLE) & WS_DISABLED) != 0;
    }
};

// Puts a class's default style back however the test ends, so that the next test's controls
// start from the class default again.
template <class Control>
class DefaultStyleChange {
public:
    explicit DefaultStyleChange(const typename Control::Style& style)
        : fBefore(Control::defaultStyle())
    {
        Control::setDefaultStyle(style);
    }
    ~DefaultStyleChange() { Control::setDefaultStyle(fBefore); }
    DefaultStyleChange(const DefaultStyleChange&) = delete;
    DefaultStyleChange& operator=(const DefaultStyleChange&) = delete;

private:
    typename Control::Style fBefore;
};

// The class whose default the test changes, and one that starts from an equal class default
// and must not follow it.
template <class Changed, class Other>
struct ClassPair {
    using ChangedClass = Changed;
    using OtherClass = Other;
};

template <class Pair>
class DefaultStyleClasses : public DefaultStyles {};

using Pairs = testing::Types<ClassPair<IComboBox, IBaseComboBox>, ClassPair<IBaseComboBox, IComboBox>,
                             ClassPair<IListBox, IBaseListBox>, ClassPair<IBaseListBox, IListBox>,
                             ClassPair<ICheckBox, IPushButton>>;
TYPED_TEST_SUITE(DefaultStyleClasses, Pairs);

TYPED_TEST(DefaultStyleClasses, ANewControlTakesItsOwnClassDefaultOnly)
{
    using Changed = typename TypeParam::ChangedClass;
    using Other = typename TypeParam::OtherClass;
    const typename Other::Style otherBefore = Other::defaultStyle();
    ASSERT_FALSE(this->template madeDisabled<Changed>());
    {
        const DefaultStyleChange<Changed> change(Changed::defaultStyle() |
                                                 typename Changed::Style(WS_DISABLED));
        EXPECT_TRUE(this->template madeDisabled<Changed>());
        EXPECT_FALSE(this->template madeDisabled<Other>());
        EXPECT_TRUE(Other::defaultStyle() == otherBefore);
    }
    EXPECT_FALSE(this->template madeDisabled<Changed>());
}

TEST_F(DefaultStyles, EachClassStartsFromItsClassDefault)
{
    EXPECT_TRUE(IComboBox::defaultStyle() == IComboBox::classDefaultStyle);
    EXPECT_TRUE(IBaseComboBox::defaultStyle() == IBaseComboBox::classDefaultStyle);
    EXPECT_TRUE(IListBox::defaultStyle() == IListBox::classDefaultStyle);
    EXPECT_TRUE(IBaseListBox::defaultStyle() == IBaseListBox::classDefaultStyle);
    EXPECT_TRUE(ICheckBox::defaultStyle() == ICheckBox::classDefault);
    EXPECT_TRUE(IPushButton::defaultStyle() == IPushButton::classDefault);
}

} // namespace
