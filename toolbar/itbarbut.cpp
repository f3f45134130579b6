// The tool bar button: construction, bitmaps and texts by id, views, transparency and the
// standard format's class-wide values.
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iapp.hpp>
#include <ifont.hpp>
#include <igbitmap.hpp>

#include "detail/itbdata.hpp"
#include "detail/itbstd.hpp"
#include "itbarbut.hpp"

namespace {

const char kFile[] = "itbarbut";

constexpr unsigned long kBitmapView = 0x4;
constexpr unsigned long kTextView = 0x8;
constexpr unsigned long kBitmapAndTextView = 0x10;
constexpr unsigned long kUseIdForBitmap = 0x20;
constexpr unsigned long kUseIdForText = 0x40;
constexpr unsigned long kStandardFormat = 0x80;
constexpr unsigned long kNoDragDelete = 0x100;
constexpr unsigned long kViewBits = kBitmapView | kTextView | kBitmapAndTextView;
// Ids from here up are the library's own resources.
constexpr unsigned long kFirstLibraryId = 0x7000;
constexpr unsigned long kMissingBitmapId = 0x7101;

IResourceLibrary& libraryFor(unsigned long id)
{
    ICurrentApplication& application = IApplication::current();
    return id < kFirstLibraryId ? application.userResourceLibrary()
                                : application.ovkuiResourceLibrary();
}

} // namespace

const IToolBarButton::Style IToolBarButton::bitmapView(0, kBitmapView);
const IToolBarButton::Style IToolBarButton::textView(0, kTextView);
const IToolBarButton::Style IToolBarButton::bitmapAndTextView(0, kBitmapAndTextView);
const IToolBarButton::Style IToolBarButton::useIdForBitmap(0, kUseIdForBitmap);
const IToolBarButton::Style IToolBarButton::useIdForText(0, kUseIdForText);
const IToolBarButton::Style IToolBarButton::standardFormat(0, kStandardFormat);
const IToolBarButton::Style IToolBarButton::noDragDelete(0, kNoDragDelete);
const IToolBarButton::Style IToolBarButton::classDefaultStyle(WS_VISIBLE, 0x8E4);

// Construction ------------------------------------------------------------------------------------

IToolBarButton::IToolBarButton(unsigned long id, IWindow* parent, IWindow* owner,
                               const IRectangle& rect, const Style& style)
    : fToolBarButtonData(nullptr)
{
    static const char signature[] = "IToolBarButton::IToolBarButton(unsigned long,IWindow*,"
                                    "IWindow*,const IRectangle&,const IToolBarButton::Style&)";
    const unsigned long classWord = style.asExtendedUnsignedLong();
    setExtendedStyle(extendedStyle() | classWord);
    const unsigned long views = classWord & kViewBits;
    if (views & (views - 1))
        IThrow::message(OVK_MSG_CONFLICTING_STYLE, IEXCEPTION_LOCATION(kFile, signature));
    if (!parent)
        IThrow::argument("parent!=0", IEXCEPTION_LOCATION(kFile, signature));
    auto data = std::make_unique<IToolBarButtonData>(*this);
    createButtonWindow(id, parent, owner, rect, style);
    fToolBarButtonData = data.release();
    if (hasStandardTransparentColor())
        fToolBarButtonData->transparent = std::make_unique<IColor>(standardTransparentColor());
    fToolBarButtonData->drawHandler.handleEventsFor(this);

    if (classWord & kUseIdForBitmap)
        loadByRule(id, false);
    if (classWord & kUseIdForText)
        setText(libraryFor(id).tryToLoadString(id));
    if (classWord & kStandardFormat) {
        IResourceLock lock(ovk_toolbar::standardLock());
        ovk_toolbar::standardButtons().buttons.push_back(this);
    }
    setFont(IFont("Arial", 9));
}

IToolBarButton::~IToolBarButton()
{
    {
        IResourceLock lock(ovk_toolbar::standardLock());
        std::vector<IToolBarButton*>& buttons = ovk_toolbar::standardButtons().buttons;
        buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
    }
    if (fToolBarButtonData)
        fToolBarButtonData->drawHandler.stopHandlingEventsFor(this);
    delete fToolBarButtonData;
}

