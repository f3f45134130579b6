// Text and numeric spin buttons on the native up-down control and on the outside spin button
// window: wrapping, limits, master and servant, fast spin, notifications.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <ictlhdr.hpp>
#include <inotifid.hpp>
#include <ispinnum.hpp>
#include <ispintxt.hpp>
#include <ovkmsgid.hpp>

#include "advtest.hpp"
#include "handdrag.hpp"
#include "iadvrec.hpp"

using advtest::Outside;

namespace {

class SpinTest : public advtest::ShownParent {
protected:
    template <class Button>
    std::unique_ptr<Button> make(unsigned long id, typename Button::Style style = Button::classDefaultStyle,
                                 bool outside = false)
    {
        if (outside)
            style |= IBaseSpinButton::thunkedWindow;
        return std::make_unique<Button>(id, parent.get(), parent.get(), IRectangle(10, 10, 130, 34),
                                        style);
    }
    static std::string fieldText(const IBaseSpinButton& button)
    {
        char text[64] = "";
        GetWindowTextA(button.usesThunkedWindow() ? button.handle().asValue() : button.entryField(),
                       text, sizeof text);
        return text;
    }
};

const char* const kMonths[] = {"January", "February", "March"};

// Both kinds of button, both variants: one step past either limit wraps to the other.
TEST_F(SpinTest, SpinningPastALimitWrapsToTheOther)
{
    for (bool outside : {false, true}) {
        auto numeric = make<INumericSpinButton>(20, INumericSpinButton::classDefaultStyle, outside);
        numeric->setRange(IRange(3, 7));
        numeric->spinTo(7);
        numeric->spinUp();
        EXPECT_EQ(numeric->value(), 3) << outside;
        numeric->spinDown();
        EXPECT_EQ(numeric->value(), 7) << outside;
        numeric->spinDown(2);
        EXPECT_EQ(numeric->value(), 5) << outside;

        auto text = make<ITextSpinButton>(21, ITextSpinButton::classDefaultStyle, outside);
        text->addAsLast(kMonths, 3);
        text->spinDown();
        EXPECT_EQ(std::string(text->value()), "March") << outside;
        text->spinUp();
        EXPECT_EQ(std::string(text->value()), "January") << outside;
        EXPECT_EQ(fieldText(*text), "January") << outside;
    }
}

TEST_F(SpinTest, TheEntryFieldsArrowKeysSpin)
{
    auto numeric = make<INumericSpinButton>(20);
    numeric->setRange(IRange(0, 9));
    ovktest::send(numeric->entryField(), WM_KEYDOWN, VK_UP, 1);
    ovktest::send(numeric->entryField(), WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(numeric->value(), 2);
    EXPECT_EQ(fieldText(*numeric), "2");
    // As characters, those codes are "&" and "(", which the field takes.
    ovktest::send(numeric->entryField(), WM_CHAR, '(', 1);
    EXPECT_EQ(fieldText(*numeric), "(2");
}

// The spin handler's callbacks as tags: "up", "down", "end".
struct SpinTrace : ISpinHandler {
    std::string trace;
    void add(const char* tag) { trace += trace.empty() ? tag : std::string(" ") + tag; }
    IBase::Boolean spinCode96(IControlEvent&) override { add("up"); return false; }
    IBase::Boolean spinCode97(IControlEvent&) override { add("down"); return false; }
    IBase::Boolean spinCode98(IControlEvent&) override { add("end"); return false; }
};

// A settings tool marks its settings changed from the spin handler: the Up and Down keys in the
// field are told as a press and release of the arrows are.
TEST_F(SpinTest, KeySpinsReachTheSpinHandlerAsTheArrowsSpinsDo)
{
    auto numeric = make<INumericSpinButton>(20);
    numeric->setRange(IRange(0, 9));
    SpinTrace log;
    log.handleEventsFor(numeric.get());

    const HWND arrows = GetDlgItem(numeric->handle(), 19);
    ASSERT_TRUE(arrows);
    RECT box;
    GetClientRect(arrows, &box);
    ovktest::clickByHand(ovktest::onScreen(arrows, box.right / 2, box.bottom / 4));
    ASSERT_TRUE(ovktest::pumpUntil([&] { return log.trace == "up end"; })) << log.trace;
    EXPECT_EQ(numeric->value(), 1);

    log.trace.clear();
    SetFocus(numeric->entryField());
    ovktest::pumpPending();
    for (WORD key : {VK_UP, VK_UP, VK_DOWN})
        ovktest::pressKeyByHand(key);
    const char* const expected = "up end up end down end";
    EXPECT_TRUE(ovktest::pumpUntil([&] { return log.trace == expected; })) << log.trace;
    EXPECT_EQ(numeric->value(), 2);
    EXPECT_EQ(fieldText(*numeric), "2");

    // The program's own spin is no user's.
    log.trace.clear();
    numeric->spinUp();
    ovktest::pumpPending();
    EXPECT_EQ(log.trace, "");
    EXPECT_EQ(numeric->value(), 3);
    log.stopHandlingEventsFor(numeric.get());
}

TEST_F(SpinTest, EnablingFastSpinTwiceSetsTheAccelerationOnce)
{
    auto numeric = make<INumericSpinButton>(20);
    static int sAccelerations = 0;
    static WNDPROC sPrevious = nullptr;
    sAccelerations = 0;
    const HWND upDown = numeric->upDownControl();
    ASSERT_NE(upDown, nullptr);
    sPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        upDown, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
            if (message == UDM_SETACCEL)
                ++sAccelerations;
            return CallWindowProcA(sPrevious, window, message, w, l);
        })));
    numeric->enableFastSpin();
    numeric->enableFastSpin();
    EXPECT_EQ(sAccelerations, 1);
    UDACCEL table[4] = {};
    EXPECT_EQ(SendMessageA(upDown, UDM_GETACCEL, 4, reinterpret_cast<LPARAM>(table)), 3);
    EXPECT_EQ(table[2].nSec, 6u);
    EXPECT_EQ(table[2].nInc, 4u);
    numeric->disableFastSpin();
    EXPECT_EQ(sAccelerations, 2);
    SetWindowLongPtrA(upDown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sPrevious));
}

