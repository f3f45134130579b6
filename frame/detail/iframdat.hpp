// IFrameWindowData: the private record of a frame window.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include <iptrhdl.hpp>

#include "../iframe.hpp"
#include "../iframext.hpp"
#include <ihelpsta.hpp>

#include <itimer.hpp>

struct IFrameWindowData {
    // The property that names a frame's object for the menus (set while the frame lives).
    static constexpr const char* menuBarProperty = "OVK_MENUBAR_OBJECT";

    static IFrameWindowData& of(const IFrameWindow& frame) { return *frame.fFrameData; }
    // The client rectangle of a frame rectangle, or the reverse, in the frame's parent's native
    // coordinates: the system's borders, caption and menu bar, and the extensions beside the
    // client. False when the system refused.
    static bool computeFrameRect(const IFrameWindow& frame, RECT& rectangle, bool frameFromClient);

    // The flag word.
    enum Flag : unsigned long {
        destroyOnClose = 0x1,
        handlerAttached = 0x2,
        modal = 0x4,
        layoutPending = 0x8,
        templateControls = 0x10,
        libraryCreated = 0x20,
        closing = 0x40,
        layoutDone = 0x80,
        ownerDisabled = 0x200,
        deleteOnModalEnd = 0x800,
        captionRepaint = 0x1000,
        // The stop of the running modal loop has been posted.
        stopPosted = 0x2000,
    };

    IFrameWindowData() = default;
    IFrameWindowData(const IFrameWindowData&) = delete;
    IFrameWindowData& operator=(const IFrameWindowData&) = delete;

    bool has(unsigned long flag) const { return (flags & flag) != 0; }
    void set(unsigned long flag, bool on = true) { flags = on ? flags | flag : flags & ~flag; }

    std::vector<std::unique_ptr<IFrameExtension>> extensions;
    unsigned long flags = 0;
    unsigned long result = 0;
    IPointerHandle icon;
    IPointerHandle pointer;
    void* toolBarData = nullptr;
    // Kept for the frame's menus (the classic menu calls hold neither).
    IFrameMenuLists menuLists;
    RECT cachedClient{};
    std::unique_ptr<ITimer> flashTimer;
    HWND flashed = nullptr;
    HFONT font = nullptr;
    // The level of the thread's message loop that this frame's modal loop runs at.
    unsigned long modalLevel = 0;
};
