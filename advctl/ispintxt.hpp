// ITextSpinButton: a spin button over an ordered array of texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <istring.hpp>

#include "ispinbas.hpp"

struct ITextSpinButtonData;

class OVKWIN_API ITextSpinButton : public IBaseSpinButton {
public:
    using Style = IBaseSpinButton::Style;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // A position among the texts, counting from 1; any change of the array invalidates every
    // cursor but the one the change was made through.
    class OVKWIN_API Cursor : public IVBase {
    public:
        explicit Cursor(const ITextSpinButton& spinButton);
        ~Cursor() override;
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean setToPrevious();
        virtual IBase::Boolean setToLast();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();
        // The element's index: the position minus 1.
        unsigned long index() const noexcept { return fPosition ? fPosition - 1 : 0; }

    private:
        friend class ITextSpinButton;
        const ITextSpinButton* fSpinButton;
        unsigned long fPosition = 0;
        unsigned long fGeneration = 0;
    };

    ITextSpinButton(unsigned long id, IWindow* parent, IWindow* owner,
                    const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    ITextSpinButton(unsigned long id, IWindow* parent);
    explicit ITextSpinButton(const IWindowHandle& handle);
    ~ITextSpinButton() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;

    virtual IString elementAt(unsigned long index) const;
    virtual IString elementAt(const Cursor& cursor) const;
    virtual ITextSpinButton& replaceAt(const char* text, Cursor& cursor);
    virtual ITextSpinButton& removeAt(Cursor& cursor);
    virtual ITextSpinButton& removeAll();
    // Inserts before the text at the cursor, which then names the new text.
    virtual ITextSpinButton& add(const char* text, Cursor& cursor);
    virtual ITextSpinButton& addAsFirst(const char* text);
    virtual ITextSpinButton& addAsLast(const char* text);
    virtual ITextSpinButton& addAsLast(const char* const* texts, unsigned long count);
    virtual unsigned long numberOfElements() const;
    virtual IBase::Boolean isEmpty() const;
    // The text shown; empty without texts.
    virtual IString value() const;
    // The index of the text shown.
    virtual unsigned long index() const;
    virtual ITextSpinButton& spinTo(const Cursor& cursor);
    // The first text equal to `text`, with or without regard to case; none throws.
    virtual ITextSpinButton& spinTo(const char* text, IBase::Boolean caseSensitive = true);

    // Gives the array to the window: the outside window's array, the native range.
    ITextSpinButton& refreshText();

private:
    void createArray();
    void changed();
    unsigned long currentIndex() const;

    ITextSpinButtonData* fTextSpinButtonData = nullptr;
};
