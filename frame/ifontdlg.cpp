// The font dialog: its settings, the native record, the hook and the chosen font.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <string>

#include <detail/icallgrd.hpp>
#include <detail/iclasswide.hpp>
#include <iapp.hpp>
#include <ihandle.hpp>
#include <iobjwnd.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>

#include "detail/icdlghk.hpp"
#include "ifontdlg.hpp"

namespace {

constexpr char kFile[] = "ifontdlg";
constexpr char kInitialize[] =
    "IFontDialog::initialize(IWindow*,IWindow*,const Style&,IHandler*,const Settings&)";
// The standard template's colour label, sample text and colour list.
constexpr int kColorLabel = 1091;
constexpr int kSample = 1092;
constexpr int kColorList = 1139;
constexpr unsigned long kSampleGiven = 1;
constexpr unsigned long kTitleGiven = 2;
constexpr unsigned long kPositionGiven = 4;

IString loadedText(const IResourceId& id)
{
    try {
        return id.resourceLibrary().loadString(id.id());
    } catch (const IException&) {
        return IString();
    }
}

} // namespace

const IFontDialog::Style IFontDialog::_helpButton(CF_SHOWHELP);
const IFontDialog::Style IFontDialog::_showApplyButton(CF_APPLY);
const IFontDialog::Style IFontDialog::_inertStyle1(0);
const IFontDialog::Style IFontDialog::_applyButton(0, ovkcommondialog::applyBit);
const IFontDialog::Style IFontDialog::_inertStyle2(0);
const IFontDialog::Style IFontDialog::_noVectorFonts(CF_NOVECTORFONTS);
const IFontDialog::Style IFontDialog::_scalableOnly(CF_SCALABLEONLY);
const IFontDialog::Style IFontDialog::_fixedPitchOnly(CF_FIXEDPITCHONLY);
const IFontDialog::Style IFontDialog::_noSimulations(CF_NOSIMULATIONS);
const IFontDialog::Style IFontDialog::_inertStyle3(0);
const IFontDialog::Style IFontDialog::_inertStyle4(0);
const IFontDialog::Style IFontDialog::classDefaultStyle(0);

IFontDialog::Style IFontDialog::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IFontDialog::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

struct IFontDialogSettings::Record {
    IFont* font = nullptr;
    CHOOSEFONTA choice{};
    LOGFONTA attributes{};
    IString title;
    IString sample;
    IPoint position;
    unsigned long templateId = 0;
    unsigned long given = 0;
};

struct IFontDialogData {
    IFont* font = nullptr;
    IHandler* handler = nullptr;
    CHOOSEFONTA choice{};
    LOGFONTA attributes{};
    const IFontDialogSettings* settings = nullptr;
    IPoint position;
    ovkcommondialog::DialogState state{FONTDLGORD};
    unsigned long given = 0;
    IString title;
    IString sample;

    static UINT_PTR CALLBACK hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT_PTR handle(IFontDialog& dialog, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam);
    // The dialog's current choice into the settings and their font.
    static void reportChoice(IFontDialog& dialog);
};

// ---------------------------------------------------------------------------------------------
// Settings

IFontDialogSettings::IFontDialogSettings(IFont* font) : fRecord(new Record)
{
    Record& record = *fRecord;
    record.font = font;
    record.choice.lStructSize = sizeof(CHOOSEFONTA);
    if (!font)
        return;
    record.attributes = font->fontAttributes();
    record.choice.Flags |= CF_INITTOLOGFONTSTRUCT;
    if (font->isBitmapOnly())
        record.choice.Flags |= CF_NOVECTORFONTS;
    if (font->isVectorOnly())
        record.choice.Flags |= CF_SCALABLEONLY;
    if (font->isFixedOnly())
        record.choice.Flags |= CF_FIXEDPITCHONLY;
}

IFontDialogSettings::IFontDialogSettings(const IFontDialogSettings& other)
    : fRecord(new Record(*other.fRecord))
{
}

IFontDialogSettings& IFontDialogSettings::operator=(const IFontDialogSettings& other)
{
    *fRecord = *other.fRecord;
    return *this;
}

IFontDialogSettings::~IFontDialogSettings() = default;

IFontDialogSettings& IFontDialogSettings::setTitle(const char* title)
{
    if (title) {
        fRecord->title = title;
        fRecord->given |= kTitleGiven;
    }
    return *this;
}

IFontDialogSettings& IFontDialogSettings::setTitle(const IResourceId& title)
{
    const IString text = loadedText(title);
    return text.length() ? setTitle(static_cast<const char*>(text)) : *this;
}

IFontDialogSettings& IFontDialogSettings::setSampleText(const char* text)
{
    if (text) {
        fRecord->sample = text;
        fRecord->given |= kSampleGiven;
    }
    return *this;
}

