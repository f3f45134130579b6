// The drag handlers: the source handler answers the drag messages that reach a window a drag
// starts from, the target handler those that reach a window a drag is over.
#pragma once

#include <idefs.hpp>

#include "idmitem.hpp"
#include "idmoper.hpp"
#include "idmsupp.hpp"

class IDMSourceBeginEvent;
class IDMSourceDiscardEvent;
class IDMSourceEndEvent;
class IDMSourcePrepareEvent;
class IDMSourcePrintEvent;
class IDMSourceRenderEvent;
class IDMTargetDropEvent;
class IDMTargetEndEvent;
class IDMTargetEnterEvent;
class IDMTargetHelpEvent;
class IDMTargetLeaveEvent;

class OVKWIN_API IDMSourceHandler : public IDMSupport {
public:
    // With the default source renderer first.
    IDMSourceHandler();
    explicit IDMSourceHandler(IWindow* window);
    ~IDMSourceHandler() override;

    unsigned long numberOfRenderers() const override;
    IDMSourceRenderer* renderer(unsigned long position) const override;
    // The untyped list operations change nothing: a source handler holds source renderers.
    IDMSupport& replaceRenderer(unsigned long position, IDMRenderer& renderer) override;
    IDMSupport& addRenderer(IDMRenderer& renderer) override;
    IDMSupport& removeRenderer(unsigned long position) override;
    IDMSupport& removeRenderer(IDMRenderer& renderer) override;
    IDMSupport& setRenderer(IDMRenderer& renderer) override;
    virtual IDMSourceHandler& replaceRenderer(unsigned long position, IDMSourceRenderer& renderer);
    virtual IDMSourceHandler& addRenderer(IDMSourceRenderer& renderer);
    virtual IDMSourceHandler& removeRenderer(IDMSourceRenderer& renderer);
    virtual IDMSourceHandler& setRenderer(IDMSourceRenderer& renderer);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    virtual IBase::Boolean sourceBegin(IDMSourceBeginEvent& event);
    virtual IBase::Boolean sourcePrepare(IDMSourcePrepareEvent& event);
    virtual IBase::Boolean sourceRender(IDMSourceRenderEvent& event);
    virtual IBase::Boolean sourceEnd(IDMSourceEndEvent& event);
    virtual IBase::Boolean sourceDiscard(IDMSourceDiscardEvent& event);
    virtual IBase::Boolean sourcePrint(IDMSourcePrintEvent& event);
    virtual IReference<IDMSourceOperation> makeSourceOperation(IDMSourceBeginEvent& event);

public:
    // Gives every item of the current source operation its renderer and cuts its pairs down to
    // what the renderers carry; false at the first item no renderer fits.
    virtual IBase::Boolean selectRenderers();
    // The 1-based index of the first renderer that fits the item, 0 for none.
    virtual unsigned long findRendererFor(const IDMItem::Handle& item);
    IDMSourceRenderer* rendererFor(const IDMItem::Handle& item) const;
};

class OVKWIN_API IDMTargetHandler : public IDMSupport {
public:
    // With the default target renderer first.
    IDMTargetHandler();
    explicit IDMTargetHandler(IWindow* window);
    ~IDMTargetHandler() override;

    unsigned long numberOfRenderers() const override;
    IDMTargetRenderer* renderer(unsigned long position) const override;
    IDMSupport& replaceRenderer(unsigned long position, IDMRenderer& renderer) override;
    IDMSupport& addRenderer(IDMRenderer& renderer) override;
    IDMSupport& removeRenderer(unsigned long position) override;
    IDMSupport& removeRenderer(IDMRenderer& renderer) override;
    IDMSupport& setRenderer(IDMRenderer& renderer) override;
    virtual IDMTargetHandler& replaceRenderer(unsigned long position, IDMTargetRenderer& renderer);
    virtual IDMTargetHandler& addRenderer(IDMTargetRenderer& renderer);
    virtual IDMTargetHandler& removeRenderer(IDMTargetRenderer& renderer);
    virtual IDMTargetHandler& setRenderer(IDMTargetRenderer& renderer);

    // Two drop answers combined: 0 yields to 2 and 3, 2 only to 3, 3 stays.
    static unsigned char combineAnswers(unsigned char current, unsigned char answer);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    virtual IBase::Boolean targetEnter(IDMTargetEnterEvent& event);
    virtual IBase::Boolean targetLeave(IDMTargetLeaveEvent& event);
    virtual IBase::Boolean targetDrop(IDMTargetDropEvent& event);
    virtual IBase::Boolean targetHelp(IDMTargetHelpEvent& event);
    virtual IBase::Boolean targetEnd(IDMTargetEndEvent& event);
    virtual IReference<IDMTargetOperation> makeTargetOperation(IDMTargetEnterEvent& event);

public:
    virtual IBase::Boolean checkItems();
    // Asks the renderers in order; the first that renders the item and allows the operation
    // is selected for it. False when none is.
    virtual IBase::Boolean checkItem(const IDMItem::Handle& item);
    IDMTargetRenderer* rendererFor(const IDMItem::Handle& item) const;
};
