// The default item provider and its acceptance policy.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include <icnrctl.hpp>
#include <icnrobj.hpp>

#include "idmevent.hpp"
#include "idmfact.hpp"
#include "idmnames.hpp"
#include "idmrendr.hpp"

namespace {

// The class name of a window, cut to 29 characters; empty when it cannot be read.
std::string classOf(HWND window)
{
    char name[30] = {};
    const int read = window ? GetClassNameA(window, name, sizeof name) : 0;
    return read > 0 ? std::string(name, static_cast<std::size_t>(read)) : std::string();
}

bool isContainerClass(const std::string& name)
{
    return name == "OVK Container" || name == "OVK Native Container";
}

bool typesHave(const IDMItem::Handle& item, const char* type)
{
    return item->types().includes(IString(type));
}

// The tool bar tests of "Menuitem" and "ToolBarButton" items: 3 for an identifier the tool bar
// already has, or a button of another process. False when the drop is refused.
bool toolBarAccepts(IDMTargetEnterEvent& event, IDMTargetOperation& operation,
                    const IDMItem::Handle& first, IWindow* bar)
{
    if (!bar)
        return true;
    if (typesHave(first, IDMNames::menuItem)) {
        const IDMItem::Handle source = IDMItem::sourceItemFor(first);
        const auto id = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(source->object()));
        if (IWindow::windowWithParent(id, bar, true)) {
            event.setDropAnswer(3);
            return false;
        }
    }
    if (typesHave(first, IDMNames::toolBarButton)) {
        IWindow* source = operation.sourceWindow();
        if (!source) {
            event.setDropAnswer(3);
            return false;
        }
        IWindow* same = IWindow::windowWithParent(source->id(), bar, true);
        if (same && same->handle() != operation.sourceWindowHandle()) {
            event.setDropAnswer(3);
            return false;
        }
    }
    return true;
}

bool isToolBarButton(IDMTargetOperation& operation)
{
    IWindowHandle target = operation.targetWindowHandle();
    return target.sendEvent(IPrivateMessage::toolBarButtonRequest,
                            IPrivateMessage::toolBarButtonIdentify, 0)
               .asUnsignedLong() != 0;
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
    IWindow* judged = event.containerWindow();
    if (!judged)
        judged = event.window();
    const std::string name = classOf(judged ? static_cast<HWND>(judged->handle()) : static_cast<HWND>(event.handle()));
    if (name.empty())
        return true;

    if (isContainerClass(name)) {
        ICnrObj* under = event.containerObject();
        if (under && !event.isOverContainerObject() && !under->isDropOnAble()) {
            event.setDropAnswer(0);
            return false;
        }
        IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
        operation->narrowRendererTypes(IDMNames::containerObject);
        const std::string sourceClass = classOf(operation->sourceWindowHandle());
        if (!sourceClass.empty() && !isContainerClass(sourceClass))
            return false;
        const unsigned long op = operation->operation();
        if (op != IDMOperation::move && op != IDMOperation::drag)
            return true;
        auto* source = dynamic_cast<ICnrCtl*>(operation->sourceWindow());
        auto* target = dynamic_cast<ICnrCtl*>(operation->targetWindow());
        for (unsigned long i = 1; i <= operation->numberOfItems(); ++i) {
            const IDMItem::Handle sourceItem = IDMItem::sourceItemFor(operation->item(i));
            if (!sourceItem || !source)
                continue;
            // As the drop places it: in a tree, under the object it is dropped on; in rows,
            // after that object.
            const bool tree = target && target->isTreeView();
            ICnrObj* parent = tree ? operation->containerObject() : nullptr;
            ICnrObj* after =
                !tree && event.isOverContainerObject() ? operation->containerObject() : nullptr;
            if (!source->isMoveValid(static_cast<ICnrObj*>(sourceItem->object()), parent, target,
                                     after)) {
                event.setDropAnswer(0);
                return false;
            }
        }
        return true;
    }

    if (name == "Button" || name == "Static") {
        IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
        if (!isToolBarButton(*operation))
            return true;
        const IDMItem::Handle first = operation->item(1);
        const bool button = name == "Button";
        if (button && operation->sourceWindowHandle() == operation->targetWindowHandle()) {
            event.setDropAnswer(3);
            return false;
        }
        if (typesHave(first, IDMNames::toolBarButton) || typesHave(first, IDMNames::menuItem))
            return toolBarAccepts(event, *operation, first,
                                  button ? (judged ? judged->parent() : nullptr) : judged);
        if (button && typesHave(first, IDMNames::bitmap))
            return true;
        if (button && typesHave(first, IDMNames::text)) {
            if (IString::lowerCase(first->sourceName()).includes(IString(".bmp")))
                return true;
        }
        event.setDropAnswer(3);
        return false;
    }

    if (name == "Edit") {
        IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
        if (operation->sourceWindowHandle() == operation->targetWindowHandle()) {
            event.setDropAnswer(3);
            return false;
        }
        operation->narrowRendererTypes(IDMNames::text);
        return true;
    }
    return true;
}