IString IToolBarButton::asDebugInfo() const
{
    const bool faceKept = fToolBarButtonData && fToolBarButtonData->face.valid();
    unsigned shared = 0;
    {
        IResourceLock lock(ovk_toolbar::standardLock());
        for (const ovk_native::Bitmap& face : ovk_toolbar::standardButtons().faces)
            shared += face ? 1 : 0;
    }
    return ICustomButton::asDebugInfo() + ",view=" + IString(static_cast<unsigned>(view())) +
           ",cachedFace=" + (faceKept ? "true" : "false") + ",sharedFaces=" + IString(shared);
}

IToolBarButton::Style IToolBarButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IToolBarButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

// Bitmaps -----------------------------------------------------------------------------------------

void IToolBarButton::loadByRule(unsigned long id, bool latched)
{
    IBitmapHandle loaded = libraryFor(id).tryToLoadBitmap(id);
    if (!loaded.isValid())
        loaded = IApplication::current().ovkuiResourceLibrary().tryToLoadBitmap(kMissingBitmapId);
    storeBitmap(loaded, latched);
}

// The graphic shows the bitmap: with the transparent colour, and in the standard format no
// larger than the standard size in either direction.
void IToolBarButton::storeBitmap(const IBitmapHandle& bitmap, bool latched)
{
    IToolBarButtonData& data = *fToolBarButtonData;
    std::unique_ptr<IGBitmap> graphic;
    if (bitmap.isValid()) {
        graphic = std::make_unique<IGBitmap>(bitmap);
        if (isStandardFormat()) {
            const ISize own = graphic->size();
            const ISize standard = standardBitmapSize();
            if (own.width() > standard.width() || own.height() > standard.height())
                graphic->sizeTo(ISize(std::min(own.width(), standard.width()),
                                      std::min(own.height(), standard.height())));
        }
        if (data.transparent)
            graphic->setTransparentColor(*data.transparent);
    }
    (latched ? data.latchedBitmap : data.bitmap) = bitmap;
    (latched ? data.latchedGraphic : data.bitmapGraphic) = std::move(graphic);
    minimumSizeChanged();
}

IToolBarButton& IToolBarButton::setBitmap(const IResourceId& id)
{
    loadByRule(id.id(), false);
    return *this;
}

IToolBarButton& IToolBarButton::setBitmap(const IBitmapHandle& bitmap)
{
    storeBitmap(bitmap, false);
    return *this;
}

IToolBarButton& IToolBarButton::setBitmap(unsigned long id)
{
    storeBitmap(IApplication::current().userResourceLibrary().tryToLoadBitmap(id), false);
    return *this;
}

IToolBarButton& IToolBarButton::setLatchedBitmap(const IResourceId& id)
{
    loadByRule(id.id(), true);
    return *this;
}

IToolBarButton& IToolBarButton::setLatchedBitmap(const IBitmapHandle& bitmap)
{
    storeBitmap(bitmap, true);
    return *this;
}

IToolBarButton& IToolBarButton::setLatchedBitmap(unsigned long id)
{
    storeBitmap(IApplication::current().userResourceLibrary().tryToLoadBitmap(id), true);
    return *this;
}

IBitmapHandle IToolBarButton::bitmap() const
{
    return fToolBarButtonData->bitmap;
}

IBitmapHandle IToolBarButton::latchedBitmap() const
{
    return fToolBarButtonData->latchedBitmap;
}

ISize IToolBarButton::bitmapSize() const
{
    const IGBitmap* graphic = fToolBarButtonData->bitmapGraphic.get();
    return graphic ? graphic->size() : ISize();
}

// Views -------------------------------------------------------------------------------------------

IToolBarButton::View IToolBarButton::view() const
{
    const unsigned long bits = extendedStyle();
    if (!(bits & (kBitmapView | kBitmapAndTextView)))
        return showText;
    return (bits & (kTextView | kBitmapAndTextView)) ? showBitmapAndText : showBitmap;
}

bool IToolBarButton::showsBitmap() const
{
    return view() != showText;
}

bool IToolBarButton::showsText() const
{
    return view() != showBitmap;
}

bool IToolBarButton::isStandardFormat() const
{
    return (extendedStyle() & kStandardFormat) != 0;
}

IToolBarButton& IToolBarButton::setView(View view)
{
    static const unsigned long bits[] = {kBitmapView, kTextView, kBitmapAndTextView};
    const unsigned long current = extendedStyle();
    const unsigned long wanted = (current & ~kViewBits) | bits[view <= showBitmapAndText ? view : showText];
    if (wanted != current)
        setExtendedStyle(wanted);
    minimumSizeChanged();
    return *this;
}

// Transparency ------------------------------------------------------------------------------------

