// The demo's values: a horizontal slider of 11 ticks with texts 0 to 100 at every other tick,
// arrow buttons and a detent at its middle, and a progress indicator whose ribbon is filled to
// 60 percent. The autoplay moves the slider's arm with the arrow keys of its trackbar.
#include <windows.h>

#include <string>

#include <ovkwin.hpp>

#include "ovkdemo_sliders.h"

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
        // The native trackbar has no detents of its own: the middle tick gets a long mark.
        slider.addDetent(slider.armRange() / 2);
        slider.setTickLength(5, 8);
        progress.moveArmToTick(6);
    }
    ISlider slider;
    IProgressIndicator progress;
};

DemoSliders::DemoSliders(IWindow& parent, const IRectangle& area)
    : fParts(std::make_unique<Parts>(parent, area))
{
}

DemoSliders::~DemoSliders() = default;

void DemoSliders::play()
{
    const HWND trackbar = fParts->slider.trackbar();
    for (int i = 0; i < 2; ++i) {
        PostMessageA(trackbar, WM_KEYDOWN, VK_RIGHT, 1);
        PostMessageA(trackbar, WM_KEYUP, VK_RIGHT, 0xC0000001);
    }
}
