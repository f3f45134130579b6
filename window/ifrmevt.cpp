// The frame events.
#include <cstdint>

#include "ifrmevt.hpp"

namespace {

// The record is the platform's RECT: four 32-bit values, whatever the width of a pointer.
struct RectangleRecord {
    std::int32_t left, top, right, bottom;
};

RectangleRecord* recordOf(const IEvent& event) noexcept
{
    return static_cast<RectangleRecord*>(event.parameter2().asPointer());
}

} // namespace

IFrameEvent::IFrameEvent(const IEvent& event) : IEvent(event), fWindow(event.window()) {}

IFrameEvent::~IFrameEvent() = default;
IFrameFormatEvent::~IFrameFormatEvent() = default;

IRectangle IFrameEvent::rectangle() const noexcept
{
    const RectangleRecord* record = recordOf(*this);
    if (!record)
        return IRectangle();
    return IRectangle(record->left, record->top, record->right, record->bottom);
}

IFrameEvent& IFrameEvent::setRectangle(const IRectangle& rectangle) noexcept
{
    if (RectangleRecord* record = recordOf(*this))
        *record = {rectangle.minX(), rectangle.minY(), rectangle.maxX(), rectangle.maxY()};
    return *this;
}
