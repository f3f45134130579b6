// The outside "OVK Slider" and "OVK Circular Slider". The slider keeps its scales, texts,
// detents, tick sizes and arm, and answers with pixel places along a shaft inset from its
// edges; the circular slider keeps a range, a value, its increments and four bitmaps.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "ovkctls.h"

using namespace IOutsideMessage;
using namespace IOutsideNotification;

namespace ovkctls {

namespace {

constexpr int kInset = 10;
constexpr LONG_PTR kVertical = 0x1;

struct Slider {
    unsigned ticks[2] = {0, 0};
    unsigned spacing[2] = {0, 0};
    unsigned breadth = 8;
    POINT shaft{kInset, kInset};
    SIZE arm{10, 20};
    unsigned armPixel = 0;
    std::map<unsigned, std::string> texts;
    std::map<unsigned, unsigned> tickSizes;
    std::map<unsigned, unsigned> detents;
    unsigned lastDetent = 0;
};

bool vertical(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_STYLE) & kVertical) != 0;
}

unsigned shaftLength(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    const long length = vertical(window) ? client.bottom : client.right;
    return static_cast<unsigned>(std::max(length - 2 * kInset, 2L));
}

unsigned primary(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_STYLE) & 0x400) ? 1 : 0;
}

// Pixels between ticks of the primary scale: the stored spacing, or the shaft shared out.
unsigned spacingOf(HWND window, const Slider& slider)
{
    const unsigned scale = primary(window);
    if (slider.spacing[scale])
        return slider.spacing[scale];
    return slider.ticks[scale] > 1 ? (shaftLength(window) - 1) / (slider.ticks[scale] - 1) : 0;
}

void moveArm(HWND window, Slider& slider, unsigned pixel)
{
    slider.armPixel = std::min(pixel, shaftLength(window) - 1);
    InvalidateRect(window, nullptr, TRUE);
    notifyParent(window, sliderArmChanged, reinterpret_cast<LPARAM>(window));
}

std::string decodeSlider(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string text = hex(message) + " " + hex(static_cast<unsigned long>(wParam & 0xFFFFFFFF));
    const unsigned long attribute = static_cast<unsigned long>(wParam & 0xFFFFFFFF);
    if (message == sliderSetInfo && (attribute == sliderTicks || attribute == sliderSpacing)) {
        const auto* record = reinterpret_cast<const IOutsideSliderInfo*>(lParam);
        if (!record)
            return text + " null";
        return text + " {" + std::to_string(record->size) + "," +
               std::to_string(record->scale1Ticks) + "," + std::to_string(record->scale1Spacing) +
               "," + std::to_string(record->scale2Ticks) + "," +
               std::to_string(record->scale2Spacing) + "}";
    }
    if (message == sliderSetScaleText)
        return text + " \"" + (lParam ? reinterpret_cast<const char*>(lParam) : "") + "\"";
    if (message == sliderQueryScaleText)
        return text + (lParam ? " buffer" : " 0");
    return text + " " + std::to_string(static_cast<long long>(lParam));
}

LRESULT setInfo(HWND window, Slider& slider, unsigned long attribute, LPARAM lParam)
{
    const auto low = static_cast<unsigned>(LOWORD(lParam));
    const auto high = static_cast<unsigned>(HIWORD(lParam));
    switch (attribute) {
    case sliderShaftSize: slider.breadth = static_cast<unsigned>(lParam); break;
    case sliderShaftPosition:
        slider.shaft = POINT{static_cast<LONG>(low), static_cast<LONG>(high)};
        break;
    case sliderArmSize: slider.arm = SIZE{static_cast<LONG>(low), static_cast<LONG>(high)}; break;
    case sliderArmPixels: moveArm(window, slider, static_cast<unsigned>(lParam)); break;
    case sliderArmTicks:
        if (static_cast<unsigned>(lParam) >= slider.ticks[primary(window)])
            return 0;
        moveArm(window, slider, static_cast<unsigned>(lParam) * spacingOf(window, slider));
        break;
    case sliderTicks:
    case sliderSpacing: {
        const auto* record = reinterpret_cast<const IOutsideSliderInfo*>(lParam);
        if (!record || record->size != sizeof(IOutsideSliderInfo))
            return -1;
        if (attribute == sliderTicks) {
            slider.ticks[0] = record->scale1Ticks;
            slider.ticks[1] = record->scale2Ticks;
        } else {
            slider.spacing[0] = record->scale1Spacing;
            slider.spacing[1] = record->scale2Spacing;
        }
        break;
    }
    default: return 0;
    }
    InvalidateRect(window, nullptr, TRUE);
    return 1;
}

