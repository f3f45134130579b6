// Accelerator tables: keys read from native tables, edited, and written back.
#include <windows.h>

#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <iwindow.hpp>

#include "iacceltb.hpp"
#include "ireslib.hpp"

namespace {

const char kFile[] = "iacceltb";

void refuseOnVariant(const char* signature)
{
    if (IPlatform::isPlatformVariant())
        IThrow::message(OVK_MSG_ACCEL_TABLES_UNSUPPORTED, IEXCEPTION_LOCATION(kFile, signature));
}

} // namespace

struct IAcceleratorTable::Data {
    // The window the table was taken from, 0 for none.
    HWND window = nullptr;
    KeyList keys{30};
};

// ---------------------------------------------------------------------------------------------
// Construction

IAcceleratorTable::IAcceleratorTable(const IResourceId& resource) : fData(nullptr)
{
    refuseOnVariant("IAcceleratorTable::IAcceleratorTable(const IResourceId&)");
    const IAccelTblHandle loaded = resource.resourceLibrary().loadAccelTable(resource.id());
    fData = new Data;
    try {
        initialize(loaded);
    } catch (...) {
        destroyHandle(loaded);
        delete fData;
        throw;
    }
    // The loaded table was only needed to read the keys; keeping it would leak one native
    // table per construction.
    destroyHandle(loaded);
}

IAcceleratorTable::IAcceleratorTable(const IAccelTblHandle& table) : fData(nullptr)
{
    refuseOnVariant("IAcceleratorTable::IAcceleratorTable(const IAccelTblHandle&)");
    fData = new Data;
    try {
        initialize(table);
    } catch (...) {
        delete fData;
        throw;
    }
}

IAcceleratorTable::IAcceleratorTable(const IWindow* window) : fData(nullptr)
{
    static const char signature[] = "IAcceleratorTable::IAcceleratorTable(const IWindow*)";
    refuseOnVariant(signature);
    IARGUMENT_CHECK(window != nullptr, kFile, signature);
    fData = new Data;
    try {
        initialize(window->acceleratorHandle());
        fData->window = window->handle();
    } catch (...) {
        delete fData;
        throw;
    }
}

IAcceleratorTable::IAcceleratorTable(const IAcceleratorTable& other) : IBase(other), fData(nullptr)
{
    refuseOnVariant("IAcceleratorTable::IAcceleratorTable(const IAcceleratorTable&)");
    fData = new Data(*other.fData);
}

IAcceleratorTable& IAcceleratorTable::operator=(const IAcceleratorTable& other)
{
    if (this != &other)
        *fData = *other.fData;
    return *this;
}

IAcceleratorTable::~IAcceleratorTable()
{
    delete fData;
}

// ---------------------------------------------------------------------------------------------
// Native tables

IAcceleratorTable& IAcceleratorTable::initialize(const IAccelTblHandle& table)
{
    if (!table) {
        fData->keys.removeAll();
        return *this;
    }
    static const char signature[] = "IAcceleratorTable::initialize(const IAccelTblHandle&)";
    // No native table has zero entries, so a count of 0 means the handle names no table.
    const int count = CopyAcceleratorTableA(table, nullptr, 0);
    if (count <= 0)
        IThrow::systemError("ICOPYACCELTABLE", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, signature));
    std::vector<ACCEL> entries(static_cast<std::size_t>(count));
    const int copied = CopyAcceleratorTableA(table, entries.data(), count);
    if (copied != count)
        IThrow::systemError("ICOPYACCELTABLE", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, signature));
    fData->keys.removeAll();
    // A native table may hold the same key twice; the first one is the one that works, so the
    // first one is kept.
    for (const ACCEL& entry : entries)
        fData->keys.add(IAcceleratorKey(entry));
    return *this;
}

IAccelTblHandle IAcceleratorTable::createHandle() const
{
    if (fData->keys.isEmpty())
        return IAccelTblHandle();
    std::vector<ACCEL> entries;
    entries.reserve(fData->keys.numberOfElements());
    for (const auto& element : fData->keys)
        entries.push_back(element.second.accelEntry());
    HACCEL table = CreateAcceleratorTableA(entries.data(), static_cast<int>(entries.size()));
    if (!table)
        IThrow::systemError("CreateAcceleratorTableA", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "IAcceleratorTable::createHandle() const"));
    return table;
}

void IAcceleratorTable::destroyHandle(const IAccelTblHandle& table)
{
    if (table && !IPlatform::isPlatformVariant())
        DestroyAcceleratorTable(table);
}

IBase::Boolean IAcceleratorTable::updateWindow()
{
    if (!fData->window)
        return false;
    if (!IsWindow(fData->window)) {
        fData->window = nullptr;
        return false;
    }
    IWindow* window = IWindow::windowWithHandle(fData->window, true);
    if (!window)
        return false;
    window->setAcceleratorTable(this);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Keys

IAcceleratorTable& IAcceleratorTable::edited(IBase::Boolean update)
{
    if (update)
        updateWindow();
    return *this;
}

IAcceleratorTable& IAcceleratorTable::add(const IAcceleratorKey& key, IBase::Boolean update)
{
    fData->keys.add(key);
    return edited(update);
}

IAcceleratorTable& IAcceleratorTable::addOrReplace(const IAcceleratorKey& key,
                                                   IBase::Boolean update)
{
    fData->keys.addOrReplaceElementWithKey(key);
    return edited(update);
}

IAcceleratorTable& IAcceleratorTable::remove(const IAcceleratorKey& key, IBase::Boolean update)
{
    fData->keys.removeElementWithKey(key.lookupValue());
    return edited(update);
}

IAcceleratorTable& IAcceleratorTable::removeAt(Cursor& cursor, IBase::Boolean update)
{
    fData->keys.removeAt(cursor.fCursor);
    return edited(update);
}

IAcceleratorTable& IAcceleratorTable::replaceAt(const IAcceleratorKey& key, Cursor& cursor,
                                                IBase::Boolean update)
{
    fData->keys.removeAt(cursor.fCursor);
    cursor.invalidate();
    fData->keys.addOrReplaceElementWithKey(key);
    return edited(update);
}

IAcceleratorTable& IAcceleratorTable::removeAll(IBase::Boolean update)
{
    fData->keys.removeAll();
    return edited(update);
}

IBase::Boolean IAcceleratorTable::contains(const IAcceleratorKey& key) const
{
    return fData->keys.containsElementWithKey(key.lookupValue());
}

unsigned long IAcceleratorTable::numberOfKeys() const
{
    return static_cast<unsigned long>(fData->keys.numberOfElements());
}

IAcceleratorKey IAcceleratorTable::keyAt(const Cursor& cursor) const
{
    return fData->keys.elementAt(cursor.fCursor);
}

IBase::Boolean IAcceleratorTable::locate(const IAcceleratorKey& key, Cursor& cursor) const
{
    return fData->keys.locateElementWithKey(key.lookupValue(), cursor.fCursor);
}

// ---------------------------------------------------------------------------------------------
// Cursor

IAcceleratorTable::Cursor::Cursor(const IAcceleratorTable& table) : fCursor(table.fData->keys) {}

IAcceleratorTable::Cursor::~Cursor() = default;

IBase::Boolean IAcceleratorTable::Cursor::setToFirst()
{
    return fCursor.setToFirst();
}

IBase::Boolean IAcceleratorTable::Cursor::setToNext()
{
    return fCursor.setToNext();
}

IBase::Boolean IAcceleratorTable::Cursor::isValid() const
{
    return fCursor.isValid();
}

void IAcceleratorTable::Cursor::invalidate()
{
    fCursor.invalidate();
}
