// IStaticText: a text label that the library paints itself, with ten alignments, wrapping, a
// mnemonic underline, underscore and strikeout, a halftone look, a fill colour and a limit
// that sizes it for a number of characters.
#pragma once

#include <cstdint>

#include <iclsstyl.hpp>
#include <idefs.hpp>
#include <istathdr.hpp>

#include "itextctl.hpp"

struct IStaticTextData;

// Created on the native "Static" class, whose own drawing is never seen: the static-text
// painter draws the text with the library's graphic context. Every visual setting is a bit of
// the extended style, changed by enable/disable pairs that repaint and tell the observers.
class OVKWIN_API IStaticText : public ITextControl {
public:
    enum Alignment {
        topLeft = 0, topLeftWrapped, topCenter, topRight, centerLeft, centerCenter, centerRight,
        bottomLeft, bottomCenter, bottomRight
    };

    using Style = IWindowClassStyle<IStaticText>;
    static const Style _left;
    static const Style _top;
    static const Style _underscore;
    static const Style _strikeout;
    // The character after '&' is drawn underlined, and that is all: Alt with it does not move
    // the focus to the control after the text (the mnemonic search passes static texts over).
    // Put the mnemonic in the control's own text where it has one (a button, a check box).
    static const Style _mnemonic;
    static const Style _halftone;
    static const Style _fillBackground;
    static const Style _border3D;
    static const Style _center;
    static const Style _right;
    static const Style _vertCenter;
    static const Style _bottom;
    static const Style _wordBreak;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    static const char* const fillColorId;
    static const char* const fillBackgroundId;
    static const char* const strikeoutId;
    static const char* const underscoreId;
    static const char* const halftoneId;
    static const char* const limitId;

    IStaticText(unsigned long id, IWindow* parent, IWindow* owner,
                const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    // Take charge of an existing static window, which then fills its background.
    explicit IStaticText(const IWindowHandle& handle);
    IStaticText(unsigned long id, IWindow* parent);
    ~IStaticText() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    // The text's size in the control's font, at least the limit's, 4 more each way with a 3D
    // border on the newer shell.
    ISize calcMinimumSize() const override;
    // A text whose size differs tells the canvases above that the minimum size changed.
    IStaticText& setText(const char* text) override;
    using ITextControl::setText;

    // Message 39 for a value outside the enumeration; repaints when the style changes.
    virtual IStaticText& setAlignment(Alignment alignment);
    virtual IStaticText& enableStrikeout(IBase::Boolean enable = true);
    virtual IStaticText& disableStrikeout();
    virtual IStaticText& enableUnderscore(IBase::Boolean enable = true);
    virtual IStaticText& disableUnderscore();
    virtual IStaticText& enableHalftone(IBase::Boolean enable = true);
    virtual IStaticText& disableHalftone();
    virtual IStaticText& enableFillBackground(IBase::Boolean enable = true);
    virtual IStaticText& disableFillBackground();
    // The colour set, else the background colour.
    virtual IColor fillColor() const;
    // A colour of the same red, green and blue as the one stored changes nothing.
    virtual IStaticText& setFillColor(const IColor& color);
    virtual IStaticText& resetFillColor();
    // Sizes the control for this many average characters; 0 for no limit.
    virtual IStaticText& setLimit(unsigned long limit);
    virtual ISize limitSize() const;

    Alignment alignment() const;
    IBase::Boolean isStrikeout() const;
    IBase::Boolean isUnderscore() const;
    IBase::Boolean isHalftone() const;
    IBase::Boolean hasFillBackground() const;
    unsigned long limit() const noexcept { return fLimit; }

    // The painter that every static text attaches: draws the text over the optional fill.
    class OVKWIN_API Painter : public IStaticTextHandler {
    public:
        Painter() noexcept = default;
        ~Painter() override;

    protected:
        IBase::Boolean paintWindow(IPaintEvent& event) override;
    };
    static Painter& painter();

protected:
    // Changes the flag's bit; repaints and notifies with the new state when it changed.
    IStaticText& changeFlag(unsigned long bit, IBase::Boolean on, const char* notificationId);

private:
    void takeCharge(const IWindowHandle& handle);

    std::uint32_t fLimit = 0;
    IStaticTextData* fData;
};
