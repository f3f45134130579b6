// A container in a frame: the default help asks the frame's help window for the panel of the
// edited column, else of the object, else of the container window; and the commands of a
// frame's client window reach the frame once, marked as passed on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <icnrcol.hpp>
#include <icnredit.hpp>
#include <icnrhdr.hpp>
#include <icnrmnhd.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iframe.hpp>
#include <ihelpwin.hpp>
#include <ireslib.hpp>

#include "cnrtest.hpp"

using cnrtest::Item;

namespace {

// The panels the system help was asked for, by the window of its class that receives them.
std::vector<unsigned long>* gPanels = nullptr;

LRESULT CALLBACK systemHelpProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && gPanels) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const unsigned char*>(copy->lpData);
        WORD command = 0;
        LONG data = 0;
        if (bytes && copy->cbData >= 8) {
            std::memcpy(&command, bytes + 2, 2);
            std::memcpy(&data, bytes + 4, 4);
            if (command == HELP_CONTEXT)
                gPanels->push_back(static_cast<unsigned long>(data));
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// An object with a help panel of its own (0: none) and a note a column shows.
class Helped : public Item {
public:
    Helped(const char* text, unsigned long panel) : Item(text), fPanel(panel) {}
    unsigned long helpId() const override { return fPanel; }
    unsigned long noteOffset() const
    {
        return static_cast<unsigned long>(reinterpret_cast<const char*>(&note) -
                                          reinterpret_cast<const char*>(static_cast<const ICnrObj*>(this)));
    }
    IString note{"a note"};

private:
    unsigned long fPanel;
};

class FramedContainer : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OvkCnrRegisterClass());
        systemHelp = std::make_unique<ovktest::SystemHelpWindow>(systemHelpProcedure);
        gPanels = &panels;
        frame = std::make_unique<IFrameWindow>(
            IResourceId(1, IApplication::current().userResourceLibrary()), nullptr, nullptr,
            IRectangle(10, 10, 410, 310), IFrameWindow::_titleBar | IFrameWindow::_systemMenu,
            "containers");
    }
    void TearDown() override
    {
        frame.reset();
        gPanels = nullptr;
        systemHelp.reset();
    }

    std::unique_ptr<ovktest::SystemHelpWindow> systemHelp;
    std::vector<unsigned long> panels;
    std::unique_ptr<IFrameWindow> frame;
};

// F1 on the container asks for one panel each time: the edited column's while a cell is edited,
// else the cursored object's, else the container window's; with none of them, no panel.
TEST_F(FramedContainer, HelpAsksForTheColumnsTheObjectsOrTheContainersPanelInThatOrder)
{
    IHelpWindow help(frame.get());
    help.addLibraries("containers.hlp");
    auto container = std::make_unique<ICnrCtl>(22, frame.get(), frame.get(), IRectangle(0, 0, 300, 200),
                                               ICnrCtl::defaultStyle(), ICnrCtl::detailsView);
    auto* withPanel = new Helped("with a panel", 200);
    auto* withoutPanel = new Helped("without", 0);
    IContainerColumn names(IContainerColumn::DataSource::iconText);
    IContainerColumn notes(withPanel->noteOffset(), IContainerColumn::defaultHeadingStyle(),
                           IContainerColumn::DataStyle::string);
    notes.setHelpId(300);
    container->addColumn(&names).addColumn(&notes);
    container->addObject(withPanel).addObject(withoutPanel);
    ICnrHandler handler;
    ICnrEditHandler editing;
    handler.handleEventsFor(container.get());
    editing.handleEventsFor(container.get());
    SetWindowContextHelpId(container->handle(), 100);
    HELPINFO f1{};
    f1.cbSize = sizeof f1;
    f1.iContextType = HELPINFO_WINDOW;
    const auto pressF1 = [&] {
        panels.clear();
        ovktest::send(container->handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
        return panels;
    };
    using Panels = std::vector<unsigned long>;
    container->setEmphasis(withoutPanel, CRA_CURSORED, true);
    EXPECT_EQ(pressF1(), Panels{100});
    container->setEmphasis(withPanel, CRA_CURSORED, true);
    EXPECT_EQ(pressF1(), Panels{200});
    withPanel->setWriteable(true, container.get());
    container->editObject(withPanel, &notes);
    ASSERT_EQ(container->editedColumn(), &notes);
    EXPECT_EQ(pressF1(), Panels{300});
    container->closeEdit();
    SetWindowContextHelpId(container->handle(), 0);
    container->setEmphasis(withoutPanel, CRA_CURSORED, true);
    EXPECT_EQ(pressF1(), Panels{});
    editing.stopHandlingEventsFor(container.get());
    handler.stopHandlingEventsFor(container.get());
    container->removeAllObjects();
    delete withPanel;
    delete withoutPanel;
    container.reset();
}

// What the frame received as commands: "5 marked" for a command passed on from its client.
class CommandLog : public IHandler {
public:
    std::string trace;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() != WM_COMMAND && event.eventId() != WM_SYSCOMMAND)
            return false;
        const unsigned long first = event.parameter1().asUnsignedLong();
        trace += (trace.empty() ? "" : " ") + std::string(event.eventId() == WM_SYSCOMMAND ? "sys" : "") +
                 std::to_string(first & 0xFFFF) + ((first & 0x80000000u) ? " marked" : "");
        event.setResult(7);
        return true;
    }
};

// A command of a container that is a frame's client window goes to the frame marked, once; a
// command already marked, and the task list, are not marked again; another container's
// commands go to its owner unmarked.
TEST_F(FramedContainer, CommandsOfTheFramesClientReachTheFrameMarkedOnce)
{
    CommandLog frameCommands;
    frameCommands.handleEventsFor(frame.get());
    ICnrMenuHandler menus;
    for (const unsigned long id : {IFrameWindow::clientId, 23ul}) {
        SCOPED_TRACE(id);
        auto container = std::make_unique<ICnrCtl>(id, frame.get(), frame.get(),
                                                   IRectangle(0, 0, 300, 200));
        menus.handleEventsFor(container.get());
        frameCommands.trace.clear();
        const HWND window = container->handle();
        EXPECT_EQ(ovktest::send(window, WM_COMMAND, 5, 0), 7);
        ovktest::send(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        ovktest::send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        const bool client = id == IFrameWindow::clientId;
        EXPECT_EQ(frameCommands.trace,
                  client ? "5 marked sys" + std::to_string(SC_KEYMENU) + " sys" +
                               std::to_string(SC_CLOSE) + " marked"
                         : "5 sys" + std::to_string(SC_KEYMENU) + " sys" + std::to_string(SC_CLOSE));
        // Marked already: the client's command is not passed on a second time.
        frameCommands.trace.clear();
        ovktest::send(window, WM_COMMAND, MAKEWPARAM(6, 0x8000), 0);
        EXPECT_EQ(frameCommands.trace, client ? "" : "6 marked");
        menus.stopHandlingEventsFor(container.get());
    }
    frameCommands.stopHandlingEventsFor(frame.get());
}

} // namespace
