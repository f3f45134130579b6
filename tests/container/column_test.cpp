// Details-view columns: their descriptors and offsets, the column cursor, the split bar, the
// data of an object in a column, and the native container's list columns and cell texts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <icnrcol.hpp>
#include <icnrctl.hpp>
#include <icnrfmt.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>

#include <detail/icnrdata.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::child;
using cnrtest::listOf;
using cnrtest::Row;

namespace {

using Column = IContainerColumn;

int listColumnCount(ICnrCtl& container)
{
    LVCOLUMNA probe{};
    probe.mask = LVCF_WIDTH;
    int count = 0;
    while (SendMessageA(listOf(container), LVM_GETCOLUMNA, static_cast<WPARAM>(count),
                        reinterpret_cast<LPARAM>(&probe)))
        ++count;
    return count;
}

int listColumnWidth(ICnrCtl& container, int column)
{
    LVCOLUMNA query{};
    query.mask = LVCF_WIDTH;
    SendMessageA(listOf(container), LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&query));
    return query.cx;
}

std::string listHeading(ICnrCtl& container, int column)
{
    char text[64] = {};
    LVCOLUMNA query{};
    query.mask = LVCF_TEXT;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(listOf(container), LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&query));
    return text;
}

std::vector<Column*> walk(ICnrCtl& container, bool visibleOnly = false)
{
    std::vector<Column*> columns;
    ICnrCtl::ColumnCursor cursor(container, visibleOnly);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        columns.push_back(container.columnAt(cursor));
    return columns;
}

TEST_F(Containers, ColumnOffsetsCountFromTheRecordWhileInAContainer)
{
    const auto header = static_cast<std::uint32_t>(sizeof(MINIRECORDCORE));
    const auto iconField = static_cast<std::uint32_t>(offsetof(MINIRECORDCORE, hptrIcon));
    for (ICnrCtl* container : {native.get(), messageDriven.get()}) {
        Column icon(Column::DataSource::icon);
        Column data(8);
        EXPECT_EQ(icon.dataOffset(), iconField - 256u);
        EXPECT_TRUE(icon.isIcon());
        EXPECT_FALSE(icon.isString());
        container->addColumn(&icon).addColumn(&data);
        EXPECT_EQ(icon.dataOffset(), iconField);
        EXPECT_EQ(data.dataOffset(), header + 8);
        container->removeColumn(&icon).removeColumn(&data);
        EXPECT_EQ(icon.dataOffset(), iconField - 256u);
        EXPECT_EQ(data.dataOffset(), 8u);
        if (sizeof(void*) == 4) {
            EXPECT_EQ(icon.dataOffset(), 0xFFFFFF18u);
            EXPECT_EQ(header + 8, 36u);
        }
        // Removed, the column can join again.
        container->addColumn(&data);
        EXPECT_EQ(data.container(), container);
        container->removeColumn(&data);
    }
}

TEST_F(Containers, RefusedAddColumnLeavesTheColumnAsItWas)
{
    Column column(8);
    OvkCnrTestForceNextResult(CM_INSERTDETAILFIELDINFO, 0);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->addColumn(&column); }).text(),
                 "CM_INSERTDETAILFIELDINFO");
    EXPECT_EQ(column.container(), nullptr);
    EXPECT_EQ(column.dataOffset(), 8u);
    messageDriven->addColumn(&column);
    EXPECT_EQ(column.container(), messageDriven.get());
    EXPECT_EQ(messageDriven->columnCount(), 1u);
    EXPECT_THROW(messageDriven->addColumn(&column), IInvalidParameter);
}

