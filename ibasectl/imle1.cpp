// The multi-line edit: lines, inserting and adding text, and text files.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <detail/ieditreq.hpp>

#include "imle.hpp"

namespace {

constexpr char kFile[] = "imle";
constexpr char kImport[] = "IMultiLineEdit::importFromFile(const char*,EOLFormat)";
// The end-of-file mark that an export writes after the text.
constexpr unsigned char kEndMark = 0x1A;
// Past an imported file the user keeps as much room to type as a new edit gives.
constexpr unsigned long long kRoomToType = 30000;
// The largest limit every edit control takes; a larger one means "no limit" to some and wraps
// in a 32-bit limit.
constexpr unsigned long long kLargestLimit = 0x7FFFFFFE;

unsigned long lengthOf(const char* text, unsigned long length)
{
    if (length == 0 && text)
        return static_cast<unsigned long>(std::strlen(text));
    return length;
}

// The first character of a line, or -1 past the last line.
long lineIndex(const IWindow& edit, unsigned long line)
{
    return static_cast<long>(SendMessageA(edit.handle(), EM_LINEINDEX, line, 0));
}

unsigned long lineLengthAt(const IWindow& edit, unsigned long firstCharacter)
{
    return static_cast<unsigned long>(SendMessageA(edit.handle(), EM_LINELENGTH, firstCharacter, 0));
}

// Puts the selection back as it was, with drawing suspended meanwhile, however the scope is left.
class KeptSelection {
public:
    explicit KeptSelection(IMultiLineEdit& edit) : fEdit(edit)
    {
        SendMessageA(edit.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&fStart),
                     reinterpret_cast<LPARAM>(&fEnd));
        fEdit.disableUpdate();
    }
    ~KeptSelection()
    {
        SendMessageA(fEdit.handle(), EM_SETSEL, fStart, fEnd);
        try {
            fEdit.enableUpdate(true);
        } catch (...) {
            // The window is gone: there is nothing left to draw.
        }
    }
    KeptSelection(const KeptSelection&) = delete;
    KeptSelection& operator=(const KeptSelection&) = delete;

    bool hadSelection() const { return fEnd > fStart; }
    // Keep the cursor where the text put it instead.
    void dropUnlessSelection()
    {
        if (!hadSelection())
            SendMessageA(fEdit.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&fStart),
                         reinterpret_cast<LPARAM>(&fEnd));
    }

private:
    IMultiLineEdit& fEdit;
    DWORD fStart = 0;
    DWORD fEnd = 0;
};

// Closes the file and switches drawing back on however an import is left.
class ImportScope {
public:
    ImportScope(IMultiLineEdit& edit, std::FILE* file) : fEdit(edit), fFile(file)
    {
        fEdit.disableUpdate();
    }
    ~ImportScope()
    {
        std::fclose(fFile);
        try {
            fEdit.enableUpdate(true);
        } catch (...) {
            // The window is gone: there is nothing left to draw.
        }
    }
    ImportScope(const ImportScope&) = delete;
    ImportScope& operator=(const ImportScope&) = delete;

private:
    IMultiLineEdit& fEdit;
    std::FILE* fFile;
};

} // namespace

// EM_REPLACESEL reads its text up to the terminator: a part of a longer text is copied first,
// so that exactly the characters asked for go in.
void IMultiLineEdit::replaceSelection(const char* text, unsigned long length)
{
    const std::string part(text ? text : "", text ? strnlen(text, length) : 0);
    SendMessageA(handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(part.c_str()));
}

IMultiLineEdit& IMultiLineEdit::insert(const char* text, unsigned long length, EOLFormat)
{
    length = lengthOf(text, length);
    const unsigned long position = cursorPosition();
    setCursorPosition(position);
    const unsigned long before = textLength();
    replaceSelection(text, length);
    // The edit takes the text up to its first null and within its native limit: the cursor
    // goes after what it took, not after what was offered.
    const unsigned long after = textLength();
    return setCursorPosition(position + (after > before ? after - before : 0));
}

