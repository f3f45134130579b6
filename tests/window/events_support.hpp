// Helpers of the event and handler tests: native child controls, plain windows under the class
// names of other controls, and the keyboard state, restored.
#pragma once

#include <windows.h>

#include <string>

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
    ovktest::registerClass(name);
    return name;
}

using ovktest::send;

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
