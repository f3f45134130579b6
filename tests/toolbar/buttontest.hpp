// Shared fixtures of the button tests: a shown parent window (owner-drawn buttons are drawn only
// when they can be painted), clicks by posted mouse messages, and faces drawn into memory
// contexts.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <iprivmsg.hpp>
#include <ovktest.hpp>

#include "icbdrevt.hpp"
#include "icbhdr.hpp"
#include "icustbut.hpp"

namespace toolbartest {

// Records the latch notifications of a button: "1 0" for a latch and a release.
class LatchObserver : public ovktest::NotificationLog {
public:
    explicit LatchObserver(IWindow& window)
    {
        keepOnly(ICustomButton::latchId).describeAs(&dataOnly);
        window.enableNotification();
        handleNotificationsFor(window);
    }
};

class ButtonFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        buttons.clear();
        parent.reset();
    }

    // A new custom button in the next slot of a row.
    ICustomButton& addButton(const ICustomButton::Style& style, unsigned long id = 0)
    {
        const long x = 10 + 60 * static_cast<long>(buttons.size());
        buttons.push_back(std::make_unique<ICustomButton>(
            id ? id : 100 + buttons.size(), parent.get(), parent.get(),
            IRectangle(x, 10, x + 50, 40), style | ICustomButton::classDefaultStyle));
        return *buttons.back();
    }

    // A press, drawn pressed, and a release, as the mouse makes them.
    static void click(ICustomButton& pressed, ICustomButton* releasedOn = nullptr)
    {
        ovktest::Recorder drawnPressed(IPrivateMessage::buttonPressed);
        ovktest::RecordingHandler& seen = drawnPressed.attach(pressed, "pressed");
        PostMessageA(pressed.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ASSERT_TRUE(ovktest::pumpUntil([&] { return seen.count() > 0; }));
        ICustomButton& target = releasedOn ? *releasedOn : pressed;
        PostMessageA(target.handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        ovktest::pumpUntil([&] { return seen.count() > 1; }, 500);
    }

    std::unique_ptr<ovktest::TestWindow> parent;
    std::vector<std::unique_ptr<ICustomButton>> buttons;
};

// A WM_DRAWITEM of a button with an item state, drawn by a handler into a memory context of
// the button's size; the pixels are read back from that context.
class DrawnFace {
public:
    DrawnFace(ICustomButton& button, unsigned int itemState) : fItem()
    {
        fItem.CtlType = ODT_BUTTON;
        fItem.CtlID = button.id();
        fItem.hwndItem = button.handle();
        fItem.itemAction = ODA_DRAWENTIRE;
        fItem.itemState = itemState;
        const ISize size = button.size();
        const IEvent message(button.parent()->handle(), WM_DRAWITEM, button.id(), &fItem);
        fEvent = std::make_unique<ICustomButtonDrawEvent>(message, size);
    }
    ICustomButtonDrawEvent& event() { return *fEvent; }
    // The record, for sending WM_DRAWITEM through the library to the button's own handlers;
    // its device context is the memory context's.
    DRAWITEMSTRUCT& item()
    {
        fItem.hDC = fEvent->graphicContext().handle().asValue();
        GetClientRect(fItem.hwndItem, &fItem.rcItem);
        return fItem;
    }
    // Draws the whole face with the handler's steps.
    DrawnFace& drawWith(ICustomButtonDrawHandler& handler)
    {
        handler.draw(*fEvent);
        return *this;
    }
    COLORREF at(long x, long y) const
    {
        return ovktest::PixelReader(fEvent->graphicContext().handle().asValue()).at(x, y);
    }
    // The box around the pixels of a colour inside a rectangle; empty when there is none.
    IRectangle boxOf(COLORREF colour, const IRectangle& within) const
    {
        long minX = within.maxX(), minY = within.maxY(), maxX = within.minX(), maxY = within.minY();
        for (long y = within.minY(); y < within.maxY(); ++y)
            for (long x = within.minX(); x < within.maxX(); ++x)
                if (at(x, y) == colour) {
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                    maxX = std::max(maxX, x + 1);
                    maxY = std::max(maxY, y + 1);
                }
        return minX < maxX ? IRectangle(minX, minY, maxX, maxY) : IRectangle();
    }
    long count(COLORREF colour, const IRectangle& within) const
    {
        long n = 0;
        for (long y = within.minY(); y < within.maxY(); ++y)
            for (long x = within.minX(); x < within.maxX(); ++x)
                n += at(x, y) == colour;
        return n;
    }

private:
    DRAWITEMSTRUCT fItem;
    std::unique_ptr<ICustomButtonDrawEvent> fEvent;
};

inline COLORREF sys(int index)
{
    return GetSysColor(index);
}

} // namespace toolbartest
