// The multi-line edit: text files in and out, the limit, lines, tab stops, selection, styles.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include <detail/iscoped.hpp>
#include <imle.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

using ovktest::str;

using ovktest::TempFile;

class MultiLineEdit : public basectltest::ShownParent {
protected:
    std::unique_ptr<IMultiLineEdit> make(const IMultiLineEdit::Style& style =
                                             IMultiLineEdit::defaultStyle())
    {
        return std::make_unique<IMultiLineEdit>(20, parent.get(), parent.get(),
                                                IRectangle(IPoint(10, 10), ISize(300, 200)), style);
    }
};

TEST_F(MultiLineEdit, AnExportEndsWithTheMarkAndImportsBackWithoutIt)
{
    auto edit = make();
    TempFile file("ovk-mle-export.txt");
    edit->setText("Hello");
    EXPECT_EQ(edit->exportToFile(file.path()), 5u);
    EXPECT_EQ(file.read(), std::string("Hello\x1A"));

    edit->removeAll();
    EXPECT_EQ(edit->exportToFile(file.path()), 0u);
    EXPECT_EQ(file.read(), std::string("\x1A"));
    EXPECT_EQ(edit->importFromFile(file.path()), 0u);
    EXPECT_EQ(str(edit->text()), "");

    edit->setText("Hello");
    edit->exportToFile(file.path());
    edit->setText("[]");
    edit->setCursorPosition(1);
    EXPECT_EQ(edit->importFromFile(file.path()), 5u);
    EXPECT_EQ(str(edit->text()), "[Hello]");
    EXPECT_EQ(edit->cursorPosition(), 6u);

    edit->selectRange(IRange(1, 5));
    EXPECT_EQ(edit->exportSelectedTextToFile(file.path()), 5u);
    EXPECT_EQ(file.read(), std::string("Hello\x1A"));
}

TEST_F(MultiLineEdit, AForeignFileGoesInByteForByte)
{
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"ten bytes", "0123456789"},
        {"one byte", "x"},
        {"empty", ""},
        {"LF line ends", "one\ntwo\n"},
        {"a mark inside", std::string("a\x1A") + "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto edit = make();
        TempFile file("ovk-mle-foreign.txt");
        file.write(c.bytes);
        EXPECT_EQ(edit->importFromFile(file.path()), c.bytes.size());
        EXPECT_EQ(str(edit->text()), c.bytes);
    }
}

TEST_F(MultiLineEdit, AMissingFileFailsAtTheFirstCallThatOpensIt)
{
    auto edit = make();
    TempFile missing("ovk-mle-missing.txt");
    IException failure = ovktest::caught([&] { edit->importFromFile(missing.path()); });
    EXPECT_EQ(str(failure.text(0)), "_open");
    EXPECT_EQ(str(failure.locationAtIndex(0)->fileName()), "imle");

    // With a limit of the program's own, the file is not measured first.
    edit->setLimit(100);
    failure = ovktest::caught([&] { edit->importFromFile(missing.path()); });
    EXPECT_EQ(str(failure.text(0)), "fopen");
}

// Runs a program of the system on the file's Unix name, as `program arguments "file"`, and
// pumps until the file is as wanted. Wine starts a Unix program as it starts any other, but with
// no process handle to wait on.
bool runOnFile(const char* program, const char* arguments, const char* path,
               const std::function<bool()>& done)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t widePath[MAX_PATH] = {};
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH))
        return false;
    char* name = unixName(widePath);
    if (!name)
        return false;
    std::string command = std::string(program) + " " + arguments + " \"" + name + "\"";
    HeapFree(GetProcessHeap(), 0, name);
    const std::string image = std::string("Z:") + program;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(image.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    ovk_native::KernelHandles started;
    for (HANDLE handle : {process.hThread, process.hProcess})
        if (handle && handle != INVALID_HANDLE_VALUE)
            started.add(handle);
    return ovktest::pumpUntil(done);
}