LRESULT queryInfo(HWND window, const Slider& slider, unsigned long attribute)
{
    switch (attribute) {
    case sliderShaftSize: return MAKELONG(shaftLength(window), slider.breadth);
    case sliderShaftPosition: return MAKELONG(slider.shaft.x, slider.shaft.y);
    case sliderArmSize: return MAKELONG(slider.arm.cx, slider.arm.cy);
    case sliderArmPixels: return MAKELONG(slider.armPixel, shaftLength(window));
    case sliderArmTicks: {
        const unsigned spacing = spacingOf(window, slider);
        return spacing ? (slider.armPixel + spacing / 2) / spacing : 0;
    }
    case sliderTicks: return MAKELONG(slider.ticks[0], slider.ticks[1]);
    case sliderSpacing: return MAKELONG(slider.spacing[0], slider.spacing[1]);
    default: return -1;
    }
}

LRESULT answerSlider(HWND window, Slider& slider, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto tick = static_cast<unsigned>(LOWORD(wParam));
    switch (message) {
    case sliderSetInfo: return setInfo(window, slider, static_cast<unsigned long>(wParam), lParam);
    case sliderQueryInfo: return queryInfo(window, slider, static_cast<unsigned long>(wParam));
    case sliderQueryTickPos: {
        if (tick >= slider.ticks[primary(window)])
            return 0;
        RECT client;
        GetClientRect(window, &client);
        // Never 0 in either half: the library takes a 0 for a failure.
        const unsigned along = kInset + tick * spacingOf(window, slider);
        const unsigned across = static_cast<unsigned>(
            std::max((vertical(window) ? client.right : client.bottom) / 2, 1L));
        return vertical(window) ? MAKELONG(across, along) : MAKELONG(along, across);
    }
    case sliderSetTickSize:
        if (tick == 0xFFFF) {
            for (unsigned i = 0; i < slider.ticks[primary(window)]; ++i)
                slider.tickSizes[i] = HIWORD(wParam);
        } else {
            if (tick >= slider.ticks[primary(window)])
                return 0;
            slider.tickSizes[tick] = HIWORD(wParam);
        }
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case sliderQueryTickSize: {
        if (tick >= slider.ticks[primary(window)])
            return 0xFFFF;
        const auto found = slider.tickSizes.find(tick);
        return found == slider.tickSizes.end() ? 0 : found->second;
    }
    case sliderSetScaleText:
        if (tick >= slider.ticks[primary(window)])
            return 0;
        slider.texts[tick] = lParam ? reinterpret_cast<const char*>(lParam) : "";
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case sliderQueryScaleText: {
        if (tick >= slider.ticks[primary(window)])
            return 0xFFFF;
        const std::string& text = slider.texts[tick];
        if (lParam && HIWORD(wParam) > 0)
            lstrcpynA(reinterpret_cast<char*>(lParam), text.c_str(), HIWORD(wParam));
        return static_cast<LRESULT>(std::min<size_t>(text.size(), 0xFFFE));
    }
    case sliderAddDetent:
        slider.detents[++slider.lastDetent] = static_cast<unsigned>(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return slider.lastDetent;
    case sliderQueryDetentPos: {
        const auto found = slider.detents.find(static_cast<unsigned>(wParam));
        return found == slider.detents.end() ? 0xFFFF : found->second;
    }
    case sliderRemoveDetent: return slider.detents.erase(static_cast<unsigned>(wParam)) ? 1 : 0;
    default: return 0;
    }
}

// The tick messages and the information query fail with -1, the other queries with 0xFFFF in
// the low half, the other setters with 0.
LRESULT sliderFailure(UINT message, WPARAM wParam)
{
    const bool ticks =
        message == sliderSetInfo && (wParam == sliderTicks || wParam == sliderSpacing);
    if (ticks || message == sliderQueryInfo)
        return -1;
    const bool setter = message == sliderSetInfo || message == sliderSetScaleText ||
                        message == sliderSetTickSize || message == sliderAddDetent ||
                        message == sliderRemoveDetent;
    return setter ? 0 : 0xFFFF;
}

void paintSlider(HWND window, const Slider& slider)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    // The library answers the colour request with the brush it keeps for the window.
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(window, sliderColorRequest, reinterpret_cast<WPARAM>(dc), 0));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    const bool down = vertical(window);
    const long length = static_cast<long>(shaftLength(window));
    const long middle = (down ? client.right : client.bottom) / 2;
    RECT shaft = down ? RECT{middle - 2, kInset, middle + 2, kInset + length}
                      : RECT{kInset, middle - 2, kInset + length, middle + 2};
    DrawEdge(dc, &shaft, EDGE_SUNKEN, BF_RECT);
    const unsigned spacing = spacingOf(window, slider);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (unsigned tick = 0; tick < slider.ticks[primary(window)]; ++tick) {
        const long along = kInset + static_cast<long>(tick * spacing);
        const auto text = slider.texts.find(tick);
        if (text == slider.texts.end() || text->second.empty())
            continue;
        RECT box = down ? RECT{middle + 8, along - 8, client.right, along + 8}
                        : RECT{along - 20, middle + 8, along + 20, client.bottom};
        DrawTextA(dc, text->second.c_str(), -1, &box, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    const long arm = kInset + static_cast<long>(slider.armPixel);
    RECT thumb = down ? RECT{middle - 10, arm - 5, middle + 10, arm + 5}
                      : RECT{arm - 5, middle - 10, arm + 5, middle + 10};
    DrawFrameControl(dc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
    EndPaint(window, &paint);
}

struct Dial {
    std::int16_t low = 0, high = 100, value = 0;
    std::uint16_t increment = 1, spacing = 10;
    HBITMAP bitmaps[4] = {};
};

// A child window has no native owner: its parent stands in.
void notifyOwner(HWND window, unsigned int code)
{
    const HWND owner = GetWindow(window, GW_OWNER);
    const HWND target = owner ? owner : GetParent(window);
    if (target)
        SendMessageA(target, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(window)), code),
                     reinterpret_cast<LPARAM>(window));
}

