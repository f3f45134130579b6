// What the two outside window classes share inside the stand-in: the journal, the failure
// injection and the notifications to the parent.
#pragma once

#include <windows.h>

#include <string>

#include "iadvrec.hpp"

namespace ovkctls {

// Records a message of the outside interface with its arguments decoded as text (the decoding
// happens here, while pointers in the parameters are still valid).
void record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::string& decoded);
// True when a test asked this message to fail; uses up one of the asked failures.
bool failNow(UINT message);
// WM_COMMAND to the parent: wParam the window's id and the code, lParam never 0.
LRESULT notifyParent(HWND window, unsigned int code, LPARAM lParam);

LRESULT CALLBACK notebookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK spinProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "0xF07B".
std::string hex(unsigned long value);

} // namespace ovkctls