unsigned long long measured(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return ~0ull;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A file that another program replaces by a link to the memory of the process that opens it:
// reading it from its start fails, as the first page of a process is never mapped, and it
// measures empty. The link is removed at the end by the same means, since Wine's own deletion
// follows it.
class MemoryLink {
public:
    explicit MemoryLink(const char* path) : fPath(path) {}
    ~MemoryLink()
    {
        if (fMade)
            runOnFile("/bin/rm", "-f", fPath, [this] { return measured(fPath) == ~0ull; });
    }
    MemoryLink(const MemoryLink&) = delete;
    MemoryLink& operator=(const MemoryLink&) = delete;

    bool make()
    {
        fMade = runOnFile("/bin/ln", "-sf /proc/self/mem", fPath,
                          [this] { return measured(fPath) == 0; });
        return fMade;
    }

private:
    const char* fPath;
    bool fMade = false;
};

// A file that opens but cannot be read: the read's failure is reported, and drawing, turned off
// for the read, is turned on again. The file is measured as an ordinary text larger than the
// edit's limit, then, while the edit is asked to take that much, another program puts in its
// place a file that fails at the first read.
TEST_F(MultiLineEdit, AFileThatCannotBeReadFailsAtTheReadWithDrawingOnAgain)
{
    TempFile file("ovk-mle-unreadable.txt");
    std::string lines;
    for (int line = 0; line < 4000; ++line)
        lines += "123456789\n";
    file.write(lines);
    auto edit = make();
    edit->setText("kept");
    MemoryLink link(file.path());
    bool replaced = false;
    ovktest::Recorder limits(EM_LIMITTEXT);
    limits.attach(*edit, "limit").setAction([&](IEvent&) {
        replaced = link.make();
        return false;
    });
    // Wine's edit draws on regardless, so what is seen is what the edit is asked.
    std::string drawing;
    ovktest::Recorder redraws(WM_SETREDRAW);
    redraws.attach(*edit, "redraw").setAction([&](IEvent& event) {
        drawing += event.parameter1().asUnsignedLong() ? " on" : " off";
        return false;
    });
    const IException failure = ovktest::caught([&] { edit->importFromFile(file.path()); });
    ASSERT_TRUE(replaced);
    EXPECT_EQ(str(failure.text(0)), "fread");
    EXPECT_EQ(str(edit->text()), "kept");
    EXPECT_EQ(drawing, " off on");
}

// A full disk takes no bytes: a short text waits in the stream's buffer until it is written out
// at the end, and the export reports that nothing was written.
TEST_F(MultiLineEdit, AnExportToAFullDiskReportsNothingWritten)
{
    const char* const full = "Z:\\dev\\full";
    FILE* probe = std::fopen(full, "wb");
    if (!probe)
        GTEST_SKIP() << "no full device here";
    std::fclose(probe);
    auto edit = make();
    edit->setText("Hello");
    EXPECT_EQ(edit->exportToFile(full), 0u);
    edit->selectRange(IRange(1, 3));
    EXPECT_EQ(edit->exportSelectedTextToFile(full), 0u);
}

// The edit takes a text up to its first null: a UTF-16 file gives one character, and the import
// reports that one and leaves the cursor after it; with a byte-order mark it gives the mark's two
// bytes as well, three characters.
TEST_F(MultiLineEdit, AWideFileReportsTheCharactersThatWentIn)
{
    auto edit = make();
    TempFile file("ovk-mle-wide.txt");
    file.write(std::string("h\0i\0\r\0\n\0", 8));
    edit->setText("[]");
    edit->setCursorPosition(1);
    EXPECT_EQ(edit->importFromFile(file.path()), 1u);
    EXPECT_EQ(str(edit->text()), "[h]");
    EXPECT_EQ(edit->cursorPosition(), 2u);

    edit->insert("ab\0cd", 5);
    EXPECT_EQ(str(edit->text()), "[hab]");
    EXPECT_EQ(edit->cursorPosition(), 4u);

    TempFile marked("ovk-mle-wide-bom.txt");
    marked.write(std::string("\xFF\xFEh\0i\0", 6));
    EXPECT_EQ(edit->importFromFile(marked.path()), 3u);
    EXPECT_EQ(str(edit->text()), "[hab\xFF\xFEh]");
    EXPECT_EQ(edit->cursorPosition(), 7u);
}

// An opened document longer than the limit comes in whole and stays editable: the user types
// on, the limit answered is the control's, and the text can be set back as it is.
TEST_F(MultiLineEdit, AFileLongerThanTheLimitGoesInWholeAndStaysEditable)
{
    auto edit = make();
    TempFile file("ovk-mle-long.txt");
    std::string bytes;
    while (bytes.size() < 40000)
        bytes += std::string(78, 'a') + "\r\n";
    file.write(bytes);
    EXPECT_EQ(edit->importFromFile(file.path()), bytes.size());
    EXPECT_EQ(edit->textLength(), bytes.size());
    EXPECT_EQ(edit->limit(),
              static_cast<unsigned long>(SendMessageA(edit->handle(), EM_GETLIMITTEXT, 0, 0)));
    EXPECT_GT(edit->limit(), bytes.size());

    SetFocus(edit->handle());
    edit->setCursorPosition(edit->textLength());
    PostMessageA(edit->handle(), WM_CHAR, 'x', 1);
    ovktest::pumpPending();
    EXPECT_EQ(edit->textLength(), bytes.size() + 1);

    const IString whole = edit->text();
    EXPECT_NO_THROW(edit->setText(static_cast<const char*>(whole)));
    EXPECT_EQ(edit->textLength(), bytes.size() + 1);
}

// A limit the program chose stays when a longer file comes in, also when the choice was the
// limit the edit had already; the file then goes in as far as the limit lets it, each time.
TEST_F(MultiLineEdit, AChosenLimitHoldsAgainstALongerFileEvenWhenItWasTheLimitAlready)
{
    struct Case {
        const char* name;
        unsigned long chosen; // 0: the limit the edit has when it is made
    };
    const Case cases[] = {{"the edit's own limit", 0}, {"a smaller limit", 20000}};
    TempFile file("ovk-mle-chosen.txt");
    std::string bytes;
    while (bytes.size() < 40000)
        bytes += std::string(78, 'a') + "\r\n";
    file.write(bytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto edit = make();
        const unsigned long chosen = c.chosen ? c.chosen : edit->limit();
        edit->setLimit(chosen);
        for (int round = 0; round < 2; ++round) {
            edit->importFromFile(file.path());
            EXPECT_EQ(edit->limit(), chosen);
            EXPECT_EQ(static_cast<unsigned long>(
                          SendMessageA(edit->handle(), EM_GETLIMITTEXT, 0, 0)), chosen);
            EXPECT_EQ(edit->textLength(), chosen);
        }
    }
}

TEST_F(MultiLineEdit, SetTextPastTheLimitIsRefusedAndAShortTextIsPadded)
{
    auto edit = make();
    edit->setLimit(5);
    edit->setText("keep");
    const IException failure = ovktest::caught([&] { edit->setText("123456"); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_TEXT_TOO_LONG);
    EXPECT_EQ(str(edit->text()), "keep");
    edit->setText("ab", 4);
    EXPECT_EQ(str(edit->text()), "ab  ");
    edit->setText("abcdef", 3);
    EXPECT_EQ(str(edit->text()), "abc");

    EXPECT_EQ(str(ovktest::caught([&] { edit->setLimit(2); }).text(0)),
              "text().length() <= lNewLimit");
}

TEST_F(MultiLineEdit, LinesAreCountedReadAddedAndRemoved)
{
    auto edit = make();
    edit->setText("one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(edit->numberOfLines(), 3u);
    EXPECT_EQ(str(edit->text(1)), "two");
    EXPECT_EQ(str(edit->text(3)), "");
    EXPECT_EQ(str(edit->text(99)), "");

    edit->removeLine(2);
    EXPECT_EQ(edit->numberOfLines(), 2u);
    EXPECT_EQ(str(edit->text()), "one\r\ntwo\r\n");
    edit->removeLine(5);
    EXPECT_EQ(edit->numberOfLines(), 2u);

    edit->addLine("zero", 0);
    edit->addLineAsLast("four");
    EXPECT_EQ(str(edit->text()), "zero\r\none\r\ntwo\r\nfour");
    edit->addLineAsLast("five", IMultiLineEdit::lf);
    EXPECT_EQ(str(edit->text(4)), "five");
    EXPECT_EQ(edit->numberOfLines(), 5u);

    auto empty = make();
    empty->addLineAsLast("only");
    EXPECT_EQ(str(empty->text()), "only");
    EXPECT_EQ(empty->numberOfLines(), 1u);
}

TEST_F(MultiLineEdit, AddKeepsASelectionOrPutsTheCursorAfterTheText)
{
    auto edit = make();
    edit->setText("abc");
    edit->selectRange(IRange(0, 1));
    edit->add("XYZ");
    EXPECT_EQ(str(edit->text()), "abcXYZ");
    EXPECT_EQ(str(edit->selectedText()), "ab");

    edit->setCursorPosition(1);
    edit->addAtCursor("--");
    EXPECT_EQ(str(edit->text()), "a--bcXYZ");
    EXPECT_EQ(edit->cursorPosition(), 3u);
    edit->insert("0123456", 2);
    EXPECT_EQ(str(edit->text()), "a--01bcXYZ");
    EXPECT_EQ(edit->cursorPosition(), 5u);
}

TEST_F(MultiLineEdit, SelectRangeTakesInclusiveBoundsInEitherOrder)
{
    auto edit = make();
    edit->setText("Planet");
    const struct {
        IRange range;
        const char* selected;
    } cases[] = {
        {IRange(1, 3), "lan"},
        {IRange(4, 1), "lane"},
        {IRange(-5, 1), "Pl"},
        {IRange(2, static_cast<IRange::Bound>(0xFFFFFFFE)), "anet"},
        {IRange(-1, 3), ""},
    };
    for (const auto& c : cases) {
        edit->selectRange(c.range);
        EXPECT_EQ(str(edit->selectedText()), c.selected)
            << c.range.lowerBound() << ".." << c.range.upperBound();
    }
    edit->selectRange(IRange(1, 3));
    edit->clear();
    EXPECT_EQ(str(edit->text()), "P   et");
    EXPECT_EQ(str(ovktest::caught([&] { edit->cut(); }).text(0)), "hasSelectedText()");
}

TEST_F(MultiLineEdit, TabStopsAreSetInDialogUnits)
{
    auto edit = make();
    ovktest::Recorder stops(EM_SETTABSTOPS);
    int stop = -1;
    stops.attach(*edit, "tabs").setAction([&](IEvent& event) {
        stop = *static_cast<const int*>(event.parameter2().asPointer());
        return false;
    });
    edit->setTab(32);
    // Four dialog units to the base width: 16 when that is 8.
    EXPECT_EQ(stop, static_cast<int>(128 / LOWORD(GetDialogBaseUnits())));
    EXPECT_EQ(stops.trace(), "tabs");
}

TEST_F(MultiLineEdit, StylesGiveTheNativeBits)
{
    auto wrapped = make();
    const LONG_PTR native = GetWindowLongPtrA(wrapped->handle(), GWL_STYLE);
    EXPECT_EQ(native & (ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL),
              ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL);
    EXPECT_EQ(native & ES_AUTOHSCROLL, 0);
    EXPECT_NE(GetWindowLongPtrA(wrapped->handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_TRUE(wrapped->isWordWrap());

    // Without a border there is no client edge; without wrapping the lines scroll.
    auto plain = make(IMultiLineEdit::Style(0, 0x200) | IMultiLineEdit::_readOnly);
    EXPECT_NE(GetWindowLongPtrA(plain->handle(), GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_EQ(GetWindowLongPtrA(plain->handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_FALSE(plain->isWordWrap());
    EXPECT_FALSE(plain->isWriteable());

    // Tab's style is the library's alone: the native window is the same.
    auto ignoring = make(IMultiLineEdit::defaultStyle() | IMultiLineEdit::_ignoreTab);
    EXPECT_EQ(GetWindowLongPtrA(ignoring->handle(), GWL_STYLE),
              GetWindowLongPtrA(wrapped->handle(), GWL_STYLE));
    EXPECT_EQ(GetWindowLongPtrA(ignoring->handle(), GWL_EXSTYLE),
              GetWindowLongPtrA(wrapped->handle(), GWL_EXSTYLE));

    // An edit taken over learns its wrapping from the native style.
    const HWND native2 = CreateWindowExA(0, "Edit", "", WS_CHILD | ES_MULTILINE, 0, 0, 50, 50,
                                         parentHandle(), nullptr, nullptr, nullptr);
    {
        IMultiLineEdit taken((IWindowHandle(native2)));
        EXPECT_TRUE(taken.isWordWrap());
    }
    EXPECT_TRUE(IsWindow(native2));
    DestroyWindow(native2);

    const IException failure = ovktest::caught([] { IMultiLineEdit(1, nullptr, nullptr); });
    EXPECT_EQ(str(failure.text(0)), "pwndParent!=0");
}

} // namespace