TEST_F(SpinTest, OnlyAServantTakesAMasterAndTheMastersArrowsServeIt)
{
    auto month = make<ITextSpinButton>(30);
    auto otherMaster = make<INumericSpinButton>(33);
    auto day = make<INumericSpinButton>(31, INumericSpinButton::Style(0x10000000, 0x48));
    auto servant2 = make<INumericSpinButton>(32, INumericSpinButton::Style(0x10000000, 0x48));
    ASSERT_TRUE(day->isServant());
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { month->setMaster(*otherMaster); }).text()), "isServant()");
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { day->setMaster(*servant2); }).text()),
              "master.isMaster()");

    month->addAsLast(kMonths, 3);
    day->setMaster(*month);
    day->setRange(IRange(1, 31));
    // The arrows go over to the servant's field when it takes the focus.
    SetFocus(day->entryField());
    ovktest::pumpPending();
    int low = 0, high = 0;
    SendMessageA(month->upDownControl(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 31);
    day->spinUp();
    EXPECT_EQ(day->value(), 2);
    EXPECT_EQ(std::string(month->value()), "January");
    // And come back to the master's own field.
    SetFocus(month->entryField());
    ovktest::pumpPending();
    month->spinUp();
    EXPECT_EQ(std::string(month->value()), "February");
    EXPECT_EQ(day->value(), 2);
}

TEST_F(SpinTest, TextsAreFoundWithOrWithoutRegardToCase)
{
    auto text = make<ITextSpinButton>(20);
    const char* const texts[] = {"xyz", "ABC", "abc"};
    text->addAsLast(texts, 3);
    text->spinTo("abc", false);
    EXPECT_EQ(text->index(), 1u);
    text->spinTo("abc", true);
    EXPECT_EQ(text->index(), 2u);
    EXPECT_EQ(ovktest::caught([&] { text->spinTo("none", false); }).errorId(), OVK_MSG_TEXT_NOT_IN_LIST);
}

TEST_F(SpinTest, TextCursorsFollowTheChangesMadeThroughThem)
{
    auto text = make<ITextSpinButton>(20);
    text->addAsLast(kMonths, 3);
    ITextSpinButton::Cursor cursor(*text), other(*text);
    ASSERT_TRUE(cursor.setToFirst());
    ASSERT_TRUE(other.setToLast());
    cursor.setToNext();
    text->add("Between", cursor);
    EXPECT_TRUE(cursor.isValid());
    EXPECT_FALSE(other.isValid());
    EXPECT_EQ(std::string(text->elementAt(cursor)), "Between");
    text->replaceAt("Middle", cursor);
    EXPECT_EQ(std::string(text->elementAt(1)), "Middle");
    other.setToLast();
    text->removeAt(other);
    EXPECT_FALSE(other.isValid());
    EXPECT_EQ(text->numberOfElements(), 3u);
    // A walk ends past the last text.
    unsigned long seen = 0;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        ++seen;
    EXPECT_EQ(seen, 3u);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { text->elementAt(3); }).text()),
              "index < fTextSpinButtonData->textCount");
}

