// The text control base.
#include <windows.h>

#include <string>

#include <detail/ilaybits.hpp>
#include <ovkmsgid.hpp>

#include "detail/iwipetxt.hpp"
#include "ifont.hpp"
#include "itextctl.hpp"
#include "iwcname.hpp"

struct ITextControlData {
    virtual ~ITextControlData() = default;
    bool settingText = false;
    bool hadMnemonic = false;
};

const char* const ITextControl::textId = "ITextControl::text";

namespace {

// Clears the setting flag however setText is left.
class SettingText {
public:
    explicit SettingText(bool& flag) : fFlag(flag) { fFlag = true; }
    ~SettingText() { fFlag = false; }
    SettingText(const SettingText&) = delete;
    SettingText& operator=(const SettingText&) = delete;

private:
    bool& fFlag;
};

// A visible window of no size would show a half-drawn change: it is hidden meanwhile. Any
// other visible window only stops drawing and is redrawn once.
class QuietChange {
public:
    explicit QuietChange(ITextControl& control) : fControl(control)
    {
        if (!control.isVisible())
            return;
        const ISize size = control.size();
        fHidden = size.width() == 0 || size.height() == 0;
        fFrozen = !fHidden;
        if (fHidden)
            control.hide();
        else
            control.enableUpdate(false);
    }
    ~QuietChange() { restore(); }
    QuietChange(const QuietChange&) = delete;
    QuietChange& operator=(const QuietChange&) = delete;

    void restore()
    {
        if (fHidden)
            fControl.show();
        if (fFrozen) {
            fControl.enableUpdate(true);
            fControl.refresh();
        }
        fHidden = fFrozen = false;
    }

private:
    ITextControl& fControl;
    bool fHidden = false;
    bool fFrozen = false;
};

} // namespace

ITextControl::ITextControl() : fTextData(new ITextControlData) {}

ITextControl::~ITextControl()
{
    delete fTextData;
}

IWindow& ITextControl::setLayoutDistorted(unsigned long layoutAttributeOn,
                                          unsigned long layoutAttributeOff)
{
    // A new font means a new text size, and so a new minimum size.
    if (layoutAttributeOn & ovk_layout::fontChanged)
        layoutAttributeOn |= ovk_layout::minimumSizeChanged;
    return IControl::setLayoutDistorted(layoutAttributeOn, layoutAttributeOff);
}

ITextControl& ITextControl::setText(const char* newText)
{
    // Either text may be a password field's.
    const ovkshared::WipedText currentText(text());
    const ovkshared::WipedText wantedText{IString(newText)};
    const IString& current = currentText.text();
    const IString& wanted = wantedText.text();
    const bool mnemonic = wanted.indexOf('&') != 0;
    // A mnemonic text is always set again: the control may have drawn its underline for
    // another font or state.
    if (!mnemonic && !fTextData->hadMnemonic && wanted == current)
        return *this;

    const HWND window = handle();
    const IWindowClassName windowClass{IWindowHandle(window)};
    unsigned long changeCode = 0;
    const bool visible = isVisible();
    {
        SettingText setting(fTextData->settingText);
        QuietChange quiet(*this);
        const bool dropDownList = windowClass == "ComboBox" &&
                                  (GetWindowLongPtrA(window, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
        if (dropDownList) {
            if (!selectListItem(window, wanted) && visible) {
                quiet.restore();
                IThrow::message(OVK_MSG_TEXT_NOT_IN_LIST,
                                IExceptionLocation("itextctl", "ITextControl::setText(const char*)", 179));
            }
        } else {
            SetWindowTextA(window, wanted);
        }
        quiet.restore();
        changeCode = changeCodeFor(windowClass);
    }
    // Told with the flag cleared, exactly as the native control reports a typed change.
    if (changeCode) {
        const HWND parent = GetParent(window);
        if (parent) {
            SendMessageA(parent, WM_COMMAND,
                         static_cast<WPARAM>((changeCode << 16) | (id() & 0xFFFF)),
                         reinterpret_cast<LPARAM>(window));
        }
    }
    fTextData->hadMnemonic = mnemonic;
    return *this;
}

// The native search finds prefixes too and ignores case: only an item of the text's own
// length is taken. An empty text clears the selection.
bool ITextControl::selectListItem(HWND list, const IString& text) const
{
    if (text.isEmpty()) {
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return true;
    }
    LRESULT start = -1;
    for (;;) {
        const LRESULT found = SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(start),
                                           reinterpret_cast<LPARAM>(static_cast<const char*>(text)));
        // The search wraps round to the start of the list once every item was seen.
        if (found == CB_ERR || found <= start)
            return false;
        if (SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(found), 0) ==
            static_cast<LRESULT>(text.length())) {
            SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
            return true;
        }
        start = found;
    }
}

unsigned long ITextControl::changeCodeFor(const IWindowClassName& windowClass)
{
    if (windowClass == "ComboBox")
        return CBN_EDITCHANGE;
    if (windowClass == "Edit")
        return EN_CHANGE;
    return 0;
}

ITextControl& ITextControl::setText(const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setText(static_cast<const char*>(loaded));
}

IString ITextControl::text() const { return windowText(false); }

IString ITextControl::windowText(bool wipeBuffer) const
{
    const HWND window = handle();
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return IString();
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, &buffer[0], length + 1);
    IString text(buffer.data(), static_cast<unsigned long>(copied > 0 ? copied : 0));
    if (wipeBuffer)
        SecureZeroMemory(&buffer[0], buffer.size());
    return text;
}

unsigned long ITextControl::textLength() const
{
    const int length = GetWindowTextLengthA(handle());
    return length > 0 ? static_cast<unsigned long>(length) : 0;
}

ISize ITextControl::displaySize(const char* text) const
{
    const ovkshared::WipedText shownText(text ? IString(text) : this->text());
    const IString& shown = shownText.text();
    const IFont font(this);
    ISize size(static_cast<ISize::Coord>(font.textWidth(shown)),
               static_cast<ISize::Coord>(font.maxCharHeight()));
    if (GetWindowLongPtrA(handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
        size += ISize(4, 4);
    return size;
}

IBase::Boolean ITextControl::isSettingText() const
{
    return fTextData->settingText;
}

IBase::Boolean ITextControl::clipboardHasTextFormat()
{
    return IsClipboardFormatAvailable(CF_TEXT) != 0;
}
