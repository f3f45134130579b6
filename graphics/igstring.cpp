// IGString.
#include "igstring.hpp"

#include <ifont.hpp>
#include <ireslib.hpp>

#include "igrafctx.hpp"

IGString::IGString(const IString& text, const IPoint& position, const IFont& font)
    : fText(text), fPosition(position), fFont(std::make_unique<IFont>(font))
{
}

IGString::IGString(const IString& text, const IPoint& position)
    : fText(text), fPosition(position)
{
}

IGString::IGString(const IGString& other)
    : IGraphic(other), fText(other.fText), fPosition(other.fPosition),
      fFont(other.fFont ? std::make_unique<IFont>(*other.fFont) : nullptr)
{
}

IGString& IGString::operator=(const IGString& other)
{
    if (this != &other) {
        IGraphic::operator=(other);
        fText = other.fText;
        fPosition = other.fPosition;
        fFont = other.fFont ? std::make_unique<IFont>(*other.fFont) : nullptr;
    }
    return *this;
}

IGString::~IGString() = default;

IGString& IGString::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGString& IGString::setText(const char* text)
{
    fText = IString(text);
    return *this;
}

IGString& IGString::setText(const IResourceId& text)
{
    return setText(text.resourceLibrary().loadString(text.id()));
}

IString IGString::text() const { return fText; }

IGString& IGString::setFont(const IFont& font)
{
    fFont = std::make_unique<IFont>(font);
    return *this;
}

IFont IGString::font() const
{
    return fFont ? IFont(*fFont) : IFont(static_cast<const IWindow*>(nullptr));
}

IBase::Boolean IGString::hasFont() const { return fFont != nullptr; }

IGString& IGString::resetFont()
{
    fFont.reset();
    return *this;
}

IGString& IGString::setPosition(const IPoint& position)
{
    fPosition = position;
    return *this;
}

IPoint IGString::position() const { return fPosition; }

IGString& IGString::setClippingRect(const IRectangle& rectangle)
{
    fClippingRect = std::make_unique<IRectangle>(rectangle);
    return *this;
}

IRectangle IGString::clippingRect() const
{
    return fClippingRect ? *fClippingRect : IRectangle(0, 0, 0, 0);
}

IGString& IGString::resetClippingRect()
{
    fClippingRect.reset();
    return *this;
}

IBase::Boolean IGString::hasClippingRect() const { return fClippingRect != nullptr; }

IBase::Boolean IGString::operator==(const IGString& other) const
{
    return hasFont() == other.hasFont() && fText == other.fText &&
           fPosition == other.fPosition && IGraphic::operator==(other);
}
