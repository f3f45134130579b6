// What the two outside window classes share inside the stand-in: the journal, the failure
// injection and the notifications to the parent.
#pragma once

#include <windows.h>

#include <string>

#include "iadvrec.hpp"

namespace ovkctls {

// Records a message of the outside interface with its arguments decoded as text (decoded by
// the caller while pointers in the parameters are still valid), and answers whether a test
// asked it to fail, using up one of the asked failures.
bool recordAndFail(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   const std::string& decoded);

// A window's state in its first window slot: made by WM_NCCREATE, gone after WM_NCDESTROY.
template <class State>
State* stateFor(HWND window, UINT message)
{
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(window, 0));
    if (message == WM_NCCREATE && !state) {
        state = new State;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));
    } else if (message == WM_NCDESTROY) {
        delete state;
        state = nullptr;
        SetWindowLongPtrA(window, 0, 0);
    }
    return state;
}
// The part every outside class's procedure shares: a message of the class's own range is
// journalled (decoded first, while pointers in it are still valid) and answered, or given its
// failure value when a test asked for one; WM_PAINT paints. Answers true, with the result set,
// when it took the message.
template <class State, class Decode, class Failure, class Answer, class Paint>
bool commonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, State* state,
                   UINT first, UINT last, Decode decode, Failure failure, Answer answer,
                   Paint paint, LRESULT& result)
{
    if (!state)
        return false;
    if (message >= first && message <= last) {
        result = recordAndFail(window, message, wParam, lParam, decode(message, wParam, lParam))
                     ? failure(message, wParam)
                     : answer(window, *state, message, wParam, lParam);
        return true;
    }
    if (message == WM_PAINT) {
        paint(window, *state);
        result = 0;
        return true;
    }
    return false;
}

// WM_COMMAND to the parent: wParam the window's id and the code, lParam never 0.
LRESULT notifyParent(HWND window, unsigned int code, LPARAM lParam);

LRESULT CALLBACK notebookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK spinProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK sliderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK circularSliderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "0xF07B".
std::string hex(unsigned long value);

} // namespace ovkctls