IFontDialogSettings& IFontDialogSettings::setSampleText(const IResourceId& text)
{
    const IString loaded = loadedText(text);
    return loaded.length() ? setSampleText(static_cast<const char*>(loaded)) : *this;
}

IFontDialogSettings& IFontDialogSettings::setPosition(const IPoint& position)
{
    fRecord->position = position;
    fRecord->given |= kPositionGiven;
    return *this;
}

IFontDialogSettings& IFontDialogSettings::setPrinterPresSpace(const IPresSpaceHandle& printer)
{
    fRecord->choice.hDC = static_cast<HDC>(printer);
    fRecord->choice.Flags |= CF_PRINTERFONTS;
    return *this;
}

IFontDialogSettings& IFontDialogSettings::resetPrinterPresSpace()
{
    fRecord->choice.hDC = nullptr;
    fRecord->choice.Flags &= ~static_cast<DWORD>(CF_PRINTERFONTS);
    return *this;
}

IFontDialogSettings& IFontDialogSettings::setDialogTemplate(const IResourceId& dialogTemplate)
{
    fRecord->templateId = dialogTemplate.id();
    fRecord->choice.lpTemplateName = MAKEINTRESOURCEA(LOWORD(dialogTemplate.id()));
    fRecord->choice.hInstance =
        static_cast<HINSTANCE>(dialogTemplate.resourceLibrary().handle().asValue());
    return *this;
}

IFont* IFontDialogSettings::font() const { return fRecord->font; }
IString IFontDialogSettings::title() const { return fRecord->title; }
IString IFontDialogSettings::sampleText() const { return fRecord->sample; }
IPoint IFontDialogSettings::position() const { return fRecord->position; }
IBase::Boolean IFontDialogSettings::isPositionSet() const
{
    return (fRecord->given & kPositionGiven) != 0;
}
unsigned long IFontDialogSettings::flags() const { return fRecord->choice.Flags; }
const tagLOGFONTA& IFontDialogSettings::fontAttributes() const { return fRecord->attributes; }

// Defined with the dialog, whose settings the window subsystem knows only by name.
IFont& IFont::setFromDialog(const IFontDialogSettings& settings)
{
    return setAttributes(settings.fontAttributes());
}

// ---------------------------------------------------------------------------------------------
// The dialog

IFontDialog::IFontDialog(IWindow* parent, IWindow* owner, const Style& style)
    : IFontDialog(parent, owner, nullptr, Settings(), style)
{
}

IFontDialog::IFontDialog(IWindow* parent, IWindow* owner, IHandler* handler, const Style& style)
    : IFontDialog(parent, owner, handler, Settings(), style)
{
}

IFontDialog::IFontDialog(IWindow* parent, IWindow* owner, const Settings& settings,
                         const Style& style)
    : IFontDialog(parent, owner, nullptr, settings, style)
{
}

IFontDialog::IFontDialog(IWindow* parent, IWindow* owner, IHandler* handler,
                         const Settings& settings, const Style& style)
    : IFrameWindow(IResourceId(1000, IApplication::current().userResourceLibrary()), parent,
                   owner, IRectangle(), IFrameWindow::_deferCreation),
      fDialogData(new IFontDialogData)
{
    try {
        initialize(parent, owner, style, handler, settings);
    } catch (...) {
        delete fDialogData;
        throw;
    }
}

IFontDialog::~IFontDialog()
{
    delete fDialogData;
}

// The identifier and background colour are the dialog's state, not its window's: the system
// makes a new window for each run.
unsigned long IFontDialog::id() const { return fDialogData->state.id; }
IWindow& IFontDialog::setId(unsigned long id) { fDialogData->state.id = id; return *this; }
IColor IFontDialog::backgroundColor() const { return fDialogData->state.background; }
IWindow& IFontDialog::setBackgroundColor(const IColor& color) { fDialogData->state.setBackground(color); return *this; }

unsigned long IFontDialog::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    if (extended)
        return style.asExtendedUnsignedLong() & ovkcommondialog::applyBit;
    return style.asUnsignedLong() & 0x1FFFFFF;
}

IBase::Boolean IFontDialog::hasApplyButton() const
{
    return (extendedStyle() & ovkcommondialog::applyBit) != 0;
}

unsigned long IFontDialog::pointSize() const
{
    return static_cast<unsigned long>(fDialogData->choice.iPointSize / 10);
}

IBase::Boolean IFontDialog::pressedOK() const { return fDialogData->state.pressedOK(); }

unsigned long IFontDialog::result() const
{
    return fDialogData->state.result;
}

unsigned long IFontDialog::errorCode() const
{
    return fDialogData->state.error;
}

