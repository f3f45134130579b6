// IGraphicContext: the object through which all drawing goes. It wraps one device context,
// keeps the drawing attributes and realises them as native pens and brushes, draws the graphic
// objects, and can instead collect the bounds of what it would draw or test whether a point
// hits it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <ipoint.hpp>
#include <irect.hpp>
#include <ivbase.hpp>

#include <icolor.hpp>
#include <idefs.hpp>
#include <ihandle.hpp>

#include "igbundle.hpp"
#include "iregnhdl.hpp"
#include "itrnsfrm.hpp"

class IFont;
class IPaintEvent;
class IGraphic;
class IGLine;
class IGPolyline;
class IGPolygon;
class IGEllipse;
class IGRectangle;
class IGArc;
class IG3PointArc;
class IGPie;
class IGChord;
class IGString;
class IGList;
class IGRegion;
class IGBitmap;
struct IGCData;
namespace ovk_graphics {
struct Point;
}
struct HBITMAP__;

class OVKWIN_API IGraphicContext : public IVBase {
public:
    enum MappingMode : unsigned char {
        text, lowMetric, highMetric, lowEnglish, highEnglish, twips, isotropic
    };

    // Construction.
    // An off-screen context: a memory device context with a bitmap of the size, compatible
    // with the screen.
    explicit IGraphicContext(const ISize& size);
    // The device context of the window, released with the context.
    explicit IGraphicContext(const IWindowHandle& window);
    // A device context the caller owns and keeps; the context puts back the pen and brush it
    // found selected there.
    explicit IGraphicContext(const IPresSpaceHandle& context);
    // The device context of a paint event, which the event keeps and releases.
    explicit IGraphicContext(IPaintEvent& event);
    // A memory device context compatible with the screen, with no bitmap of its own.
    IGraphicContext();
    IGraphicContext(const IGraphicContext&) = delete;
    IGraphicContext& operator=(const IGraphicContext&) = delete;
    ~IGraphicContext() override;

    // Mapping.
    virtual IGraphicContext& setMappingMode(MappingMode mode);
    virtual MappingMode mappingMode() const;
    virtual IGraphicContext& setWindowExtent(const ISize& extent);
    virtual ISize windowExtent() const;
    virtual IGraphicContext& setViewportExtent(const IRectangle& extent);
    virtual IRectangle viewportExtent() const;

    // Drawing, by the graphic's class (each graphic's drawOn calls the one for its class).
    virtual IGraphicContext& draw(const IGLine& line);
    virtual IGraphicContext& draw(const IGPolyline& polyline);
    virtual IGraphicContext& draw(const IGPolygon& polygon);
    virtual IGraphicContext& draw(const IGEllipse& ellipse);
    virtual IGraphicContext& draw(const IGRectangle& rectangle);
    virtual IGraphicContext& draw(const IGArc& arc);
    virtual IGraphicContext& draw(const IG3PointArc& arc);
    virtual IGraphicContext& draw(const IGPie& pie);
    virtual IGraphicContext& draw(const IGChord& chord);
    virtual IGraphicContext& draw(const IGString& text);
    virtual IGraphicContext& draw(const IGList& list);
    virtual IGraphicContext& draw(const IGRegion& region);
    IGraphicContext& draw(const IGBitmap& bitmap); // not virtual: the slots above stay as fixed