void changeDial(HWND window, Dial& dial, long value, unsigned int code)
{
    const auto clamped = static_cast<std::int16_t>(std::clamp<long>(value, dial.low, dial.high));
    if (clamped == dial.value)
        return;
    dial.value = clamped;
    InvalidateRect(window, nullptr, TRUE);
    notifyOwner(window, code);
}

std::string decodeDial(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string text = hex(message);
    if (message == circularSetBitmaps) {
        const auto* handles = reinterpret_cast<const IOutsideCircularBitmaps*>(lParam);
        if (!handles)
            return text + " null";
        auto value = [](HBITMAP bitmap) {
            return hex(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(bitmap)));
        };
        return text + " " + value(handles->decrementFirst) + " " + value(handles->decrementSecond) +
               " " + value(handles->incrementFirst) + " " + value(handles->incrementSecond);
    }
    if (message == circularSetRange || message == circularSetValue ||
        message == circularSetIncrement)
        return text + " " +
               std::to_string(static_cast<long long>(static_cast<std::intptr_t>(wParam))) + " " +
               std::to_string(static_cast<long long>(lParam));
    return text;
}

LRESULT answerDial(HWND window, Dial& dial, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case circularQueryRange: {
        auto* low = reinterpret_cast<std::int16_t*>(wParam);
        auto* high = reinterpret_cast<std::int16_t*>(lParam);
        if (!low || !high)
            return 0;
        *low = dial.low;
        *high = dial.high;
        return 1;
    }
    case circularSetRange:
        if (static_cast<long>(wParam) > static_cast<long>(lParam))
            return 0;
        dial.low = static_cast<std::int16_t>(wParam);
        dial.high = static_cast<std::int16_t>(lParam);
        changeDial(window, dial, dial.value, circularValue);
        return 1;
    case circularQueryValue:
        if (!wParam)
            return 0;
        *reinterpret_cast<std::int16_t*>(wParam) = dial.value;
        return 1;
    case circularSetValue:
        changeDial(window, dial, static_cast<long>(static_cast<std::intptr_t>(wParam)),
                   circularValue);
        return 1;
    case circularQueryRadius: {
        if (!wParam)
            return 0;
        RECT client;
        GetClientRect(window, &client);
        *reinterpret_cast<std::uint16_t*>(wParam) =
            static_cast<std::uint16_t>(std::max(std::min(client.right, client.bottom) / 2 - 4, 1L));
        return 1;
    }
    case circularSetIncrement:
        dial.increment = static_cast<std::uint16_t>(wParam);
        dial.spacing = static_cast<std::uint16_t>(lParam);
        return 1;
    case circularQueryIncrement:
        if (!wParam || !lParam)
            return 0;
        *reinterpret_cast<std::uint16_t*>(wParam) = dial.increment;
        *reinterpret_cast<std::uint16_t*>(lParam) = dial.spacing;
        return 1;
    case circularSetBitmaps: {
        const auto* handles = reinterpret_cast<const IOutsideCircularBitmaps*>(lParam);
        if (!handles)
            return 0;
        dial.bitmaps[0] = handles->decrementFirst;
        dial.bitmaps[1] = handles->decrementSecond;
        dial.bitmaps[2] = handles->incrementFirst;
        dial.bitmaps[3] = handles->incrementSecond;
        return 1;
    }
    default: return 0;
    }
}

