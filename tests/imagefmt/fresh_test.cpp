// Readers fill every byte of the model's block themselves (the block is not cleared before a
// read): whatever the block held before, the same file gives the same bytes, row padding and
// the rows after a cut included.
#include "codectest.hpp"
#include "detail/imodelint.hpp"

namespace {

using codectest::Bytes;

struct FreshCase {
    const char* file;
    int format;
    double keep;  // the part of the file that is read, to cut it
    const char* options;
};

class ReadersWriteEveryByte : public ::testing::TestWithParam<FreshCase> {
protected:
    void TearDown() override { imgfmt::setFreshDataByte(-1); }
};

// The code of the read and the model's whole block, read into a block first filled with byte.
int readInto(const Bytes& bytes, const FreshCase& c, int byte, Bytes* block)
{
    imgfmt::setFreshDataByte(byte);
    imgtest::Model model;
    const int code = imgtest::readFromBytes(bytes, c.format, c.options, &model);
    if (code == 0)
        block->assign(model.data, model.data + model.dataSize);
    return code;
}

TEST_P(ReadersWriteEveryByte, WhateverTheBlockHeldBefore)
{
    const FreshCase& c = GetParam();
    Bytes bytes = imgtest::readFile(codectest::dataPath(c.file));
    ASSERT_FALSE(bytes.empty()) << c.file;
    bytes.resize(static_cast<size_t>(double(bytes.size()) * c.keep));
    Bytes zeros, ones;
    const int code = readInto(bytes, c, 0x00, &zeros);
    EXPECT_EQ(readInto(bytes, c, 0xFF, &ones), code);
    EXPECT_EQ(zeros, ones) << c.file << " cut to " << bytes.size() << " bytes";
}

const FreshCase kFreshCases[] = {
    {"gif/colours.gif", ModFormatGIF, 1.0, nullptr},
    {"gif/colours.gif", ModFormatGIF, 0.6, "errok"},
    {"gif/interlaced.gif", ModFormatGIF, 1.0, nullptr},
    {"gif/interlaced.gif", ModFormatGIF, 0.7, "errok"},
    {"gif/mono.gif", ModFormatGIF, 0.8, "errok"},
    {"gif/sixteen.gif", ModFormatGIF, 0.8, "errok"},
    {"tiff/rgb-ii.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/rgb-lzw-mm.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/rgb-lzw-predictor.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/rgb-planar.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/rgb-packbits.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/rgba-lzw.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/grey4.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/bilevel.tif", ModFormatTIFF, 1.0, nullptr},
    {"tiff/palette8.tif", ModFormatTIFF, 1.0, nullptr},
    {"targa/rgb24.tga", ModFormatTarga, 1.0, nullptr},
    {"targa/rgb24-rle.tga", ModFormatTarga, 1.0, nullptr},
    {"targa/rgba32-rle.tga", ModFormatTarga, 1.0, nullptr},
    {"targa/grey.tga", ModFormatTarga, 1.0, nullptr},
    {"pnm/colours.ppm", ModFormatPixmap, 1.0, nullptr},
    {"pnm/diagonal.pgm", ModFormatGreymap, 1.0, nullptr},
    {"pnm/ramp15.pgm", ModFormatGreymap, 1.0, nullptr},
    {"bmp/im-24.bmp", ModFormatBitmap, 1.0, nullptr},
    {"bmp/im-p8-rle.bmp", ModFormatBitmap, 0.7, nullptr},
    {"pcx/planes16.pcx", ModFormatPCX, 1.0, nullptr},
    {"ilbm/ham6.iff", ModFormatILBM, 1.0, nullptr},
    {"xbm/hi.xbm", ModFormatXBitmap, 1.0, nullptr},
    {"zvx/ramp.zvx", ModFormatZVX, 1.0, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Files, ReadersWriteEveryByte, ::testing::ValuesIn(kFreshCases));

}  // namespace
