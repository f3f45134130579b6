// The bitmap graphic: images read through the format table and drawn into a 32-bit DIB match
// their model pixel for pixel, with stretching, transparency, the model operations, files,
// hit testing and resource bitmaps.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <detail/iscoped.hpp>
#include <iapp.hpp>
#include <icoordsy.hpp>
#include <iexcept.hpp>
#include <igbitmap.hpp>
#include <iimgfmt.hpp>
#include <imodel.hpp>
#include <ireslib.hpp>

#include "drawing.hpp"
#include "ovktest.hpp"

namespace {

using graphicstest::DrawingTest;
using graphicstest::kWhite;

// A model that owns its data.
struct Model {
    MOD mod;
    Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
    ~Model() { ModFreeData(&mod); }
};

// A model whose every pixel differs from its neighbours, with a palette of distinct colours.
void makeModel(Model& model, int width, int height, int bpp)
{
    unsigned char palette[768] = {};
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = static_cast<unsigned char>(255 - i);
        palette[3 * i + 1] = static_cast<unsigned char>((i * 37) & 0xFF);
        palette[3 * i + 2] = static_cast<unsigned char>((i * 91 + 13) & 0xFF);
    }
    ASSERT_EQ(ModCreate(width, height, bpp, palette, &model.mod), 0);
    const int rowBytes = ModRowBytes(width, bpp);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = model.mod.data + (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const int value = x * 7 + y * 3;
            switch (bpp) {
            case 24:
                row[3 * x] = static_cast<unsigned char>(x * 20);
                row[3 * x + 1] = static_cast<unsigned char>(y * 30);
                row[3 * x + 2] = static_cast<unsigned char>(200 - x * y);
                break;
            case 8: row[x] = static_cast<unsigned char>(value); break;
            case 4:
                row[x / 2] |= static_cast<unsigned char>((value & 15) << (x % 2 ? 0 : 4));
                break;
            default:
                if ((x + y) % 3 == 0)
                    row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
    }
}

// The colour of a model pixel, (0, 0) at the top left: at every depth below 24 the pixel's bits
// are its palette index.
COLORREF modelPixel(const MOD& model, int x, int y)
{
    const unsigned char* row =
        model.data + (model.height - 1 - y) * ModRowBytes(model.width, model.bpp);
    int index = 0;
    switch (model.bpp) {
    case 24: return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case 8: index = row[x]; break;
    case 4: index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15; break;
    default: index = (row[x / 8] >> (7 - x % 8)) & 1;
    }
    return RGB(model.palette[3 * index], model.palette[3 * index + 1],
               model.palette[3 * index + 2]);
}

// A file written for the test and removed after it, named for this process: the test
// programs of other builds may run at the same time.
class TempFile : public ovktest::TempFile {
public:
    explicit TempFile(const char* name)
        : ovktest::TempFile("ovk_bitmap_" + std::to_string(GetCurrentProcessId()) + "_" + name)
    {
    }
};

class GraphicsBitmap : public DrawingTest {
protected:
    // Counts the pixels of the surface at (left, top) that differ from the expected colours.
    int mismatches(int left, int top, int width, int height,
                   const std::function<COLORREF(int, int)>& expected)
    {
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (fSurface.pixel(left + x, top + y) != expected(x, y)) {
                    if (wrong == 0)
                        ADD_FAILURE() << "first difference at (" << x << "," << y << "): "
                                      << std::hex << fSurface.pixel(left + x, top + y)
                                      << " instead of " << expected(x, y);
                    ++wrong;
                }
        return wrong;
    }
    // Fills the surface with one colour, so that kept pixels can be told from drawn ones.
    void fill(COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, 100, 100};
        FillRect(fSurface.dc(), &all, brush);
        DeleteObject(brush);
    }
};

struct FileCase {
    const char* name;
    int bpp;
    int row;
};

class GraphicsBitmapFile : public GraphicsBitmap,
                           public ::testing::WithParamInterface<FileCase> {};