IMultiLineEdit& IMultiLineEdit::addAt(bool atEnd, const char* text, unsigned long length)
{
    length = lengthOf(text, length);
    KeptSelection kept(*this);
    const unsigned long position = atEnd ? textLength() + 1 : cursorPosition();
    setCursorPosition(position);
    replaceSelection(text, length);
    kept.dropUnlessSelection();
    return *this;
}

IMultiLineEdit& IMultiLineEdit::add(const char* text, unsigned long length, EOLFormat)
{
    return addAt(true, text, length);
}

IMultiLineEdit& IMultiLineEdit::addAtCursor(const char* text, unsigned long length, EOLFormat)
{
    return addAt(false, text, length);
}

// ---------------------------------------------------------------------------------------------
// Lines

unsigned long IMultiLineEdit::numberOfLines() const
{
    const auto count = static_cast<unsigned long>(SendMessageA(handle(), EM_GETLINECOUNT, 0, 0));
    if (count == 0)
        return 0;
    const long last = lineIndex(*this, count - 1);
    return last >= 0 && lineLengthAt(*this, static_cast<unsigned long>(last)) == 0 ? count - 1
                                                                                   : count;
}

IString IMultiLineEdit::text(unsigned long lineNumber) const
{
    if (lineNumber >= numberOfLines())
        return IString();
    const long first = lineIndex(*this, lineNumber);
    if (first < 0)
        return IString();
    const unsigned long length = lineLengthAt(*this, static_cast<unsigned long>(first));
    if (length == 0)
        return IString();
    // EM_GETLINE reads the buffer's size from its first word, so the buffer holds at least
    // that word, and a line longer than a word can count is read in part.
    const unsigned long room = length < 0xFFFF ? length : 0xFFFF;
    std::vector<char> buffer(room + 2, '\0');
    const auto size = static_cast<WORD>(room);
    std::memcpy(buffer.data(), &size, sizeof size);
    const LRESULT copied =
        SendMessageA(handle(), EM_GETLINE, lineNumber, reinterpret_cast<LPARAM>(buffer.data()));
    return IString(buffer.data(), static_cast<unsigned long>(copied > 0 ? copied : 0));
}

IMultiLineEdit& IMultiLineEdit::addLine(const char* text, unsigned long lineNumber,
                                        EOLFormat format)
{
    const std::string separator = format == lf ? "\n" : "\r\n";
    handle().sendEvent(EM_FMTLINES, format == softBreaks ? 1 : 0);
    const std::string line = text ? text : "";
    KeptSelection kept(*this);
    if (lineNumber < numberOfLines()) {
        const long first = lineIndex(*this, lineNumber);
        handle().sendEvent(EM_SETSEL, first, first);
        replaceSelection((line + separator).c_str(), static_cast<unsigned long>(line.size() + separator.size()));
        return *this;
    }
    // A text that is empty or ends with a line end needs no separator before the new line:
    // one would add an empty line.
    const IString whole = this->text();
    const unsigned long length = whole.length();
    const bool open = length == 0 || whole[length] == '\n';
    const std::string added = open ? line : separator + line;
    const unsigned long end = textLength();
    handle().sendEvent(EM_SETSEL, end, end);
    replaceSelection(added.c_str(), static_cast<unsigned long>(added.size()));
    return *this;
}

IMultiLineEdit& IMultiLineEdit::addLineAsLast(const char* text, EOLFormat format)
{
    return addLine(text, numberOfLines(), format);
}

IMultiLineEdit& IMultiLineEdit::removeLine(unsigned long lineNumber)
{
    if (lineNumber >= numberOfLines())
        return *this;
    KeptSelection kept(*this);
    const long first = lineIndex(*this, lineNumber);
    const long next = lineIndex(*this, lineNumber + 1);
    const long end = next >= 0 ? next : static_cast<long>(textLength());
    handle().sendEvent(EM_SETSEL, first, end);
    replaceSelection("", 0);
    return *this;
}

unsigned long IMultiLineEdit::cursorLinePosition() const
{
    return static_cast<unsigned long>(
        SendMessageA(handle(), EM_LINEFROMCHAR, cursorPosition(), 0));
}

