// Texts of resource libraries: string tables and message tables, read whole however long, cut
// to a caller's buffer, and the errors of missing texts. The texts come from modules of the
// platform, and the truth they are compared with from the plain platform calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <idll.hpp>
#include <ireslib.hpp>
#include <ovkmsgid.hpp>

#include "resource_testutil.hpp"

using restest::expectSystemError;
using restest::str;

namespace {

// A string-table text of at least minimumLength characters in the module, as LoadStringA gives it
// with room to spare; 0 when the module has none.
unsigned long findLongString(HMODULE module, int minimumLength, std::string& text)
{
    for (unsigned id = 1; id < 0x10000; ++id) {
        const wchar_t* resource = nullptr;
        const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
        if (length < minimumLength)
            continue;
        std::vector<char> buffer(4 * static_cast<size_t>(length) + 16);
        const int count = LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
        if (count >= minimumLength) {
            text.assign(buffer.data(), static_cast<size_t>(count));
            return id;
        }
    }
    return 0;
}

// A message-table text of at least minimumLength characters, read by the platform into a
// buffer it allocates itself; 0 when the module has none. The numbers are taken from the
// blocks of the module's message table, each checked against the resource's size.
unsigned long findLongMessage(HMODULE module, size_t minimumLength, std::string& text)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MESSAGETABLE);
    if (!resource)
        return 0;
    const DWORD size = SizeofResource(module, resource);
    const auto* table = static_cast<const MESSAGE_RESOURCE_DATA*>(LockResource(LoadResource(module, resource)));
    if (!table || size < sizeof(DWORD))
        return 0;
    const DWORD blocks = table->NumberOfBlocks;
    if (blocks > (size - sizeof(DWORD)) / sizeof(MESSAGE_RESOURCE_BLOCK))
        return 0;
    const DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_ALLOCATE_BUFFER;
    for (DWORD block = 0; block < blocks; ++block) {
        const MESSAGE_RESOURCE_BLOCK& range = table->Blocks[block];
        for (DWORD id = range.LowId; id <= range.HighId && id - range.LowId < 4096; ++id) {
            char* buffer = nullptr;
            const DWORD length = FormatMessageA(flags, module, id, 0,
                                                reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
            if (!buffer)
                continue;
            const bool found = length >= minimumLength;
            if (found)
                text.assign(buffer, length);
            LocalFree(buffer);
            if (found)
                return id;
        }
    }
    return 0;
}

// The first of these modules that holds a string table (or message table) text this long.
struct LongText {
    std::unique_ptr<IDynamicLinkLibrary> library;
    unsigned long id = 0;
    std::string text;
};

LongText longText(bool fromStringTable, size_t minimumLength)
{
    static const char* const modules[] = {"shell32", "comctl32", "user32", "comdlg32",
                                          "kernelbase", "wininet"};
    for (const char* name : modules) {
        LongText found;
        found.library.reset(new IDynamicLinkLibrary(name));
        HMODULE module = found.library->handle();
        found.id = fromStringTable
                       ? findLongString(module, static_cast<int>(minimumLength), found.text)
                       : findLongMessage(module, minimumLength, found.text);
        if (found.id)
            return found;
    }
    return LongText();
}

// A number that no module of these tests uses for a text, menu, dialog or table.
constexpr unsigned long kMissing = 0xFEDC;

// Texts of chosen lengths: the lengths at and around the loader's first buffers of 100 and 200
// characters, and long ones.
const size_t kLengths[] = {1, 97, 98, 99, 100, 101, 150, 197, 198, 199, 200, 300, 1000};

std::string textOfLength(size_t length, char seed)
{
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + (seed + i) % 26);
    return text;
}

void addWord(std::string& data, unsigned value)
{
    data += static_cast<char>(value & 0xFF);
    data += static_cast<char>((value >> 8) & 0xFF);
}

void addDword(std::string& data, unsigned long value)
{
    addWord(data, value & 0xFFFF);
    addWord(data, (value >> 16) & 0xFFFF);
}

// A message table of one block, numbers 1 to n, ANSI entries padded to whole double words.
std::string messageTable()
{
    std::string entries;
    for (size_t i = 0; i < sizeof kLengths / sizeof kLengths[0]; ++i) {
        std::string text = textOfLength(kLengths[i], static_cast<char>(i));
        text.resize((text.size() + 1 + 3) / 4 * 4, '\0');
        addWord(entries, static_cast<unsigned>(4 + text.size()));
        addWord(entries, 0);
        entries += text;
    }
    std::string data;
    addDword(data, 1);
    addDword(data, 1);
    addDword(data, sizeof kLengths / sizeof kLengths[0]);
    addDword(data, 4 + 12);
    return data + entries;
}

// String-table block 2: numbers 16 to 31, the first of them with the chosen lengths.
std::string stringBlock()
{
    std::string data;
    for (unsigned slot = 0; slot < 16; ++slot) {
        if (slot >= sizeof kLengths / sizeof kLengths[0]) {
            addWord(data, 0);
            continue;
        }
        const std::string text = textOfLength(kLengths[slot], static_cast<char>(slot));
        addWord(data, static_cast<unsigned>(text.size()));
        for (char c : text)
            addWord(data, static_cast<unsigned char>(c));
    }
    return data;
}

