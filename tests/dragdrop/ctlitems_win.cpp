// The drag items of the library's own controls: text out of and into entry fields and
// multi-line edits, tool bar buttons within a tool bar and onto the shredder, menu items onto a
// tool bar, and the acceptance policy over them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

#include <iapp.hpp>
#include <idmdinfo.hpp>
#include <idmevent.hpp>
#include <idmfact.hpp>
#include <idmimage.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <idmrendr.hpp>
#include <idmtbit.hpp>
#include <ientryfd.hpp>
#include <iframe.hpp>
#include <imle.hpp>
#include <iprivmsg.hpp>
#include <ireslib.hpp>
#include <istattxt.hpp>
#include <itbar.hpp>
#include <itbarbut.hpp>

#include <ovktest.hpp>
#include <detail/iscoped.hpp>

#include "toolbarframe.hpp"

namespace {

using ovktest::str;

// A target operation over `target`, made current, with one item rebuilt as `ItemClass` from an
// entry of the given types whose source is `source`.
template <class ItemClass>
IDMItem::Handle targetItem(IWindow& target, const char* types, HWND source = nullptr,
                           unsigned long operation = IDMOperation::move)
{
    IReference<IDMTargetOperation> op(new IDMTargetOperation(target.handle()));
    op->setOperation(operation);
    op->setSourceWindowHandle(source);
    IDMDragInfoItem entry;
    entry.types = types;
    entry.itemWindow = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(source));
    entry.supportedOperations = IDMItem::moveable | IDMItem::copyable;
    IDMItem::Handle made(new ItemClass(IDMItem::Handle(new IDMItem(op.get(), entry))));
    op->addItem(made);
    IDMTargetOperation::setCurrentTargetOperation(op);
    return made;
}

// The item's drop hook for a drop on the target at a screen point.
bool dropAt(const IDMItem::Handle& item, IWindow& target, const IPoint& screen)
{
    IDMTargetDropEvent drop(IEvent(target.handle(), IPrivateMessage::dragDrop,
                                   IEventParameter1(static_cast<std::uint16_t>(screen.x()),
                                                    static_cast<std::uint16_t>(screen.y())),
                                   0));
    return item->targetDrop(drop);
}

class TextItems : public testing::Test {
protected:
    void SetUp() override {
        field.setText("hello world");
        other.setText("keep");
        edit.setText("abc def", 0);
    }
    void TearDown() override {
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
    }

    ovktest::TestWindow parent{nullptr, WS_OVERLAPPEDWINDOW};
    IEntryField field{11, &parent, &parent, IRectangle(0, 0, 150, 20)};
    IEntryField other{12, &parent, &parent, IRectangle(0, 30, 150, 50)};
    IMultiLineEdit edit{13, &parent, &parent, IRectangle(0, 60, 150, 120)};
};

TEST_F(TextItems, ASelectionTravelsAloneWithoutOneTheWholeText)
{
    field.setText("hello world");
    field.selectRange(IRange(6, 10));
    IReference<IDMSourceOperation> source(new IDMSourceOperation(field.handle()));
    ASSERT_TRUE(IDMEntryFieldItem::generateSourceItems(source.get()));
    ASSERT_EQ(source->numberOfItems(), 1u);
    const IDMItem::Handle item = source->item(1);
    EXPECT_EQ(str(item->contents()), "world");
    EXPECT_STREQ(static_cast<const char*>(item->object()), "world");
    EXPECT_TRUE(item->isPrepareRequired());
    // Without a selection the whole text goes; an empty field gives no item.
    SendMessageA(field.handle(), EM_SETSEL, 0, 0);
    IReference<IDMSourceOperation> whole(new IDMSourceOperation(field.handle()));
    ASSERT_TRUE(IDMEntryFieldItem::generateSourceItems(whole.get()));
    EXPECT_EQ(str(whole->item(1)->contents()), "hello world");
    field.setText("");
    IReference<IDMSourceOperation> none(new IDMSourceOperation(field.handle()));
    EXPECT_FALSE(IDMEntryFieldItem::generateSourceItems(none.get()));
}

// Text dragged with the mouse from one entry field to another through OLE: a press on the
// selection starts the drag, the cursor waits over the other field and, with no button down,
// OLE drops there at once.
struct TextDragCase {
    const char* name;
    bool control;  // Ctrl held: a copy
    const char* sourceAfter;
};

