// Accelerator keys, tables and the holder: native entries, round trips through native tables
// and resources, one key per lookup value, window updates and the errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <iaccelhd.hpp>
#include <iaccelky.hpp>
#include <iacceltb.hpp>
#include <iapp.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ireslib.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"

namespace {

using ovktest::str;

// What an operation threw, with the kind's name (a copy into IException loses it).
using Entry = std::tuple<int, int, int>;  // flags, key, command

Entry entryOf(const ACCEL& accel)
{
    return Entry(accel.fVirt, accel.key, accel.cmd);
}

// The entries of a native table, in the table's order.
std::vector<Entry> entriesOf(HACCEL table)
{
    const int count = CopyAcceleratorTableA(table, nullptr, 0);
    std::vector<ACCEL> accels(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0)
        CopyAcceleratorTableA(table, accels.data(), count);
    std::vector<Entry> entries;
    for (const ACCEL& accel : accels)
        entries.push_back(entryOf(accel));
    return entries;
}

bool tableExists(HACCEL table)
{
    return CopyAcceleratorTableA(table, nullptr, 0) > 0;
}

HACCEL nativeTable(std::vector<ACCEL> entries)
{
    return CreateAcceleratorTableA(entries.data(), static_cast<int>(entries.size()));
}

const auto kCommand = ICommand::command;

// Entries in ascending order of key and modifiers, as a table's cursor gives them.
const std::vector<ACCEL> kMixedEntries = {
    {0, 'x', 12},                                // a character entry stays one
    {FVIRTKEY | FNOINVERT, VK_F1, 11},
    {FVIRTKEY | FSHIFT, 'A', 0xF060},            // a system command
    {FVIRTKEY | FCONTROL, 'S', 0x7008},          // no command
    {FVIRTKEY | FCONTROL | FALT, VK_DELETE, 14},
};

TEST(AccelKey, CharacterKeysBecomeTheVirtualKeysThatTypeThem)
{
    const struct {
        const char* character;
        IKey::KeyModifier modifiers;
        Entry expected;
    } cases[] = {
        {"a", IKey::none, Entry(FVIRTKEY, 'A', 7)},
        {"A", IKey::none, Entry(FVIRTKEY, 'A', 7)},  // letters never get Shift
        {"!", IKey::none, Entry(FVIRTKEY | FSHIFT, '1', 7)},
        {"a", IKey::ctrl, Entry(FVIRTKEY | FCONTROL, 'A', 7)},
        {"1", IKey::alt | IKey::shift, Entry(FVIRTKEY | FALT | FSHIFT, '1', 7)},
    };
    for (const auto& c : cases) {
        IAcceleratorKey key(c.character, c.modifiers, kCommand, 7);
        EXPECT_EQ(entryOf(key.accelEntry()), c.expected) << c.character;
        EXPECT_EQ(str(key.character()), c.character);
        EXPECT_EQ(key.virtualKey(), IKey::kNoKey);
    }
}

TEST(AccelKey, ModifiersAndActionsReadBackAsSet)
{
    IAcceleratorKey key(VK_F5, IKey::ctrl | IKey::alt, ICommand::systemCommand, 0xF020);
    EXPECT_EQ(key.virtualKey(), static_cast<unsigned long>(VK_F5));
    EXPECT_EQ(str(key.character()), "");
    EXPECT_TRUE(key.modifiers() == (IKey::ctrl | IKey::alt));
    EXPECT_EQ(entryOf(key.accelEntry()), Entry(FVIRTKEY | FCONTROL | FALT, VK_F5, 0xF020));

    key.setModifiers(IKey::none);
    EXPECT_TRUE(key.modifiers() == IKey::none);
    key.setNoCommand();
    EXPECT_EQ(key.actionType(), ICommand::noCommand);
    EXPECT_EQ(key.commandId(), 0u);
    EXPECT_EQ(key.accelEntry().cmd, 0x7008);

    // Through a native entry the key reads back as no command.
    const IAcceleratorKey back(key.accelEntry());
    EXPECT_EQ(back.actionType(), ICommand::noCommand);
    EXPECT_EQ(back.commandId(), 0u);
    EXPECT_EQ(IAcceleratorKey(ACCEL{FVIRTKEY, VK_F2, 0xF000}).actionType(),
              ICommand::systemCommand);
    EXPECT_EQ(IAcceleratorKey(ACCEL{FVIRTKEY, VK_F2, 0xEFFF}).actionType(), kCommand);
}

TEST(AccelKey, InvalidKeysAndActionsFailTheArgumentChecks)
{
    const struct {
        const char* condition;
        std::function<void()> operation;
    } cases[] = {
        {"virtualKey != IKey::kNoKey",
         [] { IAcceleratorKey(IKey::kNoKey, IKey::none, kCommand, 1); }},
        {"virtualKey != IKey::kNoKey",
         [] { IAcceleratorKey("a", IKey::none, kCommand, 1).setKey(IKey::kNoKey, IKey::none); }},
        {"virtualKey <= 0xFFFF", [] { IAcceleratorKey(0x10041, IKey::none, kCommand, 1); }},
        {"character.length() > 0", [] { IAcceleratorKey("", IKey::none, kCommand, 1); }},
        {"actionType <= ICommand::noCommand",
         [] { IAcceleratorKey(VK_F1, IKey::none, static_cast<ICommand::ActionType>(3), 1); }},
        {"actionType <= ICommand::noCommand",
         [] { IAcceleratorKey("a", IKey::none, static_cast<ICommand::ActionType>(3), 1); }},
    };
    for (const auto& c : cases) {
        const ovktest::Thrown failure = ovktest::thrownBy(c.operation);
        EXPECT_EQ(failure.kind, "IInvalidParameter") << c.condition;
        EXPECT_EQ(failure.text, c.condition);
        EXPECT_EQ(failure.file, "iaccelky");
    }
}

TEST(AccelTable, EntriesRoundTripThroughANativeTableUnchanged)
{
    const HACCEL original = nativeTable(kMixedEntries);
    ASSERT_NE(original, nullptr);
    const IAcceleratorTable table{IAccelTblHandle(original)};
    EXPECT_EQ(table.numberOfKeys(), kMixedEntries.size());

    const HACCEL written = table.createHandle();
    EXPECT_EQ(entriesOf(written), entriesOf(original));
    IAcceleratorTable::destroyHandle(written);
    DestroyAcceleratorTable(original);
}

TEST(AccelTable, HoldsOneKeyPerKeyAndModifiers)
{
    IAcceleratorTable table{IAccelTblHandle()};
    table.add(IAcceleratorKey("a", IKey::none, kCommand, 1));
    // "A", and the A key itself, are the same key as "a".
    table.add(IAcceleratorKey("A", IKey::none, kCommand, 2));
    table.add(IAcceleratorKey('A', IKey::none, kCommand, 3));
    ASSERT_EQ(table.numberOfKeys(), 1u);
    IAcceleratorTable::Cursor cursor(table);
    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_EQ(table.keyAt(cursor).commandId(), 1u) << "add keeps the key there";

    table.addOrReplace(IAcceleratorKey('A', IKey::none, kCommand, 4));
    ASSERT_EQ(table.numberOfKeys(), 1u);
    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_EQ(table.keyAt(cursor).commandId(), 4u) << "addOrReplace replaces it";

    table.add(IAcceleratorKey('A', IKey::ctrl, kCommand, 5));
    EXPECT_EQ(table.numberOfKeys(), 2u);
    EXPECT_TRUE(table.contains(IAcceleratorKey("a", IKey::ctrl, kCommand, 99)));

    ASSERT_TRUE(table.locate(IAcceleratorKey('A', IKey::ctrl, kCommand, 0), cursor));
    table.replaceAt(IAcceleratorKey(VK_F3, IKey::none, kCommand, 6), cursor);
    EXPECT_FALSE(table.contains(IAcceleratorKey('A', IKey::ctrl, kCommand, 0)));
    table.remove(IAcceleratorKey('A', IKey::none, kCommand, 0));
    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_EQ(table.keyAt(cursor).virtualKey(), static_cast<unsigned long>(VK_F3));
    table.removeAt(cursor);
    EXPECT_EQ(table.numberOfKeys(), 0u);
}

TEST(AccelTable, EmptyTableMakesNoNativeTableAndANullHandleEmptiesOne)
{
    const HACCEL native = nativeTable(kMixedEntries);
    IAcceleratorTable table{IAccelTblHandle(native)};
    DestroyAcceleratorTable(native);
    table.initialize(IAccelTblHandle());
    EXPECT_EQ(table.numberOfKeys(), 0u);
    EXPECT_FALSE(table.createHandle().isValid());
}

TEST(AccelTable, UnreadableTableAndTheOlderPlatformThrow)
{
    const HACCEL gone = nativeTable(kMixedEntries);
    DestroyAcceleratorTable(gone);
    const ovktest::Thrown unreadable =
        ovktest::thrownBy([&] { IAcceleratorTable table{IAccelTblHandle(gone)}; });
    EXPECT_EQ(unreadable.kind, "ISystemError");
    EXPECT_EQ(unreadable.text, "ICOPYACCELTABLE");
    EXPECT_EQ(unreadable.file, "iacceltb");

    ovktest::TestWindow window;
    IAcceleratorTable existing{IAccelTblHandle()};
    IPlatform::Override variant(IPlatform::platformVariant, true);
    const std::function<void()> constructors[] = {
        [] { IAcceleratorTable table{IAccelTblHandle()}; },
        [&] { IAcceleratorTable table(&window); },
        [&] { IAcceleratorTable table(existing); },
        [] {
            IAcceleratorTable table(IResourceId(1, IApplication::current().userResourceLibrary()));
        },
    };
    for (const auto& construct : constructors)
        EXPECT_EQ(ovktest::thrownBy(construct).errorId, OVK_MSG_ACCEL_TABLES_UNSUPPORTED);
}

TEST(AccelTable, EditsUpdateTheWindowItWasTakenFromUntilTheWindowIsGone)
{
    auto window = std::make_unique<ovktest::TestWindow>();
    IAcceleratorTable table(window.get());
    EXPECT_EQ(table.numberOfKeys(), 0u);

    table.add(IAcceleratorKey(VK_F5, IKey::none, kCommand, 21));
    const HACCEL first = window->acceleratorHandle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(entriesOf(first), (std::vector<Entry>{Entry(FVIRTKEY, VK_F5, 21)}));

    table.add(IAcceleratorKey(VK_F6, IKey::none, kCommand, 22));
    EXPECT_EQ(entriesOf(window->acceleratorHandle()).size(), 2u);
    EXPECT_FALSE(tableExists(first)) << "the replaced table leaks";

    table.add(IAcceleratorKey(VK_F7, IKey::none, kCommand, 23), false);
    EXPECT_EQ(entriesOf(window->acceleratorHandle()).size(), 2u) << "updated without asking";

    window.reset();
    EXPECT_FALSE(table.updateWindow());
    table.removeAll();
    EXPECT_EQ(table.numberOfKeys(), 0u);
}

TEST(AccelTable, AWindowGivenATableOwnsANativeCopyAndDestroysTheOneBefore)
{
    ovktest::TestWindow window;
    IAcceleratorTable first{IAccelTblHandle()};
    first.add(IAcceleratorKey(VK_F5, IKey::none, kCommand, 31), false);
    window.setAcceleratorTable(&first);
    const HACCEL made = window.acceleratorHandle();
    EXPECT_EQ(entriesOf(made), (std::vector<Entry>{Entry(FVIRTKEY, VK_F5, 31)}));

    IAcceleratorTable second{IAccelTblHandle()};
    second.add(IAcceleratorKey(VK_F6, IKey::none, kCommand, 32), false);
    second.add(IAcceleratorKey(VK_F7, IKey::none, kCommand, 33), false);
    window.setAcceleratorTable(&second);
    EXPECT_EQ(entriesOf(window.acceleratorHandle()).size(), 2u);
    EXPECT_FALSE(tableExists(made)) << "the replaced table leaks";

    const HACCEL last = window.acceleratorHandle();
    window.setAcceleratorTable(nullptr);
    EXPECT_EQ(window.acceleratorHandle(), nullptr);
    EXPECT_FALSE(tableExists(last));
}

// Puts an accelerator resource into a copy of the library's resource DLL, so that loading by
// resource number has something to find.
class AccelResource : public ::testing::Test {
protected:
    static constexpr unsigned long kId = 4711;

