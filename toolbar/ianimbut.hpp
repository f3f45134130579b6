// IAnimatedButton: a custom button that shows one bitmap of a list and can step through the list
// on a timer, by itself while it is latched if asked to.
#pragma once

#include <ibmphdl.hpp>
#include <idefs.hpp>
#include <ireslib.hpp>

#include "icustbut.hpp"

class IAnimatedButtonData;

class OVKWIN_API IAnimatedButton : public ICustomButton {
public:
    using Style = ICustomButtonClassStyle<IAnimatedButton>;
    // Animates while latched; releasing stops it at the first bitmap.
    static const Style animateWhenLatched;
    static const Style classDefaultStyle;

    // The predefined animations of the library's resources.
    enum AnimatedBitmaps {
        animation0, animation1, animation2, animation3, animation4, animation5, animation6,
        animation7, animation8, animation9, animation10, animation11, animation12, animation13,
        animation14, animation15
    };

    // A null parent fails the argument check "parent!=0".
    IAnimatedButton(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                    const Style& style = defaultStyle());
    ~IAnimatedButton() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    ISize calcMinimumSize() const override;
    ICustomButton& setLatched(IBase::Boolean latched, IBase::Boolean refresh = true) override;

    // The virtual operations keep the order that derived buttons rely on.
    // Loads `count` bitmaps with consecutive ids from the id's library; a running animation
    // goes on over the new list from its first bitmap.
    virtual IAnimatedButton& setBitmaps(const IResourceId& first, unsigned long count);
    virtual IAnimatedButton& setBitmaps(AnimatedBitmaps animation);
    // An empty handle when the index is not below the count.
    virtual IBitmapHandle bitmap(unsigned long index) const;
    virtual unsigned long bitmapCount() const;
    virtual unsigned long currentBitmapIndex() const;
    // An index not below the count throws message 154; nothing is redrawn.
    virtual IAnimatedButton& setCurrentBitmapIndex(unsigned long index);
    virtual IAnimatedButton& setAnimationRate(unsigned long milliseconds);
    // Stops a running animation first; an index not below the count throws message 154.
    virtual IAnimatedButton& startAnimation(unsigned long index = 0);
    virtual IAnimatedButton& stopAnimation();
    virtual IAnimatedButton& enableAnimateWhenLatched(IBase::Boolean enable = true);
    virtual IAnimatedButton& disableAnimateWhenLatched();

    IBase::Boolean isAnimating() const;
    unsigned long animationRate() const;
    IBase::Boolean isAnimateWhenLatchedEnabled() const;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

private:
    IAnimatedButtonData* fAnimatedButtonData;
};