IMultiLineEdit& IMultiLineEdit::setCursorLinePosition(unsigned long lineNumber)
{
    const long first = lineIndex(*this, lineNumber);
    handle().sendEvent(EM_SETSEL, first, first);
    return *this;
}

unsigned long IMultiLineEdit::top() const
{
    return static_cast<unsigned long>(SendMessageA(handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

IMultiLineEdit& IMultiLineEdit::setTop(unsigned long lineNumber)
{
    const long lines = static_cast<long>(lineNumber) - static_cast<long>(top());
    SendMessageA(handle(), EM_LINESCROLL, 0, lines);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Text files

unsigned long IMultiLineEdit::importFromFile(const char* fileName, EOLFormat format)
{
    struct _stati64 status {};
    const unsigned long long size =
        _stati64(fileName, &status) == 0 ? static_cast<unsigned long long>(status.st_size) : 0;

    if (!fLimitSet) {
        const int descriptor = _open(fileName, _O_RDONLY | _O_BINARY);
        if (descriptor == -1)
            IThrow::systemError("_open", static_cast<IException::ErrorId>(errno),
                                IExceptionLocation(kFile, kImport, 1095));
        const long long length = _filelengthi64(descriptor);
        _close(descriptor);
        // The limit must hold what is there already and the file, and still leave the user room
        // to type: a limit of exactly the text's length would make the opened document
        // read-only. The library's limit follows the control's, so that limit() answers what
        // the control holds and setText(text()) is taken.
        const unsigned long long needed =
            textLength() + (length > 0 ? static_cast<unsigned long long>(length) : 0);
        if (fLimit < needed) {
            const unsigned long raised =
                static_cast<unsigned long>(std::min(needed + kRoomToType, kLargestLimit));
            handle().sendEvent(EM_LIMITTEXT, raised);
            fLimit = raised;
        }
    }

    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        IThrow::systemError("fopen", static_cast<IException::ErrorId>(errno),
                            IExceptionLocation(kFile, kImport, 1109));
    ImportScope scope(*this, file);
    // No more than the size found first is read, should the file grow meanwhile.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t read = size ? std::fread(buffer.data(), 1, static_cast<std::size_t>(size), file) : 0;
    if (std::ferror(file))
        IThrow::systemError("fread", static_cast<IException::ErrorId>(errno),
                            IExceptionLocation(kFile, kImport, 1120));
    // The end mark of an export is left out; a file that has none keeps its last byte.
    if (read > 0 && static_cast<unsigned char>(buffer[read - 1]) == kEndMark)
        --read;
    // What the edit took, which ends at the first null byte (a UTF-16 file gives its first
    // character, after the two bytes of a byte-order mark when it has one): the bytes read are
    // not the characters inserted.
    const unsigned long before = textLength();
    if (read > 0)
        insert(buffer.data(), static_cast<unsigned long>(read), format);
    const unsigned long after = textLength();
    return after > before ? after - before : 0;
}

unsigned long IMultiLineEdit::exportText(const char* fileName, const IString& text)
{
    std::FILE* file = std::fopen(fileName, "wb");
    if (!file)
        return 0;
    const unsigned long length = text.length();
    const bool written =
        length && std::fwrite(static_cast<const char*>(text), 1, length, file) == length;
    // A short text waits in the stream's buffer, so a full disk shows only when the buffer is
    // written out. The flush is asked for on its own: not every runtime's close reports the
    // failure of the flush it makes.
    const bool marked = std::fputc(kEndMark, file) != EOF;
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && marked && flushed && closed ? length : 0;
}

unsigned long IMultiLineEdit::exportToFile(const char* fileName, EOLFormat format)
{
    handle().sendEvent(EM_FMTLINES, format == softBreaks ? 1 : 0);
    return exportText(fileName, text());
}

unsigned long IMultiLineEdit::exportSelectedTextToFile(const char* fileName, EOLFormat)
{
    ovk_app::requireSelection(*this, kFile,
                              "IMultiLineEdit::exportSelectedTextToFile(const char*,EOLFormat)",
                              1201);
    return exportText(fileName, selectedText());
}
