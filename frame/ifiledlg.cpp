// The file dialog: its settings, the native record, the hook and the chosen names.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <string>
#include <vector>

#include <detail/icallgrd.hpp>
#include <detail/iclasswide.hpp>
#include <iapp.hpp>
#include <iobjwnd.hpp>
#include <iprivmsg.hpp>

#include "detail/icdlghk.hpp"
#include "ifiledlg.hpp"

namespace {

constexpr char kFile[] = "ifiledlg";
constexpr char kInitialize[] =
    "IFileDialog::initialize(IWindow*,IWindow*,const Style&,IHandler*,const Settings&)";
constexpr unsigned long kOKTextGiven = 1;
constexpr unsigned long kPositionGiven = 4;
// A single name fits MAX_PATH; a multiple selection holds a directory and many names.
constexpr std::size_t kSingleBuffer = 260;
constexpr std::size_t kMultipleBuffer = 4096;

// A text of the identifier's string table; empty when there is none.
IString loadedText(const IResourceId& id)
{
    try {
        return id.resourceLibrary().loadString(id.id());
    } catch (const IException&) {
        return IString();
    }
}

} // namespace

const IFileDialog::Style IFileDialog::_helpButton(OFN_SHOWHELP);
const IFileDialog::Style IFileDialog::_multipleSelection(OFN_ALLOWMULTISELECT);
const IFileDialog::Style IFileDialog::_applyButton(0, ovkcommondialog::applyBit);
const IFileDialog::Style IFileDialog::_inertStyle1(0);
const IFileDialog::Style IFileDialog::_inertStyle2(0);
const IFileDialog::Style IFileDialog::_inertStyle3(0);
const IFileDialog::Style IFileDialog::_inertStyle4(0);
const IFileDialog::Style IFileDialog::_inertStyle5(0);
const IFileDialog::Style IFileDialog::_inertStyle6(0);
const IFileDialog::Style IFileDialog::_inertStyle7(0);
const IFileDialog::Style IFileDialog::classDefaultStyle(0);

IFileDialog::Style IFileDialog::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IFileDialog::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

struct IFileDialog::Settings::Record {
    IString title;
    IString okButtonText;
    IString fileName;
    IString initialDirectory;
    IString userText;
    IPoint position;
    bool positionSet = false;
    bool open = true;
    unsigned long templateId = 0;
    HMODULE templateModule = nullptr;
    bool templateSet = false;
    bool successful = false;
};

struct IFileDialogData {
    IHandler* handler = nullptr;
    std::string title;
    std::string initialDirectory;
    IPoint position;
    ovkcommondialog::DialogState state{FILEOPENORD};
    unsigned long flags = 0;
    IString okButtonText;
    std::vector<char> file;

    static UINT_PTR CALLBACK hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT_PTR handle(IFileDialog& dialog, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam);
};

// ---------------------------------------------------------------------------------------------
// Settings

IFileDialog::Settings::Settings() : fRecord(new Record) {}
IFileDialog::Settings::Settings(const Settings& other) : fRecord(new Record(*other.fRecord)) {}
IFileDialog::Settings& IFileDialog::Settings::operator=(const Settings& other)
{
    *fRecord = *other.fRecord;
    return *this;
}
IFileDialog::Settings::~Settings() = default;

