// The icon control.
#include <windows.h>

#include <algorithm>

#include <iapp.hpp>
#include <iexcept.hpp>

#include <detail/iclasswide.hpp>
#include <detail/iscoped.hpp>

#include "iicphdr.hpp"
#include "iiconctl.hpp"

struct IIconControlData {
    virtual ~IIconControlData() = default;
    // The icon's own images, made by GetIconInfo and deleted by the control.
    ovk_native::Bitmap mask;
    ovk_native::Bitmap color;
    IPointerHandle icon;
    std::int32_t sizeToIcon = 0;
    std::int32_t monochrome = 0;
};

namespace {

constexpr const char* kFile = "iiconctl";

IIconControlPaintHandler& iconPainter()
{
    return ovk_app::sharedHandler<IIconControlPaintHandler>();
}

} // namespace

const IIconControl::Style IIconControl::_sizeToIcon(0, 0x1);
const IIconControl::Style IIconControl::classDefault(WS_VISIBLE, 0);

IIconControl::Style IIconControl::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IIconControl::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

#define ICON_CONSTRUCTOR(pictureType, signature, line)                                          \
    IIconControl::IIconControl(unsigned long id, IWindow* parent, IWindow* owner,               \
                               pictureType icon, const IRectangle& rect, const Style& style)    \
        : IBitmapControl(Construction::bare, id,                                                \
                         checkedParent(parent, kFile, "IIconControl::IIconControl(" signature    \
                                                      ")",                                      \
                                       line),                                                   \
                         owner, rect),                                                          \
          fIconData(new IIconControlData)                                                       \
    {                                                                                           \
        finishConstruction(style);                                                              \
        setIcon(icon);                                                                          \
        showIfVisible(style);                                                                   \
    }

ICON_CONSTRUCTOR(ISystemPointerHandle::Identifier,
                 "unsigned long,IWindow*,IWindow*,ISystemPointerHandle::Identifier,const "
                 "IRectangle&,const IIconControl::Style&",
                 226)
ICON_CONSTRUCTOR(const IPointerHandle&,
                 "unsigned long,IWindow*,IWindow*,const IPointerHandle&,const IRectangle&,const "
                 "IIconControl::Style&",
                 190)
ICON_CONSTRUCTOR(unsigned long,
                 "unsigned long,IWindow*,IWindow*,unsigned long,const IRectangle&,const "
                 "IIconControl::Style&",
                 156)
ICON_CONSTRUCTOR(const IResourceId&,
                 "unsigned long,IWindow*,IWindow*,const IResourceId&,const IRectangle&,const "
                 "IIconControl::Style&",
                 122)

#undef ICON_CONSTRUCTOR

IIconControl::IIconControl(const IWindowHandle& handle)
    : IBitmapControl(Construction::bare, handle), fIconData(new IIconControlData)
{
    // The native static answers for its icon only while it has the icon style.
    const HICON current = (style() & 0x1F) == SS_ICON
                              ? reinterpret_cast<HICON>(SendMessageA(handle, STM_GETICON, 0, 0))
                              : nullptr;
    takeNativeType();
    iconPainter().handleEventsFor(this);
    if (current)
        setIcon(IPointerHandle(current));
}

IIconControl::IIconControl(unsigned long id, IWindow* parent)
    : IIconControl(handleWithParent(
          id, checkedParent(parent, kFile, "IIconControl::IIconControl(unsigned long,IWindow*)", 0)
                  ->handle()))
{
}

void IIconControl::finishConstruction(const Style& style)
{
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    iconPainter().handleEventsFor(this);
    fIconData->sizeToIcon = (style.asExtendedUnsignedLong() & 0x1) ? 1 : 0;
    setStyle(convertToGUIStyle(style, false));
}

IIconControl::~IIconControl()
{
    try {
        if (isValid())
            iconPainter().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window's handler list is gone already: nothing is left to detach.
    }
    releaseIconBitmaps();
    delete fIconData;
}

void IIconControl::releaseIconBitmaps() noexcept
{
    fIconData->color.reset();
    fIconData->mask.reset();
}

unsigned long IIconControl::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IStaticText::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return base | WS_CHILD;
}

IRectangle IIconControl::visibleRectangle() const
{
    return IRectangle(position(), ISize(0, 0));
}

IPointerHandle IIconControl::icon() const
{
    return fIconData->icon;
}

IBase::Boolean IIconControl::isShowingIcon() const
{
    const HBITMAP shown = bitmap().asValue();
    return fIconData->icon.isValid() && shown &&
           (shown == fIconData->mask.get() || shown == fIconData->color.get());
}

IBase::Boolean IIconControl::isMonochrome() const
{
    return fIconData->monochrome != 0;
}

ISize IIconControl::calcMinimumSize() const
{
    if (!isShowingIcon())
        return IBitmapControl::calcMinimumSize();
    const HBITMAP shown = bitmap().asValue();
    BITMAP info{};
    if (GetObjectA(shown, sizeof info, &info) != sizeof info)
        IThrow::systemError("IQUERYBITMAPPARAMETERS", GetLastError(),
                            IExceptionLocation(kFile, "IIconControl::calcMinimumSize() const", 546));
    // The mask of a monochrome icon holds the AND image above the XOR image.
    const long height = fIconData->monochrome ? (info.bmHeight + 1) / 2 : info.bmHeight;
    const ISize text = IStaticText::calcMinimumSize();
    return ISize(std::max<long>(text.width(), info.bmWidth), std::max<long>(text.height(), height));
}

IIconControl& IIconControl::setIcon(unsigned long id)
{
    return setIcon(IResourceId(id, IApplication::current().userResourceLibrary()));
}

IIconControl& IIconControl::setIcon(const IResourceId& id)
{
    return setIcon(id.resourceLibrary().loadIcon(id.id()));
}

IIconControl& IIconControl::setIcon(ISystemPointerHandle::Identifier id)
{
    return setIcon(static_cast<const IPointerHandle&>(ISystemPointerHandle(id)));
}

IIconControl& IIconControl::setIcon(const IPointerHandle& icon)
{
    // The control stops showing the old images before they are deleted.
    const IPointerHandle keep = icon;
    ovk_native::Bitmap oldMask(fIconData->mask.release());
    ovk_native::Bitmap oldColor(fIconData->color.release());
    fIconData->icon = keep;
    ICONINFO info{};
    if (!keep.isValid() || !GetIconInfo(keep.asValue(), &info)) {
        fIconData->monochrome = 0;
        setBitmap(IBitmapHandle());
    } else {
        fIconData->mask.reset(info.hbmMask);
        fIconData->color.reset(info.hbmColor);
        fIconData->monochrome = info.hbmColor ? 0 : 1;
        setBitmap(IBitmapHandle(info.hbmColor ? info.hbmColor : info.hbmMask));
    }
    oldColor.reset();
    oldMask.reset();
    if (fIconData->sizeToIcon)
        sizeTo(calcMinimumSize());
    refresh();
    // An icon drawn without a fill shows the parent through its transparent parts.
    if (!hasFillBackground())
        if (IWindow* above = parent())
            above->refresh(rect());
    return *this;
}
