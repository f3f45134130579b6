// The message protocol between the library's notebook, spin buttons and sliders and the outside
// window classes "OVK Notebook", "OVK Spin Button", "OVK Slider" and "OVK Circular Slider":
// message numbers, notification codes and the records passed by pointer. The outside module builds against this header too, so both sides
// agree on every layout; it needs nothing but the Windows headers.
#pragma once

#include <windows.h>

#include <cstdint>

namespace IOutsideMessage {

// Notebook messages.
constexpr unsigned int calcPageRect = 0xF070;     // wParam RECT*, lParam 1 to page, 0 back
constexpr unsigned int deletePage = 0xF071;       // wParam page, lParam 1 all, 2 one, 4 section
constexpr unsigned int insertPage = 0xF072;       // wParam reference, lParam attributes|order<<16
constexpr unsigned int invalidateTabs = 0xF073;
constexpr unsigned int turnToPage = 0xF074;       // wParam page
constexpr unsigned int queryPageCount = 0xF075;   // wParam page or 0, lParam 0x40/0x80/0x200
constexpr unsigned int queryPageId = 0xF076;      // wParam page or 0, lParam order code
constexpr unsigned int queryPageData = 0xF077;
constexpr unsigned int queryPageWindow = 0xF078;
constexpr unsigned int queryTabBitmap = 0xF079;
constexpr unsigned int queryTabText = 0xF07A;     // lParam IOutsideTextRecord*
constexpr unsigned int setDimensions = 0xF07B;    // wParam width|height<<16, lParam 1/2/0x100
constexpr unsigned int setPageData = 0xF07C;
constexpr unsigned int setPageWindow = 0xF07D;
constexpr unsigned int setStatusText = 0xF07E;    // lParam const char*
constexpr unsigned int setTabBitmap = 0xF07F;
constexpr unsigned int setTabText = 0xF080;       // lParam const char*
constexpr unsigned int setNotebookColors = 0xF081; // wParam RGB, lParam area 5..9
constexpr unsigned int queryPageStyle = 0xF082;
constexpr unsigned int queryStatusText = 0xF083;  // lParam IOutsideTextRecord*

// Spin button messages.
constexpr unsigned int spinSetLimits = 0xF0A0;     // wParam lower, lParam upper; value clamped
constexpr unsigned int spinQueryLimits = 0xF0A1;   // wParam, lParam: std::int32_t* lower, upper
constexpr unsigned int spinSetTextLimit = 0xF0A2;
constexpr unsigned int spinUp = 0xF0A3;            // wParam steps
constexpr unsigned int spinDown = 0xF0A4;
constexpr unsigned int spinQueryValue = 0xF0A5;    // wParam std::int32_t*; answers "in range"
constexpr unsigned int spinSetArray = 0xF0A6;      // wParam const char* const*, lParam count
constexpr unsigned int spinSetLimitsKeep = 0xF0A7;
constexpr unsigned int spinSetValue = 0xF0A8;      // wParam value (index for texts)
constexpr unsigned int spinSetMaster = 0xF0A9;     // wParam master's window
constexpr unsigned int spinQueryColor = 0xF0AA;    // wParam area 1 foreground, 2 background
constexpr unsigned int spinSetColor = 0xF0AB;      // wParam area, lParam RGB | 0x2000000
constexpr unsigned int spinResetColor = 0xF0AC;

// Slider messages. Two 16-bit values share one parameter as low | high << 16.
constexpr unsigned int sliderAddDetent = 0xF090;       // wParam pixel; answers the detent id
constexpr unsigned int sliderQueryDetentPos = 0xF091;  // wParam detent id; low half the pixel
constexpr unsigned int sliderQueryScaleText = 0xF092;  // wParam tick|length<<16, lParam char*
constexpr unsigned int sliderQueryInfo = 0xF093;       // wParam attribute|selector<<16
constexpr unsigned int sliderQueryTickPos = 0xF094;    // wParam tick; answers x|y<<16
constexpr unsigned int sliderQueryTickSize = 0xF095;   // wParam tick
constexpr unsigned int sliderRemoveDetent = 0xF096;    // wParam detent id
constexpr unsigned int sliderSetScaleText = 0xF097;    // wParam tick, lParam const char*
constexpr unsigned int sliderSetInfo = 0xF098;         // wParam attribute|selector<<16
constexpr unsigned int sliderSetTickSize = 0xF099;     // wParam tick|length<<16; tick 0xFFFF all
// Sent by an outside slider to itself while it paints: wParam its device context; answers
// the background brush, which the library keeps in the window bytes at sliderBrushOffset.
constexpr unsigned int sliderColorRequest = 0xF09D;
constexpr int sliderBrushOffset = 8;

// Attribute codes of sliderSetInfo and sliderQueryInfo (the selector in the high half).
constexpr unsigned long sliderShaftSize = 0;       // breadth; answers length|breadth<<16
constexpr unsigned long sliderShaftPosition = 1;   // x|y<<16
constexpr unsigned long sliderArmSize = 2;         // length|breadth<<16
constexpr unsigned long sliderArmPixels = 3;       // pixel; answers pixel|armRange<<16
constexpr unsigned long sliderArmTicks = 0x10003;  // tick; answers the tick in the low half
constexpr unsigned long sliderTicks = 4;           // IOutsideSliderInfo*; answers s1|s2<<16
constexpr unsigned long sliderSpacing = 0x10004;   // IOutsideSliderInfo*; answers s1|s2<<16

// Circular slider messages (16-bit results written through the pointers).
constexpr unsigned int circularQueryRange = 0xF0B0;     // wParam, lParam: std::int16_t* low, high
constexpr unsigned int circularSetRange = 0xF0B1;       // wParam low, lParam high
constexpr unsigned int circularQueryValue = 0xF0B2;     // wParam std::int16_t*
constexpr unsigned int circularSetValue = 0xF0B3;       // wParam value
constexpr unsigned int circularQueryRadius = 0xF0B4;    // wParam std::uint16_t*
constexpr unsigned int circularSetIncrement = 0xF0B5;   // wParam increment, lParam tick spacing
constexpr unsigned int circularQueryIncrement = 0xF0B6; // wParam, lParam: std::uint16_t*
constexpr unsigned int circularSetBitmaps = 0xF0B7;     // lParam IOutsideCircularBitmaps*

} // namespace IOutsideMessage

