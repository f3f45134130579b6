// IGraphic.
#include "igraphic.hpp"

#include "igrafctx.hpp"

IGraphic::IGraphic() = default;

IGraphic::IGraphic(const IGraphicBundle& bundle)
    : fBundle(std::make_unique<IGraphicBundle>(bundle))
{
}

IGraphic::IGraphic(const IGraphic& other) : IVBase(other) { *this = other; }

IGraphic::~IGraphic() = default;

IGraphic& IGraphic::operator=(const IGraphic& other)
{
    if (this == &other)
        return *this;
    resetGraphicBundle();
    resetTransformMatrix();
    if (other.hasGraphicBundle())
        setGraphicBundle(other.graphicBundle());
    if (other.hasTransformMatrix())
        setTransformMatrix(other.transformMatrix());
    fId = other.fId;
    fTransformMode = other.fTransformMode;
    fHit = other.fHit;
    fHitTestingEnabled = other.fHitTestingEnabled;
    fListMarker = other.fListMarker;
    return *this;
}

IBase::Boolean IGraphic::operator==(const IGraphic& other) const
{
    return hasGraphicBundle() == other.hasGraphicBundle() &&
           hasTransformMatrix() == other.hasTransformMatrix() &&
           transformMatrix() == other.transformMatrix() &&
           graphicBundle() == other.graphicBundle() && fId == other.fId &&
           fTransformMode == other.fTransformMode && fHit == other.fHit &&
           fHitTestingEnabled == other.fHitTestingEnabled;
}

IRectangle IGraphic::boundingRect(IGraphicContext& context)
{
    context.startBoundsCollection();
    try {
        drawOn(context);
    } catch (...) {
        // The context must not stay in the collecting state, or it would draw nothing more.
        context.endBoundsCollection();
        throw;
    }
    return context.endBoundsCollection();
}

IGraphic& IGraphic::setGraphicBundle(const IGraphicBundle& bundle)
{
    if (fBundle)
        *fBundle = bundle;
    else
        fBundle = std::make_unique<IGraphicBundle>(bundle);
    return *this;
}

IGraphicBundle IGraphic::graphicBundle() const
{
    return fBundle ? *fBundle : IGraphicBundle();
}

IGraphic& IGraphic::resetGraphicBundle()
{
    fBundle.reset();
    return *this;
}

IBase::Boolean IGraphic::hasGraphicBundle() const { return fBundle != nullptr; }

IGraphic& IGraphic::rotateBy(double degrees, const IPoint& centre)
{
    if (!fTransform)
        fTransform = std::make_unique<ITransformMatrix>();
    fTransform->rotateBy(degrees, centre);
    return *this;
}

IGraphic& IGraphic::scaleBy(double xFactor, double yFactor, const IPoint& centre)
{
    if (!fTransform)
        fTransform = std::make_unique<ITransformMatrix>();
    fTransform->scaleBy(xFactor, yFactor, centre);
    return *this;
}

IGraphic& IGraphic::translateBy(const IPoint& offset)
{
    if (!fTransform)
        fTransform = std::make_unique<ITransformMatrix>();
    fTransform->translateBy(offset);
    return *this;
}

IGraphic& IGraphic::setTransformMatrix(const ITransformMatrix& matrix)
{
    if (fTransform)
        *fTransform = matrix;
    else
        fTransform = std::make_unique<ITransformMatrix>(matrix);
    return *this;
}

IGraphic& IGraphic::setTransformMode(char mode)
{
    fTransformMode = mode;
    return *this;
}

IBase::Boolean IGraphic::hasTransformMatrix() const { return fTransform != nullptr; }

IGraphic& IGraphic::resetTransformMatrix()
{
    fTransform.reset();
    return *this;
}

ITransformMatrix IGraphic::transformMatrix() const
{
    return fTransform ? *fTransform : ITransformMatrix();
}

IBase::Boolean IGraphic::hitTest(IGraphicContext& context, const IPoint& point)
{
    setHit(false);
    context.startHitTest();
    context.setHitPoint(point);
    try {
        drawOn(context);
    } catch (...) {
        context.endHitTest();
        throw;
    }
    context.endHitTest();
    return isHit();
}

IGraphic& IGraphic::setHit(IBase::Boolean hit)
{
    fHit = hit;
    return *this;
}

IBase::Boolean IGraphic::isHit() const { return fHitTestingEnabled && fHit; }

IGraphic& IGraphic::enableHitTesting(IBase::Boolean enable)
{
    fHitTestingEnabled = enable;
    return *this;
}

IBase::Boolean IGraphic::isHitTestingEnabled() const { return fHitTestingEnabled; }

IGraphic& IGraphic::setId(unsigned long identifier)
{
    fId = identifier;
    return *this;
}

unsigned long IGraphic::id() const { return fId; }