    // Attributes. The pen and fill setters re-create the native pen or brush; a bundle
    // applies its set attributes and re-creates each once.
    virtual IGraphicContext& setGraphicBundle(const IGraphicBundle& bundle);
    virtual IGraphicContext& setPenColor(const IColor& color);
    virtual IGraphicContext& setBackgroundColor(const IColor& color);
    virtual IGraphicContext& setFillColor(const IColor& color);
    virtual IGraphicContext& setDrawOperation(IGraphicBundle::DrawOperation operation);
    virtual IGraphicContext& setMixMode(IGraphicBundle::MixMode mode);
    virtual IGraphicContext& setBackgroundMixMode(IGraphicBundle::BackgroundMixMode mode);
    virtual IGraphicContext& setPenType(IGraphicBundle::PenType type);
    virtual IGraphicContext& setPenEnding(IGraphicBundle::PenEnding ending);
    virtual IGraphicContext& setPenJoining(IGraphicBundle::PenJoining joining);
    virtual IGraphicContext& setPenWidth(unsigned long width);
    virtual IGraphicContext& setPenPattern(long pattern);
    virtual IGraphicContext& setFillPattern(long pattern);
    virtual IGraphicContext& setPatternOrigin(const IPoint& origin);
    virtual IGraphicBundle graphicBundle() const;
    virtual IColor penColor() const;
    virtual IColor backgroundColor() const;
    virtual IColor fillColor() const;
    virtual IGraphicBundle::DrawOperation drawOperation() const;
    virtual IGraphicBundle::MixMode mixMode() const;
    virtual IGraphicBundle::BackgroundMixMode backgroundMixMode() const;
    virtual IGraphicBundle::PenType penType() const;
    virtual IGraphicBundle::PenEnding penEnding() const;
    virtual IGraphicBundle::PenJoining penJoining() const;
    virtual unsigned long penWidth() const;
    virtual long penPattern() const;
    virtual long fillPattern() const;
    virtual IPoint patternOrigin() const;

    // Fonts: the context keeps a copy of the font it is given and keeps it selected.
    virtual IGraphicContext& setCurrentFont(const IFont& font);
    virtual IGraphicContext& resetCurrentFont();
    virtual IFont currentFont() const;
    virtual IBase::Boolean hasNonDefaultCharSet() const;

    // Clipping. The device context keeps its own copy of a region given to it; the region
    // answered by clipRegion belongs to the caller (an empty handle when there is none).
    virtual IGraphicContext& clearClipRegion();
    virtual IGraphicContext& setClipRegion(const IRegionHandle& region);
    virtual IGraphicContext& setClipRegion(const IGRegion& region);
    virtual IRegionHandle clipRegion() const;

    // The world transform. Mode 0 replaces it, 1 applies the matrix after it, any other value
    // before it.
    virtual IGraphicContext& setWorldTransform(const ITransformMatrix& matrix,
                                               char transformMode = 0);
    virtual ITransformMatrix worldTransform() const;

    // Bounds collection: while collecting, the draw operations add what they would cover and
    // draw nothing.
    virtual IGraphicContext& startBoundsCollection();
    virtual IRectangle endBoundsCollection();
    virtual IGraphicContext& addToBounds(const IRectangle& rectangle);
    virtual IBase::Boolean isCollectingBounds() const;

    // Hit testing: while testing, the draw operations mark the graphics that the hit point
    // (device coordinates) touches and draw nothing.
    virtual IGraphicContext& startHitTest();
    virtual IGraphicContext& endHitTest();
    virtual IGraphicContext& setHitPoint(const IPoint& point);
    // The hit point is a device point, where the zoom of the world transform has already acted.
    // The aperture, 12 x 20 unless set: its rectangle, centred on the point, must touch a filled
    // interior, in device pixels; half its width is how far from an outline a point still hits,
    // in the drawing's own units, so that it grows with the zoom (at a zoom of 2 an outline is
    // hit 12 device pixels away).
    virtual IGraphicContext& setHitApertureSize(const ISize& size);
    virtual IPoint hitPoint() const;
    virtual ISize hitApertureSize() const;

    virtual IGraphicContext& setCurrentDrawingPosition(const IPoint& point);
    virtual IPoint currentDrawingPosition() const;

    IPresSpaceHandle handle() const { return fHandle; }
    IBase::Boolean isHitTesting() const;
    // While the library's coordinates count y upward, every y is drawn at height - y.
    unsigned long conversionHeight() const;
    IGraphicContext& setConversionHeight(unsigned long height);

