// The drop-target registration handler and OLE's registrations of the windows it serves.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <idmsupp.hpp>
#include <idmtghdr.hpp>

#include <ovktest.hpp>

namespace {

// A drop target of the test's own, which asks OLE whether a window is registered by trying to
// register it.
class Probe : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
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