IFileDialog::Settings& IFileDialog::Settings::setTitle(const char* title)
{
    fRecord->title = title;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setTitle(const IResourceId& title)
{
    const IString text = loadedText(title);
    if (text.length())
        fRecord->title = text;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setOKButtonText(const char* text)
{
    fRecord->okButtonText = text;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setOKButtonText(const IResourceId& text)
{
    const IString loaded = loadedText(text);
    if (loaded.length())
        fRecord->okButtonText = loaded;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setFileName(const char* fileName)
{
    fRecord->fileName = fileName;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setInitialDirectory(const char* directory)
{
    fRecord->initialDirectory = directory;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setUserText(const char* text)
{
    fRecord->userText = text;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setPosition(const IPoint& position)
{
    fRecord->position = position;
    fRecord->positionSet = true;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setOpenDialog()
{
    fRecord->open = true;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setSaveAsDialog()
{
    fRecord->open = false;
    return *this;
}

IFileDialog::Settings& IFileDialog::Settings::setDialogTemplate(const IResourceId& dialogTemplate)
{
    fRecord->templateId = dialogTemplate.id();
    fRecord->templateModule =
        static_cast<HMODULE>(dialogTemplate.resourceLibrary().handle().asValue());
    fRecord->templateSet = true;
    return *this;
}

IString IFileDialog::Settings::title() const { return fRecord->title; }
IString IFileDialog::Settings::okButtonText() const { return fRecord->okButtonText; }
IString IFileDialog::Settings::fileName() const { return fRecord->fileName; }
IString IFileDialog::Settings::initialDirectory() const { return fRecord->initialDirectory; }
IString IFileDialog::Settings::userText() const { return fRecord->userText; }
IPoint IFileDialog::Settings::position() const { return fRecord->position; }
IBase::Boolean IFileDialog::Settings::isPositionSet() const { return fRecord->positionSet; }
IBase::Boolean IFileDialog::Settings::isOpenDialog() const { return fRecord->open; }
IBase::Boolean IFileDialog::Settings::isSaveAsDialog() const { return !fRecord->open; }
IBase::Boolean IFileDialog::Settings::isDialogTemplateSet() const { return fRecord->templateSet; }
unsigned long IFileDialog::Settings::dialogTemplateId() const { return fRecord->templateId; }
IBase::Boolean IFileDialog::Settings::wasSuccessful() const { return fRecord->successful; }

// ---------------------------------------------------------------------------------------------
// The dialog

namespace {

IResourceId frameId()
{
    return IResourceId(1000, IApplication::current().userResourceLibrary());
}

} // namespace

IFileDialog::IFileDialog(IWindow* parent, IWindow* owner, const Style& style)
    : IFileDialog(parent, owner, nullptr, Settings(), style)
{
}

IFileDialog::IFileDialog(IWindow* parent, IWindow* owner, IHandler* handler, const Style& style)
    : IFileDialog(parent, owner, handler, Settings(), style)
{
}

IFileDialog::IFileDialog(IWindow* parent, IWindow* owner, const Settings& settings,
                         const Style& style)
    : IFileDialog(parent, owner, nullptr, settings, style)
{
}

IFileDialog::IFileDialog(IWindow* parent, IWindow* owner, IHandler* handler,
                         const Settings& settings, const Style& style)
    : IFrameWindow(frameId(), parent, owner, IRectangle(), IFrameWindow::_deferCreation),
      fRecord(new OPENFILENAMEA{}), fDialogData(new IFileDialogData)
{
    try {
        initialize(parent, owner, style, handler, settings);
    } catch (...) {
        delete fRecord;
        delete fDialogData;
        throw;
    }
}

IFileDialog::~IFileDialog()
{
    delete fRecord;
    delete fDialogData;
}

// The identifier and background colour are the dialog's state, not its window's: the system
// makes a new window for each run.
unsigned long IFileDialog::id() const { return fDialogData->state.id; }
IWindow& IFileDialog::setId(unsigned long id) { fDialogData->state.id = id; return *this; }
IColor IFileDialog::backgroundColor() const { return fDialogData->state.background; }
IWindow& IFileDialog::setBackgroundColor(const IColor& color) { fDialogData->state.setBackground(color); return *this; }

unsigned long IFileDialog::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    if (extended)
        return style.asExtendedUnsignedLong() & ovkcommondialog::applyBit;
    return style.asUnsignedLong() & 0x2FFFFF;
}

IBase::Boolean IFileDialog::hasApplyButton() const
{
    return (extendedStyle() & ovkcommondialog::applyBit) != 0;
}

IBase::Boolean IFileDialog::pressedOK() const { return fDialogData->state.pressedOK(); }

unsigned long IFileDialog::result() const
{
    return fDialogData->state.result;
}

unsigned long IFileDialog::errorCode() const
{
    return fDialogData->state.error;
}

namespace {

// The settings' file name goes into the dialog's buffer, which must hold it with its terminator,
// or the dialog would read past it.
void placeFileName(IFileDialogData& data, OPENFILENAMEA& record, const IString& fileName,
                   bool multiple)
{
    const std::size_t bufferSize = multiple ? kMultipleBuffer : kSingleBuffer;
    if (!(fileName.length() < bufferSize))
        IThrow::argument("settings.fileName().length() < nMaxFile",
                         IEXCEPTION_LOCATION(kFile, kInitialize));
    data.file.assign(bufferSize, '\0');
    std::memcpy(data.file.data(), static_cast<const char*>(fileName), fileName.length());
    record.lpstrFile = data.file.data();
    record.nMaxFile = static_cast<DWORD>(bufferSize);
}

// What the settings ask for besides the file name: the title, the OK button's text and the
// position (set by the hook when the dialog starts), the initial folder and the template. The
// data keeps the texts for as long as the record points to them.
template <class Chosen>
void takeChoices(IFileDialogData& data, OPENFILENAMEA& record, const Chosen& chosen)
{
    data.flags = 0;
    if (chosen.title.length()) {
        data.title = static_cast<const char*>(chosen.title);
        record.lpstrTitle = data.title.c_str();
    }
    if (chosen.okButtonText.length()) {
        data.okButtonText = chosen.okButtonText;
        data.flags |= kOKTextGiven;
    }
    if (chosen.positionSet) {
        data.position = chosen.position;
        data.flags |= kPositionGiven;
    }
    data.initialDirectory = static_cast<const char*>(chosen.initialDirectory);
    if (!data.initialDirectory.empty())
        record.lpstrInitialDir = data.initialDirectory.c_str();
    if (chosen.templateSet) {
        record.lpTemplateName = MAKEINTRESOURCEA(chosen.templateId);
        record.hInstance = chosen.templateModule;
    }
    record.lpstrFilter = "All Files\0*.*\0\0";
    record.nFilterIndex = 1;
}

// The record's flags: the style's own bits, then what every file dialog of the library asks
// for (no read-only check box, the process's current folder left alone, only existing folders,
// the hook that gives the dialog's messages to the dialog object), the template when one is
// chosen, and the question before a save replaces a file.
template <class Chosen>
DWORD recordFlags(unsigned long styleBits, const Chosen& chosen)
{
    DWORD flags = styleBits | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                  OFN_ENABLEHOOK;
    if (chosen.templateSet)
        flags |= OFN_ENABLETEMPLATE;
    if (!chosen.open)
        flags |= OFN_OVERWRITEPROMPT;
    return flags;
}

// Runs the system's open or save dialog; true when the user chose a file.
BOOL runSystemDialog(OPENFILENAMEA& record, bool open)
{
    return open ? GetOpenFileNameA(&record) : GetSaveFileNameA(&record);
}

} // namespace

IFileDialog& IFileDialog::initialize(IWindow* parent, IWindow* owner, const Style& style,
                                     IHandler* handler, const Settings& settings)
{
    (void)parent;
    IFileDialogData& data = *fDialogData;
    const Settings::Record& chosen = *settings.fRecord;
    data.handler = handler;
    data.state.begin();
    setExtendedStyle(extendedStyle() | convertToGUIStyle(style, true));

    OPENFILENAMEA& record = *fRecord;
    record = OPENFILENAMEA{};
    record.lStructSize = sizeof(OPENFILENAMEA);
    record.Flags = recordFlags(convertToGUIStyle(style, false), chosen);
    const bool multiple = (record.Flags & OFN_ALLOWMULTISELECT) != 0;
    placeFileName(data, record, chosen.fileName, multiple);
    takeChoices(data, record, chosen);

    std::unique_ptr<IObjectWindow> temporaryOwner;
    record.hwndOwner = ovkcommondialog::nativeOwner(owner, hasApplyButton(), temporaryOwner);
    record.lCustData = reinterpret_cast<LPARAM>(this);
    record.lpfnHook = &IFileDialogData::hook;
    data.state.id =
        chosen.templateSet ? chosen.templateId : multiple ? MULTIFILEOPENORD : FILEOPENORD;

    const BOOL chose = runSystemDialog(record, chosen.open);
    temporaryOwner.reset();
    ICallbackGuard::rethrowPending();

    if (ovkcommondialog::ended(data.state, chose, "OpenFileName",
                               IEXCEPTION_LOCATION(kFile, kInitialize))) {
        settings.fRecord->fileName = IString(data.file.data());
        settings.fRecord->successful = true;
    }
    return *this;
}

// The hook keeps the dialog object in the dialog window's DWLP_USER word from WM_INITDIALOG on;
// messages before it have no object to go to.
UINT_PTR CALLBACK IFileDialogData::hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ICallbackGuard::call(UINT_PTR(0), [&]() -> UINT_PTR {
        IFileDialog* dialog = nullptr;
        if (message == WM_INITDIALOG) {
            const auto* record = reinterpret_cast<const OPENFILENAMEA*>(lParam);
            dialog = reinterpret_cast<IFileDialog*>(record->lCustData);
            SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        } else {
            dialog = reinterpret_cast<IFileDialog*>(GetWindowLongPtrA(window, DWLP_USER));
        }
        return dialog ? handle(*dialog, window, message, wParam, lParam) : 0;
    });
}

UINT_PTR IFileDialogData::handle(IFileDialog& dialog, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam)
{
    IFileDialogData& data = *dialog.fDialogData;
    switch (message) {
    case WM_INITDIALOG:
        if (data.flags & kOKTextGiven)
            SetDlgItemTextA(window, IDOK, data.okButtonText);
        if (data.flags & kPositionGiven)
            ovkcommondialog::placeDialog(window, dialog.fRecord->hwndOwner, data.position);
        if (const HWND owner = dialog.fRecord->hwndOwner)
            SetWindowPos(owner, window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ovkcommondialog::takeDialogWindow(dialog, window, data.handler);
        break;
    case WM_COMMAND: {
        const unsigned int id = LOWORD(wParam);
        if (id == ovkcommondialog::applyButton && dialog.hasApplyButton())
            SendMessageA(window, IPrivateMessage::dialogNotify, 0,
                         reinterpret_cast<LPARAM>(dialog.fRecord->lpstrFile));
        ovkcommondialog::noteCommand(data.state, window, id);
        break;
    }
    default:
        break;
    }
    return ovkcommondialog::dispatch(dialog, data.state, window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The chosen names

namespace {

// The file text of a multiple selection: the directory, then the names, separated by blanks.
std::vector<std::string> partsOf(const char* fileText)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char* c = fileText; *c; ++c) {
        if (*c == ' ') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *c;
        }
    }
    parts.push_back(part);
    return parts;
}

} // namespace

unsigned long IFileDialog::selectedFileCount() const
{
    if (!(fRecord->Flags & OFN_ALLOWMULTISELECT) || !fRecord->lpstrFile)
        return 1;
    const std::size_t names = partsOf(fRecord->lpstrFile).size() - 1;
    return names ? static_cast<unsigned long>(names) : 1;
}

IString IFileDialog::fileName(unsigned long index) const
{
    const unsigned long count = selectedFileCount();
    if (index >= count || !fRecord->lpstrFile)
        return IString();
    if (index == 0 && count == 1)
        return IString(fRecord->lpstrFile);
    const std::vector<std::string> parts = partsOf(fRecord->lpstrFile);
    const std::string& directory = parts.front();
    // A root ("C:\") or a share ends with the separator already.
    const bool separated = !directory.empty() && directory.back() == '\\';
    return IString((directory + (separated ? "" : "\\") + parts[index + 1]).c_str());
}