IToolBarButton& IToolBarButton::setTransparentColor(const IColor& color)
{
    IToolBarButtonData& data = *fToolBarButtonData;
    data.transparent = std::make_unique<IColor>(color);
    if (data.bitmapGraphic)
        data.bitmapGraphic->setTransparentColor(color);
    if (data.latchedGraphic)
        data.latchedGraphic->setTransparentColor(color);
    data.face.reset();
    IWindow::refresh();
    return *this;
}

IToolBarButton& IToolBarButton::resetTransparentColor()
{
    IToolBarButtonData& data = *fToolBarButtonData;
    data.transparent.reset();
    if (data.bitmapGraphic)
        data.bitmapGraphic->resetTransparentColor();
    if (data.latchedGraphic)
        data.latchedGraphic->resetTransparentColor();
    data.face.reset();
    IWindow::refresh();
    return *this;
}

IColor IToolBarButton::transparentColor() const
{
    const IColor* color = fToolBarButtonData->transparent.get();
    return color ? *color : IColor(0, 0, 0);
}

IBase::Boolean IToolBarButton::hasTransparentColor() const
{
    return fToolBarButtonData->transparent != nullptr;
}

IToolBarButton& IToolBarButton::enableDragDelete(IBase::Boolean enable)
{
    setExtendedBit(kNoDragDelete, !enable);
    return *this;
}

IToolBarButton& IToolBarButton::disableDragDelete()
{
    return enableDragDelete(false);
}

IBase::Boolean IToolBarButton::isDragDeleteEnabled() const
{
    return (extendedStyle() & kNoDragDelete) == 0;
}

// Minimum size and caches -------------------------------------------------------------------------

void IToolBarButton::minimumSizeChanged()
{
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
}

IWindow& IToolBarButton::setLayoutDistorted(unsigned long layoutAttributeOn,
                                            unsigned long layoutAttributeOff)
{
    if (IToolBarButtonData* data = fToolBarButtonData) {
        if (layoutAttributeOn & ovk_layout::minimumSizeChanged) {
            data->minimumValid = false;
            data->face.reset();
        }
        if (layoutAttributeOn & ovk_layout::colorChanged)
            data->face.reset();
        if ((layoutAttributeOn & ovk_layout::fontChanged) && showsText())
            data->face.reset();
    }
    return ICustomButton::setLayoutDistorted(layoutAttributeOn, layoutAttributeOff);
}

// Drag detection ----------------------------------------------------------------------------------------

IBase::Boolean IToolBarButton::isDragStarting(IEvent& event)
{
    IToolBarButtonData* data = fToolBarButtonData;
    const HWND window = handle();
    if (!data || event.handle() != window)
        return false;
    const POINT point = {GET_X_LPARAM(event.parameter2().asLong()),
                         GET_Y_LPARAM(event.parameter2().asLong())};
    switch (event.eventId()) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        RECT client{};
        GetClientRect(window, &client);
        const HWND holder = GetCapture();
        if (IsWindowEnabled(window) && PtInRect(&client, point) && (!holder || holder == window)) {
            // The native button captures the pointer for a left press by itself; a right press
            // needs the capture here, or a move off the button would never be seen.
            data->dragCaptured = event.eventId() == WM_RBUTTONDOWN && !holder;
            if (data->dragCaptured)
                SetCapture(window);
            data->dragPending = true;
            data->dragStart = point;
            data->dragButton = event.eventId() == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
        }
        return false;
    }
    case WM_MOUSEMOVE:
        // A move without the pressing button held means that its release went to another
        // window (the capture was taken away): that press is over, and no hover starts a drag.
        if (data->dragPending && !(event.parameter1().asUnsignedLong() & data->dragButton)) {
            if (data->dragCaptured && GetCapture() == window)
                ovk_native::releaseCapture();
            data->dragPending = false;
            data->dragCaptured = false;
            return false;
        }
        if (data->dragPending && (std::abs(point.x - data->dragStart.x) > 2 ||
                                  std::abs(point.y - data->dragStart.y) > 2)) {
            // Losing the capture lets the native button come back up, so the release that
            // ends the drag is no click.
            ovk_native::releaseCapture();
            data->dragPending = false;
            data->dragCaptured = false;
            return true;
        }
        return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        // A left release stays the native button's own: taking its capture away first would
        // lose the click it is about to make.
        if (data->dragPending && data->dragCaptured)
            ovk_native::releaseCapture();
        data->dragPending = false;
        data->dragCaptured = false;
        return false;
    default:
        return false;
    }
}

