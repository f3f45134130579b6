// The title of a frame: composing its text and taking it apart, and what observers hear.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ovkmsgid.hpp>

#include <iframe.hpp>
#include <ititle.hpp>

#include "frametest.hpp"
#include "ovktest.hpp"

namespace {

using ovktest::str;

class FrameTitle : public testing::Test {
protected:
    FrameTitle()
        : library(),
          frame(IResourceId(kFrameNoResources, library), nullptr, nullptr, IRectangle(0, 0, 300, 120),
                IFrameWindow::_titleBar | IFrameWindow::_systemMenu, "start")
    {
    }

    std::string windowText() const
    {
        char text[128] = {};
        GetWindowTextA(frame.handle(), text, sizeof text);
        return text;
    }

    IResourceLibrary library;
    IFrameWindow frame;
};

struct Composition {
    const char* object;
    const char* view;
    unsigned long number;
    const char* title;
    const char* objectBack;
    const char* viewBack;
    unsigned long numberBack;
};

TEST_F(FrameTitle, ComposesAndTakesApartItsThreeParts)
{
    const std::vector<Composition> cases = {
        {"Editor", "Chapter 1", 3, "Editor - Chapter 1:3", "Editor", "Chapter 1", 3},
        // Without " - " there is no view part, so the number reads back as 0.
        {"Editor", "", 3, "Editor:3", "Editor:3", "", 0},
        {"Editor", "Chapter 1", 0, "Editor - Chapter 1", "Editor", "Chapter 1", 0},
        // Only a trailing ':' and digits are the number; every other ':' is view text.
        {"Editor", "C:\\docs\\a.txt", 2, "Editor - C:\\docs\\a.txt:2", "Editor",
         "C:\\docs\\a.txt", 2},
        {"Editor", "C:\\docs\\a.txt", 0, "Editor - C:\\docs\\a.txt", "Editor",
         "C:\\docs\\a.txt", 0},
        {"Editor", "Part 2:3", 4, "Editor - Part 2:3:4", "Editor", "Part 2:3", 4},
        {"Editor", "Notes:", 0, "Editor - Notes:", "Editor", "Notes:", 0},
        {"Editor", "a:b7", 0, "Editor - a:b7", "Editor", "a:b7", 0},
        {"", "Chapter 1", 3, "", "", "", 0},
        {nullptr, "Chapter 1", 3, "", "", "", 0},
    };
    ITitle title(&frame);
    for (const Composition& c : cases) {
        SCOPED_TRACE(c.title);
        title.setTitleText(c.object, c.view, c.number);
        EXPECT_EQ(windowText(), c.title);
        EXPECT_EQ(str(title.text()), c.title);
        EXPECT_EQ(str(title.objectText()), c.objectBack);
        EXPECT_EQ(str(title.viewText()), c.viewBack);
        EXPECT_EQ(title.viewNumber(), c.numberBack);
    }
}

TEST_F(FrameTitle, AConstructorWithAnObjectTextComposesAndOneWithoutLeavesTheText)
{
    ITitle bare(&frame);
    EXPECT_EQ(windowText(), "start");
    ITitle composed(&frame, "Viewer", "Page", 2);
    EXPECT_EQ(windowText(), "Viewer - Page:2");
    EXPECT_EQ(composed.handle(), frame.handle());
}

TEST_F(FrameTitle, ChangedPartsAreToldAndUnchangedOnesAreNot)
{
    ITitle title(&frame, "Editor", "Chapter 1", 3);
    ovktest::NotificationLog observer;
    observer.handleNotificationsFor(title);
    title.enableNotification();

    title.setViewNumber(3);
    title.setViewText("Chapter 1");
    title.setObjectText("Editor");
    EXPECT_TRUE(observer.ids().empty());
    EXPECT_EQ(windowText(), "Editor - Chapter 1:3");

    title.setViewNumber(4);
    title.setViewText("Chapter 2");
    title.setObjectText("Writer");
    EXPECT_EQ(windowText(), "Writer - Chapter 2:4");
    EXPECT_EQ(observer.ids(), (std::vector<std::string>{ITitle::viewNumberId, ITitle::viewTextId,
                                                        ITitle::objectTextId}));
    observer.stopHandlingNotificationsFor(title);
}

// An editor shows its file's path as the view text and numbers its views: the path stays whole
// through every change of the other parts.
TEST_F(FrameTitle, APathAsViewTextKeepsItsColonsWhenThePartsChange)
{
    ITitle title(&frame, "Editor", "C:\\docs\\a.txt");
    title.setViewNumber(2);
    EXPECT_EQ(windowText(), "Editor - C:\\docs\\a.txt:2");
    EXPECT_EQ(str(title.viewText()), "C:\\docs\\a.txt");
    EXPECT_EQ(title.viewNumber(), 2u);

    title.setObjectText("Writer");
    title.setViewText("D:\\b.txt");
    EXPECT_EQ(windowText(), "Writer - D:\\b.txt:2");
    title.setViewNumber(0);
    EXPECT_EQ(windowText(), "Writer - D:\\b.txt");
    EXPECT_EQ(str(title.viewText()), "D:\\b.txt");
}

// The caption keeps the system's colours whatever is set.
TEST_F(FrameTitle, ColourSettersChangeNothing)
{
    ITitle title(&frame);
    const unsigned long before[] = {title.titleColor1().asRGBLong(), title.titleColor2().asRGBLong(),
                                    title.titleColor3().asRGBLong(), title.titleColor4().asRGBLong()};
    const IColor red(255, 0, 0);
    title.setTitleColor1(red).setTitleColor2(red).setTitleColor3(red).setTitleColor4(red);
    const unsigned long after[] = {title.titleColor1().asRGBLong(), title.titleColor2().asRGBLong(),
                                   title.titleColor3().asRGBLong(), title.titleColor4().asRGBLong()};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(after[i], before[i]) << "colour " << i + 1;
    title.resetTitleColor1().resetTitleColor2().resetTitleColor3().resetTitleColor4();
    EXPECT_EQ(title.titleColor1().asRGBLong(), before[0]);
}

TEST_F(FrameTitle, AFrameWithoutACaptionHasNoTitleBar)
{
    IFrameWindow bare(IResourceId(kFrameNoResources, library), nullptr, nullptr,
                      IRectangle(0, 0, 100, 100), IFrameWindow::Style(WS_POPUP, 0), "bare");
    ITitle title(&bare);
    EXPECT_FALSE(title.isValid());
    EXPECT_EQ(ovktest::caught([&] { title.handle(); }).errorId(), OVK_MSG_INVALID_HANDLE);
    EXPECT_EQ(ovktest::caught([&] { title.nativeRect(); }).errorId(), OVK_MSG_NO_TITLE_BAR);

    ITitle captioned(&frame);
    const IRectangle bar = captioned.nativeRect();
    EXPECT_GT(bar.width(), 0);
    EXPECT_GT(bar.height(), 0);
}

} // namespace
