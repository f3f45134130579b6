// IWindowPosBuffer: positions, sizes, order and visibility of a window's children, applied
// together in one deferred pass.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <ipoint.hpp>
#include <irect.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

class IWindow;

// One child's requests, in the layout of the platform's WINDOWPOS record (the source file
// checks the layout against the platform's own structure). A new record asks for nothing.
struct IWindowPosRecord {
    enum Flag : std::uint32_t {
        noSize = 0x1, noMove = 0x2, noOrder = 0x4, showWindow = 0x40, hideWindow = 0x80
    };
    IWindowHandle::Value window = nullptr;
    IWindowHandle::Value insertAfter = nullptr;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t flags = noSize | noMove | noOrder;
};

// The buffer holds positions in the application's coordinates and maps them to native client
// coordinates of the parent when it is applied, when the children's final sizes are known.
class OVKWIN_API IWindowPosBuffer {
public:
    explicit IWindowPosBuffer(IWindow* parent);
    IWindowPosBuffer(const IWindowPosBuffer&) = delete;
    IWindowPosBuffer& operator=(const IWindowPosBuffer&) = delete;
    // Applies nothing: unapplied requests are discarded.
    ~IWindowPosBuffer();

    IWindowPosBuffer& moveTo(IWindow* child, const IPoint& position);
    IWindowPosBuffer& sizeTo(IWindow* child, const ISize& size);
    IWindowPosBuffer& moveSizeTo(IWindow* child, const IRectangle& rectangle);
    IWindowPosBuffer& orderAfter(IWindow* child, IWindow* sibling);
    IWindowPosBuffer& orderAsFirst(IWindow* child);
    IWindowPosBuffer& orderAsLast(IWindow* child);
    IWindowPosBuffer& show(IWindow* child);
    IWindowPosBuffer& hide(IWindow* child);

    // What is buffered for the child (a child with no record has all zero).
    IPoint position(const IWindow* child) const;
    ISize size(const IWindow* child) const;
    IRectangle rect(const IWindow* child) const;

    // Moves every child whose requests differ from its current state, in one pass, and
    // discards the records. Mirroring applies to right-to-left layouts only, which this
    // platform does not have.
    IWindowPosBuffer& apply(IBase::Boolean mirror = false);

private:
    IWindowPosRecord& recordFor(IWindow* child);
    const IWindowPosRecord* findRecord(const IWindow* child) const;

    IWindow* fParent;
    std::vector<IWindowPosRecord> fRecords;
    // Each child's record by handle, so that a layout of n children costs time linear in n.
    std::unordered_map<IWindowHandle::Value, std::size_t> fIndex;
};
