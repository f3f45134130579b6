// The native details view's header: hidden columns keep their place with width 0, the user
// cannot drag them open, and icon headings show their icons.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <icnrcol.hpp>
#include <icnrctl.hpp>
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

HWND headerOf(ICnrCtl& container)
{
    return reinterpret_cast<HWND>(SendMessageA(listOf(container), LVM_GETHEADER, 0, 0));
}

int columnOf(ICnrCtl& container, Column& column)
{
    return container.controlData()->columns().columnIdFromFieldInfo(column.fieldInfo());
}

HDITEMA headerItem(ICnrCtl& container, Column& column)
{
    HDITEMA item{};
    item.mask = HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
    SendMessageA(headerOf(container), HDM_GETITEMA, static_cast<WPARAM>(columnOf(container, column)),
                 reinterpret_cast<LPARAM>(&item));
    return item;
}

// The width as the header and the list each report it, which must agree.
int widthOf(ICnrCtl& container, Column& column)
{
    const int listWidth = static_cast<int>(SendMessageA(
        listOf(container), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(columnOf(container, column)), 0));
    EXPECT_EQ(headerItem(container, column).cxy, listWidth);
    return listWidth;
}

std::string cellText(ICnrCtl& container, Column& column)
{
    char text[64] = {};
    LVITEMA item{};
    item.iSubItem = container.controlData()->columns().subItemIdFromFieldInfo(column.fieldInfo());
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(listOf(container), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

RECT headerRect(ICnrCtl& container, Column& column)
{
    RECT rect{};
    SendMessageA(headerOf(container), HDM_GETITEMRECT, static_cast<WPARAM>(columnOf(container, column)),
                 reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// A press at a point of the header, a move by `distance` with the button down, and the release.
void dragOnHeader(HWND header, int x, int y, int distance)
{
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + distance / 2, y));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + distance, y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x + distance, y));
}

// Three string columns of a row in the details view: the middle one is the one to hide.
class Headings : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        row = std::make_unique<Row>("row");
        left = std::make_unique<Column>(row->offsetOf(row->first));
        middle = std::make_unique<Column>(row->offsetOf(row->second));
        right = std::make_unique<Column>(row->offsetOf(row->third));
        left->setDisplayWidth(70);
        middle->setDisplayWidth(90);
        right->setDisplayWidth(80);
        // Wide enough for the header to show every column.
        SetWindowPos(native->handle(), nullptr, 0, 0, 500, 150, SWP_NOMOVE | SWP_NOZORDER);
        native->showDetailsView();
        native->addColumn(left.get()).addColumn(middle.get()).addColumn(right.get());
        native->addObject(row.get());
    }
    void TearDown() override
    {
        native->removeObject(row.get());
        for (Column* column : {left.get(), middle.get(), right.get()})
            native->removeColumn(column);
        Containers::TearDown();
    }

    std::unique_ptr<Row> row;
    std::unique_ptr<Column> left, middle, right;
};

TEST_F(Headings, HiddenColumnShowsWithWidthZeroAndComesBackWithItsWidth)
{
    const int rightPlace = columnOf(*native, *right);
    middle->hide();
    EXPECT_EQ(widthOf(*native, *middle), 0);
    // The other columns keep their places, widths and texts.
    EXPECT_EQ(columnOf(*native, *right), rightPlace);
    EXPECT_EQ(widthOf(*native, *left), 70);
    EXPECT_EQ(widthOf(*native, *right), 80);
    EXPECT_EQ(cellText(*native, *left), "first");
    EXPECT_EQ(cellText(*native, *right), "third");
    // Changes made to a hidden column keep it hidden; its new width is the one it shows with.
    middle->setDataAlignment(Column::verticallyCentered, Column::right);
    EXPECT_EQ(widthOf(*native, *middle), 0);
    middle->show();
    EXPECT_EQ(widthOf(*native, *middle), 90);
    EXPECT_EQ(cellText(*native, *middle), "second");
    middle->hide();
    middle->setDisplayWidth(120);
    EXPECT_EQ(widthOf(*native, *middle), 0);
    middle->show();
    EXPECT_EQ(widthOf(*native, *middle), 120);
}

TEST_F(Headings, ColumnAddedHiddenShowsWithWidthZero)
{
    Column hidden(row->offsetOf(row->second));
    hidden.hide();
    native->addColumn(&hidden, left.get());
    EXPECT_EQ(widthOf(*native, hidden), 0);
    EXPECT_EQ(cellText(*native, *right), "third");
    hidden.show();
    EXPECT_EQ(widthOf(*native, hidden), 100);
    native->removeColumn(&hidden);
}

// A zero-width column's divider lies on the one before it; the header offers the hidden column
// to a press just right of it, and the column before it to a press just left.
TEST_F(Headings, DraggingOrDoubleClickingAHiddenColumnsDividerLeavesItClosed)
{
    middle->hide();
    const HWND header = headerOf(*native);
    const RECT place = headerRect(*native, *middle);
    ASSERT_EQ(place.left, place.right);
    const int y = (place.top + place.bottom) / 2;
    dragOnHeader(header, place.right + 1, y, 40);
    EXPECT_EQ(widthOf(*native, *middle), 0);
    SendMessageA(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(place.right + 1, y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(place.right + 1, y));
    EXPECT_EQ(widthOf(*native, *middle), 0);
    // The same drag on a shown column's divider does widen it.
    dragOnHeader(header, place.left - 1, y, 40);
    EXPECT_EQ(widthOf(*native, *left), 110);
    EXPECT_EQ(widthOf(*native, *middle), 0);
    middle->show();
    EXPECT_EQ(widthOf(*native, *middle), 90);
}

// The pixels of a colour the header draws inside a rectangle, painted by the header itself.
int pixelsOfColour(HWND header, const RECT& within, COLORREF colour)
{
    RECT client{};
    GetClientRect(header, &client);
    const ovktest::Surface surface(client.right, client.bottom);
    SendMessageA(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    return ovktest::PixelReader(surface.dc()).count(colour, within);
}

TEST_F(Headings, IconHeadingShowsItsIconInTheHeader)
{
    const COLORREF red = RGB(255, 0, 0);
    const ovktest::SolidIcon icon(red);
    const HWND header = headerOf(*native);
    EXPECT_EQ(pixelsOfColour(header, headerRect(*native, *middle), red), 0);
    middle->setHeadingIcon(IPointerHandle(icon.get()));
    EXPECT_TRUE(headerItem(*native, *middle).fmt & HDF_OWNERDRAW);
    EXPECT_GE(pixelsOfColour(header, headerRect(*native, *middle), red), 100);
    // Other changes of the column leave the icon where it is; a text heading replaces it.
    middle->setDataAlignment(Column::verticallyCentered, Column::centered);
    middle->setDisplayWidth(60);
    EXPECT_TRUE(headerItem(*native, *middle).fmt & HDF_OWNERDRAW);
    EXPECT_GE(pixelsOfColour(header, headerRect(*native, *middle), red), 100);
    EXPECT_EQ(pixelsOfColour(header, headerRect(*native, *left), red), 0);
    middle->setHeadingText("Text");
    EXPECT_FALSE(headerItem(*native, *middle).fmt & HDF_OWNERDRAW);
    EXPECT_EQ(pixelsOfColour(header, headerRect(*native, *middle), red), 0);
}

} // namespace
