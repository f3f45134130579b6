// IMultiLineEdit: the multi-line text editor on the native "Edit" class, with lines, tab stops,
// selection and the clipboard, and the import and export of text files.
#pragma once

#include <memory>

#include <irange.hpp>

#include <iclsstyl.hpp>
#include <idefs.hpp>

#include "itextctl.hpp"

struct IMultiLineEditData;

// Positions are 0-based character offsets of the native control, lines are 0-based. The limit
// is the library's own: setText refuses a longer text instead of cutting it.
class OVKWIN_API IMultiLineEdit : public ITextControl {
public:
    // How lines end in what the program adds and exports. softBreaks also has the control
    // report its own line breaks (CR CR LF) in the text it gives.
    enum EOLFormat { crlf = 0, lf = 1, softBreaks = 2 };

    using Style = IWindowClassStyle<IMultiLineEdit>;
    static const Style _wordWrap;
    // Only together with _margin.
    static const Style _border3D;
    static const Style _margin;
    static const Style _verticalScroll;
    static const Style _horizontalScroll;
    static const Style _readOnly;
    // Tab and Shift+Tab move the focus on and back, as from any other field, instead of being
    // typed into the text. Without it they are text. Enter is always text; Esc always goes to
    // the form (in a frame it cancels, as from an entry field). A library bit only: an edit
    // taken over by its handle keeps Tab as text.
    static const Style _ignoreTab;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IMultiLineEdit(unsigned long id, IWindow* parent, IWindow* owner,
                   const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IMultiLineEdit(unsigned long id, IWindow* parent);
    explicit IMultiLineEdit(const IWindowHandle& handle);
    ~IMultiLineEdit() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& enableUpdate(IBase::Boolean enable = true) override;
    IWindow& disableUpdate() override;
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    // Room for four lines of 25 average characters of the edit's font, with the borders and
    // scroll bars of its style, as a list box's: it follows the font, not what a layout gave.
    ISize calcMinimumSize() const override;
    // Starts the drag itself, by the private begin-drag message to the edit, and so always
    // answers false.
    IBase::Boolean isDragStarting(IEvent& event) override;
    ITextControl& setText(const char* text) override;
    ITextControl& setText(const IResourceId& text) override;
    IString text() const override;
    unsigned long textLength() const override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual IMultiLineEdit& setChangedFlag(IBase::Boolean changed = true);
    virtual IMultiLineEdit& resetChangedFlag();
    virtual IMultiLineEdit& disableDataUpdate();
    virtual IMultiLineEdit& enableDataUpdate(IBase::Boolean enable = true);
    // The line's text without its line end; empty past the last line.
    virtual IString text(unsigned long lineNumber) const;
    // The first `length` characters (all for 0), blank-padded; message 57 past the limit.
    virtual IMultiLineEdit& setText(const char* text, unsigned long length);
    // The current text must fit the new limit.
    virtual IMultiLineEdit& setLimit(unsigned long limit);
    // At the cursor, which ends up after the text; `length` 0 takes the whole text. Line ends
    // are inserted as they are.
    virtual IMultiLineEdit& insert(const char* text, unsigned long length = 0,
                                   EOLFormat format = crlf);
    // At the end, or at the cursor; a selection is kept, else the cursor ends up after the text.
    virtual IMultiLineEdit& add(const char* text, unsigned long length = 0,
                                EOLFormat format = crlf);
    virtual IMultiLineEdit& addAtCursor(const char* text, unsigned long length = 0,
                                        EOLFormat format = crlf);
    // Inserts the file's bytes at the cursor, without converting line ends; answers the number
    // of characters inserted. The bytes are taken as text of the ANSI code page, unconverted, and
    // the text ends at the file's first zero byte, silently: a UTF-16 file gives its first
    // character alone, or with a byte-order mark the mark's two bytes and that character (three
    // characters). A last byte 0x1A is dropped from any file, as the end mark an export wrote. A file longer than the limit raises it (unless setLimit chose the limit),
    // leaving room to type on; limit() answers the raised limit.
    virtual unsigned long importFromFile(const char* fileName, EOLFormat format = crlf);
    // Writes the text (the selection) and then always the end mark 0x1A, so the file is one
    // byte longer than the text; answers the length of the text written, 0 also when the file
    // cannot be written.
    virtual unsigned long exportToFile(const char* fileName, EOLFormat format = crlf);
    virtual unsigned long exportSelectedTextToFile(const char* fileName, EOLFormat format = crlf);
    // Inclusive bounds; a lower bound of -1 removes the selection, a bound of 0xFFFFFFFE stands
    // for the end of the text.
    virtual IMultiLineEdit& selectRange(const IRange& range = IRange(0, 0xFFFFFFFE));
    // Inclusive bounds; needs selected text.
    virtual IRange selectedRange() const;
    virtual IString selectedText() const;
    virtual unsigned long selectedTextLength() const;
    virtual IBase::Boolean hasSelectedText() const;
    // Each needs selected text (the paste: text on the clipboard) and throws without it, so a
    // menu handler checks hasSelectedText() first: an exception that leaves a handler ends the
    // message loop. The number is not used.
    virtual IMultiLineEdit& cut(unsigned long reserved = 0);
    virtual IMultiLineEdit& copy(unsigned long reserved = 0);
    virtual IMultiLineEdit& paste();
    // Overwrites the selection with blanks, keeping the text's length.
    virtual IMultiLineEdit& clear(unsigned long reserved = 0);
    virtual IMultiLineEdit& discard();
    virtual IMultiLineEdit& undo();
    virtual IMultiLineEdit& removeAll();
    // The formatting rectangle: the client area, or a size or one side of it.
    virtual IMultiLineEdit& resetViewRect();
    virtual IMultiLineEdit& setViewSize(const ISize& size);
    virtual IMultiLineEdit& setViewWidth(unsigned long width);
    virtual IMultiLineEdit& setViewHeight(unsigned long height);
    // One tab stop every `pixels`, as near as dialog units allow.
    virtual IMultiLineEdit& setTab(unsigned long pixels);
    // Do nothing: the native control cannot change its wrapping after creation.
    virtual IMultiLineEdit& enableWordWrap(IBase::Boolean enable = true);
    virtual IMultiLineEdit& disableWordWrap();
    // Before the line, or after the last line when there is no such line.
    virtual IMultiLineEdit& addLine(const char* text, unsigned long lineNumber,
                                    EOLFormat format = crlf);
    virtual IMultiLineEdit& addLineAsLast(const char* text, EOLFormat format = crlf);
    virtual IMultiLineEdit& removeLine(unsigned long lineNumber);
    virtual IMultiLineEdit& setCursorLinePosition(unsigned long lineNumber);
    virtual IMultiLineEdit& setCursorPosition(unsigned long position);
    virtual IMultiLineEdit& setTop(unsigned long lineNumber);

    unsigned long limit() const;
    // Without an empty last line.
    unsigned long numberOfLines() const;
    unsigned long cursorLinePosition() const;
    unsigned long cursorPosition() const;
    unsigned long top() const;
    unsigned long viewWidth() const;
    unsigned long viewHeight() const;
    unsigned long visibleLines() const;
    IBase::Boolean isChanged() const;
    IBase::Boolean isWriteable() const;
    IBase::Boolean isUndoable() const;
    IBase::Boolean isWordWrap() const;
    IBase::Boolean hasMargin() const;

private:
    friend class IMultiLineEditHandler;

    void takeCharge(const IWindowHandle& handle);
    void selection(unsigned long& start, unsigned long& end) const;
    void replaceSelection(const char* text, unsigned long length);
    IMultiLineEdit& addAt(bool atEnd, const char* text, unsigned long length);
    unsigned long exportText(const char* fileName, const IString& text);
    bool onSelectedText(const IPoint& point) const;
    bool onSelectedLine(const IPoint& point, unsigned long start, unsigned long end) const;
    void beginDrag(const IPoint& point);

    unsigned long fLimit = 30000;
    unsigned long fLimitSet = 0;
    // Deleted by the destructor, or when a constructor fails.
    std::unique_ptr<IMultiLineEditData> fEditData;
};
