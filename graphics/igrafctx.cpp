// IGraphicContext: construction, attributes, fonts, clipping, transforms and the bounds and
// hit-testing states. The draw operations are in igrafctx2.cpp.
#include "igrafctx.hpp"

#include <windows.h>

#include <detail/iscoped.hpp>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <icoordsy.hpp>
#include <ifont.hpp>
#include <ipainevt.hpp>

#include "detail/igcdata.hpp"
#include "detail/igeometry.hpp"

namespace {

// The library-wide defaults. The colours are constant-initialised, so they exist before any
// code of an application runs.
IColor gDefaultPenColor(IColor::black);
IColor gDefaultFillColor(IColor::black);
IColor gDefaultBackgroundColor(IColor::white);
IGraphicBundle::DrawOperation gDefaultDrawOperation = IGraphicBundle::fillAndFrame;
IGraphicBundle::MixMode gDefaultMixMode = IGraphicBundle::copyPen;
IGraphicBundle::BackgroundMixMode gDefaultBackgroundMixMode = IGraphicBundle::transparent;
unsigned long gDefaultPenWidth = 1;
IGraphicBundle::PenType gDefaultPenType = IGraphicBundle::solid;
IGraphicBundle::PenEnding gDefaultPenEnding = IGraphicBundle::flat;
IGraphicBundle::PenJoining gDefaultPenJoining = IGraphicBundle::bevel;
long gDefaultPenPattern = -3;
long gDefaultFillPattern = -3;
IPoint gDefaultPatternOrigin;

constexpr int kRop2[16] = {R2_MERGEPEN,   R2_COPYPEN,    R2_XORPEN,      R2_NOP,
                           R2_MASKPEN,    R2_MASKNOTPEN, R2_MERGEPENNOT, R2_BLACK,
                           R2_NOTMERGEPEN, R2_NOTXORPEN, R2_NOT,         R2_MASKPENNOT,
                           R2_NOTCOPYPEN, R2_MERGENOTPEN, R2_NOTMASKPEN, R2_WHITE};
constexpr int kMapModes[7] = {MM_TEXT,     MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH,
                              MM_HIENGLISH, MM_TWIPS,   MM_ISOTROPIC};

[[noreturn]] void throwSystemError(const char* call, const char* function)
{
    IThrow::systemError(call, GetLastError(), IEXCEPTION_LOCATION("igrafctx", function));
}

} // namespace

// Construction -------------------------------------------------------------------------------

IGraphicContext::IGraphicContext(const ISize& size) : fOwnership(createdContext)
{
    static const char function[] = "IGraphicContext::IGraphicContext(const ISize&)";
    // Each native object is owned by a scope until the context is complete, so a failure on
    // the way leaks none of them.
    ovk_native::MemoryDC context(nullptr);
    if (!context)
        throwSystemError("CreateCompatibleDC", function);
    ovk_native::Bitmap bitmap;
    DWORD error = 0;
    {
        ovk_native::WindowDC screen(GetDesktopWindow());
        bitmap.reset(CreateCompatibleBitmap(screen.get(), size.width(), size.height()));
        error = GetLastError();
    }
    if (!bitmap)
        IThrow::systemError("CreateCompatibleBitmap", error,
                            IEXCEPTION_LOCATION("igrafctx", function));
    fHandle = context.get();
    initialize();
    fData->fBitmap.select(fHandle, bitmap.get());
    fHandle = context.release();
    fOffScreenBitmap = bitmap.release();
}

IGraphicContext::IGraphicContext(const IWindowHandle& window) : fOwnership(windowContext)
{
    ovk_native::WindowDC context(window);
    if (!context)
        throwSystemError("GetDC", "IGraphicContext::IGraphicContext(const IWindowHandle&)");
    fHandle = context.get();
    initialize();
    fData->fWindow = window;
    fHandle = context.release();
}

