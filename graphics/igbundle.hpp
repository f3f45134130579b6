// IGraphicBundle: the thirteen drawing attributes of a graphic context, each with a bit that
// says whether the bundle sets it.
#pragma once

#include <ipoint.hpp>

#include <icolor.hpp>
#include <idefs.hpp>

class IGraphicContext;

class OVKWIN_API IGraphicBundle {
public:
    enum DrawOperation : unsigned char { fill = 0, frame = 1, fillAndFrame = 2 };
    enum MixMode : unsigned char {
        mergePen, copyPen, xorPen, noOperation, maskPen, maskNotPen, mergePenNot, black,
        notMergePen, notXorPen, invert, maskPenNot, notCopyPen, mergeNotPen, notMaskPen, white
    };
    // The values 2 and 3 are accepted and act as transparent.
    enum BackgroundMixMode : unsigned char { transparent = 0, opaque = 1 };
    enum PenType : unsigned char {
        solid, dot, dash, dashDot, doubleDot, longDash, dashDoubleDot, alternate, invisible
    };
    enum PenEnding : unsigned char { flat = 0, square = 1, rounded = 2 };
    enum PenJoining : unsigned char { bevel = 0, round = 1, miter = 2 };

    // The bit of each attribute in setAttributes(); all thirteen make 0x1FFF.
    enum Attribute : unsigned long {
        penColorAttribute = 0x0001,
        fillColorAttribute = 0x0002,
        backgroundColorAttribute = 0x0004,
        mixModeAttribute = 0x0008,
        backgroundMixModeAttribute = 0x0010,
        penWidthAttribute = 0x0020,
        penTypeAttribute = 0x0040,
        penEndingAttribute = 0x0080,
        penJoiningAttribute = 0x0100,
        penPatternAttribute = 0x0200,
        fillPatternAttribute = 0x0400,
        patternOriginAttribute = 0x0800,
        drawOperationAttribute = 0x1000,
        allAttributes = 0x1FFF
    };

    // Pattern ids of pens and fills. Any other fill pattern is taken as a native bitmap
    // handle and filled with as a pattern.
    static const long diagonalCross, cross, solidPattern, hollow, backwardDiagonal,
        forwardDiagonal, horizontal, vertical, bitmapPattern1, bitmapPattern2, bitmapPattern3,
        bitmapPattern4, bitmapPattern5, bitmapPattern6, bitmapPattern7, bitmapPattern8,
        bitmapPattern9, bitmapPattern10, bitmapPattern11;

    // The library-wide defaults, none of them set: applying this bundle changes nothing.
    IGraphicBundle();
    // Every attribute of the context, all set.
    explicit IGraphicBundle(const IGraphicContext& context);
    IGraphicBundle(const IGraphicBundle& other) = default;
    IGraphicBundle& operator=(const IGraphicBundle& other) = default;
    ~IGraphicBundle();

    // Colours compare as IColor does (by their red, green and blue now).
    IBase::Boolean operator==(const IGraphicBundle& other) const;
    IBase::Boolean operator!=(const IGraphicBundle& other) const { return !(*this == other); }

    // Each setter stores the value and sets the attribute's bit.
    IGraphicBundle& setPenColor(const IColor& color);
    IGraphicBundle& setFillColor(const IColor& color);
    IGraphicBundle& setBackgroundColor(const IColor& color);
    IGraphicBundle& setDrawOperation(DrawOperation operation);
    IGraphicBundle& setMixMode(MixMode mode);
    IGraphicBundle& setBackgroundMixMode(BackgroundMixMode mode);
    IGraphicBundle& setPenPattern(long pattern);
    IGraphicBundle& setFillPattern(long pattern);
    IGraphicBundle& setPenType(PenType type);
    IGraphicBundle& setPenEnding(PenEnding ending);
    IGraphicBundle& setPenJoining(PenJoining joining);
    IGraphicBundle& setPenWidth(unsigned long width);
    IGraphicBundle& setPatternOrigin(const IPoint& origin);

    IColor penColor() const { return fPenColor; }
    IColor fillColor() const { return fFillColor; }
    IColor backgroundColor() const { return fBackgroundColor; }
    DrawOperation drawOperation() const { return fDrawOperation; }
    MixMode mixMode() const { return fMixMode; }
    BackgroundMixMode backgroundMixMode() const { return fBackgroundMixMode; }
    long penPattern() const { return fPenPattern; }
    long fillPattern() const { return fFillPattern; }
    PenType penType() const { return fPenType; }
    PenEnding penEnding() const { return fPenEnding; }
    PenJoining penJoining() const { return fPenJoining; }
    unsigned long penWidth() const { return fPenWidth; }
    IPoint patternOrigin() const { return fPatternOrigin; }

    unsigned long setAttributes() const { return fSetAttributes; }
    IBase::Boolean hasAttribute(Attribute attribute) const
    {
        return (fSetAttributes & attribute) != 0;
    }

private:
    IColor fPenColor;
    IColor fFillColor;
    IColor fBackgroundColor;
    DrawOperation fDrawOperation;
    MixMode fMixMode;
    BackgroundMixMode fBackgroundMixMode;
    long fPenPattern;
    long fFillPattern;
    PenType fPenType;
    PenEnding fPenEnding;
    PenJoining fPenJoining;
    unsigned long fPenWidth;
    IPoint fPatternOrigin;
    unsigned long fSetAttributes = 0;
};