TEST_F(SpinTest, TheNativeArrowsCountInSixteenBits)
{
    auto text = make<ITextSpinButton>(20);
    std::vector<std::string> storage(32768, "t");
    std::vector<const char*> texts;
    for (const std::string& t : storage)
        texts.push_back(t.c_str());
    EXPECT_EQ(ovktest::caught([&] { text->addAsLast(texts.data(), 32768); }).errorId(),
              OVK_MSG_INDEX_OUT_OF_RANGE);

    auto numeric = make<INumericSpinButton>(21);
    numeric->setRange(IRange(0, 100));
    ovktest::caught([&] { numeric->setRange(IRange(0, 100000)); });
    EXPECT_EQ(numeric->range(), IRange(0, 100));
    numeric->setRange(IRange(-32768, 32767));
    numeric->spinTo(-32768);
    EXPECT_EQ(numeric->value(), -32768);
    EXPECT_EQ(numeric->range(), IRange(-32768, 32767));
}

// What the numeric button's header promises of the outside window: 32-bit bounds, and a step
// past either bound wraps to the other.
TEST_F(SpinTest, TheOutsideWindowTakesThirtyTwoBitBoundsAndWraps)
{
    auto numeric = make<INumericSpinButton>(21, INumericSpinButton::classDefaultStyle, true);
    numeric->setRange(IRange(-70000, 200000));
    EXPECT_EQ(numeric->range(), IRange(-70000, 200000));
    numeric->spinTo(200000);
    numeric->spinUp();
    EXPECT_EQ(numeric->value(), -70000);
    numeric->spinDown();
    EXPECT_EQ(numeric->value(), 200000);
}

TEST_F(SpinTest, ARangeUpsideDownIsRefusedBeforeAnythingIsSent)
{
    for (bool outside : {false, true}) {
        auto numeric = make<INumericSpinButton>(20, INumericSpinButton::classDefaultStyle, outside);
        numeric->setRange(IRange(1, 5));
        Outside::resetJournal();
        EXPECT_EQ(ovktest::str(ovktest::caught([&] { numeric->setRange(IRange(9, 2)); }).text()),
                  "aNewRange.lowerBound() <= aNewRange.upperBound()");
        EXPECT_TRUE(Outside::journal().empty());
        EXPECT_EQ(numeric->range(), IRange(1, 5)) << outside;
    }
}

TEST_F(SpinTest, AValueOutsideTheRangeThrowsOrLandsOnTheNearerBound)
{
    auto numeric = make<INumericSpinButton>(20);
    numeric->setRange(IRange(10, 20));
    const struct {
        long value;
        long expected;
    } cases[] = {{5, 10}, {25, 20}, {15, 15}};
    for (const auto& c : cases) {
        numeric->spinTo(c.value, true);
        EXPECT_EQ(numeric->value(), c.expected) << c.value;
    }
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { numeric->spinTo(30); }).text()), "UDM_SETPOS");
    // A narrower range moves the value inside unless it is to be kept.
    numeric->setRange(IRange(0, 12));
    EXPECT_EQ(numeric->value(), 12);
    numeric->setRange(IRange(0, 5), true);
    EXPECT_EQ(numeric->value(), 12);
    EXPECT_FALSE(numeric->isInRange());
}

TEST_F(SpinTest, ZeroPaddingFillsTheLimit)
{
    auto numeric = make<INumericSpinButton>(
        20, INumericSpinButton::Style(INumericSpinButton::classDefaultStyle) | INumericSpinButton::padWithZeros);
    numeric->setLimit(3);
    numeric->setRange(IRange(-100, 100));
    numeric->spinTo(7);
    EXPECT_EQ(fieldText(*numeric), "007");
    numeric->spinTo(-7);
    EXPECT_EQ(fieldText(*numeric), "-07");
}

// The outside spin button window ------------------------------------------------------------------

