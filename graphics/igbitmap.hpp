// IGBitmap: a raster image as a graphic. It holds a device bitmap (counted in the resource
// library's bitmap table), optionally its palette and a mask of a transparent colour, and, while
// needed, the bitmap model through which it is read from and written to image files, scaled,
// reflected and rotated. Unlike the other graphics it draws itself with block transfers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <ipoint.hpp>
#include <irect.hpp>
#include <istring.hpp>

#include <ibmphdl.hpp>
#include <icolor.hpp>
#include <idefs.hpp>
#include <imodule.hpp>
#include <iptrhdl.hpp>

#include "igraphic.hpp"

struct MOD;
struct HPALETTE__;
class IResourceId;

class OVKWIN_API IGBitmap : public IGraphic {
public:
    // The file formats a bitmap is written in; any other value writes a Bitmap-format file. A
    // 24-bit image written as ILBM becomes HAM6, which loses colour (four bits a component).
    enum ImageFormat : unsigned char {
        bitmapFormat = 0,
        gifFormat = 1,
        pcxFormat = 2,
        tiffFormat = 3,
        targaFormat = 4,
        ilbmFormat = 5,
        xbitmapFormat = 6,
        spriteFormat = 7
    };
    // How a model is turned into a device bitmap for displays of fewer colours.
    enum ViewOption : unsigned char { asIs = 0, errorDiffusion = 1, halftone = 2 };

    // The native raster operation of a plain copy.
    static constexpr long copyRop = 0x00CC0020;

    // Construction.
    // Shares an existing bitmap. A handle the library's bitmap table does not hold (one the
    // application made or took from the clipboard) stays the application's: no bitmap graphic
    // ever deletes it, so the application deletes it (DeleteObject) once the graphic and every
    // copy of handle() are done with it, or its memory stays taken (48 MB for a 4000 x 3000
    // image). A handle from another bitmap graphic's handle() is counted and shared.
    explicit IGBitmap(const IBitmapHandle& bitmap);
    // Reads an image file, the format guessed from the file name's extension. A two-colour
    // image becomes a monochrome bitmap that is black where the image has the darker of its
    // colours and white where it has the lighter, whatever the file's order, so that a holder of
    // handle() alone (the clipboard, a drag image, a control) sees the image, not its negative;
    // the graphic's own bundle (pen colour for the darker, background colour for the lighter)
    // draws it in its own two colours.
    explicit IGBitmap(const IString& fileName);
    IGBitmap(const IString& fileName, ImageFormat format);
    // A bitmap resource, shared with every other holder of the same resource. With a palette,
    // the resource's colour table becomes the bitmap's palette.
    explicit IGBitmap(const IResourceId& id, IBase::Boolean withPalette = false);
    // A bitmap resource of the application's user resource library.
    explicit IGBitmap(unsigned long id, IBase::Boolean withPalette = false);
    // A copy of a rectangle of what the context shows.
    IGBitmap(const IGraphicContext& context, const IRectangle& rectangle);
    // A part of another bitmap, copied with the raster operation into a bitmap of its size.
    IGBitmap(const IGBitmap& source, const IRectangle& rectangle, long rop = copyRop);
    // A palette and a mask are owned by one bitmap graphic: a copy would delete them twice.
    IGBitmap(const IGBitmap&) = delete;
    IGBitmap& operator=(const IGBitmap&) = delete;
    ~IGBitmap() override;

    IGBitmap& drawOn(IGraphicContext& context) override;

    // Drawing: the whole bitmap at its position, or from the source rectangle (p3, p4) to the
    // destination rectangle (p1, p2), both given by two opposite corners.
    virtual IGBitmap& draw(IGraphicContext& context, long rop = copyRop);
    virtual IGBitmap& drawWithPoints(IGraphicContext& context, const IPoint& p1,
                                     const IPoint& p2, const IPoint& p3, const IPoint& p4,
                                     long rop = copyRop);

