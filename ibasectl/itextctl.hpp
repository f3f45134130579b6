// ITextControl: the base of every control that shows a window text.
#pragma once

#include <idefs.hpp>
#include <ireslib.hpp>

#include "icontrol.hpp"

class IWindowClassName;
struct ITextControlData;

// Text by string and by resource, its length and the size it needs in the control's font. A
// text set by the program on an edit or combo box is reported to the parent as the native
// control reports a typed one, so that code listening to the parent sees both alike.
class OVKWIN_API ITextControl : public IControl {
public:
    // Told when the window text changes.
    static const char* const textId;

    ~ITextControl() override;

    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;

    // Nothing happens when the text is unchanged and neither it nor the text before holds a
    // mnemonic. A drop-down list selects the item of exactly this text; message 187 when a
    // visible list has none.
    virtual ITextControl& setText(const char* text);
    virtual ITextControl& setText(const IResourceId& text);
    virtual IString text() const;
    virtual unsigned long textLength() const;
    // The size of the text (the current one when null) in the control's font, 4 pixels more
    // each way with a client edge.
    virtual ISize displaySize(const char* text = nullptr) const;

    // True while setText changes the native text: the change is the program's, not the user's.
    IBase::Boolean isSettingText() const;
    static IBase::Boolean clipboardHasTextFormat();

protected:
    ITextControl();
    // The native window text; with `wipeBuffer` the buffer it is read through is zeroed before
    // it goes back to the heap, for a text that is a secret.
    IString windowText(bool wipeBuffer) const;

private:
    bool selectListItem(HWND__* list, const IString& text) const;
    static unsigned long changeCodeFor(const IWindowClassName& windowClass);

    ITextControlData* fTextData;
};
