// Numbers shared by the demo and its resources.
#pragma once

#define kAboutFrame 3000
#define kAboutText 3001
#define kContextMenu 3100
#define kContextAbout 3101
// The main frame: its menu bar and the strings its information area shows for the items.
#define kMainFrame 3200
#define kFileMenu 1100
#define kExit 1101
#define kViewMenu 1200
#define kStatusBar 1201
#define kGrid 1202
#define kHelpMenu 1300
#define kHelpIndex 1301
#define kAbout 1302
#define kEditMenu 1400
#define kCopy 1401
// The menu bar's File > Exit.
#define kContextExit kExit

#ifndef RC_INVOKED
// Asks the script that runs the demo (tools/run-demo) for a screenshot of the screen as it is
// now, saved as build/demo-<name>.png ("main" gives build/demo.png), and waits until it has
// been taken. Sent and paint messages are served meanwhile, so that what the screen shows is
// drawn; timers and input wait, so the autoplay stands still. Without "--shots DIR" on the
// command line it does nothing.
void requestScreenshot(const char* name);
// Reads "--shots DIR" from the command line.
void setScreenshotFolder(const char* commandLine);

#include <memory>
class DragDemo;
class IMultiLineEdit;
// Whether one of the autoplay's hands is dragging: the other waits, for one hand holds the one
// pointer (ovkdemo_drag.cpp).
bool isHandAtWork();
void setHandAtWork(bool atWork);
class IWindow;
struct DragDemoDeleter {
    void operator()(DragDemo* demo) const;
};
// A window beside the main frame that is an OLE drop target and lists the drag events it
// receives, above them two entry fields that drag text to each other; with the autoplay, a
// text item is dragged onto it from the main frame, a hand drags a word from the upper field to
// the lower one, and the screenshots "dragtext" (before) and "drag" (after) are taken.
std::unique_ptr<DragDemo, DragDemoDeleter> makeDragDemo(IWindow& mainFrame, bool autoplay);
class IMultiLineEdit;
// A multi-line edit, a child of the parent with the identifier, that starts with the text of
// ovkdemo.txt (next to the executable); the caller owns it.
IMultiLineEdit* createDocumentEdit(IWindow& parent, unsigned long id);
// Opens the file dialog ("Open a text", with the OK button "Load") and then the font dialog, each
// for a moment, with the screenshots "file" and "font" while each is open.
void playDocumentDialogs(IWindow& owner);


// The documents: a split canvas, a child of `parent`, with the caller's first pane (moved into
// it) beside a stack of a text pane and a view port that scrolls the picture at four times its
// size.
class DemoDocuments {
public:
    DemoDocuments(IWindow& parent, const char* picture, IWindow* firstPane = nullptr);
    ~DemoDocuments();
    DemoDocuments(const DemoDocuments&) = delete;
    DemoDocuments& operator=(const DemoDocuments&) = delete;

    IWindow& canvas();
    // The text pane: a plain text until setTextPane puts another window in its place (above
    // the view port, with the same share).
    IWindow& textPane();
    void setTextPane(IWindow& pane);

private:
    struct Parts;
    std::unique_ptr<Parts> fParts;
};
class DragWindowsDemo;
class ICnrCtl;
class IToolBar;
struct DragWindowsDemoDeleter {
    void operator()(DragWindowsDemo* demo) const;
};
// Makes the two containers drag sources and drop targets (ovkdemo_dragwin.cpp); with the
// autoplay, a hand (real mouse input) drags a tool bar button behind another and files from one
// container into the other, and the screenshot "drag2" is taken.
std::unique_ptr<DragWindowsDemo, DragWindowsDemoDeleter>
makeDragWindowsDemo(IWindow& frame, ICnrCtl& files, ICnrCtl& types, IToolBar& bar, bool autoplay);
#endif
