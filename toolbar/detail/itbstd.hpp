// The class-wide state of tool bar buttons in the standard format: the shared cell values, the
// set of standard-format buttons and their shared up faces, all guarded by one lock.
#pragma once

#include <windows.h>

#include <vector>

#include <ipoint.hpp>
#include <iresource.hpp>

#include <icolor.hpp>

#include <detail/iscoped.hpp>

class IToolBarButton;

namespace ovk_toolbar {

struct StandardButtons {
    ISize bitmapSize{20, 17};
    unsigned long textWidth = 0;
    unsigned long textLines = 0;
    bool hasTransparentColor = true;
    IColor transparentColor{255, 0, 255};
    std::vector<IToolBarButton*> buttons;
    // One shared up face per view, with the size it was made at.
    ovk_native::Bitmap faces[3];
    ISize faceSizes[3];
    // The system colours the faces were made with, and a count raised whenever faces are
    // dropped, so that a button's own cached face can tell it is older.
    COLORREF colours[4] = {};
    unsigned long generation = 1;
};

// Every use holds standardLock().
StandardButtons& standardButtons();
IResource& standardLock();
// "OVKUI OPTSTDBUTTONS" read once per process: on unless it is "OFF".
bool standardButtonsOn();
// Drops the shared faces of the views in the mask (bit 1 << view).
void dropSharedFaces(unsigned mask);
// Drops every shared face when the border's system colours changed since they were made.
void checkSystemColours();

} // namespace ovk_toolbar