// A copy of the resource library with the texts above, in the temporary folder.
class ResourceBuiltTexts : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fgModule = std::make_unique<ovktest::TempFile>("ovk_resource_texts.dll");
        fgBuilt = ovktest::buildResourceModule(
            *fgModule, {{RT_MESSAGETABLE, 1, messageTable()}, {RT_STRING, 2, stringBlock()}});
    }
    static void TearDownTestSuite() { fgModule.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(fgBuilt) << "the module of test texts could not be made";
        fLibrary.reset(new IDynamicLinkLibrary(fgModule->path()));
    }
    void TearDown() override { fLibrary.reset(); }

    static inline std::unique_ptr<ovktest::TempFile> fgModule;
    static inline bool fgBuilt = false;
    std::unique_ptr<IDynamicLinkLibrary> fLibrary;
};

} // namespace

TEST(ResourceText, LongStringTableTextLoadsWhole)
{
    LongText found = longText(true, 150);
    ASSERT_NE(found.id, 0u) << "no string of 150 characters in the platform's modules";
    EXPECT_EQ(str(found.library->loadString(found.id)), found.text);
    EXPECT_EQ(str(found.library->tryToLoadString(found.id)), found.text);
    EXPECT_EQ(str(found.library->tryToLoadText(found.id)), found.text);
}

TEST(ResourceText, LongMessageTextLoadsWhole)
{
    // The platform's longest messages are somewhat over 120 characters; the tests on a module
    // of our own making go further.
    LongText found = longText(false, 120);
    ASSERT_NE(found.id, 0u) << "no message of 120 characters in the platform's modules";
    EXPECT_EQ(str(found.library->loadMessage(found.id)), found.text);
}

TEST(ResourceText, BufferOfNoSizeIsReplacedByTheLoadersOwn)
{
    LongText found = longText(true, 150);
    ASSERT_NE(found.id, 0u);
    char buffer[16] = "untouched";
    std::unique_ptr<char[]> text(found.library->loadText(true, found.id, buffer, 0, true));
    ASSERT_NE(text.get(), buffer);
    EXPECT_EQ(std::string(text.get()), found.text);
    EXPECT_STREQ(buffer, "untouched");
}

TEST(ResourceText, LibraryMessagesComeFromTheResourceLibrary)
{
    IDynamicLinkLibrary library("ovkres");
    EXPECT_EQ(str(library.loadMessage(OVK_MSG_TIMER_NOT_FOUND)), "No running timer has this identifier.");
}

TEST(ResourceText, MissingTextsThrowFromLoadAndAreEmptyFromTryToLoad)
{
    IDynamicLinkLibrary library("ovkres");
    const std::string number = std::to_string(kMissing);
    expectSystemError([&] { library.loadString(kMissing); },
                      "WinLoadString(IResourceId:" + number + ")", "ireslib", 160);
    expectSystemError([&] { library.loadMessage(kMissing); },
                      "WinLoadMessage(IResourceId:" + number + ")", "ireslib", 178);
    EXPECT_TRUE(library.tryToLoadString(kMissing).isEmpty());
    EXPECT_TRUE(library.tryToLoadText(kMissing).isEmpty());
    EXPECT_EQ(library.loadText(false, kMissing, nullptr, 0, false), nullptr);
    char buffer[8] = "kept";
    EXPECT_EQ(library.loadText(true, kMissing, buffer, sizeof buffer, false), nullptr);
}

TEST(ResourceText, LibraryWithoutModuleHasNoTexts)
{
    // Its module handle is 0, which the platform would take for the executable.
    IDynamicLinkLibrary none(nullptr);
    LongText found = longText(true, 150);
    ASSERT_NE(found.id, 0u);
    EXPECT_TRUE(none.tryToLoadString(found.id).isEmpty());
    EXPECT_THROW(none.loadMessage(1), ISystemError);
}

TEST(ResourceText, ExecutablesLibraryDescribesItselfByCommandLine)
{
    IResourceLibrary program;
    EXPECT_EQ(str(program.fileName()), std::string(GetCommandLineA()));
    EXPECT_EQ(str(program.asString()), "IResourceLibrary(Filename(" + std::string(GetCommandLineA()) + "))");
    EXPECT_EQ(program.handle().asValue(), GetModuleHandleA(nullptr));
    EXPECT_TRUE(program.isOpen());

    IResourceId id(5, program);
    EXPECT_EQ(str(id.asString()), "IResourceId(Id(5)");
    EXPECT_EQ(str(id.asDebugInfo()), "IResourceId(Id(5)," + str(program.asDebugInfo()) + ")");
    EXPECT_EQ(&id.resourceLibrary(), &program);
}

TEST_F(ResourceBuiltTexts, TextsOfEveryLengthLoadWhole)
{
    for (size_t i = 0; i < sizeof kLengths / sizeof kLengths[0]; ++i) {
        const std::string expected = textOfLength(kLengths[i], static_cast<char>(i));
        SCOPED_TRACE(kLengths[i]);
        EXPECT_EQ(str(fLibrary->loadMessage(1 + i)), expected);
        EXPECT_EQ(str(fLibrary->loadString(16 + i)), expected);
        EXPECT_EQ(str(fLibrary->tryToLoadString(16 + i)), expected);
    }
}

TEST_F(ResourceBuiltTexts, CallersBufferIsNeverGrown)
{
    for (bool fromStringTable : {true, false}) {
        SCOPED_TRACE(fromStringTable ? "string table" : "message table");
        const unsigned long id = fromStringTable ? 16 + 6 : 1 + 6; // 150 characters
        char buffer[10];
        EXPECT_EQ(fLibrary->loadText(fromStringTable, id, buffer, sizeof buffer, true), buffer);
        EXPECT_EQ(std::string(buffer), textOfLength(150, 6).substr(0, 9));
        char exact[151];
        EXPECT_EQ(fLibrary->loadText(fromStringTable, id, exact, sizeof exact, true), exact);
        EXPECT_EQ(std::string(exact), textOfLength(150, 6));
    }
}
