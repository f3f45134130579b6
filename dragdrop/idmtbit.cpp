// The drag items of entry fields, multi-line edits, menu items and tool bars.
#include <windows.h>

#include <cstdint>
#include <string>

#include <detail/iwipetxt.hpp>

#include <icolor.hpp>
#include <iexcept.hpp>
#include <ientryfd.hpp>
#include <igbitmap.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>
#include <imle.hpp>
#include <itbar.hpp>
#include <itbarbut.hpp>

#include "idmevent.hpp"
#include "idmimage.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"
#include "idmrendr.hpp"
#include "idmtbit.hpp"

namespace {

IString textPairs()
{
    return IDMItem::rmfsFrom(IDMNames::rmLibrary,
                             IDMRenderer::processFormat() + "," + IDMNames::rfSharedMemory);
}

// Adds the item the generator made to its operation, which the item holds a reference on.
IBase::Boolean add(IDMSourceOperation* operation, IDMItem* item)
{
    operation->addItem(IDMItem::Handle(item));
    return true;
}

// The side of the reference window a drop point lies on: before on the left half (upper half
// in a vertical tool bar, whose coordinates grow upwards), else after.
bool dropsBefore(IWindow* reference, IToolBar* bar, const IPoint& desktopPoint)
{
    const IPoint point = IWindow::mapPoint(desktopPoint, IWindowHandle(), reference->handle());
    const ISize size = reference->size();
    if (bar && bar->deckOrientation() == ISetCanvas::vertical)
        return point.y() > size.height() / 2;
    return point.x() < size.width() / 2;
}

IToolBarButton* newButtonFor(const IDMItem& item, IToolBar* bar)
{
    auto* button = new IToolBarButton(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(item.object())), bar, bar,
                                      IRectangle(), IToolBarButton::defaultStyle());
    button->setDeleteOnDestroy(true);
    return button;
}

// The button's picture as the pointer shows it while the button is dragged: drawn over the
// window-text colour, which shows through where the picture has its transparent colour.
IDMImage dragImageOf(const IToolBarButton& button)
{
    IGBitmap picture(button.bitmap());
    const IRectangle whole(IPoint(0, 0), picture.size());
    IGraphicContext context(picture.size());
    const IGUIColor ground(IGUIColor::windowForeground);
    context.setPenColor(ground).setFillColor(ground);
    context.setDrawOperation(IGraphicBundle::fillAndFrame);
    context.draw(IGRectangle(whole));
    if (button.hasTransparentColor())
        picture.setTransparentColor(button.transparentColor());
    picture.drawOn(context);
    const IGBitmap composed(context, whole);
    return IDMImage(composed.handle(), IPoint(0, 0), ISize(0, 0), IDMImage::defaultStyle());
}

