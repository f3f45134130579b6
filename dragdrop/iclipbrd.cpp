// The clipboard: format naming, opening on demand, and putting and taking data.
#include <windows.h>

#include <cstring>

#include <iexcept.hpp>

#include <detail/iscoped.hpp>
#include <ovkmsgid.hpp>

#include <igbitmap.hpp>

#include "iclipbrd.hpp"

namespace {

const char kFile[] = "iclipbrd";

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

// The numbers that name formats by themselves: predefined, private and GDI-object formats.
bool isNumberedFormat(unsigned long number)
{
    return (number >= 1 && number <= 14) || (number >= 128 && number <= 131) || number == 142 ||
           (number >= 512 && number <= 1023);
}

bool isPublicFormat(unsigned long number)
{
    return (number >= 1 && number <= 14) || (number >= 128 && number <= 131) || number == 142;
}

} // namespace

struct IClipboard::Data {
    HWND owner = nullptr;
    bool isOpen = false;
    bool openedImplicitly = false;
    // The handle SetClipboardData took last: from then on it is the clipboard's, even when the
    // closing that follows fails.
    void* taken = nullptr;
};

const char* const IClipboard::textFormat = "1";
const char* const IClipboard::displayTextFormat = "129";
const char* const IClipboard::bitmapFormat = "2";
const char* const IClipboard::displayBitmapFormat = "130";
const char* const IClipboard::enhancedMetafileFormat = "14";
const char* const IClipboard::displayEnhancedMetafileFormat = "142";
const char* const IClipboard::paletteFormat = "9";

// ---------------------------------------------------------------------------------------------
// Construction and state

IClipboard::IClipboard(const IWindowHandle& clipboardWindow) : fData(nullptr)
{
    if (!clipboardWindow.asValue() || !IsWindow(clipboardWindow.asValue()))
        IThrow::argument("clipboardWindow!=0 && clipboardWindow.isValid()",
                         at("IClipboard::IClipboard(const IWindowHandle&)", __LINE__));
    fData = new Data;
    fData->owner = clipboardWindow.asValue();
}

IClipboard::IClipboard() : fData(new Data) {}

IClipboard::~IClipboard()
{
    if (fData->isOpen) {
        // Closing can fail only when the system has already taken the clipboard away; there is
        // nothing left to undo then, and a destructor must not throw.
        CloseClipboard();
    }
    delete fData;
}

IString IClipboard::asString() const
{
    return IString("IClipboard(") + (fData->isOpen ? "open" : "closed") + ")";
}

IString IClipboard::asDebugInfo() const
{
    const auto owner =
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(fData->owner));
    return IString("IClipboard(owner=") + IString(owner) +
           ",isOpen=" + IString(static_cast<unsigned long>(fData->isOpen)) +
           ",openedImplicitly=" + IString(static_cast<unsigned long>(fData->openedImplicitly)) +
           ")";
}

IClipboard& IClipboard::open()
{
    if (fData->isOpen)
        return *this;
    if (!OpenClipboard(fData->owner))
        IThrow::systemError("OpenClipboard", GetLastError(), at("IClipboard::open()", __LINE__));
    fData->openedImplicitly = false;
    fData->isOpen = true;
    return *this;
}

IClipboard& IClipboard::close()
{
    const bool wasOpen = fData->isOpen;
    fData->isOpen = false;
    fData->openedImplicitly = false;
    if (wasOpen && !CloseClipboard())
        IThrow::systemError("CloseClipboard", GetLastError(), at("IClipboard::close()", __LINE__));
    return *this;
}

IBase::Boolean IClipboard::isOpen() const
{
    return fData->isOpen;
}

void IClipboard::openIfClosed()
{
    if (fData->isOpen)
        return;
    open();
    fData->openedImplicitly = true;
}

void IClipboard::closeIfImplicit()
{
    if (fData->openedImplicitly)
        close();
}

// ---------------------------------------------------------------------------------------------
// Putting data

IClipboard& IClipboard::empty()
{
    openIfClosed();
    const BOOL emptied = EmptyClipboard();
    const DWORD error = GetLastError();
    closeIfImplicit();
    if (!emptied)
        IThrow::systemError("EmptyClipboard", error, at("IClipboard::empty()", __LINE__));
    return *this;
}

// Puts what a scope owns: the scope lets it go once the clipboard has taken it, also when the
// closing after SetClipboardData throws, so that it never frees what the clipboard now owns.
template <class Owner, class Put>
void IClipboard::handOver(Owner& owner, Put put)
{
    fData->taken = nullptr;
    try {
        put();
    } catch (...) {
        if (owner && fData->taken == owner.get())
            owner.release();
        throw;
    }
    owner.release();
}