class TextDrag : public testing::TestWithParam<TextDragCase> {
protected:
    void SetUp() override {
        SetWindowPos(parent.hwnd(), HWND_TOPMOST, 120, 120, 320, 160, SWP_SHOWWINDOW);
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&source);
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&target);
        source.setText("hello world");
        target.setText("old");
        GetKeyboardState(fKeys);
        ovktest::pumpPending();
    }
    void TearDown() override { SetKeyboardState(fKeys); }

    // Holds Ctrl in the thread's key state, which OLE's drag loop and the target both read.
    void holdControl() {
        BYTE keys[256];
        std::copy(std::begin(fKeys), std::end(fKeys), std::begin(keys));
        keys[VK_CONTROL] |= 0x80;
        keys[VK_LCONTROL] |= 0x80;
        SetKeyboardState(keys);
    }
    // Presses the left button on the source's selection, over its first selected character.
    void pressOnSelection() {
        const LRESULT at = SendMessageA(source.handle(), EM_POSFROMCHAR, 7, 0);
        const LPARAM point = MAKELPARAM(LOWORD(at), HIWORD(at) + 2);
        SendMessageA(source.handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(source.handle(), WM_LBUTTONUP, 0, point);
    }

    ovktest::TestWindow parent{nullptr, WS_POPUP};
    IEntryField source{21, &parent, &parent, IRectangle(10, 10, 300, 34)};
    IEntryField target{22, &parent, &parent, IRectangle(10, 90, 300, 114)};
    BYTE fKeys[256] = {};
};

INSTANTIATE_TEST_SUITE_P(
    Operations, TextDrag,
    testing::Values(TextDragCase{"AMoveTakesTheTextFromTheSource", false, "hello "},
                    TextDragCase{"ACopyLeavesIt", true, "hello world"}),
    [](const testing::TestParamInfo<TextDragCase>& info) { return info.param.name; });