    void SetUp() override
    {
        // The resource layout of an entry: flags, key, command and padding, 16 bits each; the
        // last entry's flags carry 0x80.
        std::vector<WORD> data;
        for (const ACCEL& entry : kMixedEntries)
            data.insert(data.end(), {WORD(entry.fVirt), entry.key, entry.cmd, 0});
        data[data.size() - 4] |= 0x80;
        const std::string bytes(reinterpret_cast<const char*>(data.data()), data.size() * sizeof(WORD));
        ASSERT_TRUE(ovktest::buildResourceModule(fModule, {{RT_ACCELERATOR, kId, bytes}}));
        IApplication::current().setUserResourceLibrary(fModule.path());
    }
    // The library lets go of the module before the file goes with the fixture.
    void TearDown() override { IApplication::current().setUserResourceLibrary(); }

    const ovktest::TempFile fModule{"ovkaccel" + std::to_string(GetCurrentProcessId()) + ".dll"};
};

TEST_F(AccelResource, TableReadFromAResourceIsWrittenBackWithTheSameEntries)
{
    const IAcceleratorTable table(IResourceId(kId, IApplication::current().userResourceLibrary()));
    const HACCEL written = table.createHandle();
    std::vector<Entry> expected;
    for (const ACCEL& entry : kMixedEntries)
        expected.push_back(entryOf(entry));
    EXPECT_EQ(entriesOf(written), expected);
    IAcceleratorTable::destroyHandle(written);
}

// The holder's tables in order: the window's own, then two of its own making.
class AccelHolder : public ::testing::Test {
protected:
    HACCEL make(WORD command) { return nativeTable({{FVIRTKEY, VK_F9, command}}); }
    WORD commandOf(HACCEL table) { return static_cast<WORD>(std::get<2>(entriesOf(table).at(0))); }

