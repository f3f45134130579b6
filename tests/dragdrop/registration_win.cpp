// The drop-target registration handler and OLE's registrations of the windows it serves.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <idmsupp.hpp>
#include <idmtghdr.hpp>

#include <ovktest.hpp>

#include "dragtest.hpp"

namespace {

// A drop target of the test's own, which asks OLE whether a window is registered by trying to
// register it.
class Probe : public dragtest::AnsweringTarget {
public:
    Probe() : AnsweringTarget(DROPEFFECT_NONE) {}
};

// OLE's answer to a registration of the window: S_OK when it was free (the probe is revoked
// again at once), DRAGDROP_E_ALREADYREGISTERED when a target holds it.
HRESULT registration(HWND window)
{
    Probe probe;
    const HRESULT result = RegisterDragDrop(window, &probe);
    if (result == S_OK)
        RevokeDragDrop(window);
    return result;
}

TEST(DropTargetRegistration, AHandlerGoneBeforeItsWindowTakesTheRegistrationAlong)
{
    IDMSupport::initializeOle();
    ovktest::TestWindow window;
    {
        IDMDropTargetHandler handler;
        handler.handleEventsFor(&window);
        EXPECT_EQ(registration(window.hwnd()), DRAGDROP_E_ALREADYREGISTERED);
    }
    EXPECT_EQ(registration(window.hwnd()), S_OK);
    IDMSupport::uninitializeOle();
}

} // namespace
