// The message box.
#include <windows.h>

#include <ierrinfo.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <memory>
#include <vector>

#include <detail/icallgrd.hpp>
#include <detail/iobjwndh.hpp>
#include <ithread.hpp>
#include <iwindow.hpp>

#include "imsgbox.hpp"

constexpr IMessageBox::Style IMessageBox::_okButton(MB_OK);
constexpr IMessageBox::Style IMessageBox::_okCancelButton(MB_OKCANCEL);
constexpr IMessageBox::Style IMessageBox::_cancelButton(13);
constexpr IMessageBox::Style IMessageBox::_enterButton(14);
constexpr IMessageBox::Style IMessageBox::_enterCancelButton(15);
constexpr IMessageBox::Style IMessageBox::_retryCancelButton(MB_RETRYCANCEL);
constexpr IMessageBox::Style IMessageBox::_abortRetryIgnoreButton(MB_ABORTRETRYIGNORE);
constexpr IMessageBox::Style IMessageBox::_yesNoButton(MB_YESNO);
constexpr IMessageBox::Style IMessageBox::_yesNoCancelButton(MB_YESNOCANCEL);
constexpr IMessageBox::Style IMessageBox::_defButton1(MB_DEFBUTTON1);
constexpr IMessageBox::Style IMessageBox::_defButton2(MB_DEFBUTTON2);
constexpr IMessageBox::Style IMessageBox::_defButton3(MB_DEFBUTTON3);
constexpr IMessageBox::Style IMessageBox::_noIcon(0);
constexpr IMessageBox::Style IMessageBox::_moveable(0);
constexpr IMessageBox::Style IMessageBox::_informationIcon(MB_ICONINFORMATION);
constexpr IMessageBox::Style IMessageBox::_queryIcon(MB_ICONQUESTION);
constexpr IMessageBox::Style IMessageBox::_warningIcon(MB_ICONEXCLAMATION);
constexpr IMessageBox::Style IMessageBox::_errorIcon(MB_ICONHAND);
constexpr IMessageBox::Style IMessageBox::_applicationModal(MB_APPLMODAL);
constexpr IMessageBox::Style IMessageBox::_systemModal(MB_SYSTEMMODAL);

namespace {

const char kFile[] = "imsgbox";

// The library's own button groups in the low four bits of the native word.
constexpr unsigned long kGroupMask = 0xF;
constexpr unsigned long kCancelGroup = 13;
constexpr unsigned long kEnterGroup = 14;
constexpr unsigned long kEnterCancelGroup = 15;
// The native answer that stands for Enter.
constexpr unsigned long kEnterAnswer = 15;
// The stop request of the library's message loops.
constexpr UINT kStopLoop = 0xFFE0;

unsigned long nativeFlags(unsigned long style, unsigned long helpId)
{
    unsigned long flags = style;
    if (helpId)
        flags |= MB_HELP;
    const unsigned long group = flags & kGroupMask;
    if (group == kCancelGroup || group == kEnterGroup)
        flags = (flags & ~kGroupMask) | MB_OK;
    else if (group == kEnterCancelGroup)
        flags = (flags & ~kGroupMask) | MB_OKCANCEL;
    return flags | MB_SETFOREGROUND;
}

unsigned long mapAnswer(unsigned long group, unsigned long answer)
{
    switch (group) {
    case kCancelGroup: return IDCANCEL;
    case kEnterGroup: return kEnterAnswer;
    case kEnterCancelGroup: return answer == IDOK ? kEnterAnswer : answer;
    default: return answer;
    }
}

bool stopRequestWaiting(MSG* message)
{
    return PeekMessageA(message, nullptr, kStopLoop, kStopLoop, PM_NOREMOVE) != 0;
}

} // namespace

IMessageBox::IMessageBox(IWindow* owner) : fOwner(owner)
{
    static_cast<ICurrentThread&>(IThread::current()).initializeGUI(30);
}

IMessageBox::~IMessageBox() = default;

IMessageBox& IMessageBox::setTitle(const char* title)
{
    fTitle = title ? title : "";
    return *this;
}

IMessageBox& IMessageBox::setTitle(const IResourceId& title)
{
    fTitle = title.resourceLibrary().loadString(title.id());
    return *this;
}

IMessageBox::Response IMessageBox::show(const char* text, Severity severity, unsigned long helpId)
{
    return show(text, convertSeverity(severity), helpId);
}

