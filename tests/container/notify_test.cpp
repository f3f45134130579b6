// The native container reports what its list control sees (double clicks, Enter, selection,
// label editing, help) to its owner as the container notifications.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>
#include <memory>
#include <string>

#include <icnrcol.hpp>
#include <icnredit.hpp>
#include <icnrhdr.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iprivmsg.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::NotificationTrace;
using cnrtest::Objects;

namespace {

constexpr int kListId = 0x3000;

class NativeNotifications : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
        notifications.handleEventsFor(native.get());
    }
    void TearDown() override
    {
        notifications.stopHandlingEventsFor(native.get());
        Containers::TearDown();
    }
    HWND list() const { return cnrtest::child(native->handle(), kListId); }
    // Puts the pointer on the middle of an item's icon and answers that point in the list.
    POINT pointAtItem(int index)
    {
        RECT area{};
        area.left = LVIR_ICON;
        SendMessageA(list(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&area));
        POINT point{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        POINT screen = point;
        ClientToScreen(list(), &screen);
        SetCursorPos(screen.x, screen.y);
        return point;
    }
    void doubleClickAt(POINT point)
    {
        if (point.x < 0) {
            RECT client{};
            GetClientRect(list(), &client);
            point = POINT{client.right - 3, client.bottom - 3};
            POINT screen = point;
            ClientToScreen(list(), &screen);
            SetCursorPos(screen.x, screen.y);
        }
        SendMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    NotificationTrace notifications;
};

TEST_F(NativeNotifications, DoubleClickOpensTheItemUnderThePointerAndEnterTheCursoredOne)
{
    Objects objects(*native, {"a", "b"});
    native->arrangeIconView();
    doubleClickAt(pointAtItem(1));
    EXPECT_EQ(notifications.trace.substr(notifications.trace.find("enter")), "enter(b,0)");
    notifications.trace.clear();
    doubleClickAt(POINT{-1, -1});
    EXPECT_EQ(notifications.trace.find("enter"), std::string::npos) << notifications.trace;

    notifications.trace.clear();
    native->setEmphasis(objects[0], CRA_CURSORED);
    notifications.trace.clear();
    SendMessageA(list(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(notifications.trace, "enter(a,1)");
}

TEST_F(NativeNotifications, SelectingAnotherItemReportsTheOneLosingAndTheOneGaining)
{
    auto single = makeNative(ICnrCtl::defaultStyle() | ICnrCtl::singleSelection,
                             ICnrCtl::nameView, 22);
    notifications.handleEventsFor(single.get());
    Objects objects(*single, {"a", "b"});
    const HWND control = cnrtest::child(single->handle(), kListId);
    SetFocus(control);
    single->setEmphasis(objects[0], CRA_SELECTED | CRA_CURSORED);
    notifications.trace.clear();
    SendMessageA(control, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_NE(notifications.trace.find("selected(a)"), std::string::npos) << notifications.trace;
    EXPECT_NE(notifications.trace.find("selected(b)"), std::string::npos) << notifications.trace;
    EXPECT_LT(notifications.trace.find("selected(a)"), notifications.trace.find("selected(b)"));
    notifications.stopHandlingEventsFor(single.get());
}

TEST_F(NativeNotifications, HelpWithNoCursoredObjectNamesNone)
{
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    SendMessageA(native->handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(notifications.trace, "help(none)");
}

class NativeEditing : public NativeNotifications {
protected:
    void SetUp() override
    {
        NativeNotifications::SetUp();
        // The trace goes on after the edit handler, which handles the edit's notifications.
        notifications.stopHandlingEventsFor(native.get());
        editing.handleEventsFor(native.get());
        notifications.handleEventsFor(native.get());
        notifications.selections = false;
    }
    void TearDown() override
    {
        editing.stopHandlingEventsFor(native.get());
        NativeNotifications::TearDown();
    }
    // Opens the editor on the object, types the text (when given) and presses Enter.
    void edit(ICnrObj* object, const char* text)
    {
        native->editObject(object);
        const HWND editor = reinterpret_cast<HWND>(SendMessageA(list(), LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(editor, nullptr);
        if (text)
            SetWindowTextA(editor, text);
        SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
        ovktest::pumpPending();
    }
    std::string listText(int index)
    {
        char text[300] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    ICnrEditHandler editing;
};

TEST_F(NativeEditing, ARecordThatIsReadOnlyIsNotEdited)
{
    Objects objects(*native, {"ab"});
    objects[0]->setWriteable(false, native.get());
    notifications.trace.clear();
    EXPECT_STREQ(ovktest::caught([&] { native->editObject(objects[0]); }).text(), "CM_OPENEDIT");
    EXPECT_EQ(notifications.trace, "");
    EXPECT_EQ(SendMessageA(list(), LVM_GETEDITCONTROL, 0, 0), 0);
}

TEST_F(NativeEditing, ALongerTextIsReallocatedStoredAndShown)
{
    Objects objects(*native, {"ab"});
    objects[0]->setWriteable(true, native.get());
    const std::string longer(100, 'x');
    notifications.trace.clear();
    edit(objects[0], longer.c_str());
    EXPECT_EQ(notifications.trace, "begin realloc(101) end");
    EXPECT_EQ(std::string(objects[0]->iconText()), longer);
    EXPECT_EQ(listText(0), longer);
    EXPECT_EQ(native->editWindow(), nullptr);
}

TEST_F(NativeEditing, AnUnchangedTextOnlyEndsTheEdit)
{
    Objects objects(*native, {"ab"});
    objects[0]->setWriteable(true, native.get());
    notifications.trace.clear();
    edit(objects[0], nullptr);
    EXPECT_EQ(notifications.trace, "begin end");
    EXPECT_EQ(std::string(objects[0]->iconText()), "ab");
}

// The list holds no text of its own: a text the application changes while the object's refresh
// is held is what the list reads, measures, finds and edits, as the message-driven container
// does, which reads the record whenever it draws.
TEST_F(NativeEditing, TheListReadsFindsMeasuresAndEditsTheRecordsCurrentText)
{
    Objects objects(*native, {"alpha", "beta"});
    objects[1]->setWriteable(true, native.get());
    const auto labelWidth = [&] {
        RECT label{};
        label.left = LVIR_LABEL;
        SendMessageA(list(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
        return label.right - label.left;
    };
    const long shortWidth = labelWidth();
    objects[1]->disableRefresh();
    objects[1]->setIconText("gamma gamma gamma gamma");
    objects[1]->enableRefresh();

    EXPECT_EQ(listText(1), "gamma gamma gamma gamma");
    EXPECT_GT(labelWidth(), shortWidth);
    ICnrCtl::TextCursor found(*native, "GAMMA", true);
    ASSERT_TRUE(found.setToFirst());
    EXPECT_EQ(found.current(), objects[1]);
    ICnrCtl::TextCursor old(*native, "beta");
    EXPECT_FALSE(old.setToFirst());

    native->editObject(objects[1]);
    const HWND editor = reinterpret_cast<HWND>(SendMessageA(list(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(editor, nullptr);
    char shown[64] = {};
    GetWindowTextA(editor, shown, sizeof shown);
    EXPECT_STREQ(shown, "gamma gamma gamma gamma");
    SetWindowTextA(editor, "delta");
    notifications.trace.clear();
    SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    ovktest::pumpPending();
    EXPECT_EQ(notifications.trace, "realloc(6) end");
    EXPECT_EQ(listText(1), "delta");
    EXPECT_EQ(listText(0), "alpha");
}

} // namespace

namespace {

// An object with a text of its own, shown in a details-view column.
class Noted : public ICnrObj {
public:
    Noted(const char* name, const char* note) : ICnrObj(IPointerHandle(), name), note(note) {}
    unsigned long noteOffset() const
    {
        return static_cast<unsigned long>(reinterpret_cast<const char*>(&note) -
                                          reinterpret_cast<const char*>(static_cast<const ICnrObj*>(this)));
    }
    IString note;
};

class CellEditing : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
        details = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::detailsView, 24);
        object.reset(new Noted("name", "old"));
        names = std::make_unique<IContainerColumn>(IContainerColumn::DataSource::iconText);
        notes = std::make_unique<IContainerColumn>(object->noteOffset(),
                                                   IContainerColumn::defaultHeadingStyle(),
                                                   IContainerColumn::DataStyle::string);
        details->addColumn(names.get());
        details->addColumn(notes.get(), names.get());
        details->addObject(object.get());
        editing.handleEventsFor(details.get());
        notifications.handleEventsFor(details.get());
        notifications.selections = false;
    }
    void TearDown() override
    {
        notifications.stopHandlingEventsFor(details.get());
        editing.stopHandlingEventsFor(details.get());
        object.reset();
        details.reset();
        notes.reset();
        names.reset();
        Containers::TearDown();
    }
    HWND list() const { return cnrtest::child(details->handle(), kListId); }
    HWND overlay() const { return FindWindowExA(list(), nullptr, "Edit", nullptr); }
    // A press (and with `twice` a double click) on the middle of the note's cell.
    void clickOnNote(bool twice)
    {
        RECT cell{};
        cell.top = 1;
        cell.left = LVIR_LABEL;
        SendMessageA(list(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        // The list control waits for the release before it goes on with a press.
        PostMessageA(list(), WM_LBUTTONUP, 0, at);
        SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (twice) {
            PostMessageA(list(), WM_LBUTTONUP, 0, at);
            SendMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        }
    }
    bool overlayAfterTheDoubleClickTime()
    {
        ovktest::pumpUntil([] { return false; }, GetDoubleClickTime() + 300);
        return overlay() != nullptr;
    }

    std::unique_ptr<ICnrCtl> details;
    std::unique_ptr<Noted> object;
    std::unique_ptr<IContainerColumn> names;
    std::unique_ptr<IContainerColumn> notes;
    ICnrEditHandler editing;
    NotificationTrace notifications;
};

TEST_F(CellEditing, ASlowSecondClickOpensTheCellAndEnterStoresItsText)
{
    clickOnNote(false);
    ASSERT_TRUE(overlayAfterTheDoubleClickTime());
    EXPECT_EQ(details->editedObject(), object.get());
    EXPECT_EQ(details->editedColumn(), notes.get());
    SetWindowTextA(overlay(), "a new note");
    SendMessageA(overlay(), WM_CHAR, '\r', 0);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return overlay() == nullptr; }));
    EXPECT_EQ(notifications.trace, "begin realloc(11) end");
    EXPECT_EQ(std::string(object->note), "a new note");
    EXPECT_EQ(details->editWindow(), nullptr);
}

TEST_F(CellEditing, ADoubleClickDoesNotOpenTheCell)
{
    clickOnNote(true);
    EXPECT_FALSE(overlayAfterTheDoubleClickTime());
    EXPECT_EQ(notifications.trace, "");
}

TEST_F(CellEditing, EditingACellByCodeAndClosingIt)
{
    details->editObject(object.get(), notes.get());
    ASSERT_NE(overlay(), nullptr);
    SetWindowTextA(overlay(), "by code");
    details->closeEdit();
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(std::string(object->note), "by code");
}

} // namespace

namespace {

TEST_F(CellEditing, TheFirstColumnIsTheListsOwnLabel)
{
    object->setWriteable(true, details.get());
    details->editObject(object.get());
    ASSERT_NE(details->editWindow(), nullptr);
    SetWindowTextA(details->editWindow()->handle(), "renamed");
    SendMessageA(details->editWindow()->handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(std::string(object->iconText()), "renamed");
    EXPECT_EQ(details->editWindow(), nullptr);
}

} // namespace

namespace {

// An object whose note is a plain text pointer into storage the application keeps itself.
class PlainNoted : public ICnrObj {
public:
    PlainNoted(const char* name, char* note) : ICnrObj(IPointerHandle(), name), note(note) {}
    unsigned long noteOffset() const
    {
        return static_cast<unsigned long>(reinterpret_cast<const char*>(&note) -
                                          reinterpret_cast<const char*>(static_cast<const ICnrObj*>(this)));
    }
    char* note;
};

// With plain buffers, the handler gives an edited cell a buffer of its own: the application's
// text is neither freed nor written over.
TEST_F(Containers, APlainTextCellGetsBuffersOfTheHandlersOwn)
{
    ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
    auto details = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::detailsView, 25);
    std::string kept = "the application's own note";
    std::unique_ptr<PlainNoted> object(new PlainNoted("name", kept.data()));
    IContainerColumn names(IContainerColumn::DataSource::iconText);
    IContainerColumn notes(object->noteOffset(), IContainerColumn::defaultHeadingStyle(),
                           IContainerColumn::DataStyle::string);
    details->addColumn(&names).addColumn(&notes, &names);
    details->addObject(object.get());
    ICnrEditHandler editing;
    editing.setStringMode(1);
    editing.handleEventsFor(details.get());
    const HWND list = cnrtest::child(details->handle(), kListId);
    // The first text as long as the application's, so that a freed block would be taken again.
    for (const char* text : {"a note edited in its place", "edited again"}) {
        details->editObject(object.get(), &notes);
        const HWND overlay = FindWindowExA(list, nullptr, "Edit", nullptr);
        ASSERT_NE(overlay, nullptr);
        SetWindowTextA(overlay, text);
        details->closeEdit();
        EXPECT_STREQ(object->note, text);
        EXPECT_NE(object->note, kept.data());
        EXPECT_EQ(kept, "the application's own note");
    }
    editing.stopHandlingEventsFor(details.get());
    details->removeObject(object.get());
}

// A buffer the handler gave a cell is the application's once the edit is over. The application
// keeps the text of an object it deletes and gives it to the object it makes next, which the
// heap places at the same address: the next edit of that cell must leave the text alone.
TEST_F(Containers, ACellTextKeptFromADeletedObjectSurvivesTheNextObjectsEdit)
{
    auto details = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::detailsView, 25);
    std::string first = "the first note";
    auto* object = new PlainNoted("name", first.data());
    IContainerColumn names(IContainerColumn::DataSource::iconText);
    IContainerColumn notes(object->noteOffset(), IContainerColumn::defaultHeadingStyle(),
                           IContainerColumn::DataStyle::string);
    details->addColumn(&names).addColumn(&notes, &names);
    ICnrEditHandler editing;
    editing.setStringMode(1);
    editing.handleEventsFor(details.get());
    const HWND list = cnrtest::child(details->handle(), kListId);
    const auto editNote = [&](ICnrObj* edited, const char* text) {
        details->editObject(edited, &notes);
        const HWND overlay = FindWindowExA(list, nullptr, "Edit", nullptr);
        ASSERT_NE(overlay, nullptr);
        SetWindowTextA(overlay, text);
        SendMessageA(overlay, WM_CHAR, '\r', 0);
        ASSERT_TRUE(ovktest::pumpUntil([&] { return details->editWindow() == nullptr; }));
    };
    details->addObject(object);
    editNote(object, "a note to keep");
    std::unique_ptr<char[]> kept(object->note);
    ICnrObj* const address = object;
    delete object;

    object = new PlainNoted("name", kept.get());
    ASSERT_EQ(static_cast<ICnrObj*>(object), address) << "the heap placed the new object elsewhere";
    details->addObject(object);
    editNote(object, "the second object's note");
    EXPECT_STREQ(object->note, "the second object's note");
    EXPECT_STREQ(kept.get(), "a note to keep");
    std::unique_ptr<char[]> made(object->note);
    editing.stopHandlingEventsFor(details.get());
    delete object;
}

// Remembers every block that the library gives back with delete[] while alive.
class ArrayReleases {
public:
    ArrayReleases() : fPatch("ovkwin.dll", "_ZdaPv", &release, sRelease) { sSelf = this; }
    ~ArrayReleases() { sSelf = nullptr; }
    ArrayReleases(const ArrayReleases&) = delete;
    ArrayReleases& operator=(const ArrayReleases&) = delete;

    bool applied() const { return fPatch.applied(); }
    bool released(const void* block) const
    {
        const std::lock_guard<std::mutex> lock(fLock);
        return std::find(fReleased.begin(), fReleased.end(), block) != fReleased.end();
    }

private:
    static void release(void* block) noexcept
    {
        if (ArrayReleases* self = sSelf; self && block) {
            const std::lock_guard<std::mutex> lock(self->fLock);
            self->fReleased.push_back(block);
        }
        sRelease(block);
    }

    static inline void (*sRelease)(void*) noexcept = nullptr;
    static inline std::atomic<ArrayReleases*> sSelf{nullptr};
    mutable std::mutex fLock;
    std::vector<const void*> fReleased;
    ovktest::ImportPatch fPatch;
};

// Each edit of a plain text cell gives it a new buffer of the handler's; the one the edit before
// gave it is freed then, or every edit after the first would leave one behind. The application's
// own first text is never freed, and the last buffer is the application's once the object has
// left the container.
TEST_F(Containers, EachEditOfAPlainTextCellFreesTheBufferOfTheEditBefore)
{
    auto details = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::detailsView, 25);
    std::string kept = "the application's own note";
    std::unique_ptr<PlainNoted> object(new PlainNoted("name", kept.data()));
    IContainerColumn names(IContainerColumn::DataSource::iconText);
    IContainerColumn notes(object->noteOffset(), IContainerColumn::defaultHeadingStyle(),
                           IContainerColumn::DataStyle::string);
    details->addColumn(&names).addColumn(&notes, &names);
    details->addObject(object.get());
    ICnrEditHandler editing;
    editing.setStringMode(1);
    editing.handleEventsFor(details.get());
    const HWND list = cnrtest::child(details->handle(), kListId);
    const ArrayReleases releases;
    ASSERT_TRUE(releases.applied());
    const char* made = nullptr;
    for (const char* text : {"the first edit", "the second edit", "the third edit"}) {
        details->editObject(object.get(), &notes);
        const HWND overlay = FindWindowExA(list, nullptr, "Edit", nullptr);
        ASSERT_NE(overlay, nullptr);
        SetWindowTextA(overlay, text);
        SendMessageA(overlay, WM_CHAR, '\r', 0);
        ASSERT_TRUE(ovktest::pumpUntil([&] { return details->editWindow() == nullptr; }));
        EXPECT_STREQ(object->note, text);
        if (made) {
            EXPECT_TRUE(releases.released(made)) << "the buffer of the edit before was left behind";
        }
        made = object->note;
    }
    EXPECT_FALSE(releases.released(kept.data()));
    details->removeObject(object.get());
    editing.stopHandlingEventsFor(details.get());
    EXPECT_FALSE(releases.released(made));
    delete[] object->note;
}

} // namespace
