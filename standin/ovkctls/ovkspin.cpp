// The outside "OVK Spin Button": a value, numeric or an index into an array of texts, between
// two limits, with two arrows drawn at its right. A servant follows its master's arrows.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ovkctls.h"

using namespace IOutsideMessage;
using namespace IOutsideNotification;

namespace ovkctls {

namespace {

// Style bits the library gives the window.
constexpr LONG_PTR kNumeric = 0x1;
constexpr LONG_PTR kMaster = 0x10;
constexpr LONG_PTR kPadded = 0x80;

struct Spin {
    std::int32_t lower = 0, upper = 0, value = 0;
    unsigned long textLimit = 255;
    std::vector<std::string> texts;
    HWND master = nullptr;
    COLORREF colors[2] = {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
    bool colorSet[2] = {false, false};
};

void changeValue(HWND window, Spin& spin, std::int32_t value)
{
    if (value == spin.value)
        return;
    spin.value = value;
    InvalidateRect(window, nullptr, TRUE);
    notifyParent(window, spinValueChanged, reinterpret_cast<LPARAM>(window));
}

// Steps with wrapping at both limits.
void spinBy(HWND window, Spin& spin, long long steps)
{
    const long long size = static_cast<long long>(spin.upper) - spin.lower + 1;
    if (size <= 0)
        return;
    long long value = spin.value + steps - spin.lower;
    value %= size;
    if (value < 0)
        value += size;
    changeValue(window, spin, static_cast<std::int32_t>(value + spin.lower));
}

std::string shownText(HWND window, const Spin& spin)
{
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & kNumeric)) {
        const auto index = static_cast<size_t>(spin.value);
        return spin.value >= 0 && index < spin.texts.size() ? spin.texts[index] : std::string();
    }
    std::string text = std::to_string(spin.value < 0 ? -static_cast<long long>(spin.value) : spin.value);
    if (GetWindowLongPtrA(window, GWL_STYLE) & kPadded) {
        const size_t width = std::min<unsigned long>(spin.textLimit, 11) - (spin.value < 0 ? 1 : 0);
        if (text.size() < width)
            text.insert(0, width - text.size(), '0');
    }
    return spin.value < 0 ? "-" + text : text;
}

std::string decode(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string text = hex(message);
    if (message == spinSetArray) {
        const auto* const* array = reinterpret_cast<const char* const*>(wParam);
        text += " count=" + std::to_string(lParam);
        for (LPARAM i = 0; array && i < lParam && i < 8; ++i)
            text += std::string(" \"") + (array[i] ? array[i] : "") + "\"";
        return text;
    }
    if (message == spinQueryLimits || message == spinQueryValue)
        return text;
    return text + " " + std::to_string(static_cast<long long>(static_cast<std::intptr_t>(wParam))) +
           " " + std::to_string(static_cast<long long>(lParam));
}

LRESULT answer(HWND window, Spin& spin, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto low = static_cast<std::int32_t>(wParam);
    const auto high = static_cast<std::int32_t>(lParam);
    switch (message) {
    case spinSetLimits:
    case spinSetLimitsKeep:
        if (low > high) return 0;
        spin.lower = low;
        spin.upper = high;
        if (message == spinSetLimits)
            changeValue(window, spin, std::clamp(spin.value, low, high));
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case spinQueryLimits: {
        auto* lower = reinterpret_cast<std::int32_t*>(wParam);
        auto* upper = reinterpret_cast<std::int32_t*>(lParam);
        if (!lower || !upper) return 0;
        *lower = spin.lower;
        *upper = spin.upper;
        return 1;
    }
    case spinSetTextLimit: spin.textLimit = static_cast<unsigned long>(wParam); return 1;
    case spinUp: spinBy(window, spin, static_cast<long long>(wParam)); return 1;
    case spinDown: spinBy(window, spin, -static_cast<long long>(wParam)); return 1;
    case spinQueryValue:
        if (auto* value = reinterpret_cast<std::int32_t*>(wParam))
            *value = spin.value;
        return spin.lower <= spin.value && spin.value <= spin.upper;
    case spinSetArray: {
        const auto* const* array = reinterpret_cast<const char* const*>(wParam);
        if (!array && lParam > 0) return 0;
        spin.texts.clear();
        for (LPARAM i = 0; i < lParam; ++i)
            spin.texts.emplace_back(array[i] ? array[i] : "");
        spin.lower = 0;
        spin.upper = std::max<std::int32_t>(0, static_cast<std::int32_t>(lParam) - 1);
        spin.value = std::min(spin.value, spin.upper);
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    }
    case spinSetValue:
        if (low < spin.lower || low > spin.upper) return 0;
        changeValue(window, spin, low);
        return 1;
    case spinSetMaster:
        spin.master = reinterpret_cast<HWND>(wParam);
        return spin.master && IsWindow(spin.master) ? 1 : 0;
    case spinQueryColor:
        return wParam == 1 || wParam == 2 ? static_cast<LRESULT>(spin.colors[wParam - 1]) : 0;
    case spinSetColor:
        if (wParam != 1 && wParam != 2) return 0;
        spin.colors[wParam - 1] = static_cast<COLORREF>(lParam) & 0xFFFFFF;
        spin.colorSet[wParam - 1] = true;
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case spinResetColor:
        if (wParam != 1 && wParam != 2) return 0;
        spin.colors[wParam - 1] = GetSysColor(wParam == 1 ? COLOR_WINDOWTEXT : COLOR_WINDOW);
        spin.colorSet[wParam - 1] = false;
        return 1;
    default:
        return 0;
    }
}

void paint(HWND window, const Spin& spin)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH background = CreateSolidBrush(spin.colors[1]);
    FillRect(dc, &client, background);
    DeleteObject(background);
    const bool arrows = (GetWindowLongPtrA(window, GWL_STYLE) & kMaster) != 0;
    RECT text = client;
    if (arrows) {
        text.right -= 16;
        RECT up{text.right, 0, client.right, client.bottom / 2};
        RECT down{text.right, client.bottom / 2, client.right, client.bottom};
        DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
        DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, spin.colors[0]);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const std::string shown = shownText(window, spin);
    text.left += 2;
    DrawTextA(dc, shown.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

} // namespace

LRESULT CALLBACK spinProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Spin* spin = stateFor<Spin>(window, message);
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, spin, spinSetLimits, spinResetColor, decode,
                      [](UINT, WPARAM) { return LRESULT(0); }, answer, paint, result))
        return result;
    switch (message) {
    case WM_GETTEXT:
        if (spin && lParam && wParam > 0) {
            lstrcpynA(reinterpret_cast<char*>(lParam), shownText(window, *spin).c_str(),
                      static_cast<int>(wParam));
            return lstrlenA(reinterpret_cast<char*>(lParam));
        }
        return 0;
    case WM_GETTEXTLENGTH:
        return spin ? static_cast<LRESULT>(shownText(window, *spin).size()) : 0;
    case WM_SETFOCUS:
        notifyParent(window, spinFocusGained, reinterpret_cast<LPARAM>(window));
        return 0;
    case WM_KILLFOCUS:
        notifyParent(window, spinFocusLost, reinterpret_cast<LPARAM>(window));
        return 0;
    case WM_KEYDOWN:
        if (spin && (wParam == VK_UP || wParam == VK_DOWN)) {
            // A servant spins with its master's arrows; its own keys move it alone.
            spinBy(window, *spin, wParam == VK_UP ? 1 : -1);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ovkctls
