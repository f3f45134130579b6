// Direct editing in the message-driven class: the container opens its edit control, the edit
// handler keeps the container's record of the edit and makes room for the new text, which the
// container then copies into the object's text or the title.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <icnrcol.hpp>
#include <icnredit.hpp>
#include <icnrevt.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iprivmsg.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::NotificationTrace;
using cnrtest::Objects;
using cnrtest::received;

namespace {

constexpr int kEditId = 0x7FFA;

class Editing : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        // The trace sees the notifications before the edit handler, which handles them.
        editing.handleEventsFor(messageDriven.get());
        notifications.handleEventsFor(messageDriven.get());
    }
    void TearDown() override
    {
        notifications.stopHandlingEventsFor(messageDriven.get());
        editing.stopHandlingEventsFor(messageDriven.get());
        Containers::TearDown();
    }
    HWND editControl() const { return cnrtest::child(messageDriven->handle(), kEditId); }
    void type(const char* text) { SetWindowTextA(editControl(), text); }

    ICnrEditHandler editing;
    NotificationTrace notifications;
};

TEST_F(Editing, AnObjectsNewTextLandsInItsRecord)
{
    Objects objects(*messageDriven, {"ab", "cd"});
    objects[0]->setWriteable(true, messageDriven.get());
    messageDriven->editObject(objects[0]);
    ASSERT_NE(editControl(), nullptr);
    EXPECT_NE(messageDriven->editWindow(), nullptr);
    EXPECT_EQ(messageDriven->editedObject(), objects[0]);
    // While the edit is open the container's keys belong to it: the handlers attached before
    // the edit handler do not see them.
    notifications.stopHandlingEventsFor(messageDriven.get());
    editing.stopHandlingEventsFor(messageDriven.get());
    ovktest::Recorder keys(WM_CHAR);
    keys.attach(*messageDriven, "key");
    editing.handleEventsFor(messageDriven.get());
    notifications.handleEventsFor(messageDriven.get());
    ovktest::send(messageDriven->handle(), WM_CHAR, 'x');
    EXPECT_EQ(keys.trace(), "");

    const std::string longer(100, 'y');
    type(longer.c_str());
    messageDriven->closeEdit();
    EXPECT_EQ(notifications.trace, "begin realloc(101) end");
    EXPECT_EQ(std::string(objects[0]->iconText()), longer);
    EXPECT_EQ(objects[0]->iconText().length(), 100u);
    EXPECT_EQ(messageDriven->editWindow(), nullptr);
    EXPECT_EQ(messageDriven->editedObject(), nullptr);
    EXPECT_EQ(editControl(), nullptr);
    ovktest::send(messageDriven->handle(), WM_CHAR, 'x');
    EXPECT_EQ(keys.trace(), "key");
}

// A heading's new text is made, kept and freed by its column.
TEST_F(Editing, AHeadingsNewTextBelongsToItsColumn)
{
    messageDriven->showDetailsView();
    IContainerColumn column(8);
    column.setHeadingText("Size").enableHeadingUpdate();
    messageDriven->addColumn(&column);
    for (const char* text : {"Bytes in the file", "Bytes"}) {
        messageDriven->editColumnTitle(&column);
        ASSERT_NE(editControl(), nullptr);
        type(text);
        messageDriven->closeEdit();
        EXPECT_EQ(ovktest::str(column.headingText()), text);
    }
    IContainerColumn copy(column);
    EXPECT_EQ(ovktest::str(copy.headingText()), "Bytes");
    messageDriven->removeColumn(&column);
}

TEST_F(Editing, AShorterAndAnUnchangedText)
{
    Objects objects(*messageDriven, {"abcdef"});
    objects[0]->setWriteable(true, messageDriven.get());
    messageDriven->editObject(objects[0]);
    type("x");
    messageDriven->closeEdit();
    EXPECT_EQ(std::string(objects[0]->iconText()), "x");
    notifications.trace.clear();
    messageDriven->editObject(objects[0]);
    messageDriven->closeEdit();
    EXPECT_EQ(notifications.trace, "begin end");
}

TEST_F(Editing, ARefusedEditThrowsAndAReadOnlyObjectIsRefused)
{
    Objects objects(*messageDriven, {"ab"});
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->editObject(objects[0]); }).text(),
                 "CM_OPENEDIT");
    EXPECT_EQ(notifications.trace, "");
}

TEST_F(Editing, TheTitleIsEditedInTheContainersTitleString)
{
    messageDriven->setTitle("Title");
    messageDriven->editContainerTitle();
    type("A much longer title");
    messageDriven->closeEdit();
    EXPECT_EQ(std::string(messageDriven->title()), "A much longer title");
    messageDriven->setTitle("Short");
    EXPECT_EQ(std::string(messageDriven->title()), "Short");
}

// A close still waiting in the queue is carried out before the next edit opens.
TEST_F(Editing, AQueuedCloseIsDoneBeforeTheNextEditOpens)
{
    Objects objects(*messageDriven, {"a", "b"});
    objects[0]->setWriteable(true, messageDriven.get());
    objects[1]->setWriteable(true, messageDriven.get());
    messageDriven->editObject(objects[0]);
    messageDriven->editObject(objects[1]);
    EXPECT_EQ(received(CM_CLOSEEDIT), 0u);
    PostMessageA(messageDriven->handle(), CM_CLOSEEDIT, 0, 0);
    messageDriven->editObject(objects[0]);
    EXPECT_EQ(received(CM_CLOSEEDIT), 1u);
    MSG left{};
    EXPECT_FALSE(PeekMessageA(&left, messageDriven->handle(), CM_CLOSEEDIT, CM_CLOSEEDIT, PM_NOREMOVE));
    messageDriven->closeEdit();
}

TEST_F(Editing, EventsReadTheEditingRecord)
{
    char text[] = "abc";
    char* slot = text;
    CNREDITDATA edit{sizeof(CNREDITDATA), messageDriven->handle(), nullptr, nullptr, &slot, 0,
                     0x7FF5};
    IEvent event(parent->hwnd(), IPrivateMessage::controlNotification,
                 IEventData(std::uint16_t(messageDriven->id()), std::uint16_t(CN_REALLOCPSZ)),
                 static_cast<const void*>(&edit));
    ICnrReallocStringEvent realloc(event);
    EXPECT_TRUE(realloc.isContainerTitle());
    EXPECT_FALSE(realloc.isLeftDetailsCell());
    EXPECT_EQ(realloc.newTextLength(), 0u);
    EXPECT_EQ(std::string(realloc.text()), "abc");
    EXPECT_EQ(realloc.container(), messageDriven.get());
    edit.ppszText = nullptr;
    EXPECT_STREQ(ovktest::caught([&] { realloc.textRef(); }).text(),
                 "editData != 0 && editData->ppszText != 0");
}

} // namespace
