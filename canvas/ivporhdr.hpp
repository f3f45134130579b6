// The view port's handlers: a new size lays it out, scroll messages and keys scroll the view,
// and two paint handlers keep the background fill off the scroll bars and the view window.
#pragma once

#include <idefs.hpp>
#include <ikeyhdr.hpp>
#include <ipainhdr.hpp>
#include <iresizeh.hpp>
#include <iscrlhdr.hpp>

class IViewPort;
class IViewRectangle;

class OVKWIN_API IViewPortResizeHandler : public IResizeHandler {
public:
    IViewPortResizeHandler() noexcept = default;
    ~IViewPortResizeHandler() override;
    virtual IViewPortResizeHandler& handleEventsFor(IViewPort* viewPort);
    virtual IViewPortResizeHandler& stopHandlingEventsFor(IViewPort* viewPort);

protected:
    IBase::Boolean windowResize(IResizeEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;
};

// Views up to 32767 pixels along a bar scroll by the bar's own line and page moves; longer
// ones are scrolled in pixels and the scaled scroll box follows.
class OVKWIN_API IViewPortScrollHandler : public IScrollHandler {
public:
    IViewPortScrollHandler() noexcept = default;
    ~IViewPortScrollHandler() override;
    virtual IViewPortScrollHandler& handleEventsFor(IViewPort* viewPort);
    virtual IViewPortScrollHandler& stopHandlingEventsFor(IViewPort* viewPort);

protected:
    IBase::Boolean lineUp(IScrollEvent& event) override;
    IBase::Boolean lineDown(IScrollEvent& event) override;
    IBase::Boolean pageUp(IScrollEvent& event) override;
    IBase::Boolean pageDown(IScrollEvent& event) override;
    IBase::Boolean lineLeft(IScrollEvent& event) override;
    IBase::Boolean lineRight(IScrollEvent& event) override;
    IBase::Boolean pageLeft(IScrollEvent& event) override;
    IBase::Boolean pageRight(IScrollEvent& event) override;
    IBase::Boolean scrollBoxTrack(IScrollEvent& event) override;
    IBase::Boolean scrollBoxPosition(IScrollEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;
    IBase::Boolean scroll(IScrollEvent& event);
};

// Page Up and Down, the arrows, and Ctrl with Page Up and Down (sideways) scroll the view as
// the scroll bars would.
class OVKWIN_API IViewPortKeyboardHandler : public IKeyboardHandler {
public:
    IViewPortKeyboardHandler() noexcept = default;
    ~IViewPortKeyboardHandler() override;
    virtual IViewPortKeyboardHandler& handleEventsFor(IViewPort* viewPort);
    virtual IViewPortKeyboardHandler& stopHandlingEventsFor(IViewPort* viewPort);

protected:
    IBase::Boolean keyWithScanCode(IKeyboardEvent& event) override;
    IBase::Boolean nonCharacterKey(IKeyboardEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;
    IBase::Boolean scrollKey(IKeyboardEvent& event);
};

// Validates the scroll bars and the view rectangle, so the canvas's background fill that
// follows leaves them alone. One instance serves every view port.
class OVKWIN_API IViewPortPaintHandler : public IPaintHandler {
public:
    IViewPortPaintHandler() noexcept = default;
    ~IViewPortPaintHandler() override;
    static IViewPortPaintHandler& shared();
    virtual IViewPortPaintHandler& handleEventsFor(IViewPort* viewPort);
    virtual IViewPortPaintHandler& stopHandlingEventsFor(IViewPort* viewPort);

protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;
};

// Validates the part of the view rectangle that the view window covers. One instance serves
// every view rectangle.
class OVKWIN_API IViewRectanglePaintHandler : public IPaintHandler {
public:
    IViewRectanglePaintHandler() noexcept = default;
    ~IViewRectanglePaintHandler() override;
    static IViewRectanglePaintHandler& shared();
    virtual IViewRectanglePaintHandler& handleEventsFor(IViewRectangle* viewRect);
    virtual IViewRectanglePaintHandler& stopHandlingEventsFor(IViewRectangle* viewRect);

protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;
};
