// The container information as the container's accessors read and write it, refresh, and the
// colours of the message-driven class.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <icnrmsg.hpp>
#include <icolor.hpp>
#include <icnrevt.hpp>
#include <icnrobj.hpp>
#include <iobserver.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Objects;
using cnrtest::received;

namespace {

using Information = Containers;

TEST_F(Information, TitleAlignmentAlreadySetSendsNothing)
{
    messageDriven->setTitleAlignment(ICnrCtl::centered);
    EXPECT_EQ(received(CM_SETCNRINFO), 1u);
    EXPECT_EQ(messageDriven->viewWord() & (CA_TITLELEFT | CA_TITLERIGHT | CA_TITLECENTER),
              CA_TITLECENTER);
    messageDriven->setTitleAlignment(ICnrCtl::centered);
    EXPECT_EQ(received(CM_SETCNRINFO), 1u);
    messageDriven->setTitleAlignment(ICnrCtl::right);
    EXPECT_EQ(messageDriven->viewWord() & (CA_TITLELEFT | CA_TITLERIGHT | CA_TITLECENTER),
              CA_TITLERIGHT);
}

TEST_F(Information, RefreshInDetailsViewInvalidatesTheColumnsNotTheRecords)
{
    messageDriven->refresh(false);
    EXPECT_EQ(received(CM_INVALIDATERECORD), 1u);
    EXPECT_EQ(received(CM_INVALIDATEDETAILFIELDINFO), 0u);
    messageDriven->changeAttributes(CV_ICON, CV_DETAIL);
    messageDriven->refresh(false);
    EXPECT_EQ(received(CM_INVALIDATERECORD), 1u);
    EXPECT_EQ(received(CM_INVALIDATEDETAILFIELDINFO), 1u);
    OvkCnrTestForceNextResult(CM_INVALIDATEDETAILFIELDINFO, 0);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->refresh(false); }).text(),
                 "CM_INVALIDATEDETAILFIELDINFO");
}

// What the setters write, the getters read back, through either class's information.
TEST_F(Information, SettersAndGettersMeetInTheContainerInformation)
{
    for (ICnrCtl* cnr : {native.get(), messageDriven.get()}) {
        cnr->setLineSpacing(7);
        EXPECT_EQ(cnr->lineSpacing(), 7);
        cnr->setIconSize(ISize(20, 24));
        EXPECT_EQ(cnr->iconSize(), ISize(20, 24));
        cnr->showTitle();
        EXPECT_TRUE(cnr->isTitleVisible());
        cnr->hideTitle();
        EXPECT_FALSE(cnr->isTitleVisible());
        cnr->setDrawItem();
        EXPECT_TRUE(cnr->isDrawItem());
        cnr->setDrawItem(false);
        EXPECT_FALSE(cnr->isDrawItem());
    }
}

TEST_F(Information, NativeInformationCountsItsRecords)
{
    ICnrObj* a = new ICnrObj(IPointerHandle(), "a");
    ICnrObj* b = new ICnrObj(IPointerHandle(), "b");
    native->addObject(a);
    native->addObject(b, a);
    ICnrInfo info;
    native->containerInfo(&info);
    EXPECT_EQ(info.cRecords, 2u);
    native->removeObject(a);
    native->containerInfo(&info);
    EXPECT_EQ(info.cRecords, 0u);
    delete b;
    delete a;
}

TEST_F(Information, MessageDrivenColoursGoToTheWindowWithTheirRGBMark)
{
    messageDriven->setBackgroundColor(IColor(10, 20, 30));
    EXPECT_EQ(messageDriven->backgroundColor().asRGBLong(), IColor(10, 20, 30).asRGBLong());
    OvkCnrJournalEntry entry{};
    ASSERT_TRUE(OvkCnrTestJournalEntryAt(0, &entry));
    EXPECT_EQ(entry.message, CM_SETCNRCOLORS);
    EXPECT_EQ(entry.parameter1, 1u);
    EXPECT_EQ(static_cast<unsigned long>(entry.parameter2), 0x02000000ul | 0x1E140Aul);
    // The native container keeps the window's own colours: its window is never asked.
    ovktest::Recorder colours(CM_SETCNRCOLORS);
    colours.attach(*native, "colours");
    native->setForegroundColor(IColor(1, 2, 3));
    native->setBackgroundColor(IColor(1, 2, 3));
    native->resetForegroundColor();
    EXPECT_EQ(colours.trace(), "");
}

