// The tool bar button's drawing: the bitmap and text of its view, and up faces drawn from the
// button's own cache or from the face that standard-format buttons of a view share.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include <igbitmap.hpp>
#include <iprivmsg.hpp>

#include <detail/idragenb.hpp>
#include <detail/iscoped.hpp>

#include "detail/icbdraw.hpp"
#include "detail/itbdata.hpp"
#include "detail/itbstd.hpp"
#include "icbdrevt.hpp"
#include "itbarbut.hpp"

namespace ovk_toolbar {

namespace {

// The colours the border and background are drawn with.
const int kFaceColours[4] = {COLOR_BTNFACE, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_WINDOWTEXT};

bool readStandardButtonsSwitch()
{
    char value[8] = {};
    const DWORD length = GetEnvironmentVariableA("OVKUI OPTSTDBUTTONS", value, sizeof value);
    return !(length == 3 && std::strcmp(value, "OFF") == 0);
}

void copyBitmap(HDC target, HBITMAP source, const ISize& size)
{
    const ovk_native::MemoryDC memory(target);
    const ovk_native::Selection selected(memory.get(), source);
    BitBlt(target, 0, 0, size.width(), size.height(), memory.get(), 0, 0, SRCCOPY);
}

HBITMAP copyOf(HDC source, const ISize& size)
{
    ovk_native::Bitmap bitmap(CreateCompatibleBitmap(source, size.width(), size.height()));
    if (!bitmap)
        return nullptr;
    {
        // The copy must be out of the memory context before it is handed on.
        const ovk_native::MemoryDC memory(source);
        const ovk_native::Selection selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, size.width(), size.height(), source, 0, 0, SRCCOPY);
    }
    return bitmap.release();
}

} // namespace

StandardButtons& standardButtons()
{
    static StandardButtons* state = new StandardButtons;
    return *state;
}

IResource& standardLock()
{
    static IPrivateResource* lock = new IPrivateResource;
    return *lock;
}

bool standardButtonsOn()
{
    static const bool on = readStandardButtonsSwitch();
    return on;
}

void dropSharedFaces(unsigned mask)
{
    StandardButtons& state = standardButtons();
    for (unsigned view = 0; view < 3; ++view) {
        if (mask & (1u << view))
            state.faces[view].reset();
    }
    ++state.generation;
}

void checkSystemColours()
{
    StandardButtons& state = standardButtons();
    bool changed = false;
    for (int i = 0; i < 4; ++i)
        changed = changed || state.colours[i] != GetSysColor(kFaceColours[i]);
    if (!changed)
        return;
    dropSharedFaces(0x7);
    for (int i = 0; i < 4; ++i)
        state.colours[i] = GetSysColor(kFaceColours[i]);
}

} // namespace ovk_toolbar

IToolBarButtonDrawHandler::IToolBarButtonDrawHandler(IToolBarButton& button) : fButton(button) {}

IToolBarButtonDrawHandler::~IToolBarButtonDrawHandler() = default;

IBase::Boolean IToolBarButtonDrawHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.dispatchingHandle() != fButton.handle())
        return false;
    IToolBarButtonData& data = *fButton.fToolBarButtonData;
    switch (event.eventId()) {
    case IPrivateMessage::bitmapView:
    case IPrivateMessage::textView:
    case IPrivateMessage::bitmapAndTextView:
        fButton.setView(static_cast<IToolBarButton::View>(event.eventId() - IPrivateMessage::bitmapView));
        data.face.reset();
        return true;
    case IPrivateMessage::showsBitmapQuery:
        event.setResult(fButton.showsBitmap() ? 1 : 0);
        return true;
    case IPrivateMessage::showsTextQuery:
        event.setResult(fButton.showsText() ? 1 : 0);
        return true;
    case IPrivateMessage::toolBarButtonRequest:
        if (event.parameter1().asUnsignedLong() == IPrivateMessage::toolBarButtonEnableDrag) {
            ovk_window::enableDragDrop(&fButton);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == IPrivateMessage::toolBarButtonIdentify) {
            event.setResult(1);
            return true;
        }
        return false;
    default:
        return ICustomButtonDrawHandler::dispatchHandlerEvent(event);
    }
}

