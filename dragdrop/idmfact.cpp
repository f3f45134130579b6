// The default item provider and its acceptance policy.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>

#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include <icnrctl.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>

#include "detail/idmanswr.hpp"
#include "idmevent.hpp"
#include "idmfact.hpp"
#include "idmnames.hpp"
#include "idmrendr.hpp"

namespace {

using ovk_dragdrop::neverDropHere;
using ovk_dragdrop::noDropHereNow;

// What the acceptance policy decides for the items entering a window.
enum class Verdict {
    take,           // the items may be dropped here
    refuseNow,      // not here now: the pointer may move on to a place that takes them
    refuseNever,    // never on this window, wherever the pointer goes in it
    refuseQuietly,  // not taken, with the answer left as the window's handlers set it
};

// The class name of a window, cut to 29 characters; empty when it cannot be read.
std::string classOf(HWND window)
{
    char name[30] = {};
    const int read = window ? GetClassNameA(window, name, sizeof name) : 0;
    return read > 0 ? std::string(name, static_cast<std::size_t>(read)) : std::string();
}

bool isContainerClass(const std::string& name)
{
    return name == WC_CONTAINER || name == WC_NATIVECONTAINER;
}

bool typesHave(const IDMItem::Handle& item, const char* type)
{
    return item->types().includes(IString(type));
}

// The tool bar tests of "Menuitem" and "ToolBarButton" items: never a drop for an identifier
// the tool bar already has, or a button of another process.
Verdict toolBarVerdict(IDMTargetOperation& operation, const IDMItem::Handle& first, IWindow* bar)
{
    if (!bar)
        return Verdict::take;
    if (typesHave(first, IDMNames::menuItem)) {
        const IDMItem::Handle source = IDMItem::sourceItemFor(first);
        const auto id = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(source->object()));
        if (IWindow::windowWithParent(id, bar, true))
            return Verdict::refuseNever;
    }
    if (typesHave(first, IDMNames::toolBarButton)) {
        IWindow* source = operation.sourceWindow();
        if (!source)
            return Verdict::refuseNever;
        IWindow* same = IWindow::windowWithParent(source->id(), bar, true);
        if (same && same->handle() != operation.sourceWindowHandle())
            return Verdict::refuseNever;
    }
    return Verdict::take;
}

bool isToolBarButton(IDMTargetOperation& operation)
{
    IWindowHandle target = operation.targetWindowHandle();
    return target.sendEvent(IPrivateMessage::toolBarButtonRequest,
                            IPrivateMessage::toolBarButtonIdentify, 0)
               .asUnsignedLong() != 0;
}

// Whether a move or drag of the operation's items from a container is one the source container
// takes, with each item placed as the drop would place it: in a tree, under the object it is
// dropped on; in rows, after that object. Items of another process are passed over.
bool containerMovesValid(IDMTargetEnterEvent& event, IDMTargetOperation& operation)
{
    auto* source = dynamic_cast<ICnrCtl*>(operation.sourceWindow());
    auto* target = dynamic_cast<ICnrCtl*>(operation.targetWindow());
    for (unsigned long i = 1; i <= operation.numberOfItems(); ++i) {
        const IDMItem::Handle sourceItem = IDMItem::sourceItemFor(operation.item(i));
        if (!sourceItem || !source)
            continue;
        const bool tree = target && target->isTreeView();
        ICnrObj* parent = tree ? operation.containerObject() : nullptr;
        ICnrObj* after =
            !tree && event.isOverContainerObject() ? operation.containerObject() : nullptr;
        if (!source->isMoveValid(static_cast<ICnrObj*>(sourceItem->object()), parent, target,
                                 after))
            return false;
    }
    return true;
}

// A container takes container objects from a container (or from a window whose class cannot be
// read): not onto an object that refuses drops, nor a move the source container refuses.
Verdict containerVerdict(IDMTargetEnterEvent& event)
{
    ICnrObj* under = event.containerObject();
    if (under && !event.isOverContainerObject() && !under->isDropOnAble())
        return Verdict::refuseNow;
    IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
    operation->narrowRendererTypes(IDMNames::containerObject);
    const std::string sourceClass = classOf(operation->sourceWindowHandle());
    if (!sourceClass.empty() && !isContainerClass(sourceClass))
        return Verdict::refuseQuietly;
    const unsigned long op = operation->operation();
    if (op != IDMOperation::move && op != IDMOperation::drag)
        return Verdict::take;
    return containerMovesValid(event, *operation) ? Verdict::take : Verdict::refuseNow;
}

// A tool bar's button (a "Button" control) or text (a "Static" one) takes tool bar buttons and
// menu items the tool bar has not got yet; a button also takes a bitmap, or text naming a .bmp
// file. A control that is no tool bar button takes anything, and a button never itself.
Verdict toolBarControlVerdict(IWindow* judged, bool button)
{
    IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
    if (!isToolBarButton(*operation))
        return Verdict::take;
    const IDMItem::Handle first = operation->item(1);
    if (button && operation->sourceWindowHandle() == operation->targetWindowHandle())
        return Verdict::refuseNever;
    if (typesHave(first, IDMNames::toolBarButton) || typesHave(first, IDMNames::menuItem))
        return toolBarVerdict(*operation, first,
                              button ? (judged ? judged->parent() : nullptr) : judged);
    if (button && typesHave(first, IDMNames::bitmap))
        return Verdict::take;
    if (button && typesHave(first, IDMNames::text) &&
        IString::lowerCase(first->sourceName()).includes(IString(".bmp")))
        return Verdict::take;
    return Verdict::refuseNever;
}

// An entry field takes text, never its own.
Verdict entryFieldVerdict()
{
    IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
    if (operation->sourceWindowHandle() == operation->targetWindowHandle())
        return Verdict::refuseNever;
    operation->narrowRendererTypes(IDMNames::text);
    return Verdict::take;
}

// The policy's verdict for the window the items enter, by the window's class.
Verdict verdictFor(IDMTargetEnterEvent& event)
{
    IWindow* judged = event.containerWindow();
    if (!judged)
        judged = event.window();
    const std::string name = classOf(judged ? static_cast<HWND>(judged->handle()) : static_cast<HWND>(event.handle()));
    if (name.empty())
        return Verdict::take;
    if (isContainerClass(name))
        return containerVerdict(event);
    if (name == WC_BUTTONA || name == WC_STATICA)
        return toolBarControlVerdict(judged, name == WC_BUTTONA);
    if (name == WC_EDITA)
        return entryFieldVerdict();
    return Verdict::take;
}

} // namespace

IDMItemFactory::~IDMItemFactory() = default;

IBase::Boolean IDMItemFactory::provideSourceItems(IDMSourceBeginEvent&)
{
    return IDMItem::generateSourceItems(ovkCurrentSourceOperation());
}

IBase::Boolean IDMItemFactory::provideLeaveSupport(IDMTargetLeaveEvent&)
{
    return false;
}

IBase::Boolean IDMItemFactory::provideHelpSupport(IDMTargetHelpEvent&)
{
    return false;
}

IDMItem::Handle IDMItemFactory::provideTargetItemFor(const IDMItem::Handle& item)
{
    return item;
}

IBase::Boolean IDMItemFactory::provideEnterSupport(IDMTargetEnterEvent& event)
{
    switch (verdictFor(event)) {
    case Verdict::take:
        return true;
    case Verdict::refuseNow:
        event.setDropAnswer(noDropHereNow);
        return false;
    case Verdict::refuseNever:
        event.setDropAnswer(neverDropHere);
        return false;
    case Verdict::refuseQuietly:
        return false;
    }
    return false;
}
