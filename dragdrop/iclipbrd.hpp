// IClipboard: the system clipboard, with formats named by text and data put and taken as memory
// blocks, handles, text and bitmaps.
#pragma once

#include <istring.hpp>
#include <ivbase.hpp>

#include <ibmphdl.hpp>
#include <idefs.hpp>
#include <ihandle.hpp>

// Format names follow one rule: a predefined format (1 to 14, 128 to 131, 142), a private format
// (512 to 767) or a GDI-object format (768 to 1023) is named by its decimal number; any other
// name is registered. So a predefined format is named by its number and a registered one by its
// registered name, and names and numbers round-trip.
//
// A clipboard object is closed when made. Every data operation works on a closed clipboard by
// opening it for itself ("opened implicitly"); empty, setData, text, bitmap and formatCount
// close what they or an earlier data() opened so, setHandle closes only what it opened itself,
// and data() never closes, so that the handle it answers stays usable until the next of them.
class OVKWIN_API IClipboard : public IVBase {
public:
    // One clipboard format number.
    class OVKWIN_API FormatHandle {
    public:
        constexpr explicit FormatHandle(unsigned long format = 0) noexcept : fFormat(format) {}
        constexpr unsigned long asUnsigned() const noexcept { return fFormat; }
        constexpr operator unsigned long() const noexcept { return fFormat; }

    private:
        unsigned long fFormat;
    };

    // The formats on the clipboard, in the clipboard's order. The clipboard must be open; the
    // cursor does not open it.
    class OVKWIN_API Cursor : public IVBase {
    public:
        explicit Cursor(const IClipboard& clipboard) noexcept;
        ~Cursor() override;
        IString asString() const override;
        IString asDebugInfo() const override;

        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();

        FormatHandle formatHandle() const noexcept { return FormatHandle(fFormat); }

    private:
        unsigned long fFormat = 0;
        const IClipboard& fClipboard;
    };

    // The predefined formats, by their names.
    static const char* const textFormat;
    static const char* const displayTextFormat;
    static const char* const bitmapFormat;
    static const char* const displayBitmapFormat;
    static const char* const enhancedMetafileFormat;
    static const char* const displayEnhancedMetafileFormat;
    static const char* const paletteFormat;

    // The window that owns what this object puts on the clipboard; it must be a window.
    explicit IClipboard(const IWindowHandle& clipboardWindow);
    // A clipboard without owner window, for short looks at the clipboard.
    IClipboard();
    IClipboard(const IClipboard&) = delete;
    IClipboard& operator=(const IClipboard&) = delete;
    // Closes an open clipboard; never throws.
    ~IClipboard() override;

    IString asString() const override;
    IString asDebugInfo() const override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual IClipboard& open();
    virtual IClipboard& close();
    virtual IClipboard& empty();
    virtual IBase::Boolean isOpen() const;
    // Stores the text with its terminating zero.
    virtual IClipboard& setText(const char* text);
    // Puts a copy of the bitmap on the clipboard; the caller keeps its own.
    virtual IClipboard& setBitmap(const IBitmapHandle& bitmap);
    // Copies the bytes into a new block (one zero byte after them) that the clipboard owns. Null
    // data puts no block: the owner window renders the format later (IClipboardHandler).
    virtual IClipboard& setData(const char* format, const void* data, unsigned long dataLength);
    // Hands a native handle (a block, a bitmap, a palette) to the clipboard, which owns it.
    virtual IClipboard& setHandle(const char* format, void* handle);
    virtual IBase::Boolean hasText() const;
    virtual IBase::Boolean hasBitmap() const;
    virtual IBase::Boolean hasData(const char* format) const;
    // The text, read within its block: text from another program may lack its zero.
    virtual IString text();
    // A copy of the clipboard's bitmap, which the caller owns and deletes; the clipboard's stays
    // the clipboard's.
    virtual IBitmapHandle bitmap();
    // The clipboard's handle of the format (message 255 when there is none). A clipboard that
    // this opened stays open, so that the handle stays usable.
    virtual void* data(const char* format);

    static FormatHandle formatAsHandle(const char* formatName);
    static FormatHandle registerFormat(const char* formatName);
    // The name of a format: its registered name, else its public (decimal) name.
    static IString formatName(const FormatHandle& format);
    static IString format(const Cursor& cursor);
    // The name of the first format on the clipboard; empty when it is empty.
    static IString primaryFormat();
    unsigned long formatCount();
    static IWindowHandle owner();

private:
    // Opens through the virtual open and marks the clipboard as opened implicitly.
    void openIfClosed();
    // Closes when the clipboard was opened implicitly.
    void closeIfImplicit();
    // setData closes whatever was opened implicitly (also by an earlier data()), setHandle only
    // what it opened itself; each names its own failure.
    enum class Closing { anyImplicit, ownOnly };
    void putHandle(const char* format, void* handle, Closing closing);
    template <class Owner, class Put>
    void handOver(Owner& owner, Put put);

    struct Data;
    Data* fData;
};

// Static helpers of clipboard data.
class OVKWIN_API IClipboardData {
public:
    // The decimal name of a predefined format; message 257 for any other number.
    static IString publicFormat(const IClipboard::FormatHandle& format);
};
