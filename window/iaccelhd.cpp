// The accelerator holder.
#include <windows.h>

#include <iwindow.hpp>

#include "iaccelhd.hpp"
#include "iacceltb.hpp"
#include "iapp.hpp"
#include "ireslib.hpp"
#include "ithread.hpp"

namespace {

// The queue that translates the keys is the calling thread's; it must exist before a table can
// do anything.
constexpr unsigned long kHolderQueueSize = 30;

IAccelTblHandle ownTableOf(IWindow* window)
{
    IThread::current().initializeGUI(kHolderQueueSize);
    return window ? window->acceleratorHandle() : IAccelTblHandle();
}

} // namespace

IAcceleratorHolder::IAcceleratorHolder(IWindow* window, const IAccelTblHandle& table)
    : fWindow(window), fOwn(ownTableOf(window))
{
    setHandle(table);
}

IAcceleratorHolder::IAcceleratorHolder(IWindow* window, const IResourceId& resource)
    : fWindow(window), fOwn(ownTableOf(window))
{
    setHandle(resource.resourceLibrary().loadAccelTable(resource.id()));
}

IAcceleratorHolder::IAcceleratorHolder(IWindow* window, unsigned long resourceId)
    : fWindow(window), fOwn(ownTableOf(window))
{
    setHandle(IApplication::current().userResourceLibrary().loadAccelTable(resourceId));
}

IAcceleratorHolder::~IAcceleratorHolder()
{
    bool windowAlive = false;
    try {
        windowAlive = fWindow && IWindow::isWindowValid(fWindow);
    } catch (...) {
        // Not knowing, the window is left alone rather than touched through a stale pointer.
    }
    if (windowAlive) {
        setOnWindow(fOwn);
        destroyUnless(fCurrent, fOwn);
    }
    // A window object that is gone has destroyed the table it had, which is the current one:
    // destroying that again could hit a handle the system has given out anew. The previous
    // table may be the current one too (the same table set twice).
    destroyUnless(fPrevious, fOwn, fCurrent);
}

IAcceleratorHolder& IAcceleratorHolder::setHandle(const IAccelTblHandle& table)
{
    if (!table)
        return *this;
    setOnWindow(table);
    destroyUnless(fPrevious, fOwn, fCurrent, table);
    fPrevious = fCurrent;
    fCurrent = table;
    return *this;
}

IAcceleratorHolder& IAcceleratorHolder::restorePrevious()
{
    const IAccelTblHandle next = fPrevious ? fPrevious : fOwn;
    setOnWindow(next);
    if (fCurrent)
        destroyUnless(fCurrent, fOwn, fPrevious, next);
    fCurrent = fPrevious;
    fPrevious = IAccelTblHandle();
    return *this;
}

IAcceleratorHolder& IAcceleratorHolder::reset()
{
    setOnWindow(IAccelTblHandle());
    destroyUnless(fCurrent, fPrevious, fOwn);
    fCurrent = IAccelTblHandle();
    return *this;
}

void IAcceleratorHolder::setOnWindow(const IAccelTblHandle& table)
{
    if (fWindow)
        fWindow->setAcceleratorHandle(table);
}

void IAcceleratorHolder::destroyUnless(const IAccelTblHandle& table, const IAccelTblHandle& keep1,
                                       const IAccelTblHandle& keep2, const IAccelTblHandle& keep3)
{
    if (table && table != keep1 && table != keep2 && table != keep3)
        IAcceleratorTable::destroyHandle(table);
}
