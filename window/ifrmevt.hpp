// IFrameEvent and IFrameFormatEvent: the frame handler's private layout messages as events.
#pragma once

#include <irect.hpp>

#include <idefs.hpp>

#include "ievent.hpp"

// A frame message whose second parameter points to a rectangle record of four 32-bit values
// (left, top, right, bottom), or is null. The window object is looked up once, when the event
// is built: the layout pass asks for it many times.
class OVKWIN_API IFrameEvent : public IEvent {
public:
    IFrameEvent(const IEvent& event);
    IFrameEvent(const IFrameEvent& event) noexcept = default;
    IFrameEvent& operator=(const IFrameEvent& event) noexcept = default;
    ~IFrameEvent() override;

    IWindow* window() const override { return fWindow; }

    // The record with its corners in order; the empty rectangle when there is no record.
    IRectangle rectangle() const noexcept;
    // Writes the rectangle into the record; does nothing when there is none.
    IFrameEvent& setRectangle(const IRectangle& rectangle) noexcept;

private:
    IWindow* fWindow;
};

// The frame's formatting request (0xFFD3).
class OVKWIN_API IFrameFormatEvent : public IFrameEvent {
public:
    IFrameFormatEvent(const IEvent& event) : IFrameEvent(event) {}
    IFrameFormatEvent(const IFrameFormatEvent& event) noexcept = default;
    IFrameFormatEvent& operator=(const IFrameFormatEvent& event) noexcept = default;
    ~IFrameFormatEvent() override;
};