TEST_F(SpinTest, OutsideSpinToRetriesWithTheNearerBoundAfterARefusal)
{
    auto numeric = make<INumericSpinButton>(20, INumericSpinButton::classDefaultStyle, true);
    numeric->setRange(IRange(0, 10));
    Outside::resetJournal();
    numeric->spinTo(100, true);
    EXPECT_EQ(Outside::journal(),
              (std::vector<std::string>{"0xF0A8 100 0", "0xF0A1", "0xF0A8 10 0"}));
    EXPECT_EQ(numeric->value(), 10);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { numeric->spinTo(-5); }).text()), "SPBM_SETCURRENTVALUE");
    Outside::failNext(IOutsideMessage::spinQueryLimits, 1);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { numeric->spinTo(-5, true); }).text()), "SPBM_QUERYLIMITS");
    Outside::failNext(IOutsideMessage::spinUp, 1);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { numeric->spinUp(); }).text()), "SPBM_SPINUP");
}

TEST_F(SpinTest, OutsideTextsGoOverAsAnArray)
{
    auto text = make<ITextSpinButton>(20, ITextSpinButton::classDefaultStyle, true);
    Outside::resetJournal();
    text->addAsLast(kMonths, 3);
    text->removeAll();
    EXPECT_EQ(Outside::journal(), (std::vector<std::string>{
                                      "0xF0A6 count=3 \"January\" \"February\" \"March\"",
                                      "0xF0A6 count=1 \"\""}));
    Outside::failNext(IOutsideMessage::spinSetArray, 1);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { text->removeAll(); }).text()), "SPBM_SETARRAY");
}

TEST_F(SpinTest, NotificationsOfBothVariantsReachTheObservers)
{
    for (bool outside : {false, true}) {
        auto numeric = make<INumericSpinButton>(20, INumericSpinButton::classDefaultStyle, outside);
        auto text = make<ITextSpinButton>(21, ITextSpinButton::classDefaultStyle, outside);
        numeric->setRange(IRange(0, 5));
        text->addAsLast(kMonths, 3);
        ovktest::NotificationLog numbers, texts;
        numeric->enableNotification();
        text->enableNotification();
        numbers.handleNotificationsFor(*numeric);
        texts.handleNotificationsFor(*text);
        numeric->spinUp();
        text->spinUp();
        EXPECT_EQ(numbers.trace(), "IBaseSpinButton::value") << outside;
        EXPECT_EQ(texts.trace(), "IBaseSpinButton::text") << outside;
        // Focus changes: the notifications with codes 0x9A and 0x9B.
        numbers.clear();
        for (unsigned int code : {IOutsideNotification::spinFocusGained, IOutsideNotification::spinFocusLost})
            ovktest::send(parent->hwnd(), WM_COMMAND, MAKEWPARAM(20, code),
                          reinterpret_cast<LPARAM>(numeric->handle().asValue()));
        EXPECT_EQ(numbers.trace(), "IWindow::focus IWindow::focus") << outside;
        numbers.stopHandlingNotificationsFor(*numeric);
        texts.stopHandlingNotificationsFor(*text);
    }
}

TEST_F(SpinTest, TakingChargeRefusesTheOtherKind)
{
    auto numeric = make<INumericSpinButton>(20);
    auto text = make<ITextSpinButton>(21);
    EXPECT_EQ(ovktest::caught([&] { ITextSpinButton wrong(numeric->handle()); }).errorId(),
              OVK_MSG_NOT_TEXT_SPIN_BUTTON);
    EXPECT_EQ(ovktest::caught([&] { INumericSpinButton wrong(text->handle()); }).errorId(),
              OVK_MSG_NOT_NUMERIC_SPIN_BUTTON);
}

} // namespace

// The native button's entry field stands for the whole button: the focus and the font given to
// the button go to the field, and the button answers with the field's font.
TEST_F(SpinTest, TheFocusAndTheFontOfTheNativeButtonGoToItsEntryField)
{
    auto numeric = make<INumericSpinButton>(20);
    const HWND button = numeric->handle().asValue();
    const HWND field = numeric->entryField();
    ASSERT_NE(field, nullptr);
    SetFocus(button);
    EXPECT_EQ(GetFocus(), field);

    const ovk_native::Font font(CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                            0, "Tahoma"));
    ovktest::send(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), 0);
    EXPECT_EQ(SendMessageA(field, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font.get()));
    EXPECT_EQ(ovktest::send(button, WM_GETFONT), reinterpret_cast<LRESULT>(font.get()));
    ovktest::send(button, WM_SETFONT, 0, 0);
}
