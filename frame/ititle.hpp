// ITitle: the text of a frame window's title bar, seen as a text control.
#pragma once

#include <idefs.hpp>
#include <itextctl.hpp>

class IFrameWindow;

// It has no window of its own: it reads and writes the window text of its frame. The text is
// composed of an object text, a view text and a view number: "Object - View:3". Only a trailing
// ':' and digits are taken as the number, so a view text may hold ':' itself.
class OVKWIN_API ITitle : public ITextControl {
public:
    static const char* const objectTextId;
    static const char* const viewTextId;
    static const char* const viewNumberId;

    // Composes the title only when an object text is given.
    explicit ITitle(IFrameWindow* frame, const char* objectText = nullptr,
                    const char* viewText = nullptr, unsigned long viewNumber = 0);
    // The texts from their resource libraries; a view text id of 0 gives an empty view text.
    ITitle(IFrameWindow* frame, const IResourceId& objectText, const IResourceId& viewText,
           unsigned long viewNumber = 0);
    ~ITitle() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    ISize parentSize() const override;
    // The title bar's rectangle in the frame's coordinates.
    IRectangle nativeRect() const override;
    IWindow* owner() const override;
    // True when the frame has a caption.
    IBase::Boolean isValid() const override;
    // The frame's handle; message 61 when the frame has no caption.
    IWindowHandle handle() const override;
    IColor borderColor() const override;
    IColor activeColor() const override;
    IColor inactiveColor() const override;
    ITextControl& setText(const char* text) override;
    ITextControl& setText(const IResourceId& text) override;
    IString text() const override;
    unsigned long textLength() const override;

    // The virtual operations keep the order that code built against the library relies on.
    // The text up to the first " - ".
    virtual IString objectText() const;
    // The text after " - " without the view number; empty without " - ". Any other ':' (a
    // path's "C:\") is part of the view text.
    virtual IString viewText() const;
    // Each recomposes the title and tells the observers when its part changes.
    virtual ITitle& setObjectText(const char* objectText);
    virtual ITitle& setObjectText(const IResourceId& objectText);
    virtual ITitle& setViewText(const char* viewText);
    virtual ITitle& setViewText(const IResourceId& viewText);
    virtual ITitle& setViewNumber(unsigned long viewNumber);
    // The object text, then " - " and the view text when there is one, then ":" and the view
    // number when it is not 0; an empty object text gives an empty title.
    virtual ITitle& setTitleText(const char* objectText, const char* viewText = nullptr,
                                 unsigned long viewNumber = 0);
    virtual ITitle& setTitleText(const IResourceId& objectText, const IResourceId& viewText,
                                 unsigned long viewNumber = 0);
    virtual IColor titleColor1() const;
    virtual IColor titleColor2() const;
    virtual IColor titleColor3() const;
    virtual IColor titleColor4() const;
    // The caption's colours are the system's: these change nothing.
    virtual ITitle& setTitleColor1(const IColor& color);
    virtual ITitle& setTitleColor2(const IColor& color);
    virtual ITitle& setTitleColor3(const IColor& color);
    virtual ITitle& setTitleColor4(const IColor& color);
    virtual ITitle& resetTitleColor1();
    virtual ITitle& resetTitleColor2();
    virtual ITitle& resetTitleColor3();
    virtual ITitle& resetTitleColor4();

    // The digits after a ':' that ends the text after " - "; 0 when the text has none.
    unsigned long viewNumber() const;

private:
    IFrameWindow* fFrame;
    unsigned long fReserved = 0;
};
