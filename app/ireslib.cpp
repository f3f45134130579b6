// Resource libraries: the module, texts, menus, dialogs, accelerator and help tables; resource
// identifiers; the resource lock; the services other subsystems register.
#include <windows.h>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <iresource.hpp>

#include <climits>
#include <cstring>
#include <memory>

#include "detail/ihelplnk.hpp"
#include "detail/imsgreg.hpp"
#include "detail/ireslib.hpp"
#include "detail/iwinlnk.hpp"
#include "ireslib.hpp"

namespace {

const char kFile[] = "ireslib";

// A string-table text larger than this is not a text a program could have meant: the resource
// format caps a string at 65535 UTF-16 units, which is at most twice as many ANSI bytes.
constexpr unsigned long kLargestText = 2 * 65536 + 2;

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

[[noreturn]] void throwMissing(const char* call, unsigned long id, const char* function,
                               unsigned long line)
{
    const DWORD error = GetLastError();
    IThrow::systemError(IString(call) + "(IResourceId:" + IString(id) + ")", error,
                        at(function, line));
}

HWND windowHandleOf(const IWindow* window)
{
    return ovk_app::handleOf(window);
}

// The text of a string-table entry in a buffer of the loader's own, grown until the text has
// room to spare: LoadString cuts without saying so, and a count of size - 1 (or size - 2, where a
// double-byte character did not fit) means it may have.
char* loadOwnString(HMODULE module, unsigned long id)
{
    unsigned long size = 100;
    for (;;) {
        std::unique_ptr<char[]> buffer(new char[size]);
        const int count = LoadStringA(module, static_cast<UINT>(id), buffer.get(),
                                      static_cast<int>(size));
        if (count <= 0)
            return nullptr;
        const unsigned long length = static_cast<unsigned long>(count);
        if ((length == size - 1 || length == size - 2) && size < kLargestText) {
            size *= 2;
            continue;
        }
        return buffer.release();
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The library

IResourceLibrary::IResourceLibrary() : fHandle(GetModuleHandleA(nullptr)) {}

// The module record is not copied: it is counted, and only a dynamic-link library object takes
// part in its count. A plain copy of one (sliced to this class) loads from the handle field.
IResourceLibrary::IResourceLibrary(const IResourceLibrary& other)
    : IVBase(other), fHandle(other.fHandle)
{
}

IResourceLibrary& IResourceLibrary::operator=(const IResourceLibrary& other)
{
    fHandle = other.fHandle;
    return *this;
}

IResourceLibrary::~IResourceLibrary() = default;

IString IResourceLibrary::asString() const
{
    return IString("IResourceLibrary(Filename(") + fileName() + "))";
}

IString IResourceLibrary::asDebugInfo() const
{
    return asString();
}

IString IResourceLibrary::fileName() const
{
    return IString(GetCommandLineA());
}

IBase::Boolean IResourceLibrary::isOpen() const
{
    return true;
}

IModuleHandle IResourceLibrary::handle() const
{
    return fHandle;
}

IResource& IResourceLibrary::resourceLock()
{
    // A function-local static is made once, safely against threads arriving together; it is
    // never destroyed, since handle objects in other static objects may still release their
    // references while the process ends.
    static IPrivateResource* lock = new IPrivateResource;
    return *lock;
}

// ---------------------------------------------------------------------------------------------
// Texts

char* IResourceLibrary::loadText(IBase::Boolean fromStringTable, unsigned long id, char* buffer,
                                 unsigned long bufferSize, IBase::Boolean throwIfMissing) const
{
    static const char function[] =
        "IResourceLibrary::loadText(IBase::Boolean,unsigned long,char*,unsigned long,"
        "IBase::Boolean) const";
    const HMODULE module = handle();
    // A buffer of no size is no room at all; LoadString would even take it as a request for a
    // pointer into the resource and write that pointer into the buffer.
    const bool ownBuffer = !buffer || bufferSize == 0;
    char* text = nullptr;
    // A library without a module has no resources; a null module would mean the executable's.
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        if (throwIfMissing)
            throwMissing(fromStringTable ? "WinLoadString" : "WinLoadMessage", id, function,
                         fromStringTable ? 160 : 178);
        return nullptr;
    }
    if (fromStringTable) {
        if (ownBuffer) {
            text = loadOwnString(module, id);
        } else if (LoadStringA(module, static_cast<UINT>(id), buffer,
                               static_cast<int>(bufferSize > INT_MAX ? INT_MAX : bufferSize)) > 0) {
            text = buffer;
        }
        if (!text && throwIfMissing)
            throwMissing("WinLoadString", id, function, 160);
        return text;
    }
    // FormatMessage fails rather than cut a text that does not fit, so the message is read
    // whole and then cut to the caller's buffer, if there is one.
    const IString message = ovkReadMessageText(module, static_cast<std::uint32_t>(id));
    if (message.isEmpty()) {
        if (throwIfMissing)
            throwMissing("WinLoadMessage", id, function, 178);
        return nullptr;
    }
    if (ownBuffer) {
        text = new char[message.length() + 1];
        std::memcpy(text, message.data(), message.length() + 1);
        return text;
    }
    const unsigned long length =
        message.length() < bufferSize - 1 ? message.length() : bufferSize - 1;
    std::memcpy(buffer, message.data(), length);
    buffer[length] = '\0';
    return buffer;
}

namespace {

IString takeText(char* text)
{
    if (!text)
        return IString();
    std::unique_ptr<char[]> owned(text);
    return IString(owned.get());
}

} // namespace

IString IResourceLibrary::loadString(unsigned long id) const
{
    return takeText(loadText(true, id, nullptr, 0, true));
}

IString IResourceLibrary::loadMessage(unsigned long id) const
{
    return takeText(loadText(false, id, nullptr, 0, true));
}

IString IResourceLibrary::tryToLoadString(unsigned long id) const
{
    return takeText(loadText(true, id, nullptr, 0, false));
}

IString IResourceLibrary::tryToLoadText(unsigned long id) const
{
    return takeText(loadText(true, id, nullptr, 0, false));
}

// ---------------------------------------------------------------------------------------------
// Menus, dialogs, accelerator and help tables

IMenuHandle IResourceLibrary::loadMenu(unsigned long id, IWindow*) const
{
    static const char function[] = "IResourceLibrary::loadMenu(unsigned long,IWindow*) const";
    const HMODULE module = handle();
    HMENU menu = nullptr;
    SetLastError(0);
    if (IPlatform::isPlatformVariant()) {
        menu = ovk_app::loadExtendedMenu(module, id);
    } else {
        menu = LoadMenuA(module, MAKEINTRESOURCEA(LOWORD(id)));
    }
    if (!menu)
        throwMissing("WinLoadMenu", id, function, 287);
    return menu;
}

IWindowHandle IResourceLibrary::loadDialog(unsigned long id, IWindow* parent, IWindow* owner,
                                           IWinProc* procedure, void* data) const
{
    static const char function[] =
        "IResourceLibrary::loadDialog(unsigned long,IWindow*,IWindow*,IWinProc*,void*) const";
    // The parent is asked for its handle as the callers expect, but the dialog's parent window
    // is the owner's: a modeless dialog is owned, never a child.
    (void)windowHandleOf(parent);
    HWND dialog = CreateDialogParamA(handle(), MAKEINTRESOURCEA(LOWORD(id)),
                                     windowHandleOf(owner), procedure,
                                     reinterpret_cast<LPARAM>(data));
    if (!dialog)
        throwMissing("WinLoadDlg", id, function, 325);
    return dialog;
}

namespace {

// A table made anew with the keys of a loaded one, for platforms that cannot use a loaded table
// as it is. The loaded table is destroyed; 0 when it had no keys or the copy failed.
HACCEL rebuildAcceleratorTable(HACCEL loaded)
{
    const int count = CopyAcceleratorTableA(loaded, nullptr, 0);
    HACCEL rebuilt = nullptr;
    if (count > 0) {
        std::unique_ptr<ACCEL[]> keys(new ACCEL[static_cast<unsigned>(count)]);
        const int copied = CopyAcceleratorTableA(loaded, keys.get(), count);
        if (copied > 0)
            rebuilt = CreateAcceleratorTableA(keys.get(), copied);
    }
    DestroyAcceleratorTable(loaded);
    return rebuilt;
}

} // namespace

IAccelTblHandle IResourceLibrary::loadAccelTable(unsigned long id) const
{
    static const char function[] = "IResourceLibrary::loadAccelTable(unsigned long) const";
    HACCEL table = LoadAcceleratorsA(handle(), MAKEINTRESOURCEA(LOWORD(id)));
    if (table && IPlatform::hasLimitedGraphics())
        table = rebuildAcceleratorTable(table);
    if (!table)
        throwMissing("WinLoadAccelTable", id, function, 367);
    return table;
}

const IResourceLibrary& IResourceLibrary::loadHelpTable(IWindow* window, unsigned long id) const
{
    static const char function[] =
        "IResourceLibrary::loadHelpTable(IWindow*,unsigned long) const";
    SetLastError(0);
    if (!ovk_app::loadHelpTable(windowHandleOf(window), id, handle()))
        throwMissing("WinLoadHelpTable", id, function, 386);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Resource identifiers

IString IResourceId::asString() const
{
    return IString("IResourceId(Id(") + IString(fId) + ")";
}

IString IResourceId::asDebugInfo() const
{
    return IString("IResourceId(Id(") + IString(fId) + ")," + fLibrary->asDebugInfo() + ")";
}
