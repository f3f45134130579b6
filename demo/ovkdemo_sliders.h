// The demo's values: a slider with tick texts, arrows and a detent, and a progress indicator.
#pragma once

#include <memory>

class IRectangle;
class IWindow;

class DemoSliders {
public:
    // Builds both as children of `parent`, laid out in `area` (the slider above the indicator).
    DemoSliders(IWindow& parent, const IRectangle& area);
    ~DemoSliders();
    // The autoplay: a second later, moves the slider's arm two ticks to the right with the
    // keyboard and asks for the screenshot "sliders".
    void play();
    void moveArm();

private:
    struct Parts;
    std::unique_ptr<Parts> fParts;
};