TEST_F(Containers, ColumnCursorWalksInOrderAndSkipsHiddenColumnsWhenAsked)
{
    for (ICnrCtl* container : {native.get(), messageDriven.get()}) {
        Column a(8), b(12), c(16);
        b.hide();
        container->addColumn(&a).addColumn(&c).addColumn(&b, &a);
        EXPECT_EQ(walk(*container), (std::vector<Column*>{&a, &b, &c}));
        EXPECT_EQ(walk(*container, true), (std::vector<Column*>{&a, &c}));
        EXPECT_EQ(container->columnCount(), 3u);
        EXPECT_TRUE(container->containsColumn(&b));
        ICnrCtl::ColumnCursor backwards(*container, true);
        EXPECT_EQ(backwards.last(), &c);
        EXPECT_EQ(backwards.previous(), &a);
        EXPECT_EQ(backwards.previous(), nullptr);

        // Any change of the columns invalidates the cursors taken before it.
        ICnrCtl::ColumnCursor cursor(*container);
        cursor.setToFirst();
        Column d(20);
        container->addColumn(&d);
        EXPECT_FALSE(cursor.isValid());
        EXPECT_STREQ(ovktest::caught([&] { container->columnAt(cursor); }).text(), "cursor.isValid()");

        // Removing at the cursor moves it on; removing the last leaves it invalid.
        cursor.setToFirst();
        container->removeColumnAt(cursor);
        EXPECT_EQ(cursor.current(), &b);
        cursor.setToLast();
        container->removeColumnAt(cursor);
        EXPECT_FALSE(cursor.isValid());
        EXPECT_EQ(walk(*container), (std::vector<Column*>{&b, &c}));
        EXPECT_EQ(container->columnCount(), 2u);
        EXPECT_EQ(a.container(), nullptr);
    }
}

TEST_F(Containers, SplitBarNamesTheLastColumnOfTheLeftWindow)
{
    for (ICnrCtl* container : {native.get(), messageDriven.get()}) {
        Column a(8), b(12), c(16);
        container->addColumn(&a).addColumn(&b).addColumn(&c);
        EXPECT_EQ(container->detailsViewSplit(), nullptr);
        EXPECT_EQ(container->splitBarPosition(), 0u);
        for (Column* each : {&a, &b, &c})
            EXPECT_FALSE(container->isColumnRight(each));
        container->setDetailsViewSplit(&a, 120);
        EXPECT_EQ(container->detailsViewSplit(), &a);
        EXPECT_EQ(container->splitBarPosition(), 120u);
        EXPECT_FALSE(container->isColumnRight(&a));
        EXPECT_TRUE(container->isColumnRight(&c));
        container->hideDetailsViewSplit();
        EXPECT_EQ(container->splitBarPosition(), 0u);
        EXPECT_FALSE(container->isColumnRight(&c));
        container->showDetailsViewSplit();
        EXPECT_EQ(container->detailsViewSplit(), &a);
        EXPECT_EQ(container->splitBarPosition(), 120u);
        container->hideDetailsViewSplit();
    }
}

TEST_F(Containers, ColumnReadsTheObjectsDataAtItsOffset)
{
    std::unique_ptr<Row> owner(new Row("row", 42));
    Row& row = *owner;
    Column name(row.offsetOf(row.name));
    Column size(row.offsetOf(row.size), Column::defaultHeadingStyle(), Column::DataStyle::number);
    Column date(row.offsetOf(row.date), Column::defaultHeadingStyle(), Column::DataStyle::date);
    Column time(row.offsetOf(row.time), Column::defaultHeadingStyle(), Column::DataStyle::time);
    Column text(Column::DataSource::iconText);
    messageDriven->addColumn(&name).addColumn(&size).addColumn(&date).addColumn(&time).addColumn(&text);
    EXPECT_STREQ(ovktest::caught([&] { name.dataAsString(&row); }).text(),
                 "container()->containsObject(object)");
    messageDriven->addObject(&row);
    EXPECT_EQ(ovktest::str(name.dataAsString(&row)), "a name");
    EXPECT_EQ(ovktest::str(text.dataAsString(&row)), "row");
    EXPECT_EQ(size.dataAsNumber(&row), 42u);
    EXPECT_EQ(date.dataAsDate(&row), IDate(3, 4, 2001));
    EXPECT_EQ(time.dataAsTime(&row), ITime(7, 8, 9));
    EXPECT_STREQ(ovktest::caught([&] { size.dataAsDate(&row); }).text(),
                 "container() != 0 && object !=0 && (dataAttributes() & date)");

    // A date whose month is not a month reads as today.
    row.date = CNR_DATE{1, 0, 1999};
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    EXPECT_EQ(date.dataAsDate(&row), IDate(static_cast<unsigned>(local->tm_mday),
                                           static_cast<unsigned>(local->tm_mon + 1),
                                           static_cast<unsigned>(local->tm_year + 1900)));
    messageDriven->removeObject(&row);
    messageDriven->removeColumn(&name);
    EXPECT_STREQ(ovktest::caught([&] { name.dataAsString(&row); }).text(),
                 "container() != 0 && object !=0 && (dataAttributes() & string)");
}