    // The library-wide defaults that new contexts and default bundles start from. A new context
    // draws with the origin at the upper left and y growing downward (the default orientation
    // of ICoordinateSystem; setConversionHeight flips y for an application that counts upward),
    // with a one-pixel solid black pen; a wider pen has flat ends, which stop at a line's end
    // points, and bevelled joins.
    static IColor defaultPenColor();
    static void setDefaultPenColor(const IColor& color);
    static IColor defaultFillColor();
    static void setDefaultFillColor(const IColor& color);
    static IColor defaultBackgroundColor();
    static void setDefaultBackgroundColor(const IColor& color);
    static IGraphicBundle::DrawOperation defaultDrawOperation();
    static void setDefaultDrawOperation(IGraphicBundle::DrawOperation operation);
    static IGraphicBundle::MixMode defaultMixMode();
    static void setDefaultMixMode(IGraphicBundle::MixMode mode);
    static IGraphicBundle::BackgroundMixMode defaultBackgroundMixMode();
    static void setDefaultBackgroundMixMode(IGraphicBundle::BackgroundMixMode mode);
    static unsigned long defaultPenWidth();
    static void setDefaultPenWidth(unsigned long width);
    static IGraphicBundle::PenType defaultPenType();
    static void setDefaultPenType(IGraphicBundle::PenType type);
    static IGraphicBundle::PenEnding defaultPenEnding();
    static void setDefaultPenEnding(IGraphicBundle::PenEnding ending);
    static IGraphicBundle::PenJoining defaultPenJoining();
    static void setDefaultPenJoining(IGraphicBundle::PenJoining joining);
    static long defaultPenPattern();
    static void setDefaultPenPattern(long pattern);
    static long defaultFillPattern();
    static void setDefaultFillPattern(long pattern);
    static IPoint defaultPatternOrigin();
    static void setDefaultPatternOrigin(const IPoint& origin);

private:
    enum Ownership : unsigned char { windowContext = 0, createdContext = 1, borrowedContext = 2 };
    // What a draw operation knows of its shape besides the native call.
    struct Shape {
        std::vector<IPoint> boundsPoints;
        bool closed;
        bool winding;
        const char* callName;
        const char* function;
    };

    void initialize();
    // Whether the draw operations flip y now: conversion is on and the context draws.
    bool flips() const;
    IPoint flipped(const IPoint& point) const;
    IRectangle flipped(const IRectangle& rectangle) const;
    // Through the context's own transform where the device does not transform.
    IPoint toDevice(const IPoint& point) const;
    std::vector<IPoint> devicePoints(const std::vector<IPoint>& points) const;
    std::vector<ovk_graphics::Point> transformed(const std::vector<ovk_graphics::Point>& points)
        const;
    void collect(const std::vector<IPoint>& points);
    double tolerance() const;
    bool hitsShape(const std::vector<ovk_graphics::Point>& outline, bool closed, bool interior,
                   bool winding) const;
    // Runs the native drawing inside a path and tests the hit point against the path.
    template <class Draw>
    bool hitsPath(bool interior, Draw&& draw);
    // Runs the native call of a closed shape with the interior or outline left out as the
    // draw operation asks.
    template <class Draw>
    bool drawClosed(Draw&& draw);
    // The three states of one draw: collect, hit-test or draw.
    template <class Draw, class Outline>
    void drawShape(IGraphic& graphic, const Shape& shape, Draw&& drawNative, Outline&& outline);
    void drawWedge(const IGPie& wedge, bool pie, const char* callName, const char* function);
    bool isDegenerate(const IRectangle& box) const;
    int drawDegenerate(const IRectangle& box);

    std::unique_ptr<IGCData> fData;
    IPresSpaceHandle fHandle;
    IColor fSpareColor;
    long fSparePattern = 0;
    unsigned char fSpareOperation = 0;
    std::unique_ptr<IFont> fCurrentFont;
    Ownership fOwnership = borrowedContext;
    std::uint32_t fReserved = 0;
    HBITMAP__* fOffScreenBitmap = nullptr;
};
