// The preconditions that the edit controls' selection and clipboard operations share.
#pragma once

#include <iexcept.hpp>

namespace ovk_app {

// An operation on the selected text (cut, copy, clear, discard, the selected range, exporting
// it) fails with a state error when nothing is selected. `file`, `function` and `line` are the
// operation's exception location.
template <class Edit>
void requireSelection(const Edit& edit, const char* file, const char* function, unsigned long line)
{
    if (!edit.hasSelectedText())
        IThrow::state("hasSelectedText()", IExceptionLocation(file, function, line));
}

// Pasting fails with a state error when the clipboard holds no text.
template <class Edit>
void requireClipboardText(const char* file, const char* function, unsigned long line)
{
    if (!Edit::clipboardHasTextFormat())
        IThrow::state("clipboardHasTextFormat()", IExceptionLocation(file, function, line));
}

} // namespace ovk_app