TEST_F(Containers, ColumnCopyOwnsItsHeadingAndBelongsNowhere)
{
    Column original(8);
    original.setHeadingText("Size").setDisplayWidth(70);
    messageDriven->addColumn(&original);
    Column copy(original);
    original.setHeadingText("Changed");
    EXPECT_EQ(ovktest::str(copy.headingText()), "Size");
    EXPECT_EQ(copy.displayWidth(), 70u);
    EXPECT_EQ(copy.container(), nullptr);
    EXPECT_EQ(Column::columnOf(copy.fieldInfo()), &copy);
    // Without a width of its own a column is as wide as the container says its data is.
    Column plain(12);
    messageDriven->addColumn(&plain);
    EXPECT_EQ(plain.displayWidth(), 50u);
}

// A copy of a column that is in a container takes the offset the column had before it joined:
// added to another container, it reads the same field.
TEST_F(Containers, CopyOfAnAttachedColumnReadsTheSameFieldInAnotherContainer)
{
    std::unique_ptr<Row> owner(new Row("row"));
    Row& row = *owner;
    Column name(row.offsetOf(row.name));
    native->addColumn(&name);
    Column copy(name);
    EXPECT_EQ(copy.dataOffset(), row.offsetOf(row.name));
    messageDriven->addColumn(&copy);
    EXPECT_EQ(copy.dataOffset(), name.dataOffset());
    messageDriven->addObject(&row);
    EXPECT_EQ(ovktest::str(copy.dataAsString(&row)), "a name");
    messageDriven->removeObject(&row);
    messageDriven->removeColumn(&copy);
    EXPECT_EQ(copy.dataOffset(), row.offsetOf(row.name));
}

// A column is removed only by the container that holds it: the native class answers 0 for a
// column it does not hold, which must not detach the column from its own container.
TEST_F(Containers, RemovingAnotherContainersColumnIsRefused)
{
    auto otherNative = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::currentDefaultAttribute(), 37);
    auto otherMessageDriven = makeMessageDriven(38);
    for (ICnrCtl* holder : {native.get(), messageDriven.get()}) {
        for (ICnrCtl* stranger : {otherNative.get(), otherMessageDriven.get()}) {
            SCOPED_TRACE(std::string(holder->isMessageContainer() ? "message-driven" : "native") +
                         " holder, " + (stranger->isMessageContainer() ? "message-driven" : "native") +
                         " stranger");
            Column column(8);
            holder->addColumn(&column);
            const unsigned long offset = column.dataOffset();
            EXPECT_STREQ(ovktest::caught([&] { stranger->removeColumn(&column); }).text(),
                         "column->container()==this");
            EXPECT_EQ(column.container(), holder);
            EXPECT_EQ(column.dataOffset(), offset);
            EXPECT_TRUE(holder->containsColumn(&column));
            holder->removeColumn(&column);
            EXPECT_EQ(column.dataOffset(), 8u);
        }
    }
    Column loose(8);
    EXPECT_STREQ(ovktest::caught([&] { native->removeColumn(&loose); }).text(),
                 "column->container()==this");
}

