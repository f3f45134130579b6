// IAcceleratorHolder: puts accelerator tables on a window for a while and gives the window its
// own table back afterwards.
#pragma once

#include <ibase.hpp>

#include "idefs.hpp"
#include "ihandle.hpp"

class IResourceId;
class IWindow;

// The holder owns the tables it is given (it destroys them when they are no longer current or
// previous), never the window's own table, which the window gets back when the holder goes.
class OVKWIN_API IAcceleratorHolder : public IBase {
public:
    // Each sets up the calling thread's message queue, notes the window's own table (none
    // without a window), then puts the given table on the window.
    IAcceleratorHolder(IWindow* window, const IAccelTblHandle& table = IAccelTblHandle());
    // The table of a resource, loaded from the identifier's resource library.
    IAcceleratorHolder(IWindow* window, const IResourceId& resource);
    // The table with this number in the application's resource library.
    IAcceleratorHolder(IWindow* window, unsigned long resourceId);
    IAcceleratorHolder(const IAcceleratorHolder&) = delete;
    IAcceleratorHolder& operator=(const IAcceleratorHolder&) = delete;
    ~IAcceleratorHolder();

    // Puts the table on the window; the current table becomes the previous one. A null handle
    // is ignored.
    IAcceleratorHolder& setHandle(const IAccelTblHandle& table);
    // Goes back to the previous table, or to the window's own one when there is none.
    IAcceleratorHolder& restorePrevious();
    // Leaves the window without a table.
    IAcceleratorHolder& reset();

    // The window's own table, as it was when the holder was made.
    IAccelTblHandle windowHandle() const { return fOwn; }
    IAccelTblHandle currentHandle() const { return fCurrent; }

private:
    void setOnWindow(const IAccelTblHandle& table);
    // Destroys the table unless it is one of those that must live on.
    void destroyUnless(const IAccelTblHandle& table, const IAccelTblHandle& keep1,
                       const IAccelTblHandle& keep2 = IAccelTblHandle(),
                       const IAccelTblHandle& keep3 = IAccelTblHandle());

    IWindow* fWindow = nullptr;
    IAccelTblHandle fCurrent;
    IAccelTblHandle fPrevious;
    IAccelTblHandle fOwn;
};
