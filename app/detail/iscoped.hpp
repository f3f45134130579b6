// Native handles owned by a scope: device contexts of a window or of the screen, memory device
// contexts, GDI objects of any kind, menus, the bitmaps of an icon, an object selected into a
// context, paint and mouse capture, global memory blocks and their locks, kernel handles, and
// references on COM objects.
// Each gives its handle back on every way out of the scope, a throw included, and is the one
// place in the library that releases such a handle; none converts to its raw handle on its own.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace ovk_native {

// A GDI object (bitmap, brush, font, pen, palette, region) deleted with the scope unless it was
// handed on with release(). It must not be selected into a context when it is deleted: declare
// the Selection that selects it after it, so that the selection is undone first.
template <class Handle>
class GdiObject {
public:
    GdiObject() noexcept = default;
    explicit GdiObject(Handle handle) noexcept : fHandle(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : fHandle(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const noexcept { return fHandle; }
    explicit operator bool() const noexcept { return fHandle != nullptr; }
    // Hands the object on: the scope no longer deletes it.
    Handle release() noexcept { return std::exchange(fHandle, nullptr); }
    // Deletes the object held (if any) and holds another.
    void reset(Handle handle = nullptr) noexcept
    {
        if (fHandle != nullptr && fHandle != handle)
            DeleteObject(fHandle);
        fHandle = handle;
    }
    // Deletes the object now: false when the system refuses (an object still selected).
    bool destroy() noexcept
    {
        const bool ok = fHandle == nullptr || DeleteObject(fHandle) != 0;
        fHandle = nullptr;
        return ok;
    }

private:
    Handle fHandle = nullptr;
};

// Deletes an object that a class keeps as a plain member (its header does without this one) and
// clears the member, through the same owner as every other.
template <class Handle>
void dispose(Handle& member) noexcept
{
    GdiObject<Handle> owner(member);
    member = nullptr;
}

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Palette = GdiObject<HPALETTE>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// An icon or cursor made for the library (not a shared system one), destroyed with the scope.
class Icon {
public:
    explicit Icon(HICON icon) noexcept : fIcon(icon) {}
    ~Icon() { destroy(); }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    HICON get() const noexcept { return fIcon; }
    // Hands the icon on: the scope no longer destroys it.
    HICON release() noexcept { return std::exchange(fIcon, nullptr); }

    // Destroys the icon now: false when the system refuses.
    bool destroy() noexcept
    {
        const bool ok = fIcon == nullptr || DestroyIcon(fIcon) != 0;
        fIcon = nullptr;
        return ok;
    }

private:
    HICON fIcon;
};

// A menu made or loaded for the caller, destroyed with its sub-menus with the scope unless it
// was handed on with release() (to a window, or as another menu's cascade).
class Menu {
public:
    explicit Menu(HMENU menu) noexcept : fMenu(menu) {}
    ~Menu()
    {
        if (fMenu)
            DestroyMenu(fMenu);
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    HMENU get() const noexcept { return fMenu; }
    HMENU release() noexcept { return std::exchange(fMenu, nullptr); }

private:
    HMENU fMenu;
};

// The parts of an icon that GetIconInfo hands out: both bitmaps belong to the caller and are
// deleted with the scope.
class IconInfo {
public:
    explicit IconInfo(HICON icon) noexcept : fValid(icon != nullptr && GetIconInfo(icon, &fInfo)) {}
    ~IconInfo()
    {
        dispose(fInfo.hbmMask);
        dispose(fInfo.hbmColor);
    }
    IconInfo(const IconInfo&) = delete;
    IconInfo& operator=(const IconInfo&) = delete;

    // Whether GetIconInfo answered (GetLastError tells why not).
    explicit operator bool() const noexcept { return fValid; }
    const ICONINFO& info() const noexcept { return fInfo; }

private:
    ICONINFO fInfo{};
    bool fValid;
};

// The device context of a window (or, for a null window, of the screen), released with the
// scope to the window it came from.
class WindowDC {
public:
    // The client area's context, or the whole window's, frame included.
    enum Area { client, whole };
    explicit WindowDC(HWND window, Area area = client) noexcept
        : fWindow(window), fDC(area == whole ? GetWindowDC(window) : GetDC(window))
    {
    }
    ~WindowDC()
    {
        if (fDC != nullptr)
            ReleaseDC(fWindow, fDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return fDC; }
    explicit operator bool() const noexcept { return fDC != nullptr; }
    // Gives the context back now: false when the system refuses.
    bool close() noexcept
    {
        const bool ok = fDC == nullptr || ReleaseDC(fWindow, fDC) != 0;
        fDC = nullptr;
        return ok;
    }
    // Hands the context on (to an object that gives it back with closeWindowDC).
    HDC release() noexcept { return std::exchange(fDC, nullptr); }

private:
    HWND fWindow;
    HDC fDC;
};

// A memory device context compatible with another (or with the screen, for null), deleted with
// the scope.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) noexcept : fDC(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (fDC != nullptr)
            DeleteDC(fDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const noexcept { return fDC; }
    explicit operator bool() const noexcept { return fDC != nullptr; }
    // Hands the context on (to an object that deletes it with closeMemoryDC).
    HDC release() noexcept { return std::exchange(fDC, nullptr); }

private:
    HDC fDC;
};

// For a class that keeps a context as a plain member, handed on by a scope above: gives it back
// and clears the member.
inline bool closeWindowDC(HWND window, HDC& member) noexcept
{
    const bool ok = member == nullptr || ReleaseDC(window, member) != 0;
    member = nullptr;
    return ok;
}
inline void closeMemoryDC(HDC& member) noexcept
{
    if (member != nullptr)
        DeleteDC(member);
    member = nullptr;
}

// The objects that a long-lived context keeps selected (a pen, a brush, a bitmap), one slot for
// each kind: the first selection keeps the context's own object, each later one deletes the
// previous object of ours, and restore puts the context's own back and deletes ours.
class LastingSelection {
public:
    void select(HDC context, HGDIOBJ object) noexcept
    {
        HGDIOBJ replaced = SelectObject(context, object);
        if (fOriginal == nullptr)
            fOriginal = replaced;
        else if (replaced != nullptr && replaced != fOriginal && replaced != object)
            DeleteObject(replaced);
        fCurrent = object;
    }
    // Puts the context's own object back; ours is deleted unless kept (an object that another
    // owner deletes).
    void restore(HDC context, bool keepOurs = false) noexcept
    {
        if (fOriginal == nullptr)
            return;
        HGDIOBJ ours = SelectObject(context, fOriginal);
        if (!keepOurs && ours != nullptr && ours != fOriginal)
            DeleteObject(ours);
        fOriginal = nullptr;
        fCurrent = nullptr;
    }
    HGDIOBJ current() const noexcept { return fCurrent; }
    bool active() const noexcept { return fOriginal != nullptr; }

private:
    HGDIOBJ fOriginal = nullptr;
    HGDIOBJ fCurrent = nullptr;
};

// An object selected into a context for the scope: the object it replaced goes back at the end,
// so the context can be deleted and the object deleted or selected elsewhere.
class Selection {
public:
    Selection(HDC context, HGDIOBJ object) noexcept
        : fContext(context), fOld(context != nullptr && object != nullptr
                                      ? SelectObject(context, object)
                                      : nullptr)
    {
    }
    ~Selection()
    {
        if (fOld != nullptr && fOld != HGDI_ERROR)
            SelectObject(fContext, fOld);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    // Whether the object went in.
    explicit operator bool() const noexcept { return fOld != nullptr && fOld != HGDI_ERROR; }

private:
    HDC fContext;
    HGDIOBJ fOld;
};

// A palette selected into a context for the scope (and realised there when asked), the one it
// replaced put back (and realised) at the end. A null palette selects nothing.
class PaletteSelection {
public:
    PaletteSelection(HDC context, HPALETTE palette, bool realize = true) noexcept
        : fContext(context), fRealize(realize),
          fOld(context != nullptr && palette != nullptr ? SelectPalette(context, palette, FALSE)
                                                        : nullptr)
    {
        if (fOld != nullptr && fRealize)
            RealizePalette(context);
    }
    ~PaletteSelection()
    {
        if (fOld == nullptr)
            return;
        SelectPalette(fContext, fOld, FALSE);
        if (fRealize)
            RealizePalette(fContext);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

private:
    HDC fContext;
    bool fRealize;
    HPALETTE fOld;
};

// BeginPaint and EndPaint of a window for the scope.
class Paint {
public:
    explicit Paint(HWND window) noexcept : fWindow(window), fDC(BeginPaint(window, &fPaint)) {}
    ~Paint()
    {
        if (fDC != nullptr)
            EndPaint(fWindow, &fPaint);
    }
    Paint(const Paint&) = delete;
    Paint& operator=(const Paint&) = delete;

    HDC get() const noexcept { return fDC; }
    const PAINTSTRUCT& info() const noexcept { return fPaint; }

private:
    HWND fWindow;
    PAINTSTRUCT fPaint{};
    HDC fDC;
};

// The mouse captured by a window for the scope (or until released).
class Capture {
public:
    explicit Capture(HWND window) noexcept : fHeld(window != nullptr)
    {
        if (fHeld)
            SetCapture(window);
    }
    ~Capture() { release(); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    void release() noexcept
    {
        if (fHeld)
            ReleaseCapture();
        fHeld = false;
    }

private:
    bool fHeld;
};

// A global memory block freed with the scope unless it was handed on with release() (to the
// clipboard, or to a medium another program frees).
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL block = nullptr) noexcept : fBlock(block) {}
    ~GlobalBlock()
    {
        if (fBlock != nullptr)
            GlobalFree(fBlock);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL get() const noexcept { return fBlock; }
    explicit operator bool() const noexcept { return fBlock != nullptr; }
    HGLOBAL release() noexcept { return std::exchange(fBlock, nullptr); }

private:
    HGLOBAL fBlock;
};

// A global memory block locked for the scope, with its size: data() is null when the lock
// failed (GetLastError tells why).
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) noexcept
        : fBlock(block), fData(block != nullptr ? GlobalLock(block) : nullptr),
          fSize(fData != nullptr ? GlobalSize(block) : 0)
    {
    }
    ~GlobalLockScope()
    {
        if (fData != nullptr)
            GlobalUnlock(fBlock);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    void* data() const noexcept { return fData; }
    SIZE_T size() const noexcept { return fSize; }

private:
    HGLOBAL fBlock;
    void* fData;
    SIZE_T fSize;
};

// Kernel handles (threads, events, processes) closed with the scope. They lie side by side so
// that WaitForMultipleObjects can take them as one array.
class KernelHandles {
public:
    KernelHandles() = default;
    ~KernelHandles()
    {
        for (HANDLE handle : fHandles)
            CloseHandle(handle);
    }
    KernelHandles(const KernelHandles&) = delete;
    KernelHandles& operator=(const KernelHandles&) = delete;

    // Takes the handle over. Should the list fail to grow, the handle is closed before the
    // failure goes on, so that nothing handed out is lost.
    void add(HANDLE handle)
    {
        try {
            fHandles.push_back(handle);
        } catch (...) {
            CloseHandle(handle);
            throw;
        }
    }

    const HANDLE* data() const noexcept { return fHandles.data(); }
    std::size_t size() const noexcept { return fHandles.size(); }
    bool empty() const noexcept { return fHandles.empty(); }

private:
    std::vector<HANDLE> fHandles;
};

// One reference on a COM object, released with the scope: one that a call handed out (taken
// over by the constructor or through put()), or one asked of an object with query().
template <class Interface>
class ComReference {
public:
    ComReference() noexcept = default;
    explicit ComReference(Interface* handedOut) noexcept : fObject(handedOut) {}
    ~ComReference() { reset(); }
    ComReference(ComReference&& other) noexcept : fObject(other.release()) {}
    ComReference& operator=(ComReference&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* get() const noexcept { return fObject; }
    Interface* operator->() const noexcept { return fObject; }
    explicit operator bool() const noexcept { return fObject != nullptr; }

    // The slot that a call handing out a reference fills; what was held is released first.
    Interface** put() noexcept
    {
        reset();
        return &fObject;
    }
    // Asks the object for the interface (one more reference on it): false when it has none. A
    // new object of ours counted from 0 is held this way.
    bool query(IUnknown* object, REFIID id) noexcept
    {
        reset();
        return object != nullptr &&
               SUCCEEDED(object->QueryInterface(id, reinterpret_cast<void**>(&fObject))) &&
               fObject != nullptr;
    }
    // Hands the reference on: the scope no longer releases it.
    Interface* release() noexcept { return std::exchange(fObject, nullptr); }
    // Releases the reference held (if any) and holds another.
    void reset(Interface* other = nullptr) noexcept
    {
        if (fObject != nullptr)
            fObject->Release();
        fObject = other;
    }

private:
    Interface* fObject = nullptr;
};

// Gives up the mouse capture, whoever holds it: the one release of a capture that no scope of
// ours took (a window's own capture, ended on a message).
inline void releaseCapture() noexcept { ReleaseCapture(); }

}  // namespace ovk_native