IGraphicContext::IGraphicContext(const IPresSpaceHandle& context)
    : fHandle(context), fOwnership(borrowedContext)
{
    initialize();
}

IGraphicContext::IGraphicContext(IPaintEvent& event)
    : fHandle(event.presSpaceHandle()), fOwnership(borrowedContext)
{
    initialize();
}

IGraphicContext::IGraphicContext() : fOwnership(createdContext)
{
    // Checked, unlike the platform's habit here: a context over no device context would fail
    // every later call in ways far from the cause.
    ovk_native::MemoryDC context(nullptr);
    if (!context)
        throwSystemError("CreateCompatibleDC", "IGraphicContext::IGraphicContext()");
    fHandle = context.get();
    initialize();
    fHandle = context.release();
}

void IGraphicContext::initialize()
{
    fSpareColor = gDefaultFillColor;
    fSparePattern = gDefaultFillPattern;
    fSpareOperation = gDefaultDrawOperation;
    fData = std::make_unique<IGCData>();
    try {
        setBackgroundMixMode(gDefaultBackgroundMixMode);
        setPatternOrigin(gDefaultPatternOrigin);
        fData->createPen(fHandle);
        fData->createBrush(fHandle);
    } catch (...) {
        fData->restoreOriginals(fHandle);
        fData.reset();
        throw;
    }
    fData->fAdvancedMode = SetGraphicsMode(fHandle, GM_ADVANCED);
}

IGraphicContext::~IGraphicContext()
{
    if (fData)
        fData->restoreOriginals(fHandle);
    if (fCurrentFont) {
        try {
            fCurrentFont->endUsingFont(fHandle);
        } catch (...) {
            // The device context goes away with its font selection; nothing more to undo.
        }
        fCurrentFont.reset();
    }
    if (fData)
        fData->fBitmap.restore(fHandle, true);
    ovk_native::dispose(fOffScreenBitmap);
    HDC handle = fHandle;
    if (fOwnership == createdContext)
        ovk_native::closeMemoryDC(handle);
    else if (fOwnership == windowContext && fData)
        ovk_native::closeWindowDC(fData->fWindow, handle);
}

// Mapping ------------------------------------------------------------------------------------

IGraphicContext& IGraphicContext::setMappingMode(MappingMode mode)
{
    IARGUMENT_CHECK(mode <= isotropic, "igrafctx",
                    "IGraphicContext::setMappingMode(IGraphicContext::MappingMode)");
    if (!SetMapMode(fHandle, kMapModes[mode]))
        throwSystemError("SetMapMode",
                         "IGraphicContext::setMappingMode(IGraphicContext::MappingMode)");
    return *this;
}

IGraphicContext::MappingMode IGraphicContext::mappingMode() const
{
    const int native = GetMapMode(fHandle);
    for (int i = 0; i < 7; ++i) {
        if (kMapModes[i] == native)
            return static_cast<MappingMode>(i);
    }
    return text;
}

IGraphicContext& IGraphicContext::setWindowExtent(const ISize& extent)
{
    SetWindowExtEx(fHandle, extent.width(), extent.height(), nullptr);
    return *this;
}

ISize IGraphicContext::windowExtent() const
{
    SIZE size{};
    GetWindowExtEx(fHandle, &size);
    return ISize(size.cx, size.cy);
}

IGraphicContext& IGraphicContext::setViewportExtent(const IRectangle& extent)
{
    SetViewportExtEx(fHandle, extent.width(), extent.height(), nullptr);
    return *this;
}

IRectangle IGraphicContext::viewportExtent() const
{
    SIZE size{};
    GetViewportExtEx(fHandle, &size);
    return IRectangle(IPoint(0, 0), IPoint(size.cx, size.cy));
}

// Attributes ---------------------------------------------------------------------------------