// The heading data is a text only while the column holds one: the text bit set on an icon
// heading shows an empty text, never the icon's handle read as one, and the icon bit alone brings
// the icon back.
TEST_F(Containers, TextBitOnAnIconHeadingNeverReadsTheIconAsText)
{
    const IPointerHandle icon(LoadIconA(nullptr, IDI_APPLICATION));
    ASSERT_TRUE(icon.isValid());
    native->showDetailsView();
    for (ICnrCtl* container : {native.get(), messageDriven.get()}) {
        auto column = std::make_unique<Column>(8);
        container->addColumn(column.get());
        column->setHeadingIcon(icon);
        const unsigned long iconWord = column->headingAttributes();
        column->setHeadingAttributes(iconWord | Column::HeadingStyle::string.asUnsignedLong());
        EXPECT_TRUE(column->isHeadingString());
        EXPECT_NE(column->fieldInfo()->pTitleData, static_cast<void*>(icon.asValue()));
        EXPECT_EQ(ovktest::str(column->headingText()), "");
        if (container == native.get()) {
            EXPECT_EQ(listHeading(*native, 1), "");
        }
        Column copy(*column);
        EXPECT_EQ(ovktest::str(copy.headingText()), "");
        column->setHeadingAttributes(iconWord);
        EXPECT_EQ(column->fieldInfo()->pTitleData, static_cast<void*>(icon.asValue()));
        EXPECT_EQ(column->headingIcon().asValue(), icon.asValue());

        // A text heading keeps its text through a word that keeps the text bit, and a copy of
        // it has a text of its own.
        column->setHeadingText("Size");
        column->setHeadingAttributes(column->headingAttributes() | Column::HeadingStyle::right.asUnsignedLong());
        EXPECT_EQ(ovktest::str(column->headingText()), "Size");
        Column textCopy(*column);
        EXPECT_NE(textCopy.fieldInfo()->pTitleData, column->fieldInfo()->pTitleData);
        EXPECT_EQ(ovktest::str(textCopy.headingText()), "Size");
    }
}

// A column that outlives its container learns that it belongs to none, so its destructor
// reaches no container; with setDeleteColumnsOnClose the container deletes its columns.
TEST_F(Containers, ClosingContainerReleasesOrDeletesItsColumns)
{
    for (bool native : {false, true}) {
        SCOPED_TRACE(native ? "native" : "message-driven");
        const long liveBefore = OvkCnrTestLiveFieldInfos();
        auto keeping = native ? makeNative(ICnrCtl::defaultStyle(), ICnrCtl::currentDefaultAttribute(), 35)
                              : makeMessageDriven(35);
        auto survivor = std::make_unique<Column>(8);
        keeping->addColumn(survivor.get());
        keeping.reset();
        EXPECT_EQ(survivor->container(), nullptr);
        EXPECT_EQ(survivor->dataOffset(), 8u);
        survivor.reset();

        auto deleting = native ? makeNative(ICnrCtl::defaultStyle(), ICnrCtl::currentDefaultAttribute(), 36)
                               : makeMessageDriven(36);
        deleting->setDeleteColumnsOnClose();
        deleting->addColumn(new Column(8)).addColumn(new Column(12));
        EXPECT_EQ(OvkCnrTestLiveFieldInfos(), liveBefore + 2);
        deleting.reset();
        EXPECT_EQ(OvkCnrTestLiveFieldInfos(), liveBefore);
    }
}

// Native list columns ---------------------------------------------------------------------------------