std::string report(const char* what, const ICnrObj* object, const std::string& more)
{
    return std::string(what) + "(" + (object ? std::string(object->iconText()) : std::string("-")) +
           (more.empty() ? "" : "," + more) + ")";
}

// What observers of a container hear of its reports to its owner: an opened object, and a
// selection change, each with the container's event as data. An opened object reads
// "enter(<icon text>,<flags>)", a selection change "select(<icon text>)".
std::string describeReport(const INotificationEvent& event)
{
    const void* data = event.eventData().asPointer();
    if (event.notificationId() == ICnrCtl::enterId) {
        const auto* enter = static_cast<const ICnrEnterEvent*>(data);
        return report("enter", enter->object(), std::to_string(enter->flags()));
    }
    return report("select", static_cast<const ICnrEmphasisEvent*>(data)->object(), "");
}

TEST_F(Information, ObserversHearOfOpenedObjectsAndSelectionChanges)
{
    ovktest::NotificationLog log;
    log.keepOnly([](const INotificationEvent& event) {
           return event.notificationId() == ICnrCtl::enterId || event.notificationId() == ICnrCtl::selectId;
       })
        .describeAs(&describeReport);
    native->enableNotification();
    log.handleNotificationsFor(*native);
    Objects objects(*native, {"a", "b"});
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    log.clear();
    native->setEmphasis(objects[1], CRA_SELECTED);
    SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(log.trace(), "select(b) enter(a,1)");
    log.stopHandlingNotificationsFor(*native);

    // The message-driven class reports in the same way; a change of the cursor alone is no
    // selection change.
    messageDriven->enableNotification();
    log.handleNotificationsFor(*messageDriven);
    Objects others(*messageDriven, {"c"});
    log.clear();
    const HWND cnr = messageDriven->handle();
    NOTIFYRECORDENTER enter{cnr, 0, others[0]->record()};
    NOTIFYRECORDEMPHASIS cursored{cnr, others[0]->record(), CRA_CURSORED};
    NOTIFYRECORDEMPHASIS selected{cnr, others[0]->record(), CRA_SELECTED | CRA_CURSORED};
    OvkCnrTestNotifyOwner(cnr, CN_ENTER, reinterpret_cast<LPARAM>(&enter));
    OvkCnrTestNotifyOwner(cnr, CN_EMPHASIS, reinterpret_cast<LPARAM>(&cursored));
    OvkCnrTestNotifyOwner(cnr, CN_EMPHASIS, reinterpret_cast<LPARAM>(&selected));
    EXPECT_EQ(log.trace(), "enter(c,0) select(c)");
    log.stopHandlingNotificationsFor(*messageDriven);
}

// The rectangles of the details view's two windows (children 0x7FF0 and 0x7FF1) and of the
// title (0x7FF5), wherever the container's class put them; empty without such a child.
TEST_F(Information, ChildWindowRectanglesAreThoseOfTheContainersChildren)
{
    EXPECT_TRUE(messageDriven->detailsViewWindowRectangle().size() == ISize());
    EXPECT_TRUE(messageDriven->titleRectangle().size() == ISize());
    const HWND cnr = messageDriven->handle();
    const struct {
        int id;
        RECT place;
    } children[] = {{0x7FF0, {0, 30, 80, 150}}, {0x7FF1, {85, 30, 200, 150}}, {0x7FF5, {0, 0, 200, 20}}};
    for (const auto& each : children)
        ASSERT_TRUE(CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, each.place.left,
                                    each.place.top, each.place.right - each.place.left,
                                    each.place.bottom - each.place.top, cnr,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(each.id)), nullptr,
                                    nullptr));
    EXPECT_EQ(messageDriven->detailsViewWindowRectangle().size(), ISize(80, 120));
    EXPECT_EQ(messageDriven->detailsViewWindowRectangle(true).size(), ISize(115, 120));
    EXPECT_EQ(messageDriven->titleRectangle().size(), ISize(200, 20));
    EXPECT_EQ(messageDriven->detailsViewWindowRectangle(true).minX(), 85);
    // The native container's title, a window object of its own, lies across its top, 24
    // pixels high.
    native->showTitle();
    EXPECT_EQ(native->titleRectangle().size(), ISize(200, 24));
    EXPECT_TRUE(native->detailsViewWindowRectangle().size() == ISize());
}

} // namespace
