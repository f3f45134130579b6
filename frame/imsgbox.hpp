// IMessageBox: a modal system message box owned by a window, with the library's severities,
// button groups and answers.
#pragma once

#include <ibitflag.hpp>
#include <iexcept.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <ireslib.hpp>

class IErrorInformation;
class IWindow;

// Three of the button groups (a lone Cancel, a lone Enter, Enter with Cancel) have no native
// box: they are shown with the native OK or OK and Cancel buttons and the answer is mapped.
class OVKWIN_API IMessageBox : public IVBase {
public:
    class OVKWIN_API Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
    };
    // In the order code built against the library relies on.
    static const Style _okButton;
    static const Style _okCancelButton;
    static const Style _cancelButton;
    static const Style _enterButton;
    static const Style _enterCancelButton;
    static const Style _retryCancelButton;
    static const Style _abortRetryIgnoreButton;
    static const Style _yesNoButton;
    static const Style _yesNoCancelButton;
    static const Style _defButton1;
    static const Style _defButton2;
    static const Style _defButton3;
    // Kept for sources of other platforms; they add no native flag.
    static const Style _noIcon;
    static const Style _moveable;
    static const Style _informationIcon;
    static const Style _queryIcon;
    static const Style _warningIcon;
    static const Style _errorIcon;
    static const Style _applicationModal;
    static const Style _systemModal;

    enum Severity : unsigned char { information, warning, action, error, fatal };
    enum Response : unsigned char { enter, ok, cancel, abort, retry, ignore, yes, no, unknown };

    // The box belongs to the owner (none when 0). The calling thread is made ready for windows.
    explicit IMessageBox(IWindow* owner);
    ~IMessageBox() override;

    virtual IMessageBox& setTitle(const char* title);
    // A text of the string table of the identifier's resource library.
    virtual IMessageBox& setTitle(const IResourceId& title);
    // The last argument of every show is a help id; any but 0 adds a Help button.
    virtual Response show(const char* text, Severity severity, unsigned long helpId = 0);
    virtual Response show(const IResourceId& text, Severity severity, unsigned long helpId = 0);
    // The string-table text, else the message-table text of the same number.
    virtual Response show(const IResourceId& text, const Style& style, unsigned long helpId = 0);
    virtual Response show(const char* text, const Style& style, unsigned long helpId = 0);
    // Severity error for a recoverable exception, fatal otherwise; the exception's first text.
    virtual Response show(const IException& exception, unsigned long helpId = 0);
    virtual Response show(const IErrorInformation& error, unsigned long helpId = 0);

    static Style convertSeverity(Severity severity);
    // The native answer (IDOK ...) as a response; 0 throws "IMESSAGEBOX".
    static Response convertResponse(unsigned long answer);

protected:
    // Shows the box and answers the native button, mapped for the emulated groups.
    unsigned long showMessageBox(const char* text, const char* title, unsigned long helpId,
                                 const Style& style);

private:
    IString titleFor() const;

    IString fTitle;
    IWindow* fOwner = nullptr;
    unsigned long fReserved = 0;
};
