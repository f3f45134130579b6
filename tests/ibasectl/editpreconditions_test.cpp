// The edit controls' selection and clipboard preconditions: each operation fails with the same
// state error, located at the operation itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <iclipbrd.hpp>
#include <ientryfd.hpp>
#include <imle.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

class EditPreconditions : public basectltest::ShownParent {};

struct Case {
    const char* function;
    unsigned long line;
    std::function<void()> operation;
};

void expectStateFailures(const char* file, const char* condition, const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        const IException failure = ovktest::caught(c.operation);
        EXPECT_EQ(ovktest::str(failure.text(0)), condition);
        ASSERT_NE(failure.locationAtIndex(0), nullptr);
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), file);
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->functionName()), c.function);
        EXPECT_EQ(failure.locationAtIndex(0)->lineNumber(), c.line);
    }
}

TEST_F(EditPreconditions, SelectionOperationsWithNothingSelectedFailWhereTheyStand)
{
    IEntryField field(1, parent.get(), parent.get(), IRectangle(IPoint(5, 5), ISize(120, 24)));
    field.setText("some text");
    field.setCursorPosition(2);
    expectStateFailures("ientryfd", "hasSelectedText()",
                        {{"IEntryField::cut(unsigned long)", 958, [&] { field.cut(); }},
                         {"IEntryField::copy(unsigned long)", 979, [&] { field.copy(); }},
                         {"IEntryField::clear(unsigned long)", 1021, [&] { field.clear(); }},
                         {"IEntryField::discard()", 1047, [&] { field.discard(); }},
                         {"IEntryField::selectedRange() const", 1477,
                          [&] { field.selectedRange(); }}});

    IMultiLineEdit edit(2, parent.get(), parent.get(), IRectangle(IPoint(5, 40), ISize(160, 80)));
    edit.setText("some\r\nlines");
    edit.selectRange(IRange(-1, 0));
    // Never written: the check comes before the file is opened.
    const ovktest::TempFile file("ovk-unwritten-selection.txt");
    expectStateFailures(
        "imle", "hasSelectedText()",
        {{"IMultiLineEdit::selectedRange() const", 1343, [&] { edit.selectedRange(); }},
         {"IMultiLineEdit::cut(unsigned long)", 1439, [&] { edit.cut(); }},
         {"IMultiLineEdit::copy(unsigned long)", 1460, [&] { edit.copy(); }},
         {"IMultiLineEdit::clear(unsigned long)", 1505, [&] { edit.clear(); }},
         {"IMultiLineEdit::discard()", 1553, [&] { edit.discard(); }},
         {"IMultiLineEdit::exportSelectedTextToFile(const char*,EOLFormat)", 1201,
          [&] { edit.exportSelectedTextToFile(file.path()); }}});
}

TEST_F(EditPreconditions, PastingFromAClipboardWithoutTextFailsWhereItStands)
{
    IEntryField field(1, parent.get(), parent.get(), IRectangle(IPoint(5, 5), ISize(120, 24)));
    IMultiLineEdit edit(2, parent.get(), parent.get(), IRectangle(IPoint(5, 40), ISize(160, 80)));
    IClipboard(parent->handle()).empty();
    expectStateFailures("ientryfd", "clipboardHasTextFormat()",
                        {{"IEntryField::paste()", 1000, [&] { field.paste(); }}});
    expectStateFailures("imle", "clipboardHasTextFormat()",
                        {{"IMultiLineEdit::paste()", 1481, [&] { edit.paste(); }}});
}

} // namespace