IBase::Boolean IToolBarButtonDrawHandler::draw(ICustomButtonDrawEvent& event)
{
    using namespace ovk_toolbar;
    IToolBarButtonData& data = *fButton.fToolBarButtonData;
    const ISize size = event.faceRectangle().size();
    const HDC dc = event.graphicContext().handle();
    const bool standardOn = standardButtonsOn();
    const bool up = event.isUp() && event.isEnabled();
    unsigned long generation = 0;
    {
        IResourceLock lock(standardLock());
        checkSystemColours();
        generation = standardButtons().generation;
    }
    // A face kept at another size (the button was resized since) is no use either.
    if (data.face.valid() && (data.face.generation() != generation || data.face.size() != size))
        data.face.reset();
    if (standardOn && up && data.face.valid()) {
        copyBitmap(dc, data.face.bitmap(), size);
        event.setResult(true);
        return true;
    }
    if (!(standardOn && up && drawFromCaches(event))) {
        drawBorder(event, 0, 0);
        drawBackground(event);
    }
    drawForeground(event);
    if (!event.isEnabled())
        drawDisabled(event);
    if (standardOn && up)
        data.face.keep(copyOf(dc, size), size, generation);
    event.setResult(true);
    return true;
}

// A standard-format button at its minimum size on the button face takes its border and
// background from the face its view shares, made on first use.
IBase::Boolean IToolBarButtonDrawHandler::drawFromCaches(ICustomButtonDrawEvent& event)
{
    using namespace ovk_toolbar;
    const IColor face = IGUIColor(IColor::buttonFace);
    IWindow* parent = fButton.parent();
    if (!fButton.isStandardFormat() || fButton.size() != fButton.calcMinimumSize() || !parent ||
        parent->backgroundColor() != face || fButton.backgroundColor() != face)
        return false;
    const ISize size = event.faceRectangle().size();
    const unsigned view = fButton.view();
    IResourceLock lock(standardLock());
    StandardButtons& state = standardButtons();
    if (state.faces[view] && state.faceSizes[view] != size)
        state.faces[view].reset();
    if (!state.faces[view]) {
        ICustomButtonDrawEvent shared(event, size);
        drawBorder(shared, 0, 0);
        drawBackground(shared);
        state.faces[view].reset(copyOf(shared.graphicContext().handle(), size));
        state.faceSizes[view] = size;
    }
    copyBitmap(event.graphicContext().handle(), state.faces[view].get(), size);
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    event.setFaceRectangle(faceInside(inset(IRectangle(size), cx, cy, cx, cy), false));
    return true;
}

IBase::Boolean IToolBarButtonDrawHandler::drawForeground(ICustomButtonDrawEvent& event)
{
    using namespace ovk_toolbar;
    IToolBarButtonData& data = *fButton.fToolBarButtonData;
    const IRectangle face = event.faceRectangle();
    const bool down = event.isDown() != 0;
    const bool standard = fButton.isStandardFormat();
    ISize standardSize;
    unsigned long textWidth = 0;
    if (standard) {
        IResourceLock lock(standardLock());
        standardSize = standardButtons().bitmapSize;
        textWidth = standardButtons().textWidth;
    }
    long textTop = face.minY();
    if (fButton.showsBitmap() && data.bitmapGraphic) {
        IGBitmap& graphic = event.isLatchedUp() && data.latchedGraphic ? *data.latchedGraphic
                                                                       : *data.bitmapGraphic;
        const ISize shown = graphic.size();
        long top = face.minY() + (face.height() - shown.height()) / 2;
        if (fButton.showsText()) {
            top = face.minY() + 1 + (down ? 1 : 0);
            if (standard)
                top += (standardSize.height() - shown.height()) / 2;
            textTop = standard ? face.minY() + 1 + (down ? 1 : 0) + standardSize.height()
                               : top + shown.height();
        }
        graphic.moveTo(IPoint(face.minX() + (face.width() - shown.width()) / 2, top));
        graphic.drawOn(event.graphicContext());
    }
    if (fButton.showsText()) {
        IRectangle textFace(face.minX(), textTop, face.maxX(), face.maxY());
        if (standard)
            textFace = IRectangle(face.minX() + 4, textTop,
                                  face.minX() + 4 + static_cast<long>(textWidth), face.maxY());
        const IColor color = event.isLatchedUp() ? fButton.latchedForegroundColor()
                                                 : fButton.foregroundColor();
        drawText(event.graphicContext(), fButton, fButton.buttonText(), textFace, down, color);
    }
    return true;
}
