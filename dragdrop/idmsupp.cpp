// OLE per thread and the container test.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <map>

#include <icnrmsg.hpp>
#include <iexcept.hpp>
#include <iresource.hpp>
#include <ovkmsgid.hpp>

#include <detail/idragenb.hpp>
#include <itbar.hpp>
#include <iwindow.hpp>

#include "idmdshdr.hpp"
#include "idmfact.hpp"
#include "idmtbit.hpp"
#include "idmrendr.hpp"
#include "idmsrhdr.hpp"
#include "idmsupp.hpp"
#include "idmtghdr.hpp"

namespace {

// Each thread touches only its own count, so none is locked.
thread_local unsigned long tOleUsers = 0;

} // namespace

void IDMSupport::initializeOle()
{
    if (tOleUsers++ == 0)
        OleInitialize(nullptr);
}

void IDMSupport::uninitializeOle()
{
    if (tOleUsers == 0)
        return;
    if (--tOleUsers == 0)
        OleUninitialize();
}

unsigned long IDMSupport::oleUseCount()
{
    return tOleUsers;
}

IBase::Boolean IDMSupport::isContainer(IWindow* window)
{
    if (!window)
        return false;
    // A longer class name is cut to what fits, which none of the two names needs.
    char name[30] = {};
    if (GetClassNameA(window->handle(), name, sizeof name) <= 0)
        return false;
    return std::strcmp(name, WC_CONTAINER) == 0 || std::strcmp(name, WC_NATIVECONTAINER) == 0;
}

// ---------------------------------------------------------------------------------------------
// The renderer list

namespace {

const char kFile[] = "idmsupp";

void checkPosition(unsigned long position, unsigned long count, const char* function)
{
    if (position < 1 || position > count)
        IThrow::message(OVK_MSG_POSITION_INVALID, IExceptionLocation(kFile, function, __LINE__));
}

} // namespace

IDMSupport::~IDMSupport() = default;

unsigned long IDMSupport::numberOfRenderers() const
{
    return fRenderers ? static_cast<unsigned long>(fRenderers->size()) : 0;
}

IDMRenderer* IDMSupport::renderer(unsigned long position) const
{
    checkPosition(position, numberOfRenderers(), "IDMSupport::renderer(unsigned long) const");
    return (*fRenderers)[position - 1];
}

IDMSupport& IDMSupport::replaceRenderer(unsigned long position, IDMRenderer& renderer)
{
    checkPosition(position, numberOfRenderers(),
                  "IDMSupport::replaceRenderer(unsigned long,IDMRenderer&)");
    (*fRenderers)[position - 1] = &renderer;
    return *this;
}

IDMSupport& IDMSupport::addRenderer(IDMRenderer& renderer)
{
    if (!fRenderers)
        fRenderers = std::make_unique<std::vector<IDMRenderer*>>();
    fRenderers->push_back(&renderer);
    return *this;
}

IDMSupport& IDMSupport::removeRenderer(unsigned long position)
{
    checkPosition(position, numberOfRenderers(), "IDMSupport::removeRenderer(unsigned long)");
    fRenderers->erase(fRenderers->begin() + static_cast<std::ptrdiff_t>(position - 1));
    return *this;
}

IDMSupport& IDMSupport::removeRenderer(IDMRenderer& renderer)
{
    if (!fRenderers)
        return *this;
    const auto found = std::find(fRenderers->begin(), fRenderers->end(), &renderer);
    if (found != fRenderers->end())
        fRenderers->erase(found);
    return *this;
}

IDMSupport& IDMSupport::setRenderer(IDMRenderer& renderer)
{
    fRenderers.reset();
    // Not through the virtual append, which a drag handler turns into nothing.
    return IDMSupport::addRenderer(renderer);
}

// ---------------------------------------------------------------------------------------------
// Shared objects, made on first use; the module's static destructors delete them when the
// library ends.

namespace {

struct Shared {
    std::unique_ptr<IDMSourceRenderer> sourceRenderer;
    std::unique_ptr<IDMTargetRenderer> targetRenderer;
    std::unique_ptr<IDMSourceHandler> sourceHandler;
    std::unique_ptr<IDMTargetHandler> targetHandler;
    std::unique_ptr<IDMDropTargetHandler> dropTargetHandler;
    std::unique_ptr<IDMDragStartHandler> dragStartHandler;
    IDMSourceHandler* chosenSource = nullptr;
    IDMTargetHandler* chosenTarget = nullptr;
    IPrivateResource factoriesLock;
    // The window's handle is kept with its provider: a window object deleted before its handlers
    // heard of its destruction may leave its entry behind, and a new window object made at the
    // same address must not inherit the provider.
    std::map<IWindow*, std::pair<HWND, IDMItemFactory*>> factories;
};

Shared& shared()
{
    static Shared objects;
    return objects;
}

} // namespace

