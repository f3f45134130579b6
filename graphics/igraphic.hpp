// IGraphic: the base of every drawable object. A graphic carries its geometry (in the derived
// class) and, optionally, its own attribute bundle and transform; the graphic context draws it.
#pragma once

#include <cstdint>
#include <memory>

#include <ipoint.hpp>
#include <irect.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>

#include "igbundle.hpp"
#include "itrnsfrm.hpp"

class IGraphicContext;

class OVKWIN_API IGraphic : public IVBase {
public:
    ~IGraphic() override;

    // Hands the graphic to the context's draw operation for its class.
    virtual IGraphic& drawOn(IGraphicContext& context) = 0;
    // The rectangle the graphic would cover when drawn on the context.
    virtual IRectangle boundingRect(IGraphicContext& context);

    virtual IGraphic& setGraphicBundle(const IGraphicBundle& bundle);
    // A copy of the own bundle, or the library-wide defaults when there is none.
    virtual IGraphicBundle graphicBundle() const;
    virtual IGraphic& resetGraphicBundle();
    virtual IBase::Boolean hasGraphicBundle() const;

    // Each appends to the own transform, which the first of them creates as the identity. On the
    // screen, where y grows downward, a positive angle turns clockwise (ITransformMatrix).
    virtual IGraphic& rotateBy(double degrees, const IPoint& centre = IPoint());
    virtual IGraphic& scaleBy(double xFactor, double yFactor, const IPoint& centre = IPoint());
    virtual IGraphic& translateBy(const IPoint& offset);
    virtual IGraphic& setTransformMatrix(const ITransformMatrix& matrix);
    // How the own transform meets the context's: 0 replaces it, 1 (the default) applies after
    // it, any other value before it.
    virtual IGraphic& setTransformMode(char mode);
    virtual IBase::Boolean hasTransformMatrix() const;
    virtual IGraphic& resetTransformMatrix();

    // Whether the point (device coordinates) hits the graphic as the context would draw it.
    virtual IBase::Boolean hitTest(IGraphicContext& context, const IPoint& point);
    virtual IGraphic& setHit(IBase::Boolean hit);
    // The hit flag while hit testing is enabled, else false.
    virtual IBase::Boolean isHit() const;
    virtual IGraphic& enableHitTesting(IBase::Boolean enable = true);
    virtual IBase::Boolean isHitTestingEnabled() const;
    virtual IGraphic& setId(unsigned long identifier);
    virtual unsigned long id() const;

    char transformMode() const { return fTransformMode; }
    // A copy of the own transform, or the identity when there is none.
    ITransformMatrix transformMatrix() const;

    // The list marker does not count.
    IBase::Boolean operator==(const IGraphic& other) const;
    IBase::Boolean operator!=(const IGraphic& other) const { return !(*this == other); }

protected:
    IGraphic();
    explicit IGraphic(const IGraphicBundle& bundle);
    IGraphic(const IGraphic& other);
    IGraphic& operator=(const IGraphic& other);

    // 1 in graphic lists, 0 in every other graphic.
    std::uint32_t fListMarker = 0;

private:
    unsigned long fId = 0;
    char fTransformMode = 1;
    std::unique_ptr<IGraphicBundle> fBundle;
    std::unique_ptr<ITransformMatrix> fTransform;
    IBase::Boolean fHit = false;
    IBase::Boolean fHitTestingEnabled = true;
};
