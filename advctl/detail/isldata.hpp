// The native slider: the record beside the trackbar, the outer window's class and the handler
// that paints and lays out every "OVK Native Slider" and answers the colour request of the
// outside sliders.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>

#include <igbitmap.hpp>
#include <igstring.hpp>
#include <itimer.hpp>

#include "ihandler.hpp"
#include "islider.hpp"

namespace ovkslider {

constexpr const char* nativeClass = "OVK Native Slider";
constexpr const char* outsideClass = "OVK Slider";

// Extended bits of the native variant, translated from the style at construction.
constexpr unsigned long snapBit = 0x20;
constexpr unsigned long alignTopRightBit = 0x40;
constexpr unsigned long alignBottomLeftBit = 0x80;
constexpr unsigned long homeTopRightBit = 0x100;
constexpr unsigned long buttonsBottomLeftBit = 0x400;
constexpr unsigned long buttonsTopRightBit = 0x800;

// Sent by the library to the outer window after it moved the arm itself: wParam a trackbar
// scroll code, lParam the trackbar.
constexpr unsigned int armMoved = 0xFFDF;

// The thickness of the trackbar band.
constexpr int bandBreadth = 34;

bool isClass(HWND window, const char* name);

} // namespace ovkslider

struct IProgressIndicatorData {
    // The six arrow bitmaps: decrement (left or lower) normal, pressed, disabled, then
    // increment (right or upper).
    enum Bitmap {
        decrementNormal,
        decrementPressed,
        decrementDisabled,
        incrementNormal,
        incrementPressed,
        incrementDisabled,
        bitmapCount
    };
    enum ButtonState { normal = 0, pressed = 1, disabled = 2 };

    explicit IProgressIndicatorData(IProgressIndicator& control) : control(&control) {}
    ~IProgressIndicatorData();

    static void registerSlider();
    void createNativeSlider(const IWindowHandle& parent, const IWindowHandle& owner,
                            unsigned long style, unsigned long extendedStyle);
    void setupNativeScale(IProgressIndicator::Scale scale);

    // Positions in trackbar units, counted from home.
    long armPosition() const;
    long rangeMaximum() const;
    // Trackbar units per tick of the primary scale.
    long unit() const;
    void setArmPosition(long position);
    void setRibbonEnd(long position);
    void layout();
    void placeTexts(std::map<unsigned long, IGString>& texts, long start, long across, long spacing,
                    bool vertical);
    void placeButtons(long start, long band, long across, long b, bool atStart, bool vertical);
    // The arrows' bitmaps for the arm's place; a held arrow that becomes disabled lets go.
    void updateButtons();
    // Steps the arm one tick towards the arrow's end: 0 the decrement, 1 the increment arrow.
    void stepFromButton(int button);
    void releaseButton();
    bool isReadOnly() const;
    bool hasButtons() const { return bitmaps[0] != nullptr; }
    // Which arrow, 0 or 1, lies under the point of the outer window; -1 for none.
    int buttonAt(const POINT& point) const;
    void paint(HWND outer);
    void paintRibbon(HDC context, const RECT& channel);

    IProgressIndicator* control;
    HWND trackbar = nullptr;
    long direction = 1;
    long margin = 0;
    unsigned long numberTicks[2] = {0, 0};
    unsigned long tickSpacing[2] = {0, 0};
    unsigned long shaftLength = 0;
    std::set<unsigned long> markedTicks[2];
    // Per scale, the text of each tick that has one, drawn where the layout put it.
    std::map<unsigned long, IGString> tickTexts[2];
    bool textsShown = true;
    std::unique_ptr<IGBitmap> bitmaps[bitmapCount];
    ButtonState buttonStates[2] = {normal, normal};
    // Where the layout put the two arrows in the outer window.
    RECT buttonRects[2] = {};
    // The arrow held down (0 or 1), -1 when none, and its repeat timer.
    int heldButton = -1;
    std::unique_ptr<ITimer> repeatTimer;
    WNDPROC previousProcedure = nullptr;
};

// One for every slider of the process: paints and lays out the outer window, runs its arrows
// and passes the trackbar messages on; answers the outside slider's colour request.
class ISliderWindowHandler : public IHandler {
public:
    ISliderWindowHandler() noexcept;
    ~ISliderWindowHandler() override;
    static ISliderWindowHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean nativeEvent(IProgressIndicatorData& data, IEvent& event);
    IBase::Boolean outsideEvent(IEvent& event);
    IBase::Boolean armMoved(IProgressIndicatorData& data, IEvent& event);
    IBase::Boolean buttonDown(IProgressIndicatorData& data, IEvent& event);
    IBase::Boolean customDraw(IProgressIndicatorData& data, IEvent& event);
};