IDMSourceRenderer& IDMSupport::defaultSourceRenderer()
{
    Shared& s = shared();
    if (!s.sourceRenderer)
        s.sourceRenderer = std::make_unique<IDMSourceRenderer>();
    return *s.sourceRenderer;
}

IDMTargetRenderer& IDMSupport::defaultTargetRenderer()
{
    Shared& s = shared();
    if (!s.targetRenderer)
        s.targetRenderer = std::make_unique<IDMTargetRenderer>();
    return *s.targetRenderer;
}

IDMSourceHandler& IDMSupport::sourceHandler()
{
    Shared& s = shared();
    if (s.chosenSource)
        return *s.chosenSource;
    if (!s.sourceHandler)
        s.sourceHandler = std::make_unique<IDMSourceHandler>();
    return *s.sourceHandler;
}

IDMTargetHandler& IDMSupport::targetHandler()
{
    Shared& s = shared();
    if (s.chosenTarget)
        return *s.chosenTarget;
    if (!s.targetHandler)
        s.targetHandler = std::make_unique<IDMTargetHandler>();
    return *s.targetHandler;
}

void IDMSupport::setSourceHandler(IDMSourceHandler* handler)
{
    shared().chosenSource = handler;
}

void IDMSupport::setTargetHandler(IDMTargetHandler* handler)
{
    shared().chosenTarget = handler;
}

IDMDropTargetHandler& IDMSupport::dropTargetHandler()
{
    Shared& s = shared();
    if (!s.dropTargetHandler)
        s.dropTargetHandler = std::make_unique<IDMDropTargetHandler>();
    return *s.dropTargetHandler;
}

IDMDragStartHandler& IDMSupport::dragStartHandler()
{
    Shared& s = shared();
    if (!s.dragStartHandler)
        s.dragStartHandler = std::make_unique<IDMDragStartHandler>();
    return *s.dragStartHandler;
}

void IDMSupport::setItemFactory(IWindow* window, IDMItemFactory* factory)
{
    Shared& s = shared();
    IResourceLock lock(s.factoriesLock);
    if (factory && window)
        s.factories[window] = {static_cast<HWND>(window->handle()), factory};
    else
        s.factories.erase(window);
}

IDMItemFactory* IDMSupport::itemFactoryFor(IWindow* window)
{
    Shared& s = shared();
    IResourceLock lock(s.factoriesLock);
    const auto found = s.factories.find(window);
    if (found == s.factories.end())
        return nullptr;
    if (found->second.first != static_cast<HWND>(window->handle())) {
        s.factories.erase(found);
        return nullptr;
    }
    return found->second.second;
}

// The drop-target registration and the drag-start handler each count the window's OLE use out
// when it is destroyed, so each counts it in once.
void IDMSupport::enable(IWindow* window, unsigned parts, IDMItemFactory* factory)
{
    if (!window)
        return;
    initializeOle();
    if ((parts & drag) && (parts & drop))
        initializeOle();
    if (parts & drag)
        sourceHandler().handleEventsFor(window);
    if (parts & drop)
        targetHandler().handleEventsFor(window);
    if (factory && !itemFactoryFor(window))
        setItemFactory(window, factory);
    if (parts & drop)
        dropTargetHandler().handleEventsFor(window);
    if (parts & drag)
        dragStartHandler().handleEventsFor(window);
}

void IDMSupport::enableDragDrop(IWindow* window)
{
    enable(window, drag | drop, &ovkDefaultItemFactory<IDMToolBarButtonItem>());
}

void IDMSupport::enableDragDropWithoutProvider(IWindow* window)
{
    enable(window, drag | drop, nullptr);
}

void IDMSupport::enableDrop(IWindow* window)
{
    enable(window, drop, &ovkDefaultItemFactory<IDMToolBarItem>());
}

void IDMSupport::enableDropWithoutProvider(IWindow* window)
{
    enable(window, drop, nullptr);
}

void IDMSupport::enableDragWithoutProvider(IWindow* window)
{
    enable(window, drag, nullptr);
}

// Tool bars and their buttons enable themselves through the window layer's registration point:
// a tool bar takes drops only, a button is dragged and dropped on.
namespace {

bool enableForWindowLayer(IWindow* window)
{
    if (!window)
        return false;
    if (dynamic_cast<IToolBar*>(window))
        IDMSupport::enableDrop(window);
    else
        IDMSupport::enableDragDrop(window);
    return true;
}

const bool kRegistered = (ovk_window::setDragEnabler(&enableForWindowLayer), true);

} // namespace