void paintDial(HWND window, const Dial& dial)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const long size = std::min(client.right, client.bottom) - 8;
    const long left = (client.right - size) / 2, top = (client.bottom - size) / 2;
    Ellipse(dc, left, top, left + size, top + size);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const std::string value = std::to_string(dial.value);
    DrawTextA(dc, value.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

} // namespace

LRESULT CALLBACK sliderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Slider* slider = stateFor<Slider>(window, message);
    if (message == WM_NCCREATE && slider) {
        // The creation data: the slider information record.
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (const auto* record = static_cast<const IOutsideSliderInfo*>(create->lpCreateParams)) {
            slider->ticks[0] = record->scale1Ticks;
            slider->ticks[1] = record->scale2Ticks;
            slider->spacing[0] = record->scale1Spacing;
            slider->spacing[1] = record->scale2Spacing;
        }
    }
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, slider, sliderAddDetent, sliderSetTickSize,
                      decodeSlider, sliderFailure, answerSlider, paintSlider, result))
        return result;
    if (message == WM_KEYDOWN && slider && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
        const long spacing = static_cast<long>(std::max(spacingOf(window, *slider), 1u));
        const long next =
            static_cast<long>(slider->armPixel) + (wParam == VK_RIGHT ? spacing : -spacing);
        notifyParent(window, sliderArmTracking, reinterpret_cast<LPARAM>(window));
        moveArm(window, *slider, static_cast<unsigned>(std::max(next, 0L)));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK circularSliderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dial* dial = stateFor<Dial>(window, message);
    LRESULT result = 0;
    if (commonMessage(
            window, message, wParam, lParam, dial, circularQueryRange, circularSetBitmaps,
            decodeDial, [](UINT, WPARAM) { return LRESULT(0); }, answerDial, paintDial, result))
        return result;
    if (message == WM_KEYDOWN && dial && (wParam == VK_UP || wParam == VK_DOWN)) {
        // The arrow keys move the dial as a drag does: tracking, then the value.
        const long step = wParam == VK_UP ? dial->increment : -static_cast<long>(dial->increment);
        const std::int16_t before = dial->value;
        changeDial(window, *dial, dial->value + step, circularTrack);
        if (dial->value != before)
            notifyOwner(window, circularValue);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ovkctls