// SetClipboardData answers the handle it was given, so a format put for late rendering (no
// handle) answers 0 on success as well; only the last error tells that apart from a failure.
void IClipboard::putHandle(const char* format, void* handle, Closing closing)
{
    const unsigned int number = formatAsHandle(format);
    SetLastError(0);
    bool done = SetClipboardData(number, handle) != nullptr ||
                (!handle && fData->isOpen && GetLastError() == 0);
    bool openedHere = false;
    if (!done && !fData->isOpen) {
        openIfClosed();
        openedHere = true;
        SetLastError(0);
        done = SetClipboardData(number, handle) != nullptr || (!handle && GetLastError() == 0);
    }
    const DWORD error = GetLastError();
    if (done)
        fData->taken = handle;
    if (closing == Closing::anyImplicit ? fData->openedImplicitly : openedHere)
        close();
    if (done)
        return;
    if (closing == Closing::anyImplicit)
        IThrow::systemError("SetClipboardData", error,
                            at("IClipboard::setData(const char*,const void*,unsigned long)",
                               __LINE__));
    IThrow::systemError("WinSetClipbrdData", error,
                        at("IClipboard::setHandle(const char*,void*)", __LINE__));
}

IClipboard& IClipboard::setData(const char* format, const void* data, unsigned long dataLength)
{
    const char* function = "IClipboard::setData(const char*,const void*,unsigned long)";
    formatAsHandle(format); // an unknown name fails before any block is made
    if (data && dataLength == 0)
        IThrow::argument("dataLength!=0", at(function, __LINE__));
    // The clipboard owns a block only once it has taken it.
    ovk_native::GlobalBlock block(
        data ? GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, SIZE_T(dataLength) + 1) : nullptr);
    if (data) {
        if (!block)
            IThrow::systemError("GlobalAlloc", GetLastError(), at(function, __LINE__));
        const ovk_native::GlobalLockScope lock(block.get());
        auto* bytes = static_cast<char*>(lock.data());
        if (!bytes)
            IThrow::systemError("GlobalLock", GetLastError(), at(function, __LINE__));
        std::memcpy(bytes, data, dataLength);
        bytes[dataLength] = '\0';
    }
    handOver(block, [&] { putHandle(format, block.get(), Closing::anyImplicit); });
    return *this;
}

IClipboard& IClipboard::setHandle(const char* format, void* handle)
{
    putHandle(format, handle, Closing::ownOnly);
    return *this;
}

IClipboard& IClipboard::setText(const char* text)
{
    if (!text)
        IThrow::argument("text!=0", at("IClipboard::setText(const char*)", __LINE__));
    return setData(textFormat, text, static_cast<unsigned long>(std::strlen(text)));
}