TEST_P(TextDrag, TheSelectionLandsInTheOtherField)
{
    if (GetParam().control)
        holdControl();
    source.selectRange(IRange(6, 10));
    RECT over{};
    GetWindowRect(target.handle(), &over);
    SetCursorPos((over.left + over.right) / 2, (over.top + over.bottom) / 2);
    pressOnSelection();
    EXPECT_EQ(str(target.text()), "world");
    EXPECT_EQ(str(source.text()), GetParam().sourceAfter);
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

TEST_F(TextItems, ADropReplacesAFieldsWholeTextAndAnEditsSelection)
{
    IDMItem::Handle onField = targetItem<IDMEntryFieldItem>(other, "Text");
    onField->setContents("dropped");
    EXPECT_TRUE(dropAt(onField, other, IPoint(0, 0)));
    EXPECT_EQ(str(other.text()), "dropped");

    SendMessageA(edit.handle(), EM_SETSEL, 4, 7);
    IDMItem::Handle onEdit = targetItem<IDMMultiLineEditItem>(edit, "Text");
    onEdit->setContents("XYZ");
    EXPECT_TRUE(dropAt(onEdit, edit, IPoint(0, 0)));
    EXPECT_EQ(str(edit.text()), "abc XYZ");
}

TEST_F(TextItems, TextOverItsOwnFieldIsNeverDropped)
{
    IDMItemFactory policy;
    targetItem<IDMEntryFieldItem>(field, "Text", field.handle());
    IDMTargetEnterEvent over(IEvent(field.handle(), IPrivateMessage::dragOver, 0, 0));
    EXPECT_FALSE(policy.provideEnterSupport(over));
    EXPECT_EQ(over.dropAnswer(), 3);

    targetItem<IDMEntryFieldItem>(other, "Text", field.handle());
    IDMTargetEnterEvent elsewhere(IEvent(other.handle(), IPrivateMessage::dragOver, 0, 0));
    EXPECT_TRUE(policy.provideEnterSupport(elsewhere));
    EXPECT_EQ(elsewhere.dropAnswer(), 1);
    IDMSupport::defaultTargetRenderer().setSupportedTypes("Any");
}

class ToolBarItems : public testing::Test, protected dragtest::ToolBarFrame {
protected:
    ToolBarItems()
        : ToolBarFrame("tool bar items",
                       IToolBarButton::defaultStyle() | IToolBarButton::noDragDelete) {}
    void SetUp() override {
        SetWindowPos(frame->handle(), nullptr, 50, 50, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(frame->handle(), SW_SHOWNOACTIVATE);
        ovktest::pumpPending();
    }
    // The cases make their target operations current by hand (`targetItem`); each lets its own go.
    void TearDown() override {
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
    }

    // A point of the button on the screen, a quarter or three quarters across.
    static IPoint across(IWindow& button, bool leftHalf) {
        RECT rect{};
        GetWindowRect(button.handle(), &rect);
        const long x = leftHalf ? rect.left + (rect.right - rect.left) / 4
                                : rect.right - (rect.right - rect.left) / 4;
        // Drag messages carry screen points as the system counts them.
        return IPoint(x, (rect.top + rect.bottom) / 2);
    }

};

TEST_F(ToolBarItems, AButtonLandsBeforeTheLeftHalfAndAfterTheRightHalf)
{
    IToolBarButton& first = *buttons[0];
    IToolBarButton& third = *buttons[2];
    IDMItem::Handle item = targetItem<IDMToolBarButtonItem>(first, "ToolBarButton", third.handle());
    ASSERT_EQ(item->sourceWindow(), &third);
    EXPECT_TRUE(dropAt(item, first, across(first, true)));
    EXPECT_EQ(listed(), "103 101 102");
    item = targetItem<IDMToolBarButtonItem>(first, "ToolBarButton", third.handle());
    EXPECT_TRUE(dropAt(item, first, across(first, false)));
    EXPECT_EQ(listed(), "101 103 102");
}

TEST_F(ToolBarItems, OnlyAButtonThatAllowsItGoesToTheShredder)
{
    const HWND discarded = buttons[0]->handle();
    for (std::size_t index : {std::size_t{2}, std::size_t{0}}) {
        IToolBarButton& button = *buttons[index];
        IReference<IDMSourceOperation> source(new IDMSourceOperation(button.handle()));
        ASSERT_TRUE(IDMToolBarButtonItem::generateSourceItems(source.get()));
        EXPECT_EQ(source->operation(), IDMOperation::move);
        const IDMItem::Handle item = source->item(1);
        const bool discardable = item->supportsRMF("DRM_DISCARD", "DRF_UNKNOWN");
        EXPECT_EQ(discardable, index == 0);
        if (discardable) {
            IDMSourceDiscardEvent discard(IEvent(button.handle(), IPrivateMessage::dragDiscard, 0, 0));
            EXPECT_TRUE(item->sourceDiscard(discard));
        }
    }
    EXPECT_EQ(listed(), "102 103");
    EXPECT_FALSE(IsWindow(discarded));
}

// A bitmap of `width` x `height` whose left half is `left` and right half `right`.
HBITMAP halves(int width, int height, COLORREF left, COLORREF right)
{
    const ovk_native::WindowDC screen(nullptr);
    ovk_native::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const ovk_native::MemoryDC memory(screen.get());
    {
        const ovk_native::Selection selected(memory.get(), bitmap.get());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(memory.get(), x, y, x < width / 2 ? left : right);
    }
    return bitmap.release();
}

// The pointer shows a dragged button's picture at its own size, its transparent pixels in the
// window-text colour; a button without a picture keeps the plain image.
TEST_F(ToolBarItems, ADraggedButtonShowsItsPictureOverTheWindowTextColour)
{
    const COLORREF red = RGB(200, 30, 10), magenta = RGB(255, 0, 255);
    IToolBarButton& pictured = *buttons[0];
    pictured.setBitmap(IBitmapHandle(halves(10, 6, red, magenta)));
    pictured.setTransparentColor(IColor(255, 0, 255));
    IReference<IDMSourceOperation> source(new IDMSourceOperation(pictured.handle()));
    ASSERT_TRUE(IDMToolBarButtonItem::generateSourceItems(source.get()));
    const IDMImage image = source->item(1)->image();
    const IBitmapHandle shown = image.bitmap();
    ASSERT_TRUE(shown.isValid());
    EXPECT_NE(image.style().asUnsignedLong() & IDMImage::bitmapImage.asUnsignedLong(), 0UL);
    BITMAP size{};
    ASSERT_TRUE(GetObjectA(shown.asValue(), sizeof size, &size));
    EXPECT_EQ(size.bmWidth, 10);
    EXPECT_EQ(size.bmHeight, 6);
    EXPECT_NE(shown.asValue(), pictured.bitmap().asValue());
    const COLORREF ground = GetSysColor(COLOR_WINDOWTEXT);
    {
        const ovktest::PixelReader pixels(static_cast<HBITMAP>(shown.asValue()));
        for (int y : {0, 5}) {
            EXPECT_EQ(pixels.at(0, y), red) << y;
            EXPECT_EQ(pixels.at(4, y), red) << y;
            EXPECT_EQ(pixels.at(5, y), ground) << y;
            EXPECT_EQ(pixels.at(9, y), ground) << y;
        }
    }

    const unsigned long withoutPicture = IToolBarButton::classDefaultStyle.asExtendedUnsignedLong() &
                                         ~IToolBarButton::useIdForBitmap.asExtendedUnsignedLong();
    IToolBarButton textOnly(104, bar.get(), bar.get(), IRectangle(),
                            IToolBarButton::Style(WS_VISIBLE, withoutPicture));
    ASSERT_FALSE(textOnly.bitmap().isValid());
    IReference<IDMSourceOperation> plain(new IDMSourceOperation(textOnly.handle()));
    ASSERT_TRUE(IDMToolBarButtonItem::generateSourceItems(plain.get()));
    EXPECT_FALSE(plain->item(1)->image().bitmap().isValid());
    EXPECT_EQ(plain->item(1)->image().style().asUnsignedLong(), 0UL);
}

TEST_F(ToolBarItems, AMenuItemBecomesAButtonWithItsId)
{
    IDMItem::Handle item = targetItem<IDMToolBarItem>(*bar, "Menuitem");
    item->setObject(reinterpret_cast<void*>(std::uintptr_t{555}));
    EXPECT_TRUE(dropAt(item, *bar, IPoint(0, 0)));
    EXPECT_EQ(listed(), "101 102 103 555");
    IWindow* made = IWindow::windowWithParent(555, bar.get(), true);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(dynamic_cast<IToolBarButton*>(made), nullptr);
}

// The policy over a tool bar button: the window judged is the button, its tool bar the parent.
TEST_F(ToolBarItems, ThePolicyOverAButton)
{
    IDMItemFactory policy;
    IToolBarButton& first = *buttons[0];
    IToolBarButton& second = *buttons[1];
    const auto answer = [&](IWindow& over, const char* types, HWND source, const char* name,
                            void* object) {
        IDMItem::Handle item = targetItem<IDMItem>(over, types, source);
        item->setSourceName(name);
        item->setObject(object);
        IDMTargetEnterEvent event(IEvent(over.handle(), IPrivateMessage::dragOver, 0, 0));
        const bool accepted = policy.provideEnterSupport(event);
        EXPECT_EQ(accepted, event.dropAnswer() == 1) << types << " " << name;
        return int(event.dropAnswer());
    };
    EXPECT_EQ(answer(first, "ToolBarButton", first.handle(), "", nullptr), 3);
    EXPECT_EQ(answer(first, "ToolBarButton", second.handle(), "", nullptr), 1);
    EXPECT_EQ(answer(first, "Text", nullptr, "Picture.BMP", nullptr), 1);
    EXPECT_EQ(answer(first, "Text", nullptr, "notes.txt", nullptr), 3);
    EXPECT_EQ(answer(first, "Binary", nullptr, "", nullptr), 3);
}

TEST_F(ToolBarItems, AMenuItemWhoseIdTheToolBarHasIsNeverDropped)
{
    IDMItemFactory policy;
    IToolBarButton& first = *buttons[0];
    // The menu item is dragged from this process: its source item holds the id.
    ovktest::TestWindow menuOwner;
    IReference<IDMSourceOperation> source(new IDMSourceOperation(menuOwner.hwnd()));
    IDMSourceOperation::setCurrentSourceOperation(source);
    ASSERT_TRUE(IDMMenuItemItem::generateSourceItems(source.get()));
    EXPECT_EQ(source->operation(), IDMOperation::link);
    for (unsigned long id : {102UL, 777UL}) {
        source->item(1)->setObject(reinterpret_cast<void*>(std::uintptr_t{id}));
        IReference<IDMTargetOperation> op(new IDMTargetOperation(first.handle()));
        op->setSourceWindowHandle(menuOwner.hwnd());
        IDMDragInfoItem entry;
        entry.types = "Menuitem";
        entry.itemId = static_cast<std::uint32_t>(source->item(1)->itemId());
        entry.itemWindow = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(menuOwner.hwnd()));
        op->addItem(IDMItem::Handle(new IDMItem(op.get(), entry)));
        IDMTargetOperation::setCurrentTargetOperation(op);
        IDMTargetEnterEvent event(IEvent(first.handle(), IPrivateMessage::dragOver, 0, 0));
        policy.provideEnterSupport(event);
        EXPECT_EQ(event.dropAnswer(), id == 102 ? 3 : 1) << id;
    }
    IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
}

} // namespace