    ovktest::TestWindow fWindow;
};

TEST_F(AccelHolder, TablesComeAndGoAndTheWindowGetsItsOwnBack)
{
    const HACCEL own = make(1), t1 = make(2), t2 = make(3);
    fWindow.setAcceleratorHandle(own);
    {
        IAcceleratorHolder holder(&fWindow, IAccelTblHandle(t1));
        EXPECT_EQ(holder.windowHandle(), own);
        EXPECT_EQ(fWindow.acceleratorHandle(), t1);

        holder.setHandle(t2).setHandle(IAccelTblHandle());
        EXPECT_EQ(fWindow.acceleratorHandle(), t2);
        EXPECT_EQ(holder.currentHandle(), t2);

        holder.restorePrevious();
        EXPECT_EQ(fWindow.acceleratorHandle(), t1);
        EXPECT_FALSE(tableExists(t2));

        holder.restorePrevious();
        EXPECT_EQ(fWindow.acceleratorHandle(), own);
        EXPECT_FALSE(tableExists(t1));
        EXPECT_TRUE(tableExists(own));

        const HACCEL t3 = make(4);
        holder.setHandle(t3).reset();
        EXPECT_EQ(fWindow.acceleratorHandle(), nullptr);
        EXPECT_FALSE(tableExists(t3));
        holder.setHandle(make(5));
    }
    EXPECT_EQ(fWindow.acceleratorHandle(), own);
    EXPECT_EQ(commandOf(own), 1);
}

TEST_F(AccelHolder, SameTableSetTwiceIsDestroyedOnceAndTheOwnTableNever)
{
    const HACCEL own = make(1), t1 = make(2);
    fWindow.setAcceleratorHandle(own);
    {
        IAcceleratorHolder holder(&fWindow, IAccelTblHandle(t1));
        holder.setHandle(t1).setHandle(own);
        EXPECT_TRUE(tableExists(t1)) << "destroyed while still the previous table";
    }
    EXPECT_FALSE(tableExists(t1));
    EXPECT_TRUE(tableExists(own));
    EXPECT_EQ(fWindow.acceleratorHandle(), own);
}

TEST_F(AccelHolder, WindowGoneFirstLeavesItsTableToTheWindow)
{
    auto window = std::make_unique<ovktest::TestWindow>();
    const HACCEL t1 = make(2), t2 = make(3);
    auto holder = std::make_unique<IAcceleratorHolder>(window.get(), IAccelTblHandle(t1));
    holder->setHandle(t2);
    window.reset();  // destroys t2, the table it had
    holder.reset();
    EXPECT_FALSE(tableExists(t1));
}

TEST_F(AccelResource, HolderLoadsFromTheApplicationsResourceLibrary)
{
    ovktest::TestWindow window;
    IAcceleratorHolder holder(&window, kId);
    EXPECT_EQ(entriesOf(window.acceleratorHandle()).size(), kMixedEntries.size());
}

} // namespace
