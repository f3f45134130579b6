// The graphic push button: its picture child, placed in the button and moved with the press.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>

#include <iapp.hpp>
#include <ihandler.hpp>
#include <iiconctl.hpp>

#include "igraphbt.hpp"

namespace {

const char kFile[] = "igraphbt";
constexpr unsigned long kSizeToGraphic = 0x800;

IWindow* checkedParent(IWindow* parent, const char* condition, const char* signature)
{
    if (!parent)
        IThrow::argument(condition, IEXCEPTION_LOCATION(kFile, signature));
    return parent;
}

IWindow::Style asWindowStyle(const IGraphicPushButton::Style& style)
{
    return IWindow::Style(style.asUnsignedLong(), style.asExtendedUnsignedLong());
}

// Half of a length, rounded to the nearest integer.
long half(long length)
{
    return (length + 1) / 2;
}

} // namespace

// Places the picture whenever the button's size changes.
class IGraphicButtonResizeHandler : public IHandler {
public:
    explicit IGraphicButtonResizeHandler(IGraphicPushButton& button) : fButton(button) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == WM_SIZE && event.handle() == fButton.handle())
            fButton.placeGraphic();
        return false;
    }

private:
    IGraphicPushButton& fButton;
};

// Enables the picture with the button, and moves it one pixel down and right while the button
// looks pressed, as the native face's content moves.
class IGraphicButtonStateHandler : public IHandler {
public:
    explicit IGraphicButtonStateHandler(IGraphicPushButton& button) : fButton(button) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.handle() != fButton.handle() || !fButton.fGraphic)
            return false;
        if (event.eventId() == WM_ENABLE) {
            fButton.fGraphic->enable(event.parameter1().asUnsignedLong() != 0);
            return false;
        }
        if (event.eventId() != BM_SETSTATE)
            return false;
        fButton.dispatchRemainingHandlers(event, true);
        const bool pressed = fButton.isHighlighted() != 0;
        if (pressed != fButton.fPressedLook) {
            fButton.fPressedLook = pressed;
            const long step = pressed ? 1 : -1;
            fButton.fGraphic->moveTo(fButton.fGraphic->position() + IPoint(step, step));
            fButton.fGraphic->refresh();
        }
        return true;
    }

private:
    IGraphicPushButton& fButton;
};

const IGraphicPushButton::Style IGraphicPushButton::sizeToGraphicStyle(0, kSizeToGraphic);
const IGraphicPushButton::Style IGraphicPushButton::classDefaultStyle(WS_VISIBLE, 0);

// Construction ------------------------------------------------------------------------------------

#define GRAPHIC_CONSTRUCTOR(pictureType, signature, icon, bitmap)                               \
    IGraphicPushButton::IGraphicPushButton(unsigned long id, IWindow* parent, IWindow* owner,   \
                                           pictureType picture, const IRectangle& rect,         \
                                           const Style& style)                                  \
        : IPushButton(id,                                                                       \
                      checkedParent(parent, "parent!=0",                                        \
                                    "IGraphicPushButton::IGraphicPushButton(" signature ")"),   \
                      owner, rect, asWindowStyle(style))                                        \
    {                                                                                           \
        setUp(icon, bitmap, style.asExtendedUnsignedLong());                                    \
    }

GRAPHIC_CONSTRUCTOR(const IResourceId&,
                    "unsigned long,IWindow*,IWindow*,const IResourceId&,const IRectangle&,const "
                    "IGraphicPushButton::Style&",
                    IPointerHandle(), picture.resourceLibrary().loadBitmap(picture.id()))
GRAPHIC_CONSTRUCTOR(unsigned long,
                    "unsigned long,IWindow*,IWindow*,unsigned long,const IRectangle&,const "
                    "IGraphicPushButton::Style&",
                    IPointerHandle(),
                    IApplication::current().userResourceLibrary().loadBitmap(picture))
GRAPHIC_CONSTRUCTOR(const IBitmapHandle&,
                    "unsigned long,IWindow*,IWindow*,const IBitmapHandle&,const IRectangle&,const "
                    "IGraphicPushButton::Style&",
                    IPointerHandle(), picture)
GRAPHIC_CONSTRUCTOR(const IPointerHandle&,
                    "unsigned long,IWindow*,IWindow*,const IPointerHandle&,const IRectangle&,const "
                    "IGraphicPushButton::Style&",
                    picture, IBitmapHandle())

#undef GRAPHIC_CONSTRUCTOR

IGraphicPushButton::IGraphicPushButton(const IWindowHandle& handle) : IPushButton(handle)
{
    wrapImage("IGraphicPushButton::IGraphicPushButton(const IWindowHandle&)");
}

IGraphicPushButton::IGraphicPushButton(unsigned long id, IWindow* dialogParent)
    : IPushButton(id, checkedParent(dialogParent, "pdlgwndParent!=0",
                                    "IGraphicPushButton::IGraphicPushButton(unsigned long,IWindow*)"))
{
    wrapImage("IGraphicPushButton::IGraphicPushButton(unsigned long,IWindow*)");
}