IGraphicContext& IGraphicContext::setGraphicBundle(const IGraphicBundle& bundle)
{
    struct Deferral {
        IGCData& data;
        explicit Deferral(IGCData& d) : data(d) { data.fDeferred = true; }
        ~Deferral() { data.fDeferred = false; }
    };
    {
        Deferral deferral(*fData);
        if (bundle.hasAttribute(IGraphicBundle::penColorAttribute))
            setPenColor(bundle.penColor());
        if (bundle.hasAttribute(IGraphicBundle::fillColorAttribute))
            setFillColor(bundle.fillColor());
        if (bundle.hasAttribute(IGraphicBundle::backgroundColorAttribute))
            setBackgroundColor(bundle.backgroundColor());
        if (bundle.hasAttribute(IGraphicBundle::drawOperationAttribute))
            setDrawOperation(bundle.drawOperation());
        if (bundle.hasAttribute(IGraphicBundle::mixModeAttribute))
            setMixMode(bundle.mixMode());
        if (bundle.hasAttribute(IGraphicBundle::backgroundMixModeAttribute))
            setBackgroundMixMode(bundle.backgroundMixMode());
        if (bundle.hasAttribute(IGraphicBundle::penTypeAttribute))
            setPenType(bundle.penType());
        if (bundle.hasAttribute(IGraphicBundle::penEndingAttribute))
            setPenEnding(bundle.penEnding());
        if (bundle.hasAttribute(IGraphicBundle::penJoiningAttribute))
            setPenJoining(bundle.penJoining());
        if (bundle.hasAttribute(IGraphicBundle::penWidthAttribute))
            setPenWidth(bundle.penWidth());
        if (bundle.hasAttribute(IGraphicBundle::penPatternAttribute))
            setPenPattern(bundle.penPattern());
        if (bundle.hasAttribute(IGraphicBundle::fillPatternAttribute))
            setFillPattern(bundle.fillPattern());
        if (bundle.hasAttribute(IGraphicBundle::patternOriginAttribute))
            setPatternOrigin(bundle.patternOrigin());
    }
    fData->createPen(fHandle);
    fData->createBrush(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setPenColor(const IColor& color)
{
    fData->fPenColor = color;
    fData->createPen(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setBackgroundColor(const IColor& color)
{
    SetBkColor(fHandle, ovk_graphics::paletteRelative(color));
    return *this;
}

IGraphicContext& IGraphicContext::setFillColor(const IColor& color)
{
    fData->fFillColor = color;
    fData->createBrush(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setDrawOperation(IGraphicBundle::DrawOperation operation)
{
    fData->fDrawOperation = operation;
    return *this;
}

IGraphicContext& IGraphicContext::setMixMode(IGraphicBundle::MixMode mode)
{
    IARGUMENT_CHECK(mode <= IGraphicBundle::white, "igrafctx",
                    "IGraphicContext::setMixMode(IGraphicBundle::MixMode)");
    if (!SetROP2(fHandle, kRop2[mode]))
        throwSystemError("SetROP2", "IGraphicContext::setMixMode(IGraphicBundle::MixMode)");
    return *this;
}

IGraphicContext& IGraphicContext::setBackgroundMixMode(IGraphicBundle::BackgroundMixMode mode)
{
    if (!SetBkMode(fHandle, mode == IGraphicBundle::opaque ? OPAQUE : TRANSPARENT))
        throwSystemError("SetBkMode", "IGraphicContext::setBackgroundMixMode(IGraphicBundle::"
                                      "BackgroundMixMode)");
    return *this;
}

IGraphicContext& IGraphicContext::setPenType(IGraphicBundle::PenType type)
{
    fData->fPenType = type;
    fData->createPen(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setPenEnding(IGraphicBundle::PenEnding ending)
{
    fData->fPenEnding = ending;
    fData->createPen(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setPenJoining(IGraphicBundle::PenJoining joining)
{
    fData->fPenJoining = joining;
    fData->createPen(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setPenWidth(unsigned long width)
{
    fData->fPenWidth = width;
    fData->createPen(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setPenPattern(long pattern)
{
    fData->fPenPattern = pattern;
    fData->createPen(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setFillPattern(long pattern)
{
    fData->fFillPattern = pattern;
    fData->createBrush(fHandle);
    return *this;
}

IGraphicContext& IGraphicContext::setPatternOrigin(const IPoint& origin)
{
    SetBrushOrgEx(fHandle, origin.x(), origin.y(), nullptr);
    return *this;
}

IGraphicBundle IGraphicContext::graphicBundle() const { return IGraphicBundle(*this); }
IColor IGraphicContext::penColor() const { return fData->fPenColor; }
IColor IGraphicContext::fillColor() const { return fData->fFillColor; }

IColor IGraphicContext::backgroundColor() const
{
    const COLORREF color = GetBkColor(fHandle);
    if (color == CLR_INVALID)
        throwSystemError("GetBkColor", "IGraphicContext::backgroundColor() const");
    return IColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

IGraphicBundle::DrawOperation IGraphicContext::drawOperation() const
{
    return fData->fDrawOperation;
}

IGraphicBundle::MixMode IGraphicContext::mixMode() const
{
    const int native = GetROP2(fHandle);
    if (!native)
        throwSystemError("GetROP2", "IGraphicContext::mixMode() const");
    for (int i = 0; i < 16; ++i) {
        if (kRop2[i] == native)
            return static_cast<IGraphicBundle::MixMode>(i);
    }
    return IGraphicBundle::copyPen;
}

IGraphicBundle::BackgroundMixMode IGraphicContext::backgroundMixMode() const
{
    return GetBkMode(fHandle) == OPAQUE ? IGraphicBundle::opaque : IGraphicBundle::transparent;
}

IGraphicBundle::PenType IGraphicContext::penType() const { return fData->fPenType; }
IGraphicBundle::PenEnding IGraphicContext::penEnding() const { return fData->fPenEnding; }
IGraphicBundle::PenJoining IGraphicContext::penJoining() const { return fData->fPenJoining; }
unsigned long IGraphicContext::penWidth() const { return fData->fPenWidth; }
long IGraphicContext::penPattern() const { return fData->fPenPattern; }
long IGraphicContext::fillPattern() const { return fData->fFillPattern; }

IPoint IGraphicContext::patternOrigin() const
{
    POINT origin{};
    if (!GetBrushOrgEx(fHandle, &origin))
        throwSystemError("GetBrushOrgEx", "IGraphicContext::patternOrigin() const");
    return IPoint(origin.x, origin.y);
}

// Fonts --------------------------------------------------------------------------------------

IGraphicContext& IGraphicContext::setCurrentFont(const IFont& font)
{
    auto copy = std::make_unique<IFont>(font);
    resetCurrentFont();
    copy->beginUsingFont(fHandle);
    fCurrentFont = std::move(copy);
    return *this;
}

IGraphicContext& IGraphicContext::resetCurrentFont()
{
    if (fCurrentFont) {
        fCurrentFont->endUsingFont(fHandle);
        fCurrentFont.reset();
    }
    return *this;
}

IFont IGraphicContext::currentFont() const
{
    return fCurrentFont ? IFont(*fCurrentFont) : IFont(fHandle);
}

IBase::Boolean IGraphicContext::hasNonDefaultCharSet() const
{
    TEXTMETRICA metrics{};
    GetTextMetricsA(fHandle, &metrics);
    return metrics.tmCharSet != DEFAULT_CHARSET;
}

// Clipping -----------------------------------------------------------------------------------

IGraphicContext& IGraphicContext::clearClipRegion()
{
    if (SelectClipRgn(fHandle, nullptr) == ERROR)
        throwSystemError("SelectClipRgn", "IGraphicContext::clearClipRegion()");
    return *this;
}

IGraphicContext& IGraphicContext::setClipRegion(const IRegionHandle& region)
{
    if (SelectClipRgn(fHandle, region) == ERROR)
        throwSystemError("SelectClipRgn", "IGraphicContext::setClipRegion(const IRegionHandle&)");
    return *this;
}

IRegionHandle IGraphicContext::clipRegion() const
{
    if (IPlatform::isPlatformVariant())
        IThrow::message(73, IEXCEPTION_LOCATION("igrafctx", "IGraphicContext::clipRegion() const"),
                        IException::recoverable);
    ovk_native::Region region(CreateRectRgn(0, 0, 0, 0));
    const int result = GetClipRgn(fHandle, region.get());
    if (result == 1)
        return region.release();
    const DWORD error = GetLastError();
    region.reset();
    if (result == -1)
        IThrow::systemError("GetClipRgn", error,
                            IEXCEPTION_LOCATION("igrafctx", "IGraphicContext::clipRegion() const"));
    return IRegionHandle();
}

// World transform ----------------------------------------------------------------------------

IGraphicContext& IGraphicContext::setWorldTransform(const ITransformMatrix& matrix,
                                                    char transformMode)
{
    if (fData->fAdvancedMode) {
        const XFORM form = matrix.xform();
        if (transformMode == 0)
            SetWorldTransform(fHandle, &form);
        else
            ModifyWorldTransform(fHandle, &form,
                                 transformMode == 1 ? MWT_RIGHTMULTIPLY : MWT_LEFTMULTIPLY);
        return *this;
    }
    // Without the device's transform the context keeps its own, with whole-unit translations
    // as the platform kept them.
    ITransformMatrix& own = fData->fTransform;
    if (transformMode == 0) {
        own = matrix;
        return *this;
    }
    const ITransformMatrix& first = transformMode == 1 ? own : matrix;
    const ITransformMatrix& second = transformMode == 1 ? matrix : own;
    ITransformMatrix product = first;
    product.setDx(0).setDy(0).append(ITransformMatrix(second.m11(), second.m12(), second.m21(),
                                                      second.m22(), 0, 0));
    const double tx = first.dx() * second.m11() + first.dy() * second.m21();
    const double ty = first.dx() * second.m12() + first.dy() * second.m22();
    product.setDx(ovk_graphics::truncated(tx) + second.dx());
    product.setDy(ovk_graphics::truncated(ty) + second.dy());
    own = product;
    return *this;
}

ITransformMatrix IGraphicContext::worldTransform() const
{
    if (!fData->fAdvancedMode)
        return fData->fTransform;
    XFORM form{};
    if (!GetWorldTransform(fHandle, &form))
        return ITransformMatrix();
    return ITransformMatrix(form);
}

// Bounds and hit testing ---------------------------------------------------------------------

IGraphicContext& IGraphicContext::startBoundsCollection()
{
    fData->fState = IGCData::collectingBounds;
    fData->fBounds = IRectangle();
    return *this;
}

IRectangle IGraphicContext::endBoundsCollection()
{
    fData->fState = IGCData::drawing;
    return fData->fBounds;
}

IGraphicContext& IGraphicContext::addToBounds(const IRectangle& rectangle)
{
    IRectangle& bounds = fData->fBounds;
    if (bounds == IRectangle())
        bounds = rectangle;
    else
        bounds = IRectangle(bounds.minimum().minimum(rectangle.minimum()),
                            bounds.maximum().maximum(rectangle.maximum()));
    return *this;
}

IBase::Boolean IGraphicContext::isCollectingBounds() const
{
    return fData->fState == IGCData::collectingBounds;
}

IGraphicContext& IGraphicContext::startHitTest()
{
    fData->fState = IGCData::hitTesting;
    return *this;
}

IGraphicContext& IGraphicContext::endHitTest()
{
    fData->fState = IGCData::drawing;
    return *this;
}

IBase::Boolean IGraphicContext::isHitTesting() const
{
    return fData->fState == IGCData::hitTesting;
}

IGraphicContext& IGraphicContext::setHitPoint(const IPoint& point)
{
    fData->fHitPoint = point;
    return *this;
}

IGraphicContext& IGraphicContext::setHitApertureSize(const ISize& size)
{
    fData->fHitAperture = size;
    return *this;
}

IPoint IGraphicContext::hitPoint() const { return fData->fHitPoint; }
ISize IGraphicContext::hitApertureSize() const { return fData->fHitAperture; }

// Position and orientation -------------------------------------------------------------------

IGraphicContext& IGraphicContext::setCurrentDrawingPosition(const IPoint& point)
{
    if (!MoveToEx(fHandle, point.x(), point.y(), nullptr))
        throwSystemError("MoveToEx", "IGraphicContext::setCurrentDrawingPosition(const IPoint&)");
    return *this;
}

IPoint IGraphicContext::currentDrawingPosition() const
{
    POINT position{};
    GetCurrentPositionEx(fHandle, &position);
    return IPoint(position.x, position.y);
}

unsigned long IGraphicContext::conversionHeight() const { return fData->fConversionHeight; }

IGraphicContext& IGraphicContext::setConversionHeight(unsigned long height)
{
    fData->fConversionHeight = height;
    fData->fConversionOn = ICoordinateSystem::isConversionNeeded() != 0;
    if (fData->fConversionOn)
        SetTextAlign(fHandle, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    return *this;
}

// Library-wide defaults ----------------------------------------------------------------------

#define OVK_DEFAULT(type, getter, setter, variable)                                                \
    type IGraphicContext::getter() { return variable; }                                           \
    void IGraphicContext::setter(type value) { variable = value; }
OVK_DEFAULT(IGraphicBundle::DrawOperation, defaultDrawOperation, setDefaultDrawOperation,
            gDefaultDrawOperation)
OVK_DEFAULT(IGraphicBundle::MixMode, defaultMixMode, setDefaultMixMode, gDefaultMixMode)
OVK_DEFAULT(IGraphicBundle::BackgroundMixMode, defaultBackgroundMixMode,
            setDefaultBackgroundMixMode, gDefaultBackgroundMixMode)
OVK_DEFAULT(unsigned long, defaultPenWidth, setDefaultPenWidth, gDefaultPenWidth)
OVK_DEFAULT(IGraphicBundle::PenType, defaultPenType, setDefaultPenType, gDefaultPenType)
OVK_DEFAULT(IGraphicBundle::PenEnding, defaultPenEnding, setDefaultPenEnding, gDefaultPenEnding)
OVK_DEFAULT(IGraphicBundle::PenJoining, defaultPenJoining, setDefaultPenJoining,
            gDefaultPenJoining)
OVK_DEFAULT(long, defaultPenPattern, setDefaultPenPattern, gDefaultPenPattern)
OVK_DEFAULT(long, defaultFillPattern, setDefaultFillPattern, gDefaultFillPattern)
#undef OVK_DEFAULT

IColor IGraphicContext::defaultPenColor() { return gDefaultPenColor; }
void IGraphicContext::setDefaultPenColor(const IColor& color) { gDefaultPenColor = color; }
IColor IGraphicContext::defaultFillColor() { return gDefaultFillColor; }
void IGraphicContext::setDefaultFillColor(const IColor& color) { gDefaultFillColor = color; }
IColor IGraphicContext::defaultBackgroundColor() { return gDefaultBackgroundColor; }
void IGraphicContext::setDefaultBackgroundColor(const IColor& color)
{
    gDefaultBackgroundColor = color;
}
IPoint IGraphicContext::defaultPatternOrigin() { return gDefaultPatternOrigin; }
void IGraphicContext::setDefaultPatternOrigin(const IPoint& origin)
{
    gDefaultPatternOrigin = origin;
}
