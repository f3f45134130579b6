// IGList: an ordered stack of graphics drawn as one, the first at the bottom and the last on
// top, with a cursor over all of them, over those with one identifier, or over those a point
// hits. The list does not own its graphics: they must outlive their membership.
#pragma once

#include <memory>
#include <optional>

#include <isequenc.hpp>

#include "igraphic.hpp"

class OVKWIN_API IGList : public IGraphic {
public:
    using Sequence = ISequence<IGraphic*>;

    class OVKWIN_API Cursor : public IVBase {
    public:
        // Over all graphics.
        explicit Cursor(const IGList& list);
        // Over the graphics with the identifier.
        Cursor(const IGList& list, unsigned long identifier);
        // Over the graphics that the point (device coordinates) hits when drawn in the
        // context. For its lifetime the context carries the list's own transform.
        Cursor(const IGList& list, IGraphicContext& context, const IPoint& point);
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;
        // Puts back the context's transform that a hit cursor replaced.
        ~Cursor() override;

        // Each answers whether the cursor is valid afterwards.
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean setToPrevious();
        virtual IBase::Boolean setToLast();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();

    private:
        friend class IGList;
        enum Mode : unsigned char { allGraphics = 0, withId = 1, hitByPoint = 2 };
        // Moves on in the direction while the graphic there is not one the cursor stops at.
        IBase::Boolean seek(bool forward);
        bool stopsAt(IGraphic& graphic);

        const IGList* fList;
        std::unique_ptr<Sequence::Cursor> fPosition;
        Mode fMode = allGraphics;
        unsigned long fId = 0;
        IGraphicContext* fContext = nullptr;
        std::optional<ITransformMatrix> fSavedTransform;
    };

    IGList();
    // The graphic part and the same graphics in the same order (shared, not copied).
    IGList(const IGList& other);
    IGList& operator=(const IGList& other);
    // Leaves the graphics alone.
    ~IGList() override;

    IGList& drawOn(IGraphicContext& context) override;

    // The last (topmost) or first (bottommost) graphic that the point hits; null for none. The
    // answer is one of this list's own elements: where that is a nested list, the nested list,
    // whose own topGraphicAt then finds the graphic inside it.
    virtual IGraphic* topGraphicAt(IGraphicContext& context, const IPoint& point);
    virtual IGraphic* bottomGraphicAt(IGraphicContext& context, const IPoint& point);

    // Editing. Positions count from 1; a cursor must be valid and for this list.
    virtual IGList& addAsFirst(IGraphic& graphic);
    virtual IGList& addAsLast(IGraphic& graphic);
    virtual IGList& addAsNext(IGraphic& graphic, const Cursor& cursor);
    virtual IGList& addAsPrevious(IGraphic& graphic, const Cursor& cursor);
    virtual IGList& addAtPosition(unsigned long position, IGraphic& graphic);
    virtual IGList& replaceAt(const Cursor& cursor, IGraphic& graphic);
    virtual IGList& removeFirst();
    virtual IGList& removeLast();
    virtual IGList& removeAtPosition(unsigned long position);
    // Removes the graphic at the cursor; the cursor then needs a fresh move.
    virtual IGList& removeAt(const Cursor& cursor);
    virtual IGList& removeAll();
    virtual IGList& removeAllWithId(unsigned long identifier);

    // Queries.
    virtual unsigned long numberOfGraphics() const;
    virtual IBase::Boolean isEmpty() const;
    virtual IBase::Boolean contains(const IGraphic& graphic) const;
    virtual IGraphic* firstGraphic() const;
    virtual IGraphic* lastGraphic() const;
    virtual IGraphic* graphicAt(const Cursor& cursor) const;
    virtual IGraphic* graphicAtPosition(unsigned long position) const;
    // The bounds of the graphic at the cursor, in the hit cursor's context or else in a
    // context of its own.
    virtual IRectangle boundingRectAt(const Cursor& cursor);
    // Removes the graphic's first entry (the graphic itself, not an equal one); true when the
    // list held it.
    virtual IBase::Boolean remove(const IGraphic& graphic);

private:
    void checkCursor(const Cursor& cursor, const char* function) const;

    std::unique_ptr<Sequence> fGraphics;
};