    // Files.
    virtual IGBitmap& writeToFile(const IString& fileName, ImageFormat format = bitmapFormat);
    // The format of the file the bitmap was read from (Bitmap when it came from elsewhere).
    virtual ImageFormat imageFormat() const;

    // Geometry. Each change of size, reflection and rotation makes a new device bitmap.
    virtual IGBitmap& moveTo(const IPoint& position);
    virtual IGBitmap& sizeTo(const ISize& size);
    virtual ISize size() const;
    virtual IPoint position() const;
    virtual IGBitmap& reflectHorizontally();
    virtual IGBitmap& reflectVertically();
    virtual IGBitmap& transpose();
    virtual IGBitmap& rotateBy90();
    virtual IGBitmap& rotateBy180();
    virtual IGBitmap& rotateBy270();

    virtual IGBitmap& setViewOption(ViewOption option);
    virtual ViewOption viewOption() const;

    // Transparency: pixels of the colour are not drawn.
    virtual IGBitmap& setTransparentColor(const IColor& color);
    virtual IGBitmap& resetTransparentColor();
    // A default colour when there is none.
    virtual IColor transparentColor() const;
    virtual IBase::Boolean hasTransparentColor() const;

    virtual IBitmapHandle handle() const;
    virtual IPointerHandle pointerHandle() const;

    // The palette the bitmap is drawn with (null when none). The bitmap graphic owns it and
    // deletes it; the setter hands the previous one to the caller.
    HPALETTE__* paletteHandle() const { return fPalette; }
    HPALETTE__* setPaletteHandle(HPALETTE__* palette);

    // Bitmap resources as copies of the given size (their own size when 0 by 0). tryToLoad
    // answers null for a missing resource; load throws instead.
    static IBitmapHandle::Value tryToLoadBitmap(unsigned long id, const IModuleHandle& module,
                                                const ISize& size);
    static IBitmapHandle::Value loadBitmap(unsigned long id, const IModuleHandle& module,
                                           const ISize& size);
    // A new bitmap compatible with the context, of the size (the bitmap's own when 0 by 0), with
    // the bitmap's pixels stretched into it. The caller owns it.
    static IBitmapHandle::Value copyBitmap(IGraphicContext& context,
                                           IBitmapHandle::Value bitmap, const ISize& size);
    // A copy in no table entry, for owners such as the clipboard that delete it themselves.
    static IBitmapHandle copyHandle(const IBitmapHandle& bitmap);

private:
    // Frees a model's data and the record.
    struct ModelDeleter {
        void operator()(MOD* model) const noexcept;
    };
    using Model = std::unique_ptr<MOD, ModelDeleter>;
    // A transfer from a source to a destination rectangle, corners as given (a negative extent
    // mirrors).
    struct Transfer {
        long destination[4];
        long source[4];
    };

    IGBitmap();
    void loadFromFile(const IString& fileName, int formatRow);
    void loadResource(unsigned long id, const IModuleHandle& module, const IString& libraryName,
                      IBase::Boolean withPalette);
    // The kept model, or a new one made from the bitmap (then also in made).
    MOD& model(Model& made, const char* function);
    // Replaces the bitmap by the operation's result on the model.
    IGBitmap& modReflect(const std::function<int(const MOD*, MOD*)>& operation,
                         const char* function);
    // Enters a new bitmap in the bitmap table and holds it in place of the current one.
    void adopt(HBITMAP__* bitmap);
    void replacePalette(HPALETTE__* palette) noexcept;
    void discardMask() noexcept;
    void createMask();
    void drawTransfer(IGraphicContext& context, long rop, Transfer transfer);
    void blit(IGraphicContext& context, long rop, const Transfer& transfer);
    bool conversionApplies(const IGraphicContext& context) const;

    IBitmapHandle fBitmap;
    HBITMAP__* fMask = nullptr;
    IPoint fPosition;
    std::unique_ptr<IColor> fTransparentColor;
    std::uint32_t fMaskOutOfDate = 1;
    ViewOption fViewOption = asIs;
    ImageFormat fImageFormat = bitmapFormat;
    Model fModel;
    HPALETTE__* fPalette = nullptr;
};