TEST_P(GraphicsBitmapFile, ReadAndDrawnMatchesTheModelPixelForPixel)
{
    const FileCase& c = GetParam();
    Model model;
    makeModel(model, 13, 9, c.bpp);
    TempFile file(c.name);
    ASSERT_EQ(ModWriteToFile(&model.mod, c.row, file.path(), ""), 0);

    // The model the bitmap holds is the one the format table reads.
    Model read;
    int row = ModFormatGuess;
    ASSERT_EQ(ModReadFromFile(file.path(), &row, "", &read.mod), 0);

    IGBitmap bitmap{IString(file.path())};
    EXPECT_EQ(bitmap.size(), ISize(13, 9));
    EXPECT_EQ(bitmap.imageFormat(), c.row == ModFormatGIF ? IGBitmap::gifFormat
                                                          : IGBitmap::bitmapFormat);
    bitmap.moveTo(IPoint(10, 20));
    fContext->draw(bitmap);
    EXPECT_EQ(mismatches(10, 20, 13, 9,
                         [&](int x, int y) { return modelPixel(read.mod, x, y); }),
              0);
    // Nothing beyond the bitmap's rectangle.
    EXPECT_EQ(fSurface.count(kWhite), 100 * 100 - 13 * 9 + (c.bpp == 1 ? 39 : 0));
    if (c.bpp == 1) {
        // The two colours of the image travel as the bitmap's pen colour (for its 0 bits) and
        // background colour (for its 1 bits). The writer's table is black, white, and the
        // model's set pixels, of its lighter colour, come back white.
        EXPECT_EQ(bitmap.graphicBundle().penColor().asRGBLong(), RGB(0, 0, 0));
        EXPECT_EQ(bitmap.graphicBundle().backgroundColor().asRGBLong(), kWhite);
        EXPECT_EQ(fSurface.pixel(10, 20), kWhite);
        EXPECT_EQ(fSurface.pixel(11, 20), RGB(0, 0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, GraphicsBitmapFile,
                         ::testing::Values(FileCase{"24.bmp", 24, ModFormatBitmap},
                                           FileCase{"8.bmp", 8, ModFormatBitmap},
                                           FileCase{"4.bmp", 4, ModFormatBitmap},
                                           FileCase{"1.bmp", 1, ModFormatBitmap},
                                           FileCase{"8.gif", 8, ModFormatGIF}),
                         [](const ::testing::TestParamInfo<FileCase>& info) {
                             std::string name = info.param.name;
                             name[name.find('.')] = '_';
                             return "D" + name;
                         });

// A bitmap made from a 24-bit model, drawn from the model's own pixels.
class GraphicsBitmapModel : public GraphicsBitmap {
protected:
    void SetUp() override
    {
        GraphicsBitmap::SetUp();
        makeModel(fModel, 12, 8, 24);
        ASSERT_EQ(ModWriteToFile(&fModel.mod, ModFormatBitmap, fFile.path(), ""), 0);
        fBitmap = std::make_unique<IGBitmap>(IString(fFile.path()));
    }
    void TearDown() override
    {
        fBitmap.reset();
        GraphicsBitmap::TearDown();
    }
    COLORREF at(int x, int y) const { return modelPixel(fModel.mod, x, y); }

    Model fModel;
    TempFile fFile{"model.bmp"};
    std::unique_ptr<IGBitmap> fBitmap;
};

TEST_F(GraphicsBitmapModel, StretchesFromTheSourceToTheDestinationRectangle)
{
    // The right half of the image, doubled in both directions.
    fBitmap->drawWithPoints(*fContext, IPoint(5, 5), IPoint(17, 21), IPoint(6, 0), IPoint(12, 8));
    EXPECT_EQ(mismatches(5, 5, 12, 16, [&](int x, int y) { return at(6 + x / 2, y / 2); }), 0);
    EXPECT_EQ(fSurface.count(kWhite), 100 * 100 - 12 * 16);
}

TEST_F(GraphicsBitmapModel, TransparentColourKeepsTheBackgroundAlsoWhenStretched)
{
    const COLORREF transparent = at(3, 2);
    const COLORREF background = RGB(1, 2, 3);
    fBitmap->setTransparentColor(
        IColor(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent)));
    auto expected = [&](int x, int y) {
        return at(x, y) == transparent ? background : at(x, y);
    };
    fill(background);
    fBitmap->moveTo(IPoint(4, 4));
    fContext->draw(*fBitmap);
    EXPECT_EQ(mismatches(4, 4, 12, 8, expected), 0);
    EXPECT_EQ(fSurface.pixel(4 + 3, 4 + 2), background);

    // Stretched, then again after a view-option change has discarded the mask.
    for (int round = 0; round < 2; ++round) {
        fill(background);
        fBitmap->drawWithPoints(*fContext, IPoint(0, 0), IPoint(36, 24), IPoint(0, 0),
                                IPoint(12, 8));
        EXPECT_EQ(mismatches(0, 0, 36, 24, [&](int x, int y) { return expected(x / 3, y / 3); }),
                  0)
            << "round " << round;
        fBitmap->setViewOption(IGBitmap::halftone);
    }

    fBitmap->resetTransparentColor();
    EXPECT_FALSE(fBitmap->hasTransparentColor());
    EXPECT_EQ(fBitmap->transparentColor().asRGBLong(), IColor().asRGBLong());
    fill(background);
    fContext->draw(*fBitmap);
    EXPECT_EQ(mismatches(4, 4, 12, 8, [&](int x, int y) { return at(x, y); }), 0);
}

TEST_F(GraphicsBitmapModel, ReflectionsRotationsAndResizingDrawTheModelsResult)
{
    struct Case {
        const char* name;
        std::function<void(IGBitmap&)> apply;
        int (*operation)(const MOD*, MOD*);
    };
    const Case cases[] = {
        {"reflectHorizontally", [](IGBitmap& b) { b.reflectHorizontally(); },
         &ModReflectHorizontal},
        {"reflectVertically", [](IGBitmap& b) { b.reflectVertically(); }, &ModReflectVertical},
        {"transpose", [](IGBitmap& b) { b.transpose(); }, &ModTranspose},
        {"rotateBy90", [](IGBitmap& b) { b.rotateBy90(); }, &ModRotate90},
        {"rotateBy180", [](IGBitmap& b) { b.rotateBy180(); }, &ModRotate180},
        {"rotateBy270", [](IGBitmap& b) { b.rotateBy270(); }, &ModRotate270},
        {"sizeTo", [](IGBitmap& b) { b.sizeTo(ISize(24, 4)); },
         [](const MOD* m, MOD* out) { return ModResize(m, 24, 4, out); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IGBitmap bitmap{IString(fFile.path())};
        const IBitmapHandle before = bitmap.handle();
        c.apply(bitmap);
        EXPECT_NE(bitmap.handle(), before);
        Model expected;
        ASSERT_EQ(c.operation(&fModel.mod, &expected.mod), 0);
        EXPECT_EQ(bitmap.size(), ISize(expected.mod.width, expected.mod.height));
        fSurface.clear();
        fContext->draw(bitmap);
        EXPECT_EQ(mismatches(0, 0, expected.mod.width, expected.mod.height,
                             [&](int x, int y) { return modelPixel(expected.mod, x, y); }),
                  0);
    }
}

TEST_F(GraphicsBitmapModel, WithYUpwardTheBitmapStaysUprightAtItsLowerLeftCorner)
{
    const ovktest::CoordinateSystem upward(ICoordinateSystem::kOriginLowerLeft);
    fContext->setConversionHeight(100);
    fBitmap->moveTo(IPoint(10, 5));
    fContext->draw(*fBitmap);
    EXPECT_EQ(mismatches(10, 100 - 5 - 8, 12, 8, [&](int x, int y) { return at(x, y); }), 0);

    // The lower half of the image (y upward), doubled into the lower left corner.
    fSurface.clear();
    fBitmap->drawWithPoints(*fContext, IPoint(0, 0), IPoint(24, 8), IPoint(0, 0), IPoint(12, 4));
    EXPECT_EQ(mismatches(0, 92, 24, 8, [&](int x, int y) { return at(x / 2, 4 + y / 2); }), 0);
    EXPECT_EQ(fSurface.count(kWhite), 100 * 100 - 24 * 8);
}

TEST_F(GraphicsBitmapModel, UnchangedSizeOrViewOptionMakesNoNewBitmap)
{
    const IBitmapHandle before = fBitmap->handle();
    fBitmap->sizeTo(ISize(12, 8));
    fBitmap->setViewOption(IGBitmap::asIs);
    EXPECT_EQ(fBitmap->handle(), before);
    fBitmap->setViewOption(IGBitmap::errorDiffusion);
    EXPECT_EQ(fBitmap->viewOption(), IGBitmap::errorDiffusion);
    EXPECT_NE(fBitmap->handle(), before);
    // The earlier copy of the handle keeps the old bitmap alive.
    BITMAP object{};
    EXPECT_NE(GetObjectA(before.asValue(), sizeof object, &object), 0);
}

TEST_F(GraphicsBitmapModel, HitTestingReportsHitsInsideTheDestinationOnly)
{
    fBitmap->moveTo(IPoint(30, 40));
    fContext->setDrawOperation(IGraphicBundle::frame);
    const struct {
        IPoint point;
        bool hit;
    } cases[] = {{IPoint(36, 44), true}, {IPoint(31, 41), true}, {IPoint(70, 70), false},
                 {IPoint(5, 5), false}};
    for (const auto& c : cases) {
        fBitmap->setHit(false);
        fContext->startHitTest();
        fContext->setHitPoint(c.point);
        fContext->draw(*fBitmap);
        fContext->endHitTest();
        EXPECT_EQ(fBitmap->isHit() != 0, c.hit) << c.point.asString();
    }
    EXPECT_EQ(fSurface.count(kWhite), 100 * 100);
    const IRectangle bounds = fBitmap->boundingRect(*fContext);
    EXPECT_TRUE(bounds.contains(IRectangle(30, 40, 42, 48))) << bounds.asString();
}

TEST_F(GraphicsBitmapModel, WritesThroughTheFormatTable)
{
    // A bitmap read from a file writes its kept model; one copied from the screen makes one.
    fContext->draw(*fBitmap);
    IGBitmap copied(*fContext, IRectangle(0, 0, 12, 8));
    for (IGBitmap* bitmap : {fBitmap.get(), &copied}) {
        TempFile out("out.bmp");
        // An unknown image format writes a Bitmap file.
        bitmap->writeToFile(IString(out.path()), static_cast<IGBitmap::ImageFormat>(9));
        Model read;
        int row = ModFormatGuess;
        ASSERT_EQ(ModReadFromFile(out.path(), &row, "", &read.mod), 0);
        EXPECT_EQ(row, ModFormatBitmap);
        ASSERT_EQ(read.mod.width, 12);
        ASSERT_EQ(read.mod.height, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(modelPixel(read.mod, x, y), at(x, y)) << x << "," << y;
    }
}

TEST_F(GraphicsBitmapModel, CodecAndFileErrorsThrowTheirMessageNumbers)
{
    // GIF holds no 24-bit images.
    TempFile gif("deep.gif");
    const int code = ModWriteToFile(&fModel.mod, ModFormatGIF, gif.path(), "");
    ASSERT_NE(code, 0);
    try {
        fBitmap->writeToFile(IString(gif.path()), IGBitmap::gifFormat);
        ADD_FAILURE() << "no exception";
    } catch (const IInvalidRequest& error) {
        EXPECT_EQ(error.errorId(), static_cast<IException::ErrorId>(ModErrorMessage(code)));
        EXPECT_STREQ(error.locationAtIndex(0)->fileName(), "igbitmap");
    }
    try {
        const TempFile absent("missing.bmp");
        IGBitmap missing{IString(absent.path())};
        ADD_FAILURE() << "no exception";
    } catch (const IInvalidRequest& error) {
        EXPECT_EQ(error.errorId(),
                  static_cast<IException::ErrorId>(ModErrorMessage(ModErrOpenRead)));
    }
}

TEST_F(GraphicsBitmap, CopiesOfContextsAndBitmapsKeepTheirPixels)
{
    Model model;
    makeModel(model, 10, 6, 24);
    TempFile file("part.bmp");
    ASSERT_EQ(ModWriteToFile(&model.mod, ModFormatBitmap, file.path(), ""), 0);
    IGBitmap whole{IString(file.path())};
    IGBitmap part(whole, IRectangle(2, 1, 8, 5));
    EXPECT_EQ(part.size(), ISize(6, 4));
    // The copy is counted in the bitmap table, so it is deleted with its last holder.
    EXPECT_TRUE(IResourceLibrary::findBitmapEntry(part.handle().asValue()));
    fContext->draw(part);
    EXPECT_EQ(mismatches(0, 0, 6, 4,
                         [&](int x, int y) { return modelPixel(model.mod, x + 2, y + 1); }),
              0);

    IGBitmap copied(*fContext, IRectangle(1, 1, 5, 3));
    copied.moveTo(IPoint(50, 50));
    fContext->draw(copied);
    EXPECT_EQ(mismatches(50, 50, 4, 2,
                         [&](int x, int y) { return modelPixel(model.mod, x + 3, y + 2); }),
              0);
}

TEST(GraphicsBitmapResource, ResourceBitmapsAreSharedAndKeepTheirFormat)
{
    IResourceLibrary& library = IApplication::current().ovkuiResourceLibrary();
    const unsigned long libraryBitmap = 0x7111;
    IGBitmap first(IResourceId(libraryBitmap, library));
    IGBitmap second(IResourceId(libraryBitmap, library), true);
    EXPECT_EQ(first.handle(), second.handle());
    EXPECT_GT(first.size().width(), 0);

    // The resource libraries load through the bitmap graphic: a monochrome pattern stays
    // monochrome (fills colour it), and a size scales it.
    IBitmapHandle pattern = library.tryToLoadBitmap(28981, ISize(16, 16));
    BITMAP object{};
    ASSERT_NE(GetObjectA(pattern.asValue(), sizeof object, &object), 0);
    EXPECT_EQ(object.bmBitsPixel, 1);
    EXPECT_EQ(object.bmWidth, 16);

    EXPECT_EQ(IGBitmap::tryToLoadBitmap(12345, library.handle(), ISize()), nullptr);
    try {
        IGBitmap::loadBitmap(12345, library.handle(), ISize());
        ADD_FAILURE() << "no exception";
    } catch (const ISystemError& error) {
        EXPECT_STREQ(error.text(0), "LoadBitmapId: 12345 ");
    }
    EXPECT_THROW(IGBitmap(IResourceId(12345, library)), ISystemError);
}

// A bitmap graphic made from a handle the application made never deletes it, nor does any
// copy of its handle(): the application deletes it, after the graphic, as the header says.
TEST(GraphicsBitmapHandle, AHandleTheApplicationMadeStaysTheApplications)
{
    for (int round = 0; round < 2; ++round) {
        ovk_native::Bitmap owned(CreateBitmap(40, 30, 1, 1, nullptr));
        const HBITMAP made = owned.get();
        ASSERT_NE(made, nullptr);
        {
            IGBitmap bitmap{IBitmapHandle(made)};
            const IBitmapHandle copy = bitmap.handle();
            EXPECT_EQ(copy.asValue(), made);
            bitmap.rotateBy180();  // a new bitmap of its own replaces the shared one
            EXPECT_NE(bitmap.handle().asValue(), made);
        }
        BITMAP object{};
        EXPECT_NE(GetObjectA(made, sizeof object, &object), 0) << "the graphic deleted it";
        EXPECT_EQ(object.bmWidth, 40);
        EXPECT_EQ(GetObjectType(made), static_cast<DWORD>(OBJ_BITMAP)) << "the graphic deleted it";
    }
}

} // namespace
