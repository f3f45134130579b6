// IEntryField: the single-line text entry control on the native "Edit" class, with a limit
// the library keeps itself, selection, clipboard, read-only switching, colours and drag start.
#pragma once

#include <memory>

#include <irange.hpp>

#include <iclsstyl.hpp>
#include <idefs.hpp>

#include "itextctl.hpp"

struct IEntryFieldData;

class OVKWIN_API IEntryField : public ITextControl {
public:
    enum Alignment { left = 0, center = 1, right = 2 };

    using Style = IWindowClassStyle<IEntryField>;
    static const Style _unreadable;
    static const Style _readOnly;
    // The native left alignment has no bit: the extended word carries the request.
    static const Style _leftAlign;
    static const Style _centerAlign;
    static const Style _rightAlign;
    static const Style _autoScroll;
    static const Style _margin;
    static const Style _border3D;
    static const Style _upperCase;
    static const Style _lowerCase;
    // Have no bits on this platform: programs may combine them, and they change nothing.
    static const Style _autoTab;
    static const Style _command;
    static const Style _anyData;
    static const Style _singleByteData;
    static const Style _doubleByteData;
    static const Style _mixedData;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // The created and the taken-over field start with the limit 32.
    IEntryField(unsigned long id, IWindow* parent, IWindow* owner,
                const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IEntryField(unsigned long id, IWindow* parent);
    explicit IEntryField(const IWindowHandle& handle);
    ~IEntryField() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // Disabling a writeable field makes it read-only too, and enabling undoes exactly that; a
    // field that had the focus hands it on as Tab would.
    IWindow& enable(IBase::Boolean enable = true) override;
    IWindow& disable() override;
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    ISize calcMinimumSize() const override;
    // Starts the drag itself, by the private begin-drag message to the field, and so always
    // answers false.
    IBase::Boolean isDragStarting(IEvent& event) override;
    // Cut to the limit first, silently: a new field's limit is 32 characters, so a longer text
    // (a path) needs setLimit() before it is set, or it is cut and saved cut.
    ITextControl& setText(const char* text) override;
    ITextControl& setText(const IResourceId& text) override;
    // An unreadable field's text is a password: it is read through a buffer that is wiped
    // before it goes back to the heap, and the caller wipes the string when done.
    IString text() const override;

    // Have no effect on this platform: the native field always inserts, converts nothing and
    // moves on by itself to nothing.
    virtual IEntryField& enableAutoTab(IBase::Boolean enable = true);
    virtual IEntryField& disableAutoTab();
    virtual IEntryField& enableInsertMode(IBase::Boolean enable = true);
    virtual IEntryField& disableInsertMode();
    virtual IEntryField& enableCommand(IBase::Boolean enable = true);
    virtual IEntryField& disableCommand();
    virtual IEntryField& enableMixedData(IBase::Boolean enable = true);
    virtual IEntryField& disableMixedData();
    virtual IEntryField& resetInsertMode();
    virtual IEntryField& refreshCursor();

    // Each needs selected text (the paste: text on the clipboard). The number is not used.
    virtual IEntryField& cut(unsigned long reserved = 0);
    virtual IEntryField& copy(unsigned long reserved = 0);
    virtual IEntryField& paste();
    // Overwrites the selection with blanks, keeping the text's length; nothing when read-only.
    virtual IEntryField& clear(unsigned long reserved = 0);
    virtual IEntryField& discard();
    virtual IEntryField& removeAll();

    virtual IEntryField& enableSingleByteData(IBase::Boolean enable = true);
    virtual IEntryField& disableSingleByteData();

    virtual IEntryField& enableDataUpdate(IBase::Boolean enable = true);
    virtual IEntryField& disableDataUpdate();

    // The current text must fit the new limit. A field starts with the limit 32, to which
    // setText() cuts what it is given without a word; the user cannot type past it either.
    virtual IEntryField& setLimit(unsigned long limit);
    virtual IEntryField& setLimit(const IResourceId& limit);
    virtual unsigned long limit() const;

    // An upper bound of 0xFFFFFFFE selects through the end of the text.
    virtual IEntryField& selectRange(const IRange& range = IRange(0, 0xFFFFFFFE));
    virtual IEntryField& setCursorPosition(unsigned long position);
    virtual IEntryField& setLeftIndex(unsigned long index);

    virtual IEntryField& setChangedFlag(IBase::Boolean changed = true);
    virtual IEntryField& resetChangedFlag();

    virtual IEntryField& setAlignment(Alignment alignment);

    unsigned long cursorPosition() const;
    // Inclusive bounds; needs selected text.
    IRange selectedRange() const;
    unsigned long selectedTextLength() const;
    IBase::Boolean hasSelectedText() const;
    IString selectedText() const;
    IBase::Boolean isEmpty() const;
    unsigned long leftIndex() const;
    IBase::Boolean isChanged() const;
    IBase::Boolean isWriteable() const;
    Alignment alignment() const;
    IBase::Boolean isAutoScroll() const;
    IBase::Boolean hasMargin() const;
    IBase::Boolean isUpperCase() const;
    IBase::Boolean isLowerCase() const;
    IBase::Boolean isUnreadable() const;
    // Test styles that have no bits here, so always false.
    IBase::Boolean isAutoTab() const;
    IBase::Boolean isCommand() const;
    // The native field always inserts and holds single-byte text.
    IBase::Boolean isInsertMode() const;
    IBase::Boolean hasMixedData() const;
    IEntryField& setStyleKeepingSelection(unsigned long style);

protected:
    // For derived classes that create their window themselves.
    IEntryField();

    // Sends the event on to the control's owner, or its parent when it has none.
    static void passToOwner(const IWindow& control, const IEvent& event);
    // Names the inner window that holds the text (a combo box's edit): the selection, clipboard,
    // scrolling and changed-flag operations go to it, as the control's own window ignores them.
    void setTextField(const IWindowHandle& field);

private:
    friend class IEntryFieldHandler;

    void takeCharge(const IWindowHandle& handle);
    // The window that the text operations talk to: the inner text field, else the control.
    IWindowHandle textField() const;
    bool onSelectedText(const IPoint& point) const;
    void beginDrag(const IPoint& point);

    unsigned char fDisabledState = 0;
    unsigned long fReserved = 0;
    // Deleted by the destructor, or when a constructor fails.
    std::unique_ptr<IEntryFieldData> fEntryData;
};
