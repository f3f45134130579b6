// Helpers that every codec shares: option lookup, extensions and the buffered byte reader.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <climits>
#include <cstdlib>
#include <new>

namespace imgfmt {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Calls found(token, length) for each token of the options until it answers true; the token
// that ended the walk, or null.
template <class Match>
const char* scanTokens(const char* options, Match found)
{
    if (!options)
        return nullptr;
    const char* p = options;
    while (*p) {
        while (*p && isSeparator(*p))
            ++p;
        if (!*p)
            break;
        const char* start = p;
        while (*p && !isSeparator(*p))
            ++p;
        if (found(start, static_cast<size_t>(p - start)))
            return start;
    }
    return nullptr;
}

bool equalNoCase(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

}  // namespace

const char* findOption(const char* options, const char* name)
{
    if (!name)
        return nullptr;
    const size_t length = std::strlen(name);
    return scanTokens(options, [&](const char* token, size_t tokenLength) {
        return tokenLength >= length && equalNoCase(token, name, length);
    });
}

const char* hasOption(const char* options, const char* name)
{
    if (!name)
        return nullptr;
    const size_t length = std::strlen(name);
    return scanTokens(options, [&](const char* token, size_t tokenLength) {
        return tokenLength == length && equalNoCase(token, name, length);
    });
}

bool optionNumber(const char* options, const char* name, long* value)
{
    const char* found = findOption(options, name);
    if (!found)
        return false;
    const char* p = found + std::strlen(name);
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    // Saturates instead of overflowing on a hostile number of digits.
    long long number = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (number <= LONG_MAX)
            number = number * 10 + (*p - '0');
    if (number > LONG_MAX)
        number = LONG_MAX;
    *value = negative ? -static_cast<long>(number) : static_cast<long>(number);
    return true;
}

const char* fileExtension(const char* path)
{
    if (!path)
        return nullptr;
    const char* dot = std::strrchr(path, '.');
    if (!dot)
        return nullptr;
    // Only the first separator of the whole path counts: "x/dir.old\photo" keeps the
    // extension "old\photo", which no format lists.
    const char* separator = std::strpbrk(path, "/\\");
    if (separator && separator > dot)
        return nullptr;
    return dot + 1;
}

int greyOfPalette(const char* options, const unsigned char* palette, unsigned char* grey)
{
    static const char* const names[] = {"r", "g", "b", "k"};
    int chosen = 3;
    int given = 0;
    for (int i = 0; i < 4; ++i)
        if (hasOption(options, names[i])) {
            chosen = i;
            ++given;
        }
    if (given > 1)
        return ModCodecBadOption;
    for (int i = 0; i < 256; ++i) {
        const unsigned char* entry = palette + 3 * i;
        grey[i] = chosen < 3 ? entry[chosen]
                             : static_cast<unsigned char>(
                                   (77 * entry[0] + 151 * entry[1] + 28 * entry[2]) >> 8);
    }
    return 0;
}

ByteReader* byteReaderOpen(int fd)
{
    // The buffer is left as it is: fill says how much of it holds bytes.
    auto* reader = new (std::nothrow) ByteReader;
    if (!reader)
        return nullptr;
    reader->fd = fd;
    return reader;
}

void byteReaderClose(ByteReader* reader) { delete reader; }

int byteReaderRefill(ByteReader* reader)
{
    const int got = fileRead(reader->fd, reader->buffer, static_cast<int>(sizeof reader->buffer));
    if (got <= 0) {
        reader->pos = reader->fill = 0;
        return -1;
    }
    reader->fill = got;
    reader->pos = 1;
    return reader->buffer[0];
}

int byteReaderRead(ByteReader* reader, unsigned char* target, int count)
{
    int done = 0;
    while (done < count) {
        if (reader->pos >= reader->fill) {
            const int first = byteReaderRefill(reader);
            if (first < 0)
                break;
            reader->pos = 0;
        }
        int take = reader->fill - reader->pos;
        if (take > count - done)
            take = count - done;
        std::memcpy(target + done, reader->buffer + reader->pos, static_cast<size_t>(take));
        reader->pos += take;
        done += take;
    }
    return done;
}

#if !defined(_WIN32)
// Without a display the bitmap array entries are chosen for the common 1024 x 768 screen; the
// Windows build asks the system (igbmodel.cpp).
void screenSize(int* width, int* height)
{
    *width = 1024;
    *height = 768;
}
#endif

}  // namespace imgfmt
