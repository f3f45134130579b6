// The graphic context's scope of one graphic's own attributes: every draw operation gives the
// context the graphic's transform and bundle for the time the graphic is drawn.
#pragma once

#include "../igrafctx.hpp"
#include "../igraphic.hpp"

namespace ovk_graphics {

// Applies a graphic's own transform and bundle, and puts the context's own back afterwards,
// also when drawing throws. It uses only the context's public attribute calls, so any drawing
// code can take it.
class GraphicScope {
public:
    GraphicScope(IGraphicContext& context, const IGraphic& graphic) : fContext(context)
    {
        if (graphic.transformMode() == 0 || graphic.hasTransformMatrix()) {
            fSavedTransform = context.worldTransform();
            context.setWorldTransform(graphic.transformMatrix(), graphic.transformMode());
            fTransformChanged = true;
        }
        if (graphic.hasGraphicBundle()) {
            fSavedBundle = context.graphicBundle();
            fBundleChanged = true;
            try {
                context.setGraphicBundle(graphic.graphicBundle());
            } catch (...) {
                // No destructor runs for a scope that is not made: the transform goes back
                // here.
                restore();
                throw;
            }
        }
    }
    ~GraphicScope() { restore(); }
    GraphicScope(const GraphicScope&) = delete;
    GraphicScope& operator=(const GraphicScope&) = delete;

private:
    // Both steps are attempted: a bundle that cannot be made again leaves the context with the
    // graphic's attributes until the next bundle or setter, but the transform still goes back.
    // Never throws: it runs in the destructor.
    void restore() noexcept
    {
        try {
            if (fBundleChanged)
                fContext.setGraphicBundle(fSavedBundle);
        } catch (...) {
        }
        fBundleChanged = false;
        try {
            if (fTransformChanged)
                fContext.setWorldTransform(fSavedTransform, 0);
        } catch (...) {
        }
        fTransformChanged = false;
    }

    IGraphicContext& fContext;
    ITransformMatrix fSavedTransform;
    IGraphicBundle fSavedBundle;
    bool fTransformChanged = false;
    bool fBundleChanged = false;
};

} // namespace ovk_graphics
