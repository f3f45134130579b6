// A program that uses the installed library through its umbrella header only, as an application
// would: it makes every kind of window whose class another module of the platform provides,
// without loading or calling any of those modules itself, and a form whose title and help come
// from its own resource script.
#include <windows.h>

#include <ovkwin.hpp>

#include "consumer.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

int gFailures = 0;

void check(bool ok, const std::string& what)
{
    if (!ok) {
        std::printf("consumer: failed: %s\n", what.c_str());
        ++gFailures;
    }
}

// Runs one step; an exception of the library is reported with its text and counted.
void step(const std::string& what, const std::function<void()>& body)
{
    try {
        body();
    } catch (const IException& error) {
        check(false, what + ": " + static_cast<const char*>(error.text()));
    }
}

} // namespace

int main()
{
    // A class of the library itself, so that ovkwin.dll is loaded and its entry point runs.
    // Colours are kept in the platform's COLORREF order, red in the low byte.
    const IColor red(128, 0, 0);
    check(red.asRGBLong() == 0x000080, "colour order");
    // The library's entry point has made the base library read message texts from ovkres.dll:
    // a text from there, not the base library's fallback.
    const IString text = IMessageText::textFor(46);
    check(!text.isEmpty() && text != IMessageText::fallbackText(46), "message text from ovkres");

    step("windows", [] {
        IFrameWindow frame(IResourceId(0, IApplication::current().userResourceLibrary()),
                           nullptr, nullptr, IRectangle(0, 0, 600, 400), IFrameWindow::_titleBar,
                           "consumer");
        const IRectangle place(10, 10, 200, 100);

        ICnrCtl native(1, &frame, &frame, place);
        ICnrObj* object = new ICnrObj(IString("first"), 0UL);
        native.addObject(object);
        check(native.objectCount() == 1, "native container holds its object");
        ICnrCtl messageDriven(2, &frame, &frame, place,
                              ICnrCtl::Style(ICnrCtl::classDefaultStyle) |
                                  ICnrCtl::messageContainer);
        check(messageDriven.isValid(), "message-driven container");

        INotebook nativeBook(3, &frame, &frame, place);
        INotebook outsideBook(4, &frame, &frame, place,
                              INotebook::Style(INotebook::classDefaultStyle) |
                                  INotebook::thunkedWindow);
        check(nativeBook.isValid() && outsideBook.isValid(), "notebooks");

        INumericSpinButton nativeSpin(5, &frame, &frame, place);
        INumericSpinButton outsideSpin(6, &frame, &frame, place,
                                       IBaseSpinButton::Style(INumericSpinButton::defaultStyle()) |
                                           IBaseSpinButton::thunkedWindow);
        outsideSpin.setRange(IRange(0, 10));
        outsideSpin.spinTo(7);
        check(outsideSpin.value() == 7, "outside spin button keeps its value");

        ISlider nativeSlider(7, &frame, &frame, place, 5);
        ISlider outsideSlider(8, &frame, &frame, place, 5, 0,
                              ISlider::Style(ISlider::defaultStyle()) |
                                  IProgressIndicator::messageDrivenWindow);
        check(nativeSlider.isValid() && outsideSlider.isValid(), "sliders");

        ICircularSlider dial(9, &frame, &frame, place);
        check(dial.isValid(), "circular slider");

        IHelpWindow help(&frame, IHelpWindow::viewerMode);
        check(help.handle().isValid(), "help window in viewer mode");
        native.deleteAllObjects();
    });

    // A form with help, as the headers describe it: the frame's title is the string with its
    // identifier, the help window starts from settings naming a string, help libraries and the
    // help table of the resource script, and serves the frame's windows.
    step("help settings", [] {
        const IResourceLibrary& resources = IApplication::current().userResourceLibrary();
        IFrameWindow frame(IResourceId(kConsumerFrame, resources), nullptr, nullptr,
                           IRectangle(0, 0, 400, 300), IFrameWindow::_titleBar);
        check(frame.handle().isValid(), "frame with help");
        char title[64] = {};
        GetWindowTextA(frame.handle(), title, sizeof title);
        check(std::string(title) == "Consumer form", "frame title from its string");
        IHelpWindow::Settings settings;
        settings.setTitle(IResourceId(kConsumerHelpTitle, resources))
            .setLibraries("consumer.hlp")
            .setHelpTableId(kConsumerHelpTable)
            .setHelpForHelpPanel(7)
            .setViewerValue3(1)
            .setViewerValue4(2);
        check(settings.title() == IString("Consumer help"), "help title from its string");
        check(settings.helpTableId() == kConsumerHelpTable && settings.helpForHelpPanel() == 7 &&
                  settings.viewerValue3() == 1 && settings.viewerValue4() == 2,
              "help settings read back");
        IHelpWindow help(settings, &frame, IHelpWindow::viewerMode);
        check(help.libraries() == IString("consumer.hlp"), "help libraries from the settings");
        IEntryField field(kConsumerField, &frame, &frame, IRectangle(10, 10, 200, 40));
        check(IHelpWindow::helpWindow(&field) == &help, "the frame's windows find their help");
    });

    if (gFailures != 0)
        return 1;
    std::printf("consumer: ok\n");
    return 0;
}