IGraphicPushButton::~IGraphicPushButton()
{
    delete fStateHandler;
    delete fResizeHandler;
    delete fGraphic;
}

// The image a wrapped button shows becomes the picture, at its own size.
void IGraphicPushButton::wrapImage(const char* function)
{
    const bool icon = (style() & BS_ICON) != 0;
    const LRESULT image = handle().sendEvent(BM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0)
                              .asLong();
    if (!image)
        IThrow::systemError("BM_GETIMAGE", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    fGraphicAtOwnSize = true;
    fWrapped = true;
    if (icon)
        setUp(IPointerHandle(reinterpret_cast<IPointerHandle::Value>(image)), IBitmapHandle(), 0);
    else
        setUp(IPointerHandle(), IBitmapHandle(reinterpret_cast<IBitmapHandle::Value>(image)), 0);
}

void IGraphicPushButton::setUp(const IPointerHandle& icon, const IBitmapHandle& bitmap,
                               unsigned long classWord)
{
    fGraphic = new IIconControl(id(), this, this, icon, IRectangle(), IIconControl::classDefault);
    if (bitmap.isValid())
        fGraphic->setBitmap(bitmap);
    setExtendedStyle(extendedStyle() | classWord);
    if (classWord & kSizeToGraphic)
        fGraphicAtOwnSize = true;
    fResizeHandler = new IGraphicButtonResizeHandler(*this);
    fStateHandler = new IGraphicButtonStateHandler(*this);
    fResizeHandler->handleEventsFor(this);
    fStateHandler->handleEventsFor(this);
    if (fGraphicAtOwnSize)
        fGraphic->sizeTo(fGraphic->minimumSize());
    placeGraphic();
}

IGraphicPushButton::Style IGraphicPushButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IGraphicPushButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

// The picture is a child of the button: the button's own painting must leave it alone.
unsigned long IGraphicPushButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long converted = IPushButton::convertToGUIStyle(style, extended);
    if (extended)
        return converted | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return converted | WS_CLIPCHILDREN;
}

ISize IGraphicPushButton::calcMinimumSize() const
{
    const ISize picture = fGraphic ? fGraphic->minimumSize() : ISize();
    return ISize(picture.width() + 2 * fMargin.width(), picture.height() + 2 * fMargin.height());
}

// Placing -----------------------------------------------------------------------------------------

void IGraphicPushButton::placeGraphic()
{
    if (!fGraphic)
        return;
    const ISize button = size();
    if (!fGraphicAtOwnSize) {
        const long width = button.width() - 2 * fMargin.width();
        const long height = button.height() - 2 * fMargin.height();
        fGraphic->moveSizeTo(IRectangle(IPoint(fMargin.width(), fMargin.height()),
                                        ISize(width > 0 ? width : 0, height > 0 ? height : 0)));
    } else {
        const ISize own = fGraphic->size();
        fGraphic->moveTo(IPoint(half(button.width()) - half(own.width()),
                                half(button.height()) - half(own.height())));
    }
    if (fPressedLook)
        fGraphic->moveTo(fGraphic->position() + IPoint(1, 1));
}

IGraphicPushButton& IGraphicPushButton::setGraphic(unsigned long bitmapId)
{
    return setGraphic(IApplication::current().userResourceLibrary().loadBitmap(bitmapId));
}

IGraphicPushButton& IGraphicPushButton::setGraphic(const IBitmapHandle& bitmap)
{
    fGraphic->setBitmap(bitmap);
    pictureChanged();
    return *this;
}

IGraphicPushButton& IGraphicPushButton::setIcon(const IPointerHandle& icon)
{
    fGraphic->setIcon(icon);
    fIconMode = true;
    pictureChanged();
    return *this;
}

IGraphicPushButton& IGraphicPushButton::setBitmap(const IBitmapHandle& bitmap)
{
    fGraphic->setBitmap(bitmap);
    fIconMode = false;
    pictureChanged();
    return *this;
}

// A new picture may have another size: one at its own size takes it, and the button's minimum
// size changes with it.
void IGraphicPushButton::pictureChanged()
{
    if (fGraphicAtOwnSize)
        fGraphic->sizeTo(fGraphic->minimumSize());
    placeGraphic();
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
}

IGraphicPushButton& IGraphicPushButton::enableGraphicSizing(IBase::Boolean enable)
{
    if (enable && !fGraphicAtOwnSize) {
        fGraphicAtOwnSize = true;
        fGraphic->sizeTo(fGraphic->minimumSize());
        placeGraphic();
    } else if (!enable && fGraphicAtOwnSize) {
        fGraphicAtOwnSize = false;
        // A size change places the picture again.
        const ISize current = size();
        sizeTo(ISize(current.width() - 1, current.height() - 1));
        sizeTo(current);
    }
    IWindow::refresh();
    return *this;
}

IGraphicPushButton& IGraphicPushButton::disableGraphicSizing()
{
    return enableGraphicSizing(false);
}