IClipboard& IClipboard::setBitmap(const IBitmapHandle& bitmap)
{
    // The copy is ours until the clipboard has taken it.
    ovk_native::Bitmap copy(IGBitmap::copyHandle(bitmap).asValue());
    handOver(copy, [&] { setHandle(bitmapFormat, copy.get()); });
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Getting data

IBase::Boolean IClipboard::hasData(const char* format) const
{
    return IsClipboardFormatAvailable(formatAsHandle(format)) != 0;
}

IBase::Boolean IClipboard::hasText() const
{
    return hasData(textFormat);
}

IBase::Boolean IClipboard::hasBitmap() const
{
    return hasData(bitmapFormat);
}

void* IClipboard::data(const char* format)
{
    const unsigned int number = formatAsHandle(format);
    HANDLE handle = GetClipboardData(number);
    if (!handle && !fData->isOpen) {
        openIfClosed();
        handle = GetClipboardData(number);
        // A failure leaves the clipboard as it found it.
        if (!handle)
            close();
    }
    if (!handle)
        IThrow::message(OVK_MSG_CLIPBOARD_DATA_UNAVAILABLE,
                        at("IClipboard::data(const char*)", __LINE__));
    return handle;
}

IString IClipboard::text()
{
    const char* function = "IClipboard::text()";
    HGLOBAL block = data(textFormat);
    IString result;
    try {
        const ovk_native::GlobalLockScope lock(block);
        const auto* bytes = static_cast<const char*>(lock.data());
        if (!bytes)
            IThrow::systemError("GlobalLock", GetLastError(), at(function, __LINE__));
        // Read within the block: text that another program put may lack its zero.
        const void* zero = std::memchr(bytes, 0, lock.size());
        const std::size_t length =
            zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : lock.size();
        result = IString(bytes, length);
    } catch (...) {
        closeIfImplicit();
        throw;
    }
    closeIfImplicit();
    return result;
}

IBitmapHandle IClipboard::bitmap()
{
    HBITMAP handle = static_cast<HBITMAP>(data(bitmapFormat));
    IBitmapHandle copy;
    try {
        copy = IGBitmap::copyHandle(IBitmapHandle(handle));
    } catch (...) {
        closeIfImplicit();
        throw;
    }
    closeIfImplicit();
    return copy;
}

// ---------------------------------------------------------------------------------------------
// Format names

IClipboard::FormatHandle IClipboard::formatAsHandle(const char* formatName)
{
    const unsigned long number = formatName ? std::strtoul(formatName, nullptr, 10) : 0;
    if (isNumberedFormat(number))
        return FormatHandle(number);
    const FormatHandle registered = formatName ? registerFormat(formatName) : FormatHandle();
    if (!registered)
        IThrow::message(OVK_MSG_CLIPBOARD_FORMAT_HAS_NO_NAME,
                        at("IClipboard::formatAsHandle(const char*)", __LINE__));
    return registered;
}

IClipboard::FormatHandle IClipboard::registerFormat(const char* formatName)
{
    const UINT number = RegisterClipboardFormatA(formatName);
    if (!number)
        IThrow::message(OVK_MSG_CLIPBOARD_FORMAT_NOT_REGISTERED,
                        at("IClipboard::registerFormat(const char*)", __LINE__));
    return FormatHandle(number);
}

IString IClipboard::formatName(const FormatHandle& format)
{
    char name[256] = {};
    if (!GetClipboardFormatNameA(static_cast<UINT>(format.asUnsigned()), name, sizeof name))
        return IClipboardData::publicFormat(format);
    return IString(name);
}

IString IClipboard::format(const Cursor& cursor)
{
    if (!cursor.isValid())
        IThrow::argument("cursor.isValid()",
                         at("IClipboard::format(const IClipboard::Cursor&)", __LINE__));
    return formatName(cursor.formatHandle());
}

IString IClipboardData::publicFormat(const IClipboard::FormatHandle& format)
{
    if (!isPublicFormat(format.asUnsigned()))
        IThrow::message(OVK_MSG_CLIPBOARD_FORMAT_HAS_NO_NAME,
                        at("IClipboardData::publicFormat(const IClipboard::FormatHandle&)",
                           __LINE__));
    return IString(format.asUnsigned());
}

IString IClipboard::primaryFormat()
{
    IClipboard temporary;
    try {
        temporary.open();
    } catch (const ISystemError&) {
        IThrow::message(OVK_MSG_CLIPBOARD_DATA_UNAVAILABLE,
                        at("IClipboard::primaryFormat()", __LINE__));
    }
    Cursor cursor(temporary);
    const IString name = cursor.setToFirst() ? formatName(cursor.formatHandle()) : IString();
    temporary.close();
    return name;
}

unsigned long IClipboard::formatCount()
{
    IClipboard temporary;
    if (!fData->isOpen)
        temporary.openIfClosed();
    unsigned long count = 0;
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
        ++count;
    temporary.closeIfImplicit();
    return count;
}

IWindowHandle IClipboard::owner()
{
    return IWindowHandle(GetClipboardOwner());
}

// ---------------------------------------------------------------------------------------------
// Cursor

IClipboard::Cursor::Cursor(const IClipboard& clipboard) noexcept : fClipboard(clipboard) {}

IClipboard::Cursor::~Cursor() = default;

IString IClipboard::Cursor::asString() const
{
    return IString("IClipboard::Cursor(") + IString(fFormat) + ")";
}

IString IClipboard::Cursor::asDebugInfo() const
{
    return IString("IClipboard::Cursor(format=") + IString(fFormat) +
           ",clipboard=" + fClipboard.asDebugInfo() + ")";
}

IBase::Boolean IClipboard::Cursor::setToFirst()
{
    fFormat = EnumClipboardFormats(0);
    return fFormat != 0;
}

IBase::Boolean IClipboard::Cursor::setToNext()
{
    // The system starts again at the first format when asked for the one after 0: a cursor
    // that has run off the end stays there.
    if (!fFormat)
        return false;
    fFormat = EnumClipboardFormats(static_cast<UINT>(fFormat));
    return fFormat != 0;
}

IBase::Boolean IClipboard::Cursor::isValid() const
{
    return fFormat != 0;
}

void IClipboard::Cursor::invalidate()
{
    fFormat = 0;
}
