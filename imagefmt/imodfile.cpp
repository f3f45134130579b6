// Reading and writing a model through the format table.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"
#include "detail/imodelint.hpp"

#include <cstring>

namespace {

// Closes the file on every way out of a read or write.
class FileHolder {
public:
    explicit FileHolder(int fd) : fFd(fd) {}
    ~FileHolder()
    {
        if (fFd >= 0)
            imgfmt::fileClose(fFd);
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    int fd() const { return fFd; }

private:
    int fFd;
};

void clearRecord(MOD* model)
{
    model->width = model->height = model->bpp = 0;
    std::memset(model->work, 0, sizeof model->work);
    std::memset(model->palette, 0, sizeof model->palette);
    model->data = nullptr;
    model->dataSize = 0;
}

}  // namespace

int ModReadFromFile(const char* path, int* format, const char* options, MOD* out)
{
    int index = format ? *format : ModFormatGuess;
    if (index == ModFormatGuess) {
        if (const int code = ModGuessFormat(path, &index))
            return ModCodecError + code;
        if (format)
            *format = index;
    }
    const imgfmt::FormatRow* row = imgfmt::formatRow(index);
    if (!row)
        return ModCodecError + ModCodecNoFormat;

    FileHolder file(imgfmt::fileOpenRead(path));
    if (file.fd() < 0)
        return ModErrOpenRead;
    clearRecord(out);
    if (const int code = row->readHeader(path, file.fd(), out, options))
        return ModCodecError + code;
    // Whatever the header said, nothing is allocated for a size that fails the one check.
    if (const int check = ModCheckSize(out->width, out->height, out->bpp))
        return check == ModCodecNoMemory ? ModErrNoMemory : ModCodecError + check;
    if (const int code = row->readPalette(file.fd(), out, out->palette))
        return ModCodecError + code;
    // Each reader writes every byte of the block, so it is not cleared first.
    if (!imgfmt::allocFreshData(out))
        return ModErrNoMemory;
    if (const int code = row->readData(file.fd(), out, out->data)) {
        ModFreeData(out);
        return ModCodecError + code;
    }
    return ModOk;
}

int ModWriteToFile(const MOD* model, int format, const char* path, const char* options)
{
    int index = format;
    if (index == ModFormatGuess && ModGuessFormat(path, &index) != 0)
        return ModErrDepth;
    const imgfmt::FormatRow* row = imgfmt::formatRow(index);
    if (!row)
        return ModErrDepth;
    if (const int check = imgfmt::checkModel(model))
        return check;
    ModFormatInfo info;
    row->query(&info);
    if (!(info.flags & imgfmt::writeFlagOfDepth(model->bpp)))
        return ModErrDepth;

    const int fd = imgfmt::fileOpenWrite(path);
    if (fd < 0)
        return ModErrOpenWrite;
    const int code = row->write(path, fd, model, model->palette, model->data, options);
    imgfmt::fileClose(fd);
    if (code) {
        // A partly written file would look like a good one to the next reader.
        imgfmt::fileUnlink(path);
        return ModCodecError + code;
    }
    return ModOk;
}
