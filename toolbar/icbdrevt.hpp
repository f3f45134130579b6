// ICustomButtonDrawEvent: one drawing of a custom button's face, on the device context of the
// draw-item record or into a memory context.
#pragma once

#include <memory>

#include <irect.hpp>

#include <icmdevt.hpp>
#include <idefs.hpp>
#include <igrafctx.hpp>

class ICustomButton;
struct tagDRAWITEMSTRUCT;

// The second parameter is the WM_DRAWITEM record; its item state tells pressed and disabled.
// The face rectangle starts as the whole button and becomes the inside of the border once the
// border is drawn.
class OVKWIN_API ICustomButtonDrawEvent : public IControlEvent {
public:
    // Draws on the record's device context; the face is (0, 0) to the button's size.
    ICustomButtonDrawEvent(const IEvent& event);
    // Draws into a new memory context of the size; the face is (0, 0) to the size.
    ICustomButtonDrawEvent(const IEvent& event, const ISize& size);
    ~ICustomButtonDrawEvent() override;

    virtual ICustomButton* customButton() const;
    virtual ICustomButtonDrawEvent& setFaceRectangle(const IRectangle& face);
    IRectangle faceRectangle() const { return fFace; }
    IGraphicContext& graphicContext() const { return *fContext; }

    IBase::Boolean isEnabled() const;
    IBase::Boolean isPressed() const;
    // Not pressed, and latched.
    IBase::Boolean isLatchedUp() const;
    // Neither pressed nor latched.
    IBase::Boolean isUp() const;
    // Pressed or latched.
    IBase::Boolean isDown() const;

private:
    unsigned int itemState() const;

    IRectangle fFace;
    std::unique_ptr<IGraphicContext> fContext;
};
