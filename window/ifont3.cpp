// Fonts: the operations that take a device context through its wrapper.
#include <ihandle.hpp>

#include "ifont.hpp"

IFont::IFont(const char* faceName, unsigned long pointSize, IBase::Boolean fixed,
             IBase::Boolean vector, const IPresSpaceHandle& context)
    : fData(createNamed(faceName, pointSize, fixed, vector, context))
{
}

IFont::IFont(const IPresSpaceHandle& context) : fData(createFromContext(context)) {}

IFont& IFont::setPointSize(unsigned long points, const IPresSpaceHandle& context)
{
    return sizeToPoints(points, context);
}

IFont& IFont::setCharWidth(unsigned long width, const IPresSpaceHandle& context)
{
    return charWidthOn(width, context);
}

IFont& IFont::setCharHeight(unsigned long height, const IPresSpaceHandle& context)
{
    return charHeightOn(height, context);
}

IFont& IFont::setCharSize(const ISize& size, const IPresSpaceHandle& context)
{
    return charSizeOn(size, context);
}

IFont& IFont::setFontAngle(const IPoint& angle, const IPresSpaceHandle& context)
{
    return turn(angle, false, context);
}

IFont& IFont::setFontShear(const IPoint& shear, const IPresSpaceHandle& context)
{
    return turn(shear, true, context);
}

IFont& IFont::beginUsingFont(const IPresSpaceHandle& context)
{
    return beginUsing(context);
}

IFont& IFont::endUsingFont(const IPresSpaceHandle& context)
{
    return endUsing(context);
}

long IFont::charHeightFromPoints(unsigned long points, const IPresSpaceHandle& context)
{
    return heightFromPoints(points, context);
}

unsigned long IFont::pointsFromHeight(long height, long internalLeading,
                                      const IPresSpaceHandle& context)
{
    return pointsFromCharHeight(height, internalLeading, context);
}