TEST_F(Containers, NativeDataColumnsBecomeListColumns)
{
    const int before = listColumnCount(*native);
    // Sent straight to the window, the offset is taken as it is: past the record header.
    Column first(sizeof(MINIRECORDCORE) + 8);
    first.setHeadingText("First");
    // Inserted with CMA_FIRST, the first data column still follows the list's own first column.
    FIELDINFOINSERT insert{sizeof(FIELDINFOINSERT),
                           reinterpret_cast<FIELDINFO*>(static_cast<std::uintptr_t>(CMA_FIRST)), 1, 1};
    ASSERT_EQ(native->sendEvent(CM_INSERTDETAILFIELDINFO, first.fieldInfo(), &insert).asUnsignedLong(), 1u);
    EXPECT_EQ(listColumnCount(*native), before + 1);
    EXPECT_EQ(listHeading(*native, 1), "First");
    EXPECT_EQ(listColumnWidth(*native, 1), 100);
    native->sendEvent(CM_REMOVEDETAILFIELDINFO, 0, 0);

    // An icon column is a column of the set, but no list column; every change is counted.
    Column text(Column::DataSource::iconText), icon(12, Column::defaultHeadingStyle(),
                                                     Column::DataStyle::icon);
    Column size(16);
    size.setHeadingText("Size");
    native->addColumn(&text).addColumn(&icon).addColumn(&size);
    EXPECT_EQ(native->columnCount(), 3u);
    EXPECT_EQ(listColumnCount(*native), before + 1);
    EXPECT_EQ(listHeading(*native, 1), "Size");
    size.setHeadingText("Bytes").setDisplayWidth(64);
    EXPECT_EQ(listHeading(*native, 1), "Bytes");
    EXPECT_EQ(listColumnWidth(*native, 1), 64);
    EXPECT_EQ(size.displayWidth(), 64u);
    native->removeColumn(&icon);
    EXPECT_EQ(native->columnCount(), 2u);
    native->removeColumn(&size);
    EXPECT_EQ(native->columnCount(), 1u);
    EXPECT_EQ(listColumnCount(*native), before);
}

TEST_F(Containers, NativeColumnSetRefusesWhatItDoesNotHold)
{
    Column column(8);
    native->addColumn(&column);
    FIELDINFO* two[2] = {column.fieldInfo(), column.fieldInfo()};
    EXPECT_STREQ(ovktest::caught([&] {
                     native->sendEvent(CM_REMOVEDETAILFIELDINFO, two, 2);
                 }).text(),
                 "cNumFieldInfo <= 1");
    Column stranger(8);
    EXPECT_STREQ(ovktest::caught([&] {
                     native->controlData()->columns().columnIdFromFieldInfo(stranger.fieldInfo());
                 }).text(),
                 "found");
}

// Each cell beyond the first shows the record's value as its column's type says.
TEST_F(Containers, NativeDetailsCellsShowFormattedValues)
{
    std::unique_ptr<Row> owner(new Row("row", 1234567));
    Row& row = *owner;
    Column name(row.offsetOf(row.name)), size(row.offsetOf(row.size), Column::defaultHeadingStyle(),
                                             Column::DataStyle::number);
    Column date(row.offsetOf(row.date), Column::defaultHeadingStyle(), Column::DataStyle::date);
    Column time(row.offsetOf(row.time), Column::defaultHeadingStyle(), Column::DataStyle::time);
    native->addColumn(&name).addColumn(&size).addColumn(&date).addColumn(&time);
    native->showDetailsView();
    native->addObject(&row);
    const auto cell = [&](Column& column) {
        char text[64] = "unchanged";
        LVITEMA item{};
        item.iSubItem = native->controlData()->columns().subItemIdFromFieldInfo(column.fieldInfo());
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(listOf(*native), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
        return std::string(item.pszText);
    };
    char expected[kCnrFormatBufferSize];
    EXPECT_EQ(cell(name), "a name");
    formatNumber(1234567, expected);
    EXPECT_EQ(cell(size), expected);
    EXPECT_NE(cell(size), "1234567");
    formatDate(row.date, expected);
    EXPECT_EQ(cell(date), expected);
    formatTime(row.time, expected);
    EXPECT_EQ(cell(time), expected);
    native->removeObject(&row);
}

} // namespace
