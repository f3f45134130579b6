// IGraphicBundle.
#include "igbundle.hpp"

#include "igrafctx.hpp"

const long IGraphicBundle::diagonalCross = -1;
const long IGraphicBundle::cross = -2;
const long IGraphicBundle::solidPattern = -3;
const long IGraphicBundle::hollow = -4;
const long IGraphicBundle::backwardDiagonal = -5;
const long IGraphicBundle::forwardDiagonal = -6;
const long IGraphicBundle::horizontal = -7;
const long IGraphicBundle::vertical = -8;
const long IGraphicBundle::bitmapPattern1 = -17;
const long IGraphicBundle::bitmapPattern2 = -16;
const long IGraphicBundle::bitmapPattern3 = -15;
const long IGraphicBundle::bitmapPattern4 = -14;
const long IGraphicBundle::bitmapPattern5 = -13;
const long IGraphicBundle::bitmapPattern6 = -12;
const long IGraphicBundle::bitmapPattern7 = -11;
const long IGraphicBundle::bitmapPattern8 = -10;
const long IGraphicBundle::bitmapPattern9 = -9;
const long IGraphicBundle::bitmapPattern10 = -19;
const long IGraphicBundle::bitmapPattern11 = -18;

IGraphicBundle::IGraphicBundle()
    : fPenColor(IGraphicContext::defaultPenColor()),
      fFillColor(IGraphicContext::defaultFillColor()),
      fBackgroundColor(IGraphicContext::defaultBackgroundColor()),
      fDrawOperation(IGraphicContext::defaultDrawOperation()),
      fMixMode(IGraphicContext::defaultMixMode()),
      fBackgroundMixMode(IGraphicContext::defaultBackgroundMixMode()),
      fPenPattern(IGraphicContext::defaultPenPattern()),
      fFillPattern(IGraphicContext::defaultFillPattern()),
      fPenType(IGraphicContext::defaultPenType()),
      fPenEnding(IGraphicContext::defaultPenEnding()),
      fPenJoining(IGraphicContext::defaultPenJoining()),
      fPenWidth(IGraphicContext::defaultPenWidth()),
      fPatternOrigin(IGraphicContext::defaultPatternOrigin())
{
}

IGraphicBundle::IGraphicBundle(const IGraphicContext& context)
    : fPenColor(context.penColor()), fFillColor(context.fillColor()),
      fBackgroundColor(context.backgroundColor()), fDrawOperation(context.drawOperation()),
      fMixMode(context.mixMode()), fBackgroundMixMode(context.backgroundMixMode()),
      fPenPattern(context.penPattern()), fFillPattern(context.fillPattern()),
      fPenType(context.penType()), fPenEnding(context.penEnding()),
      fPenJoining(context.penJoining()), fPenWidth(context.penWidth()),
      fPatternOrigin(context.patternOrigin()), fSetAttributes(allAttributes)
{
}

IGraphicBundle::~IGraphicBundle() = default;

IBase::Boolean IGraphicBundle::operator==(const IGraphicBundle& other) const
{
    return fPenColor == other.fPenColor && fFillColor == other.fFillColor &&
           fBackgroundColor == other.fBackgroundColor && fDrawOperation == other.fDrawOperation &&
           fMixMode == other.fMixMode && fBackgroundMixMode == other.fBackgroundMixMode &&
           fPenPattern == other.fPenPattern && fFillPattern == other.fFillPattern &&
           fPenType == other.fPenType && fPenEnding == other.fPenEnding &&
           fPenJoining == other.fPenJoining && fPenWidth == other.fPenWidth &&
           fPatternOrigin == other.fPatternOrigin && fSetAttributes == other.fSetAttributes;
}

#define OVK_BUNDLE_SETTER(name, type, field, bit)                                                  \
    IGraphicBundle& IGraphicBundle::name(type value)                                               \
    {                                                                                              \
        field = value;                                                                             \
        fSetAttributes |= bit;                                                                     \
        return *this;                                                                              \
    }
OVK_BUNDLE_SETTER(setPenColor, const IColor&, fPenColor, penColorAttribute)
OVK_BUNDLE_SETTER(setFillColor, const IColor&, fFillColor, fillColorAttribute)
OVK_BUNDLE_SETTER(setBackgroundColor, const IColor&, fBackgroundColor, backgroundColorAttribute)
OVK_BUNDLE_SETTER(setDrawOperation, DrawOperation, fDrawOperation, drawOperationAttribute)
OVK_BUNDLE_SETTER(setMixMode, MixMode, fMixMode, mixModeAttribute)
OVK_BUNDLE_SETTER(setBackgroundMixMode, BackgroundMixMode, fBackgroundMixMode,
                  backgroundMixModeAttribute)
OVK_BUNDLE_SETTER(setPenPattern, long, fPenPattern, penPatternAttribute)
OVK_BUNDLE_SETTER(setFillPattern, long, fFillPattern, fillPatternAttribute)
OVK_BUNDLE_SETTER(setPenType, PenType, fPenType, penTypeAttribute)
OVK_BUNDLE_SETTER(setPenEnding, PenEnding, fPenEnding, penEndingAttribute)
OVK_BUNDLE_SETTER(setPenJoining, PenJoining, fPenJoining, penJoiningAttribute)
OVK_BUNDLE_SETTER(setPenWidth, unsigned long, fPenWidth, penWidthAttribute)
OVK_BUNDLE_SETTER(setPatternOrigin, const IPoint&, fPatternOrigin, patternOriginAttribute)
#undef OVK_BUNDLE_SETTER
