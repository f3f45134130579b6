// IDMSupport: what every part of drag and drop shares: OLE started per thread, and the test
// that tells a container window.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>

class IWindow;

// The base of the drag handlers. OLE's drag and drop needs OLE initialised on the thread that
// owns the windows; each user counts itself in and out, and only the first and the last call of
// a thread reach OLE.
class OVKWIN_API IDMSupport : public IHandler {
public:
    // One more OLE user on the calling thread: OleInitialize when the count goes from 0 to 1.
    static void initializeOle();
    // One user less: OleUninitialize when the count reaches 0. A thread that never counted
    // itself in is left alone.
    static void uninitializeOle();
    // The calling thread's count.
    static unsigned long oleUseCount();

    // True for a window of the container classes "OVK Container" and "OVK Native Container";
    // false for a null window.
    static IBase::Boolean isContainer(IWindow* window);

protected:
    IDMSupport() = default;
};