ISize IToolBarButton::calcMinimumSize() const
{
    IToolBarButtonData& data = *fToolBarButtonData;
    if (data.minimumValid)
        return data.minimum;
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    const bool bitmapShown = showsBitmap() && data.bitmapGraphic;
    long width = 0;
    long height = 0;
    if (isStandardFormat()) {
        ISize standard;
        unsigned long textWidth = 0;
        unsigned long textLines = 0;
        {
            IResourceLock lock(ovk_toolbar::standardLock());
            const ovk_toolbar::StandardButtons& state = ovk_toolbar::standardButtons();
            standard = state.bitmapSize;
            textWidth = state.textWidth;
            textLines = state.textLines;
        }
        width = 5 * cx + 2;
        height = 5 * cy + 2;
        if (showsBitmap()) {
            width += standard.width();
            height += standard.height();
        }
        if (showsText()) {
            if (!showsBitmap() || standard.width() < static_cast<long>(textWidth) + 6)
                width = 5 * cx + 8 + static_cast<long>(textWidth);
            height += static_cast<long>(IFont(this).maxCharHeight() * textLines);
        }
    } else {
        const ISize start = showsText() ? ICustomButton::calcMinimumSize() : ISize(5 * cx, 5 * cy);
        width = start.width();
        height = start.height();
        if (bitmapShown) {
            const ISize shown = data.bitmapGraphic->size();
            width = std::max(width, static_cast<long>(shown.width()) + 5 * cx);
            height += shown.height();
        }
    }
    const ISize result(width, height);
    if (data.minimumValid && result != data.minimum)
        data.face.reset();
    data.minimum = result;
    data.minimumValid = true;
    return result;
}

// The standard format's class-wide values ---------------------------------------------------------

ISize IToolBarButton::standardBitmapSize()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    return ovk_toolbar::standardButtons().bitmapSize;
}

void IToolBarButton::setStandardBitmapSize(const ISize& size)
{
    {
        IResourceLock lock(ovk_toolbar::standardLock());
        ovk_toolbar::standardButtons().bitmapSize = size;
        ovk_toolbar::dropSharedFaces(0x7);
    }
    relayoutStandardButtons();
}

unsigned long IToolBarButton::standardTextWidth()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    return ovk_toolbar::standardButtons().textWidth;
}

void IToolBarButton::setStandardTextWidth(unsigned long width)
{
    setStandardTextValue(&ovk_toolbar::StandardButtons::textWidth, width);
}

unsigned long IToolBarButton::standardTextLines()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    return ovk_toolbar::standardButtons().textLines;
}

void IToolBarButton::setStandardTextLines(unsigned long lines)
{
    setStandardTextValue(&ovk_toolbar::StandardButtons::textLines, lines);
}

// The faces that show text depend on the text values; the bitmap face does not.
void IToolBarButton::setStandardTextValue(unsigned long ovk_toolbar::StandardButtons::*value,
                                          unsigned long setting)
{
    {
        IResourceLock lock(ovk_toolbar::standardLock());
        ovk_toolbar::standardButtons().*value = setting;
        ovk_toolbar::dropSharedFaces(1u << showText | 1u << showBitmapAndText);
    }
    relayoutStandardButtons();
}

void IToolBarButton::setStandardTransparentColor(const IColor& color)
{
    IResourceLock lock(ovk_toolbar::standardLock());
    ovk_toolbar::standardButtons().transparentColor = color;
    ovk_toolbar::standardButtons().hasTransparentColor = true;
}

void IToolBarButton::resetStandardTransparentColor()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    ovk_toolbar::standardButtons().hasTransparentColor = false;
}

IBase::Boolean IToolBarButton::hasStandardTransparentColor()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    return ovk_toolbar::standardButtons().hasTransparentColor;
}

IColor IToolBarButton::standardTransparentColor()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    const ovk_toolbar::StandardButtons& state = ovk_toolbar::standardButtons();
    return state.hasTransparentColor ? state.transparentColor : IColor(0, 0, 0);
}

// Every standard-format button takes the new cell size; the lock is held for the whole walk, so
// that no button leaves the set under it.
void IToolBarButton::relayoutStandardButtons()
{
    IResourceLock lock(ovk_toolbar::standardLock());
    for (IToolBarButton* button : ovk_toolbar::standardButtons().buttons)
        button->minimumSizeChanged();
}
