// The demo's documents: a multi-line edit that starts with the text file shipped beside the
// demo, and the file and font dialogs, which the autoplay opens for a moment each.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include <ifiledlg.hpp>
#include <ifontdlg.hpp>
#include <imle.hpp>

#include "ovkdemo.h"

namespace {

constexpr UINT_PTR kShowTimer = 1;
// How long each dialog stays open before the autoplay takes its screenshot and cancels it.
constexpr UINT kDialogFor = 900;

std::string besideProgram(const char* name)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1) + name;
}

// Leaves the dialog open for a moment once it shows, asks for its screenshot and cancels it.
// True for the messages it took.
bool holdForAMoment(IEvent& event, const char* shot)
{
    const HWND dialog = event.handle();
    if (event.eventId() == WM_INITDIALOG) {
        SetTimer(dialog, kShowTimer, kDialogFor, nullptr);
    } else if (event.eventId() == WM_TIMER && event.parameter1().asUnsignedLong() == kShowTimer) {
        KillTimer(dialog, kShowTimer);
        requestScreenshot(shot);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    return false;
}

// Attached to the file dialog, it sees the dialog window's messages from the hook.
class FileMoment : public IFileDialogHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        return holdForAMoment(event, "file") || IFileDialogHandler::dispatchHandlerEvent(event);
    }
};

class FontMoment : public IFontDialogNotifyHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        return holdForAMoment(event, "font") || IFontDialogNotifyHandler::dispatchHandlerEvent(event);
    }
};

} // namespace

IMultiLineEdit* createDocumentEdit(IWindow& parent, unsigned long id)
{
    auto edit = std::make_unique<IMultiLineEdit>(id, &parent, &parent, IRectangle(0, 0, 200, 150));
    edit->setTab(32);
    try {
        edit->importFromFile(besideProgram("ovkdemo.txt").c_str());
    } catch (const IException& failure) {
        std::fprintf(stderr, "ovkdemo.txt: %s\n", failure.what());
    }
    edit->setCursorPosition(0);
    edit->resetChangedFlag();
    return edit.release();
}

void playDocumentDialogs(IWindow& owner)
{
    try {
        FileMoment fileMoment;
        IFileDialog::Settings files;
        files.setTitle("Open a text").setOKButtonText("Load");
        files.setInitialDirectory(besideProgram("").c_str());
        files.setFileName("ovkdemo.txt");
        IFileDialog(nullptr, &owner, &fileMoment, files);

        FontMoment fontMoment;
        IFont font("Tahoma", 10);
        IFontDialog::Settings fonts(&font);
        fonts.setTitle("Choose the edit's font").setSampleText("The quick brown fox");
        IFontDialog(nullptr, &owner, &fontMoment, fonts);
    } catch (const IException& failure) {
        std::fprintf(stderr, "dialogs: %s\n", failure.what());
    }
}