IMessageBox::Response IMessageBox::show(const IResourceId& text, Severity severity,
                                        unsigned long helpId)
{
    return show(text, convertSeverity(severity), helpId);
}

IMessageBox::Response IMessageBox::show(const IResourceId& text, const Style& style,
                                        unsigned long helpId)
{
    const IResourceLibrary& library = text.resourceLibrary();
    IString message = library.tryToLoadString(text.id());
    if (message.length() == 0) {
        std::unique_ptr<char[]> fromTable(library.loadText(false, text.id(), nullptr, 0, false));
        if (fromTable)
            message = fromTable.get();
    }
    return show(static_cast<const char*>(message), style, helpId);
}

IMessageBox::Response IMessageBox::show(const char* text, const Style& style, unsigned long helpId)
{
    const IString title = titleFor();
    return convertResponse(showMessageBox(text ? text : "", title, helpId, style));
}

IMessageBox::Response IMessageBox::show(const IException& exception, unsigned long helpId)
{
    const IString text = exception.text(0);
    return show(static_cast<const char*>(text), exception.isRecoverable() ? error : fatal, helpId);
}

IMessageBox::Response IMessageBox::show(const IErrorInformation& error, unsigned long helpId)
{
    return show(error.text(), fatal, helpId);
}

// Without a title of its own the box takes the owner's window text; the object window and the
// desktop have none worth showing.
IString IMessageBox::titleFor() const
{
    if (fTitle.length() || !fOwner)
        return fTitle;
    HWND owner = fOwner->handle();
    if (owner == GetDesktopWindow() || owner == objectWindowHandle())
        return IString();
    const int length = GetWindowTextLengthA(owner);
    if (length <= 0)
        return IString();
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(owner, text.data(), length + 1);
    return IString(text.data());
}

unsigned long IMessageBox::showMessageBox(const char* text, const char* title,
                                          unsigned long helpId, const Style& style)
{
    static const char function[] =
        "IMessageBox::showMessageBox(const char*,const char*,unsigned long,const Style&)";
    const unsigned long flags = nativeFlags(style.asUnsignedLong(), helpId);
    MSG pending{};
    const bool stopWaiting = stopRequestWaiting(&pending);
    HWND owner = fOwner ? static_cast<HWND>(fOwner->handle()) : nullptr;
    int answer;
    if (IPlatform::isPlatformVariant()) {
        answer = MessageBoxA(owner, text, title, static_cast<UINT>(flags));
    } else {
        MSGBOXPARAMSA parameters{};
        parameters.cbSize = sizeof parameters;
        parameters.hwndOwner = owner;
        parameters.lpszText = text;
        parameters.lpszCaption = title;
        parameters.dwStyle = static_cast<DWORD>(flags);
        parameters.dwContextHelpId = helpId;
        answer = MessageBoxIndirectA(&parameters);
        if (answer == 0)
            IThrow::systemError("MessageBoxIndirect", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, function));
    }
    // The box runs a message loop of its own, which may have taken a stop request meant for a
    // loop of ours further out: that loop must still end.
    MSG after{};
    if (stopWaiting && !stopRequestWaiting(&after))
        PostMessageA(nullptr, pending.message, pending.wParam, pending.lParam);
    // What a handler threw while the box's loop dispatched for us leaves here, in our own code.
    ICallbackGuard::rethrowPending();
    return mapAnswer(style.asUnsignedLong() & kGroupMask, static_cast<unsigned long>(answer));
}

IMessageBox::Style IMessageBox::convertSeverity(Severity severity)
{
    switch (severity) {
    case information: return _informationIcon | _okButton;
    case warning: return _warningIcon | _enterCancelButton;
    case action: return _queryIcon | _retryCancelButton;
    case error: return _errorIcon | _retryCancelButton;
    case fatal: return _errorIcon | _okButton;
    }
    IThrow::message(OVK_MSG_INVALID_VALUE,
                    IEXCEPTION_LOCATION(kFile, "IMessageBox::convertSeverity(Severity)"));
}

IMessageBox::Response IMessageBox::convertResponse(unsigned long answer)
{
    if (answer == 0)
        IThrow::systemError("IMESSAGEBOX", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "IMessageBox::convertResponse(unsigned long)"));
    if (answer >= IDOK && answer <= IDNO)
        return static_cast<Response>(answer);
    return answer == kEnterAnswer ? enter : unknown;
}
