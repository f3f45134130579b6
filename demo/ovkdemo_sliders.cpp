// The demo's values: a horizontal slider of 11 ticks with texts 0 to 100 at every other tick,
// arrow buttons and a detent at its middle, and a progress indicator whose ribbon is filled to
// 60 percent. The autoplay moves the slider's arm with the arrow keys of its trackbar.
#include <windows.h>

#include <string>

#include <ovkwin.hpp>

#include "ovkdemo.h"
#include "ovkdemo_sliders.h"

namespace {

// The autoplay's step, a second after it starts: the frames are laid out and painted by then.
constexpr UINT kPlayAfter = 1000;
DemoSliders* gPlaying = nullptr;

void CALLBACK playStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (gPlaying)
        gPlaying->moveArm();
}

} // namespace

struct DemoSliders::Parts {
    Parts(IWindow& parent, const IRectangle& area)
        : slider(1501, &parent, &parent,
                 IRectangle(area.minX(), area.minY(), area.maxX(), area.minY() + 54), 11, 0,
                 ISlider::defaultStyle() | IControl::_tabStop | IProgressIndicator::alignBottom),
          progress(1502, &parent, &parent,
                   IRectangle(area.minX(), area.minY() + 56, area.maxX(), area.maxY()), 11, 0,
                   IProgressIndicator::defaultStyle())
    {
        for (unsigned long tick = 0; tick <= 10; tick += 2)
            slider.setTickText(tick, std::to_string(tick * 10).c_str());
        // Every tick shows its mark. The native trackbar keeps no detents (the call answers 0);
        // an outside slider would stop the arm at the middle.
        slider.setTickLength(8);
        slider.addDetent(slider.armRange() / 2);
        progress.moveArmToTick(6);
    }
    ISlider slider;
    IProgressIndicator progress;
};

DemoSliders::DemoSliders(IWindow& parent, const IRectangle& area)
    : fParts(std::make_unique<Parts>(parent, area))
{
}

DemoSliders::~DemoSliders()
{
    if (gPlaying == this)
        gPlaying = nullptr;
}

void DemoSliders::play()
{
    gPlaying = this;
    SetTimer(nullptr, 0, kPlayAfter, &playStep);
}

// Two presses of the right arrow key on the trackbar, then a picture of the values.
void DemoSliders::moveArm()
{
    const HWND trackbar = fParts->slider.trackbar();
    for (int i = 0; i < 2; ++i) {
        SendMessageA(trackbar, WM_KEYDOWN, VK_RIGHT, 1);
        SendMessageA(trackbar, WM_KEYUP, VK_RIGHT, static_cast<LPARAM>(0xC0000001));
    }
    requestScreenshot("sliders");
}
