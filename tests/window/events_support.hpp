// Helpers of the event and handler tests: native child controls, plain windows under the class
// names of other controls, a colour search, and the coordinate orientation and the keyboard
// state, each restored.
#pragma once

#include <windows.h>

#include <string>

#include <icoordsy.hpp>

#include "ovktest.hpp"

namespace eventstest {

// A native child window of any class, destroyed by its parent.
inline HWND createChild(HWND parent, const char* className, DWORD style = 0, int id = 0)
{
    return CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, 100, 60, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

// A plain window class registered under a control's class name. The notification handlers sort
// a notification by the class name of the child that sends it, and a plain window of that name
// sends nothing of its own, so that the test alone decides what the handlers see.
inline const char* controlClass(const char* name)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return name;
}

using ovktest::send;

// Whether any pixel of the window's client area has the colour: the text a painter draws is
// found this way without knowing where its glyphs fall.
inline bool showsColor(HWND window, COLORREF color)
{
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    bool found = false;
    for (int y = 0; y < client.bottom && !found; ++y)
        for (int x = 0; x < client.right && !found; ++x)
            found = GetPixel(dc, x, y) == color;
    ReleaseDC(window, dc);
    return found;
}

class Orientation {
public:
    explicit Orientation(ICoordinateSystem::Orientation orientation)
        : fSaved(ICoordinateSystem::applicationOrientation())
    {
        ICoordinateSystem::setApplicationOrientation(orientation);
    }
    ~Orientation() { ICoordinateSystem::setApplicationOrientation(fSaved); }
    Orientation(const Orientation&) = delete;
    Orientation& operator=(const Orientation&) = delete;

private:
    ICoordinateSystem::Orientation fSaved;
};

// Sets keys down in the thread's keyboard state (a posted key message does not), and clears
// them again.
class KeysDown {
public:
    explicit KeysDown(std::initializer_list<int> keys)
    {
        GetKeyboardState(fSaved);
        BYTE state[256];
        GetKeyboardState(state);
        for (int key : keys)
            state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~KeysDown() { SetKeyboardState(fSaved); }
    KeysDown(const KeysDown&) = delete;
    KeysDown& operator=(const KeysDown&) = delete;

private:
    BYTE fSaved[256];
};

} // namespace eventstest