// Codes of the WM_COMMAND notifications (high word of wParam) that both kinds of notebook and
// spin button send their parents.
namespace IOutsideNotification {

constexpr unsigned int pageSelected = 0x82;      // lParam IOutsideSelectRecord*
constexpr unsigned int pageSizeChanged = 0x83;   // lParam the notebook's window
constexpr unsigned int pageHelp = 0x84;          // lParam the top page (posted)
constexpr unsigned int pageDeleted = 0x85;       // lParam IOutsideDeleteRecord*
constexpr unsigned int selectionPending = 0x86;  // lParam IOutsideSelectRecord*
constexpr unsigned int spinArrowUp = 0x96;       // lParam the spin button's window, here and below
constexpr unsigned int spinArrowDown = 0x97;
constexpr unsigned int spinEnded = 0x98;
constexpr unsigned int spinValueChanged = 0x99;
constexpr unsigned int spinFocusGained = 0x9A;
constexpr unsigned int spinFocusLost = 0x9B;
constexpr unsigned int sliderArmChanged = 0x8C;  // lParam the slider's window, here and below
constexpr unsigned int sliderFocusLost = 0x8D;
constexpr unsigned int sliderFocusGained = 0x8E;
constexpr unsigned int sliderArmTracking = 0x8F;
constexpr unsigned int circularValue = 0xA2;     // to the owner, lParam the circular slider
constexpr unsigned int circularTrack = 0xA3;

} // namespace IOutsideNotification

// A buffer that a text query fills, at most `length` characters with the terminating zero.
struct IOutsideTextRecord {
    char* buffer;
    std::uint16_t length;
};

// A page turn: before it (selection pending) a receiver that refuses it sets `newPage` to 0.
struct IOutsideSelectRecord {
    HWND notebook;
    std::uint32_t topPage;
    std::uint32_t newPage;
};

// What a deleted page carried.
struct IOutsideDeleteRecord {
    HWND notebook;
    HWND pageWindow;
    std::uint32_t userData;
    HBITMAP tabBitmap;
};

// A slider's scales: the creation data of an outside slider and the record of its tick
// messages; 12 bytes.
#pragma pack(push, 2)
struct IOutsideSliderInfo {
    std::uint32_t size = 12;
    std::uint16_t scale1Ticks = 0;
    std::uint16_t scale1Spacing = 0;
    std::uint16_t scale2Ticks = 0;
    std::uint16_t scale2Spacing = 0;
};
#pragma pack(pop)
static_assert(sizeof(IOutsideSliderInfo) == 12, "the slider information record is 12 bytes");

// The circular slider's arrow bitmaps, each pointer-wide.
struct IOutsideCircularBitmaps {
    HBITMAP decrementFirst;
    HBITMAP decrementSecond;
    HBITMAP incrementFirst;
    HBITMAP incrementSecond;
};
