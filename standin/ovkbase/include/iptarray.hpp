// IPointArray: an owned, growable array of points, as polylines and polygons keep them.
#pragma once

#include "iexcept.hpp"
#include "ipoint.hpp"
#include "istring.hpp"

#include <cstddef>
#include <initializer_list>
#include <vector>

// Indices count from 0. The points lie contiguously in the layout of POINT, so data() can be
// passed to the platform's polyline calls. An index outside the array fails the argument check
// "index < numberOfPoints()" (for insert, "index <= numberOfPoints()").
class IPointArray {
public:
    IPointArray() = default;
    explicit IPointArray(std::size_t numberOfPoints) : fPoints(numberOfPoints) {}
    IPointArray(const IPoint* points, std::size_t numberOfPoints)
        : fPoints(points, points + numberOfPoints) {}
    IPointArray(std::initializer_list<IPoint> points) : fPoints(points) {}

    std::size_t numberOfPoints() const noexcept { return fPoints.size(); }
    std::size_t size() const noexcept { return fPoints.size(); }
    const IPoint* data() const noexcept { return fPoints.data(); }

    const IPoint& point(std::size_t index) const {
        check(index < fPoints.size(), "index < numberOfPoints()", __LINE__);
        return fPoints[index];
    }
    const IPoint& operator[](std::size_t index) const { return point(index); }

    IPointArray& setPoint(std::size_t index, const IPoint& point) {
        check(index < fPoints.size(), "index < numberOfPoints()", __LINE__);
        fPoints[index] = point;
        return *this;
    }
    // Appends a point.
    IPointArray& add(const IPoint& point) {
        fPoints.push_back(point);
        return *this;
    }
    // Inserts a point so that it gets `index`; the points from there on move up by one.
    IPointArray& insert(std::size_t index, const IPoint& point) {
        check(index <= fPoints.size(), "index <= numberOfPoints()", __LINE__);
        fPoints.insert(fPoints.begin() + static_cast<std::ptrdiff_t>(index), point);
        return *this;
    }
    IPointArray& remove(std::size_t index) {
        check(index < fPoints.size(), "index < numberOfPoints()", __LINE__);
        fPoints.erase(fPoints.begin() + static_cast<std::ptrdiff_t>(index));
        return *this;
    }
    IPointArray& removeAll() noexcept {
        fPoints.clear();
        return *this;
    }

    // "((x,y),(x,y),...)".
    IString asString() const {
        IString text("(");
        for (std::size_t i = 0; i < fPoints.size(); ++i) {
            if (i != 0) text += ',';
            text += fPoints[i].asString();
        }
        return text += ')';
    }

    // Equal when both hold the same points in the same order.
    friend bool operator==(const IPointArray& a, const IPointArray& b) {
        return a.fPoints == b.fPoints;
    }
    friend bool operator!=(const IPointArray& a, const IPointArray& b) { return !(a == b); }

private:
    static void check(bool ok, const char* condition, unsigned long line) {
        if (!ok) IThrow::argument(condition, IExceptionLocation("iptarray.hpp", "IPointArray", line));
    }

    std::vector<IPoint> fPoints;
};