IFontDialog& IFontDialog::initialize(IWindow* parent, IWindow* owner, const Style& style,
                                     IHandler* handler, const Settings& settings)
{
    (void)parent;
    IFontDialogData& data = *fDialogData;
    const IFontDialogSettings::Record& start = *settings.fRecord;
    data.state.begin();
    data.font = start.font;
    data.handler = handler;
    data.settings = &settings;
    setExtendedStyle(extendedStyle() | convertToGUIStyle(style, true));

    data.choice = start.choice;
    data.choice.lStructSize = sizeof(CHOOSEFONTA);
    data.attributes = start.attributes;
    data.choice.lpLogFont = &data.attributes;
    data.choice.Flags |= convertToGUIStyle(style, false) | CF_SCREENFONTS | CF_EFFECTS;
    data.choice.nFontType = SCREEN_FONTTYPE;
    if (start.font)
        data.choice.Flags |= CF_INITTOLOGFONTSTRUCT;
    data.state.id = FONTDLGORD;
    if (start.templateId) {
        data.state.id = start.templateId;
        data.choice.Flags |= CF_ENABLETEMPLATE;
    }
    data.given = start.given;
    data.title = start.title;
    data.sample = start.sample;
    data.position = start.position;

    std::unique_ptr<IObjectWindow> temporaryOwner;
    data.choice.hwndOwner = ovkcommondialog::nativeOwner(owner, hasApplyButton(), temporaryOwner);
    // The hook and the notify handlers read the dialog back as an IFontDialog pointer.
    data.choice.lCustData = reinterpret_cast<LPARAM>(this);
    data.choice.lpfnHook = &IFontDialogData::hook;
    data.choice.Flags |= CF_ENABLEHOOK;

    const BOOL chose = ChooseFontA(&data.choice);
    temporaryOwner.reset();
    ICallbackGuard::rethrowPending();

    if (ovkcommondialog::ended(data.state, chose, "ChooseFont",
                               IEXCEPTION_LOCATION(kFile, kInitialize)))
        IFontDialogData::reportChoice(*this);
    return *this;
}

void IFontDialogData::reportChoice(IFontDialog& dialog)
{
    IFontDialogData& data = *dialog.fDialogData;
    IFontDialogSettings::Record& settings = *data.settings->fRecord;
    settings.attributes = data.attributes;
    settings.choice.iPointSize = data.choice.iPointSize;
    if (data.font)
        data.font->setFromDialog(*data.settings);
}

// The hook keeps the dialog object in the dialog window's DWLP_USER word from WM_INITDIALOG
// on; messages before it have no object to go to.
UINT_PTR CALLBACK IFontDialogData::hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ICallbackGuard::call(UINT_PTR(0), [&]() -> UINT_PTR {
        IFontDialog* dialog = nullptr;
        if (message == WM_INITDIALOG) {
            const auto* record = reinterpret_cast<const CHOOSEFONTA*>(lParam);
            dialog = reinterpret_cast<IFontDialog*>(record->lCustData);
            SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        } else {
            dialog = IFontDialogNotifyHandler::dialogOf(IWindowHandle(window));
        }
        if (!dialog)
            return 0;
        return handle(*dialog, window, message, wParam, lParam);
    });
}

UINT_PTR IFontDialogData::handle(IFontDialog& dialog, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam)
{
    IFontDialogData& data = *dialog.fDialogData;
    switch (message) {
    case WM_INITDIALOG:
        if (data.given & kSampleGiven)
            SetDlgItemTextA(window, kSample, data.sample);
        if (data.given & kTitleGiven)
            SetWindowTextA(window, data.title);
        for (const int control : {kColorLabel, kColorList}) {
            if (const HWND item = GetDlgItem(window, control))
                ShowWindow(item, SW_HIDE);
        }
        if (data.given & kPositionGiven)
            ovkcommondialog::placeDialog(window, data.choice.hwndOwner, data.position);
        ovkcommondialog::takeDialogWindow(dialog, window, data.handler);
        break;
    case WM_COMMAND: {
        const unsigned int id = LOWORD(wParam);
        if (id == ovkcommondialog::applyButton && dialog.hasApplyButton()) {
            SendMessageA(window, WM_CHOOSEFONT_GETLOGFONT, 0,
                         reinterpret_cast<LPARAM>(&data.attributes));
            reportChoice(dialog);
            SendMessageA(window, IPrivateMessage::dialogNotify, 0,
                         reinterpret_cast<LPARAM>(data.font));
        } else if (id == IDOK && (IPlatform::hasNewShell() || IPlatform::isPlatformVariant())) {
            // The record then holds the final choice, also where the system fills it late.
            SendMessageA(window, WM_CHOOSEFONT_GETLOGFONT, 0,
                         reinterpret_cast<LPARAM>(data.choice.lpLogFont));
        }
        ovkcommondialog::noteCommand(data.state, window, id);
        break;
    }
    default:
        break;
    }
    return ovkcommondialog::dispatch(dialog, data.state, window, message, wParam, lParam);
}
