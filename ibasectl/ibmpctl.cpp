// The bitmap control.
#include <windows.h>

#include <algorithm>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iapp.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "ibcphdr.hpp"
#include "ibmpctl.hpp"

namespace {

IBitmapControlPaintHandler& bitmapPainter()
{
    return ovk_app::sharedHandler<IBitmapControlPaintHandler>();
}

constexpr const char* kFile = "ibmpctl";

} // namespace

const IBitmapControl::Style IBitmapControl::_sizeToBitmap(0, 0x1);
const IBitmapControl::Style IBitmapControl::classDefault(WS_VISIBLE, 0);

IBitmapControl::Style IBitmapControl::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IBitmapControl::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

IWindow* IBitmapControl::checkedParent(IWindow* parent, const char* file, const char* function,
                                       unsigned long line)
{
    if (!parent)
        IThrow::argument("pwndParent!=0", IExceptionLocation(file, function, line));
    return parent;
}

IBitmapControl::IBitmapControl(Construction, unsigned long id, IWindow* parent, IWindow* owner,
                               const IRectangle& rect)
    : IStaticText(id, parent, owner, rect, IStaticText::Style(0, 0))
{
}

IBitmapControl::IBitmapControl(Construction, const IWindowHandle& handle) : IStaticText(handle)
{
    disableFillBackground();
}

// The creating constructors differ only in the picture's type; the parent is checked before
// any window exists.
#define BITMAP_CONSTRUCTOR(pictureType, signature, line)                                        \
    IBitmapControl::IBitmapControl(unsigned long id, IWindow* parent, IWindow* owner,           \
                                   pictureType bitmap, const IRectangle& rect,                  \
                                   const Style& style)                                          \
        : IBitmapControl(Construction::bare, id,                                                \
                         checkedParent(parent, kFile,                                           \
                                       "IBitmapControl::IBitmapControl(" signature ")", line),  \
                         owner, rect)                                                           \
    {                                                                                           \
        finishConstruction(style);                                                              \
        setBitmap(bitmap);                                                                      \
        showIfVisible(style);                                                                   \
    }

BITMAP_CONSTRUCTOR(ISystemBitmapHandle::Identifier,
                   "unsigned long,IWindow*,IWindow*,ISystemBitmapHandle::Identifier,const "
                   "IRectangle&,const IBitmapControl::Style&",
                   187)
BITMAP_CONSTRUCTOR(const IResourceId&,
                   "unsigned long,IWindow*,IWindow*,const IResourceId&,const IRectangle&,const "
                   "IBitmapControl::Style&",
                   115)
BITMAP_CONSTRUCTOR(unsigned long,
                   "unsigned long,IWindow*,IWindow*,unsigned long,const IRectangle&,const "
                   "IBitmapControl::Style&",
                   163)
BITMAP_CONSTRUCTOR(const IBitmapHandle&,
                   "unsigned long,IWindow*,IWindow*,const IBitmapHandle&,const IRectangle&,const "
                   "IBitmapControl::Style&",
                   139)

#undef BITMAP_CONSTRUCTOR

void IBitmapControl::showIfVisible(const IBitFlag& style)
{
    if (style.asUnsignedLong() & WS_VISIBLE) {
        show();
        refresh();
    }
}

IBitmapControl::IBitmapControl(const IWindowHandle& handle)
    : IBitmapControl(Construction::bare, handle)
{
    // The native static answers for its picture only while it has the picture style.
    const HBITMAP current =
        (style() & 0x1F) == SS_BITMAP
            ? reinterpret_cast<HBITMAP>(SendMessageA(handle, STM_GETIMAGE, IMAGE_BITMAP, 0))
            : nullptr;
    takeNativeType();
    bitmapPainter().handleEventsFor(this);
    if (current)
        setBitmap(IBitmapHandle(current));
}

IBitmapControl::IBitmapControl(unsigned long id, IWindow* parent)
    : IBitmapControl(handleWithParent(id, checkedParent(parent, kFile,
                                                        "IBitmapControl::IBitmapControl(unsigned "
                                                        "long,IWindow*)",
                                                        0)
                                              ->handle()))
{
}

void IBitmapControl::finishConstruction(const Style& style)
{
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    bitmapPainter().handleEventsFor(this);
    fSizeToBitmap = (style.asExtendedUnsignedLong() & 0x1) ? 1 : 0;
    setStyle(convertToGUIStyle(style, false));
}

IBitmapControl::~IBitmapControl()
{
    try {
        if (isValid())
            bitmapPainter().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window's handler list is gone already: nothing is left to detach.
    }
}

void IBitmapControl::takeNativeType()
{
    setStyle(style() & ~0x1FUL);
}

unsigned long IBitmapControl::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IStaticText::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return base | WS_CHILD;
}

IWindow& IBitmapControl::setLayoutDistorted(unsigned long layoutAttributeOn,
                                            unsigned long layoutAttributeOff)
{
    return ITextControl::setLayoutDistorted(layoutAttributeOn, layoutAttributeOff);
}

ISize IBitmapControl::bitmapSize(const IBitmapHandle& bitmap)
{
    BITMAP info{};
    if (!bitmap.isValid() || GetObjectA(bitmap.asValue(), sizeof info, &info) != sizeof info)
        return ISize(0, 0);
    return ISize(info.bmWidth, info.bmHeight);
}

ISize IBitmapControl::calcMinimumSize() const
{
    const ISize text = IStaticText::calcMinimumSize();
    const ISize picture = bitmapSize(fBitmap);
    return ISize(std::max(text.width(), picture.width()), std::max(text.height(), picture.height()));
}

IBitmapControl& IBitmapControl::setBitmap(unsigned long id)
{
    return setBitmap(IResourceId(id, IApplication::current().userResourceLibrary()));
}

IBitmapControl& IBitmapControl::setBitmap(const IResourceId& id)
{
    return setBitmap(id.resourceLibrary().loadBitmap(id.id()));
}

IBitmapControl& IBitmapControl::setBitmap(ISystemBitmapHandle::Identifier id)
{
    return setBitmap(static_cast<const IBitmapHandle&>(ISystemBitmapHandle(id)));
}

IBitmapControl& IBitmapControl::setBitmap(const IBitmapHandle& bitmap)
{
    fBitmap = bitmap;
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    if (fSizeToBitmap)
        sizeTo(calcMinimumSize());
    refresh();
    return *this;
}