void moveToBar(IToolBarButton* button, IToolBar* bar)
{
    if (auto* from = dynamic_cast<IToolBar*>(button->parent()))
        from->remove(button);
    button->setParent(bar);
    button->setOwner(bar);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Text

IDMEntryFieldItem::IDMEntryFieldItem(IDMSourceOperation* operation)
    : IDMItem(operation, IDMNames::text, copyable | moveable, noAttribute)
{
    if (auto* field = dynamic_cast<IEntryField*>(operation->sourceWindow()))
        setContents(field->hasSelectedText() ? field->selectedText() : field->text());
    else if (auto* edit = dynamic_cast<IMultiLineEdit*>(operation->sourceWindow()))
        setContents(edit->selectedTextLength() ? edit->selectedText() : edit->text());
    setRMFs(textPairs());
    setPrepareRequired(true);
}

IDMEntryFieldItem::IDMEntryFieldItem(const IDMItem::Handle& item) : IDMItem(item)
{
    setRMFs(IDMItem::matchingRMFs(item->rmfs(), textPairs()));
}

void* IDMEntryFieldItem::object() const
{
    fText = contents();
    return const_cast<char*>(static_cast<const char*>(fText));
}

IBase::Boolean IDMEntryFieldItem::generateSourceItems(IDMSourceOperation* operation)
{
    auto* field = operation ? dynamic_cast<IEntryField*>(operation->sourceWindow()) : nullptr;
    // A password never leaves its field as a drag: the edit control refuses to copy or cut
    // it, and a drag would hand it to whatever window it lands on, of any program. It is
    // asked before the text is, so that no copy of the password is made to be refused.
    if (!field || field->isUnreadable() || field->isEmpty())
        return false;
    operation->addRef();
    return add(operation, new IDMEntryFieldItem(operation));
}

IBase::Boolean IDMEntryFieldItem::sourceEnd(IDMSourceEndEvent& event)
{
    // The end of the item's conversation: a text that became a password on the other side
    // leaves the item's copies wiped, on every way out.
    struct WipeAtEnd {
        IDMEntryFieldItem& item;
        ~WipeAtEnd() {
            if (item.fWipeAtEnd)
                item.wipeCopies();
        }
    } wipeAtEnd{*this};
    // What the target carried out decides, not what the source offered: a text drag starts
    // without an operation of its own, and a refused drop leaves the text where it was.
    if (event.outcome() != 1 || event.targetOperationCode() != IDMOperation::move)
        return true;
    IDMSourceOperation* operation = sourceOperation();
    auto* control = operation ? dynamic_cast<ITextControl*>(operation->sourceWindow()) : nullptr;
    if (!control)
        return true;
    DWORD start = 0, end = 0;
    SendMessageA(control->handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    // The working copies may hold what is now a password: each lives in a wiped scope.
    const ovkshared::WipedText text(control->text());
    const ovkshared::WipedText dragged(contents());
    const IString& all = text.text();
    const IString& piece = dragged.text();
    if (piece.length() == 0)
        return true;
    // The occurrence that lies at the selection, found from the start (positions from 1).
    const std::size_t selection = static_cast<std::size_t>(start) + 1;
    std::size_t at = all.indexOf(piece);
    while (at != 0 && at < selection) {
        const std::size_t next = all.indexOf(piece, at + 1);
        if (next == 0 || next > selection)
            break;
        at = next;
    }
    if (at == 0)
        return true;
    const ovkshared::WipedText before(all.subString(1, at - 1));
    const ovkshared::WipedText after(all.subString(at + piece.length()));
    const ovkshared::WipedText left(before.text() + after.text());
    control->setText(left.text());
    return true;
}

// The item lets go of every copy of its text it holds, wiping the storage when it is the last
// holder (another holder's copy is its own to wipe).
void IDMEntryFieldItem::wipeCopies() noexcept
{
    {
        const ovkshared::WipedText held(contents());
        setContents(IString());
    }
    fText.wipe();
}

IBase::Boolean IDMEntryFieldItem::targetDrop(IDMTargetDropEvent&)
{
    IDMTargetOperation* operation = targetOperation();
    auto* control = operation ? dynamic_cast<ITextControl*>(operation->targetWindow()) : nullptr;
    if (!control)
        return false;
    control->setText(contents());
    // Text dropped into a password field is a password from now on: this item's copies are
    // wiped at once, and the source item of this process, which still needs its copy to take a
    // moved text from its field, wipes its own when its conversation ends.
    auto* field = dynamic_cast<IEntryField*>(control);
    if (field && field->isUnreadable()) {
        wipeCopies();
        if (IDMItem::Handle source = IDMItem::sourceItemFor(IDMItem::Handle(this)))
            if (auto* text = dynamic_cast<IDMEntryFieldItem*>(source.get()))
                text->fWipeAtEnd = true;
    }
    return true;
}

IDMMultiLineEditItem::IDMMultiLineEditItem(IDMSourceOperation* operation)
    : IDMEntryFieldItem(operation)
{
}

IDMMultiLineEditItem::IDMMultiLineEditItem(const IDMItem::Handle& item) : IDMEntryFieldItem(item)
{
}

IBase::Boolean IDMMultiLineEditItem::generateSourceItems(IDMSourceOperation* operation)
{
    auto* edit = operation ? dynamic_cast<IMultiLineEdit*>(operation->sourceWindow()) : nullptr;
    if (!edit || edit->textLength() == 0)
        return false;
    operation->addRef();
    return add(operation, new IDMMultiLineEditItem(operation));
}

IBase::Boolean IDMMultiLineEditItem::targetDrop(IDMTargetDropEvent&)
{
    IDMTargetOperation* operation = targetOperation();
    auto* edit = operation ? dynamic_cast<IMultiLineEdit*>(operation->targetWindow()) : nullptr;
    if (!edit)
        return false;
    // The text takes the selection's place, as a paste would.
    if (hasContents())
        edit->handle().sendEvent(EM_REPLACESEL, 1, IEventData(static_cast<const char*>(contents())));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Menu items

IDMMenuItemItem::IDMMenuItemItem(IDMSourceOperation* operation)
    : IDMItem(operation, IDMNames::menuItem, linkable, noAttribute)
{
    setRMFs(IDMRenderer::processRMF());
}

IDMMenuItemItem::IDMMenuItemItem(const IDMItem::Handle& item) : IDMItem(item) {}

unsigned long IDMMenuItemItem::supportedOperationsFor(const IString&) const
{
    return linkable;
}

IBase::Boolean IDMMenuItemItem::sourceEnd(IDMSourceEndEvent&)
{
    return true;
}

IBase::Boolean IDMMenuItemItem::generateSourceItems(IDMSourceOperation* operation)
{
    if (!operation)
        return false;
    operation->addRef();
    add(operation, new IDMMenuItemItem(operation));
    operation->setStackAllImages(true);
    operation->setOperation(IDMOperation::link);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Tool bar buttons

IDMToolBarButtonItem::IDMToolBarButtonItem(IDMSourceOperation* operation)
    : IDMItem(operation, IDMNames::toolBarButton, moveable, noAttribute)
{
    auto* button = dynamic_cast<IToolBarButton*>(operation->sourceWindow());
    IString pairs = IDMRenderer::processRMF();
    if (button && button->isDragDeleteEnabled())
        IDMItem::appendEntry(pairs, IDMItem::rmfFrom(IDMNames::rmDiscard, IDMNames::rfUnknown));
    setRMFs(pairs);
    setObject(button);
    // A picture that cannot be drawn (its bitmap deleted by its owner, no memory for the
    // context or for the run time's own allocations) leaves the button without a drag image;
    // the drag goes on without one, as any drag whose image fails. Whatever the failure is, the
    // image is only the drag's decoration: no failure of it may cost the user the drag.
    if (button && button->bitmap().isValid()) {
        try {
            setImage(dragImageOf(*button));
        } catch (...) {
        }
    }
}

IDMToolBarButtonItem::IDMToolBarButtonItem(const IDMItem::Handle& item) : IDMItem(item) {}

unsigned long IDMToolBarButtonItem::supportedOperationsFor(const IString& rmf) const
{
    if (rmf == IDMItem::rmfFrom(IDMNames::rmFile, IDMNames::rfText))
        return supportedOperations() & copyable;
    return IDMItem::supportedOperationsFor(rmf);
}

IToolBarButton* IDMToolBarButtonItem::toolBarButton() const
{
    return dynamic_cast<IToolBarButton*>(sourceWindow());
}

IWindow* IDMToolBarButtonItem::referenceWindow() const
{
    IDMTargetOperation* operation = targetOperation();
    return operation ? operation->targetWindow() : nullptr;
}

IToolBar* IDMToolBarButtonItem::sourceToolBar() const
{
    IToolBarButton* button = toolBarButton();
    return button ? dynamic_cast<IToolBar*>(button->parent()) : nullptr;
}

IToolBar* IDMToolBarButtonItem::targetToolBar() const
{
    IWindow* reference = referenceWindow();
    return reference ? dynamic_cast<IToolBar*>(reference->parent()) : nullptr;
}

IBase::Boolean IDMToolBarButtonItem::generateSourceItems(IDMSourceOperation* operation)
{
    if (!operation)
        return false;
    operation->addRef();
    add(operation, new IDMToolBarButtonItem(operation));
    operation->setStackAllImages(true);
    operation->setOperation(IDMOperation::move);
    return true;
}

IBase::Boolean IDMToolBarButtonItem::sourceDiscard(IDMSourceDiscardEvent&)
{
    IToolBarButton* button = toolBarButton();
    if (!button)
        return false;
    if (IToolBar* bar = sourceToolBar())
        bar->remove(button);
    DestroyWindow(button->handle());
    return true;
}

IBase::Boolean IDMToolBarButtonItem::targetDrop(IDMTargetDropEvent& event)
{
    IWindow* reference = referenceWindow();
    IToolBar* bar = targetToolBar();
    if (!reference || !bar)
        return false;
    const bool before = dropsBefore(reference, bar, event.position());
    if (hasType(IDMNames::toolBarButton)) {
        IToolBarButton* button = toolBarButton();
        if (!button)
            return false;
        if (sourceToolBar() == bar) {
            if (before)
                bar->moveBefore(button, reference, false);
            else
                bar->moveAfter(button, reference, false);
        } else {
            moveToBar(button, bar);
            if (before)
                bar->addBefore(button, reference);
            else
                bar->addAfter(button, reference);
        }
        return true;
    }
    if (hasType(IDMNames::menuItem)) {
        IToolBarButton* button = newButtonFor(*this, bar);
        if (before)
            bar->addBefore(button, reference);
        else
            bar->addAfter(button, reference);
        return true;
    }
    if (hasType(IDMNames::bitmap) || hasType(IDMNames::text)) {
        auto* target = dynamic_cast<IToolBarButton*>(reference);
        if (!target)
            return false;
        IGBitmap picture(containerName() + sourceName());
        target->setBitmap(picture.handle());
        return true;
    }
    return false;
}

IBase::Boolean IDMToolBarItem::targetDrop(IDMTargetDropEvent&)
{
    IDMTargetOperation* operation = targetOperation();
    auto* bar = operation ? dynamic_cast<IToolBar*>(operation->targetWindow()) : nullptr;
    if (!bar)
        return false;
    if (hasType(IDMNames::menuItem)) {
        bar->addAsLast(newButtonFor(*this, bar));
        return true;
    }
    if (hasType(IDMNames::toolBarButton)) {
        IToolBarButton* button = toolBarButton();
        if (!button)
            return false;
        if (button->parent() == bar) {
            bar->remove(button);
        } else {
            moveToBar(button, bar);
        }
        bar->addAsLast(button);
        return true;
    }
    return false;
}
