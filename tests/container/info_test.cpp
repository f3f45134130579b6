// The container information as the container's accessors read and write it, refresh, and the
// colours of the message-driven class.
#include <windows.h>

#include <gtest/gtest.h>

#include <icnrmsg.hpp>
#include <icolor.hpp>
#include <icnrobj.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
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
    // The native container keeps the window's own colours.
    native->setForegroundColor(IColor(1, 2, 3));
    EXPECT_EQ(received(CM_SETCNRCOLORS), 1u);
}

} // namespace
