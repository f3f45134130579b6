// IFileDialog: the system's open and save-as file dialogs as a frame window of the library, with
// the settings they start from and receive the choice in, and the handler that checks a chosen
// name and hears the Apply button.
#pragma once

#include <memory>

#include <ipoint.hpp>
#include <istring.hpp>

#include <iclsstyl.hpp>
#include <icolor.hpp>
#include <idefs.hpp>
#include <ievent.hpp>
#include <ihandler.hpp>
#include <ireslib.hpp>

#include "iframe.hpp"

struct IFileDialogData;
struct tagOFNA;

// The dialog opens in the constructor and is closed when the constructor returns; the object
// then answers what was chosen. Handlers given to the constructor see the dialog's messages
// while it is open.
class OVKWIN_API IFileDialog : public IFrameWindow {
public:
    using Style = IWindowClassStyle<IFileDialog>;
    static const Style _helpButton;
    static const Style _multipleSelection;
    // The application's windows stay enabled, and the dialog template's Apply button (0x402)
    // is reported to the handlers while the dialog stays open.
    static const Style _applyButton;
    // Styles of no effect here, kept so that code that names them builds.
    static const Style _inertStyle1;
    static const Style _inertStyle2;
    static const Style _inertStyle3;
    static const Style _inertStyle4;
    static const Style _inertStyle5;
    static const Style _inertStyle6;
    static const Style _inertStyle7;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // What the dialog starts with; after a successful dialog it holds the chosen file text.
    // Can be reused for the next dialog.
    class OVKWIN_API Settings {
    public:
        Settings();
        Settings(const Settings& other);
        Settings& operator=(const Settings& other);
        ~Settings();

        // Texts loaded from a string table leave the setting as it was when they are empty.
        Settings& setTitle(const char* title);
        Settings& setTitle(const IResourceId& title);
        Settings& setOKButtonText(const char* text);
        Settings& setOKButtonText(const IResourceId& text);
        Settings& setFileName(const char* fileName);
        Settings& setInitialDirectory(const char* directory);
        // A text of the application's own, kept with the settings; the dialog does not read it.
        Settings& setUserText(const char* text);
        // Relative to the owner's left edge and, in the application's coordinates, its bottom
        // or top edge.
        Settings& setPosition(const IPoint& position);
        Settings& setOpenDialog();
        Settings& setSaveAsDialog();
        Settings& setDialogTemplate(const IResourceId& dialogTemplate);

        IString title() const;
        IString okButtonText() const;
        IString fileName() const;
        IString initialDirectory() const;
        IString userText() const;
        IPoint position() const;
        IBase::Boolean isPositionSet() const;
        IBase::Boolean isOpenDialog() const;
        IBase::Boolean isSaveAsDialog() const;
        IBase::Boolean isDialogTemplateSet() const;
        unsigned long dialogTemplateId() const;
        // True once a dialog ended with OK on these settings.
        IBase::Boolean wasSuccessful() const;

    private:
        friend class IFileDialog;
        struct Record;
        std::unique_ptr<Record> fRecord;
    };

    IFileDialog(IWindow* parent, IWindow* owner, const Style& style = defaultStyle());
    IFileDialog(IWindow* parent, IWindow* owner, IHandler* handler,
                const Style& style = defaultStyle());
    IFileDialog(IWindow* parent, IWindow* owner, const Settings& settings,
                const Style& style = defaultStyle());
    IFileDialog(IWindow* parent, IWindow* owner, IHandler* handler, const Settings& settings,
                const Style& style = defaultStyle());
    ~IFileDialog() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& setId(unsigned long id) override;
    unsigned long id() const override;
    IColor backgroundColor() const override;
    IWindow& setBackgroundColor(const IColor& color) override;

    IBase::Boolean pressedOK() const;
    // 1 = OK, 2 = cancelled or failed.
    unsigned long result() const override;
    // The extended error of the last failed dialog (CommDlgExtendedError), 0 for a cancel.
    unsigned long errorCode() const;
    IBase::Boolean hasApplyButton() const;
    // 1 without multiple selection; otherwise the number of names after the directory.
    unsigned long selectedFileCount() const;
    // The full name of the chosen file with the index; empty past the last one.
    IString fileName(unsigned long index = 0) const;

protected:
    IFileDialog& initialize(IWindow* parent, IWindow* owner, const Style& style,
                            IHandler* handler, const Settings& settings);

private:
    friend struct IFileDialogData;

    tagOFNA* fRecord = nullptr;
    IFileDialogData* fDialogData = nullptr;
};

// The event of the name checks: the dialog's message, the file text it holds now and the
// answer, which starts as 1 (accepted).
class OVKWIN_API IFileDialogEvent : public IEvent {
public:
    IFileDialogEvent(IEvent& event, IFileDialog* dialog, const IString& fileText);
    ~IFileDialogEvent() override;

    IFileDialog* fileDialog() const;
    IString fileText() const;
    unsigned long answer() const;
    IFileDialogEvent& setAnswer(unsigned long answer);

private:
    IFileDialog* fDialog;
    IString fFileText;
    unsigned long fAnswer = 1;
};

// Attached to a file dialog (given to its constructor, or by handleEventsFor): checks a chosen
// name before the dialog accepts it, and, with an Apply button, hears its presses and the end
// of the dialog.
class OVKWIN_API IFileDialogHandler : public IHandler {
public:
    IFileDialogHandler();
    ~IFileDialogHandler() override;

    // The dialog must not be null.
    virtual IFileDialogHandler& handleEventsFor(IFileDialog* fileDialog);
    virtual IFileDialogHandler& stopHandlingEventsFor(IFileDialog* fileDialog);
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // Ask verifySelection and verifyFileName and keep the answer as the event's.
    virtual IBase::Boolean selectionChanged(IFileDialogEvent& event);
    virtual IBase::Boolean verifySelection(IFileDialog* dialog, const IString& fileText);
    virtual IBase::Boolean fileNameOK(IFileDialogEvent& event);
    // False keeps the dialog open. True by default.
    virtual IBase::Boolean verifyFileName(IFileDialog* dialog, const IString& fileText);
    virtual IBase::Boolean applyEnded(IFileDialog* dialog);
    virtual IBase::Boolean apply(IFileDialog* dialog, const IString& fileText);

private:
    unsigned long fFileNameOKMessage;
};
