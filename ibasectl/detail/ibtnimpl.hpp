// What the concrete buttons share: creation on the "Button" class, the minimum size of the
// buttons with a check mark, and the handler that answers their colour requests.
#pragma once

#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/iscoped.hpp>

#include "ihandler.hpp"
#include "itextctl.hpp"

// The brush last made for a control's colours; deleted with the record or by the next colour
// request.
struct IButtonBrushRecord {
    virtual ~IButtonBrushRecord() = default;
    ovk_native::Brush brush;
};

namespace ovkbutton {

// Throws the argument check `condition` (at `file`, `function`) when there is no parent, then
// adds the style's extended bits and creates the native button.
void create(ITextControl& button, unsigned long id, IWindow* parent, IWindow* owner,
            const IRectangle& rect, const IWindow::Style& style, const char* condition,
            const char* file, const char* function);
// The text's size plus the check mark (a quarter of the system's check-box bitmap).
ISize checkMinimumSize(const ITextControl& button);
// The colour request's result: the control's colours set into the device context and a new
// brush of its background, which the record keeps.
LRESULT answerColorRequest(const IEvent& event, ITextControl& button, IButtonBrushRecord& record);

} // namespace ovkbutton

// Answers WM_CTLCOLORBTN and WM_CTLCOLORSTATIC for the button that the request names.
template <class Button>
class IButtonColorHandler : public IHandler {
public:
    static IButtonColorHandler& shared() { return ovk_app::sharedHandler<IButtonColorHandler>(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        const unsigned long id = event.eventId();
        if (id != WM_CTLCOLORBTN && id != WM_CTLCOLORSTATIC)
            return false;
        auto* button = dynamic_cast<Button*>(event.dispatchingWindow());
        if (!button || event.parameter2().asPointer() != button->handle().asValue())
            return false;
        event.setResult(ovkbutton::answerColorRequest(event, *button, *button->fBrushData));
        return true;
    }
};

namespace ovkbutton {

// The handle of the parent's child with this identifier; message 62 when there is none.
IWindowHandle childOf(unsigned long id, IWindow* parent, const char* file, const char* function);

} // namespace ovkbutton

namespace ovkbutton {

// A button's native words: the base class's with, in the extended word, the library's top
// byte, and in the native word the left-text bit, WS_CHILD and the button kind.
unsigned long guiStyle(unsigned long base, const IBitFlag& style, IBase::Boolean extended,
                       unsigned long kind);
// Replaces the button kind in the native style; true when it changed (the button is then
// restyled and redrawn).
bool setKind(IWindow& button, unsigned long kind);

} // namespace ovkbutton
