// IGPolyline and IGPolygon: connected line segments through a list of points; the polygon is
// closed and has an interior.
#pragma once

#include <cstddef>

#include <iptarray.hpp>

#include "igraphic.hpp"

class OVKWIN_API IGPolyline : public IGraphic {
public:
    explicit IGPolyline(const IPointArray& points);
    IGPolyline(const IGPolyline& other);
    IGPolyline& operator=(const IGPolyline& other);
    ~IGPolyline() override;

    IGPolyline& drawOn(IGraphicContext& context) override;

    virtual unsigned long numberOfPoints() const;
    virtual IGPolyline& setPoints(const IPointArray& points);
    // Indices count from 0; one outside the points fails the argument check.
    virtual IGPolyline& setPoint(unsigned long index, const IPoint& point);
    // The point gets the index; the points from there on move up by one.
    virtual IGPolyline& insertPoint(unsigned long index, const IPoint& point);
    virtual IGPolyline& removePoint(unsigned long index);
    virtual IGPolyline& addPoint(const IPoint& point);
    virtual IGPolyline& removeAll();

    const IPointArray& points() const { return fPoints; }
    IPoint point(unsigned long index) const;

    IBase::Boolean operator==(const IGPolyline& other) const;
    IBase::Boolean operator!=(const IGPolyline& other) const { return !(*this == other); }

private:
    IPointArray fPoints;
};

class OVKWIN_API IGPolygon : public IGPolyline {
public:
    // Filled by the alternate (even-odd) rule.
    explicit IGPolygon(const IPointArray& points);
    IGPolygon(const IGPolygon& other);
    IGPolygon& operator=(const IGPolygon& other);
    ~IGPolygon() override;

    IGPolygon& drawOn(IGraphicContext& context) override;

    // True fills by the winding rule, false by the alternate rule.
    virtual IGPolygon& setWindingFill(IBase::Boolean winding = true);
    virtual IBase::Boolean isWindingFill() const;

    IBase::Boolean operator==(const IGPolygon& other) const;
    IBase::Boolean operator!=(const IGPolygon& other) const { return !(*this == other); }

private:
    unsigned char fWinding = 0;
};
