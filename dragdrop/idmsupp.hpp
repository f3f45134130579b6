// IDMSupport: what every part of drag and drop shares: OLE started per thread, and the test
// that tells a container window.
#pragma once

#include <memory>
#include <vector>

#include <idefs.hpp>
#include <ihandler.hpp>

class IDMDragStartHandler;
class IDMDropTargetHandler;
class IDMItemFactory;
class IDMRenderer;
class IDMSourceHandler;
class IDMSourceRenderer;
class IDMTargetHandler;
class IDMTargetRenderer;
class IWindow;

// The base of the drag handlers. OLE's drag and drop needs OLE initialised on the thread that
// owns the windows; each user counts itself in and out, and only the first and the last call of
// a thread reach OLE.
class OVKWIN_API IDMSupport : public IHandler {
public:
    // One more OLE user on the calling thread: OleInitialize when the count goes from 0 to 1.
    static void initializeOle();
    // One user less: OleUninitialize when the count reaches 0. A thread that never counted
    // itself in is left alone.
    static void uninitializeOle();
    // The calling thread's count.
    static unsigned long oleUseCount();

    // True for a window of the container classes "OVK Container" and "OVK Native Container";
    // false for a null window.
    static IBase::Boolean isContainer(IWindow* window);

    ~IDMSupport() override;

    // The renderer list, positions from 1 (message 161 outside 1 to the count). The list does
    // not own its renderers.
    virtual unsigned long numberOfRenderers() const;
    virtual IDMRenderer* renderer(unsigned long position) const;
    virtual IDMSupport& replaceRenderer(unsigned long position, IDMRenderer& renderer);
    virtual IDMSupport& addRenderer(IDMRenderer& renderer);
    virtual IDMSupport& removeRenderer(unsigned long position);
    virtual IDMSupport& removeRenderer(IDMRenderer& renderer);
    // The renderer becomes the only one.
    virtual IDMSupport& setRenderer(IDMRenderer& renderer);

    // One call makes a window a drag source, a drop target or both: OLE for the thread, the
    // shared handlers and, unless the window has one, the item provider.
    static void enableDragDrop(IWindow* window);
    template <class ItemClass> static void enableDragDropFor(IWindow* window);
    static void enableDragDropWithoutProvider(IWindow* window);
    static void enableDrop(IWindow* window);
    template <class ItemClass> static void enableDropFor(IWindow* window);
    static void enableDropWithoutProvider(IWindow* window);
    template <class ItemClass> static void enableDragFor(IWindow* window);
    static void enableDragWithoutProvider(IWindow* window);

    // The shared handlers, made on first use unless the application set its own.
    static IDMSourceHandler& sourceHandler();
    static IDMTargetHandler& targetHandler();
    static void setSourceHandler(IDMSourceHandler* handler);
    static void setTargetHandler(IDMTargetHandler* handler);
    static IDMSourceRenderer& defaultSourceRenderer();
    static IDMTargetRenderer& defaultTargetRenderer();
    static IDMDropTargetHandler& dropTargetHandler();
    static IDMDragStartHandler& dragStartHandler();

    // The window's item provider (null: none); the provider stays the caller's. The drag
    // handlers forget a window's provider when the window is destroyed.
    static void setItemFactory(IWindow* window, IDMItemFactory* factory);
    static IDMItemFactory* itemFactoryFor(IWindow* window);
    // Installs the default provider of the item class unless the window has a provider.
    template <class ItemClass> static void setDefaultItemFactory(IWindow* window);

protected:
    IDMSupport() = default;

private:
    enum Parts : unsigned { drag = 1, drop = 2 };
    static void enable(IWindow* window, unsigned parts, IDMItemFactory* factory);

    std::unique_ptr<std::vector<IDMRenderer*>> fRenderers;
};
