// IGList and its cursor.
#include "iglist.hpp"

#include <windows.h>

#include <iexcept.hpp>

#include "igrafctx.hpp"

// Cursor -------------------------------------------------------------------------------------

IGList::Cursor::Cursor(const IGList& list)
    : fList(&list), fPosition(std::make_unique<Sequence::Cursor>(*list.fGraphics))
{
}

IGList::Cursor::Cursor(const IGList& list, unsigned long identifier) : Cursor(list)
{
    fMode = withId;
    fId = identifier;
}

IGList::Cursor::Cursor(const IGList& list, IGraphicContext& context, const IPoint& point)
    : Cursor(list)
{
    fMode = hitByPoint;
    fContext = &context;
    context.setHitPoint(point);
    if (list.hasTransformMatrix()) {
        fSavedTransform = context.worldTransform();
        context.setWorldTransform(list.transformMatrix(), list.transformMode());
    }
}

IGList::Cursor::~Cursor()
{
    if (fSavedTransform)
        fContext->setWorldTransform(*fSavedTransform, 0);
}

IBase::Boolean IGList::Cursor::setToFirst()
{
    fPosition->setToFirst();
    return seek(true);
}

IBase::Boolean IGList::Cursor::setToNext()
{
    fPosition->setToNext();
    return seek(true);
}

IBase::Boolean IGList::Cursor::setToPrevious()
{
    fPosition->setToPrevious();
    return seek(false);
}

IBase::Boolean IGList::Cursor::setToLast()
{
    fPosition->setToLast();
    return seek(false);
}

IBase::Boolean IGList::Cursor::isValid() const { return fPosition->isValid(); }

void IGList::Cursor::invalidate() { fPosition->invalidate(); }

bool IGList::Cursor::stopsAt(IGraphic& graphic)
{
    switch (fMode) {
    case withId:
        return graphic.id() == fId;
    case hitByPoint:
        graphic.setHit(false);
        if (graphic.isHitTestingEnabled())
            graphic.drawOn(*fContext);
        return graphic.isHit();
    default:
        return true;
    }
}

IBase::Boolean IGList::Cursor::seek(bool forward)
{
    if (fMode == hitByPoint)
        fContext->startHitTest();
    try {
        while (fPosition->isValid() && !stopsAt(*fPosition->element())) {
            if (forward)
                fPosition->setToNext();
            else
                fPosition->setToPrevious();
        }
    } catch (...) {
        // The context must not stay in the hit-testing state, or it would draw nothing more.
        if (fMode == hitByPoint)
            fContext->endHitTest();
        throw;
    }
    if (fMode == hitByPoint)
        fContext->endHitTest();
    return fPosition->isValid();
}

// The list -----------------------------------------------------------------------------------

IGList::IGList() : fGraphics(std::make_unique<Sequence>(25)) { fListMarker = 1; }

IGList::IGList(const IGList& other)
    : IGraphic(other), fGraphics(std::make_unique<Sequence>(*other.fGraphics))
{
    fListMarker = 1;
}

IGList& IGList::operator=(const IGList& other)
{
    if (this != &other) {
        IGraphic::operator=(other);
        *fGraphics = *other.fGraphics;
    }
    return *this;
}

IGList::~IGList() = default;

IGList& IGList::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGraphic* IGList::topGraphicAt(IGraphicContext& context, const IPoint& point)
{
    Cursor cursor(*this, context, point);
    return cursor.setToLast() ? graphicAt(cursor) : nullptr;
}

IGraphic* IGList::bottomGraphicAt(IGraphicContext& context, const IPoint& point)
{
    Cursor cursor(*this, context, point);
    return cursor.setToFirst() ? graphicAt(cursor) : nullptr;
}

void IGList::checkCursor(const Cursor& cursor, const char* function) const
{
    IARGUMENT_CHECK(cursor.fList == this && cursor.isValid(), "iglist", function);
}

IGList& IGList::addAsFirst(IGraphic& graphic)
{
    fGraphics->addAsFirst(&graphic);
    return *this;
}

IGList& IGList::addAsLast(IGraphic& graphic)
{
    fGraphics->addAsLast(&graphic);
    return *this;
}

IGList& IGList::addAsNext(IGraphic& graphic, const Cursor& cursor)
{
    checkCursor(cursor, "IGList::addAsNext(IGraphic&, const IGList::Cursor&)");
    fGraphics->addAsNext(&graphic, *cursor.fPosition);
    return *this;
}

IGList& IGList::addAsPrevious(IGraphic& graphic, const Cursor& cursor)
{
    checkCursor(cursor, "IGList::addAsPrevious(IGraphic&, const IGList::Cursor&)");
    fGraphics->addAsPrevious(&graphic, *cursor.fPosition);
    return *this;
}

IGList& IGList::addAtPosition(unsigned long position, IGraphic& graphic)
{
    fGraphics->addAtPosition(position, &graphic);
    return *this;
}

IGList& IGList::replaceAt(const Cursor& cursor, IGraphic& graphic)
{
    checkCursor(cursor, "IGList::replaceAt(const IGList::Cursor&, IGraphic&)");
    fGraphics->replaceAt(*cursor.fPosition, &graphic);
    return *this;
}

IGList& IGList::removeFirst()
{
    fGraphics->removeFirst();
    return *this;
}

IGList& IGList::removeLast()
{
    fGraphics->removeLast();
    return *this;
}

IGList& IGList::removeAtPosition(unsigned long position)
{
    fGraphics->removeAtPosition(position);
    return *this;
}

IGList& IGList::removeAt(const Cursor& cursor)
{
    checkCursor(cursor, "IGList::removeAt(const IGList::Cursor&)");
    fGraphics->removeAt(*cursor.fPosition);
    return *this;
}

IGList& IGList::removeAll()
{
    fGraphics->removeAll();
    return *this;
}

IGList& IGList::removeAllWithId(unsigned long identifier)
{
    Cursor cursor(*this, identifier);
    while (cursor.setToFirst())
        removeAt(cursor);
    return *this;
}

unsigned long IGList::numberOfGraphics() const
{
    return static_cast<unsigned long>(fGraphics->numberOfElements());
}

IBase::Boolean IGList::isEmpty() const { return fGraphics->isEmpty(); }

IBase::Boolean IGList::contains(const IGraphic& graphic) const
{
    return fGraphics->contains(const_cast<IGraphic*>(&graphic));
}

IGraphic* IGList::firstGraphic() const { return fGraphics->firstElement(); }
IGraphic* IGList::lastGraphic() const { return fGraphics->lastElement(); }

IGraphic* IGList::graphicAtPosition(unsigned long position) const
{
    return fGraphics->elementAtPosition(position);
}

IGraphic* IGList::graphicAt(const Cursor& cursor) const
{
    checkCursor(cursor, "IGList::graphicAt(const IGList::Cursor&) const");
    return cursor.fPosition->element();
}

IBase::Boolean IGList::remove(const IGraphic& graphic)
{
    return fGraphics->remove(const_cast<IGraphic*>(&graphic));
}

IRectangle IGList::boundingRectAt(const Cursor& cursor)
{
    IGraphic* graphic = graphicAt(cursor);
    if (cursor.fContext)
        return graphic->boundingRect(*cursor.fContext);
    IGraphicContext context{IWindowHandle(GetDesktopWindow())};
    return graphic->boundingRect(context);
}
