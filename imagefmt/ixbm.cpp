// The XBitmap codec: 1-bpp pictures stored as C source text, two #define lines for the size and
// an initialised array of bytes or 16-bit words whose bits hold pixels least significant first.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <cstdio>

namespace imgfmt {

namespace {

enum : int {
    XbmIdentifierExpected = 1300,
    XbmTypeMissing = 1301,
    XbmBadType = 1302,
    XbmOpenBracketExpected = 1303,
    XbmCloseBracketExpected = 1304,
    XbmEqualsExpected = 1305,
    XbmOpenBraceExpected = 1306,
    XbmCloseBraceExpected = 1307,
    XbmSeparatorExpected = 1308,
    XbmNumberExpected = 1309,
    XbmSemicolonExpected = 1310
};

constexpr int kWordChars = 100;
constexpr int kNameChars = 100;

enum class Token {
    End,
    Define,
    Identifier,
    Number,
    Static,
    Char,
    Short,
    OpenBracket,
    CloseBracket,
    OpenBrace,
    CloseBrace,
    Comma,
    Semicolon,
    Equals,
    Other
};

// The tokenizer, kept in the model's work area from read header to read data so that the data
// is read on from where the header ended.
struct Tokenizer {
    int fd;
    int pos;
    int fill;
    int pushed;  // a character given back, or -1
    int64_t number;
    int unitBits;  // 8 for a char array, 16 for a short array
    char word[kWordChars + 1];
    unsigned char buffer[1024];
};

int nextChar(Tokenizer& t)
{
    if (t.pushed >= 0) {
        const int c = t.pushed;
        t.pushed = -1;
        return c;
    }
    if (t.pos >= t.fill) {
        const int got = fileRead(t.fd, t.buffer, static_cast<int>(sizeof t.buffer));
        if (got <= 0)
            return -1;
        t.fill = got;
        t.pos = 0;
    }
    return t.buffer[t.pos++];
}

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isWordChar(int c) { return isLetter(c) || isDigit(c) || c == '_'; }

int digitValue(int c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Skips white space and comments: the first character after them, -1 at the end of the file
// (also inside a comment that never ends).
int skipSpace(Tokenizer& t)
{
    for (;;) {
        int c = nextChar(t);
        while (isSpace(c))
            c = nextChar(t);
        if (c != '/')
            return c;
        const int d = nextChar(t);
        if (d != '*') {
            t.pushed = d;
            return c;
        }
        int previous = 0;
        for (c = nextChar(t); c >= 0 && !(previous == '*' && c == '/'); c = nextChar(t))
            previous = c;
        if (c < 0)
            return -1;
    }
}

// A number in C notation (decimal, 0 octal, 0x hexadecimal) whose first digit is c. A number
// that runs into letters or digits of the wrong base, or grows past 32 bits, is not a number.
Token readNumber(Tokenizer& t, int c, bool negative)
{
    int base = 10;
    bool digits = true;
    if (c == '0') {
        c = nextChar(t);
        if (c == 'x' || c == 'X') {
            base = 16;
            c = nextChar(t);
            digits = false;
        } else {
            base = 8;
        }
    }
    uint64_t value = 0;
    for (; digitValue(c) < base; c = nextChar(t)) {
        value = value * base + digitValue(c);
        digits = true;
        if (value > 0xFFFFFFFFu)
            return Token::Other;
    }
    if (!digits || isWordChar(c))
        return Token::Other;
    t.pushed = c;
    t.number = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return Token::Number;
}

// A word: its first character and the letters, digits and underscores after it. A word longer
// than the buffer is consumed whole and reads as Other.
Token readWord(Tokenizer& t, int c)
{
    int length = 0;
    bool tooLong = false;
    t.word[length++] = static_cast<char>(c);
    for (c = nextChar(t); isWordChar(c); c = nextChar(t)) {
        if (length < kWordChars)
            t.word[length++] = static_cast<char>(c);
        else
            tooLong = true;
    }
    t.pushed = c;
    t.word[length] = '\0';
    if (tooLong)
        return Token::Other;
    if (std::strcmp(t.word, "#define") == 0)
        return Token::Define;
    if (std::strcmp(t.word, "static") == 0)
        return Token::Static;
    if (std::strcmp(t.word, "char") == 0)
        return Token::Char;
    if (std::strcmp(t.word, "short") == 0)
        return Token::Short;
    // C names may start with '_'; our own writer makes such names from file names that start
    // with a digit, and they must read back.
    if (isLetter(t.word[0]) || t.word[0] == '_')
        return Token::Identifier;
    return Token::Other;
}

Token nextToken(Tokenizer& t)
{
    const int c = skipSpace(t);
    switch (c) {
    case -1: return Token::End;
    case '[': return Token::OpenBracket;
    case ']': return Token::CloseBracket;
    case '{': return Token::OpenBrace;
    case '}': return Token::CloseBrace;
    case ',': return Token::Comma;
    case ';': return Token::Semicolon;
    case '=': return Token::Equals;
    default: break;
    }
    if (isDigit(c))
        return readNumber(t, c, false);
    if (c == '-') {
        const int d = nextChar(t);
        if (isDigit(d))
            return readNumber(t, d, true);
        t.pushed = d;
        return Token::Other;
    }
    if (c == '/')
        return Token::Other;
    return readWord(t, c);
}

// The part of a defined name after its last '_', which says what the number is.
const char* nameSuffix(const char* name)
{
    const char* underscore = std::strrchr(name, '_');
    return underscore ? underscore + 1 : name;
}

int readDefines(Tokenizer& t, Token* token, int64_t* width, int64_t* height)
{
    bool haveWidth = false;
    bool haveHeight = false;
    while ((*token = nextToken(t)) == Token::Define) {
        if (nextToken(t) != Token::Identifier)
            return XbmIdentifierExpected;
        char suffix[kWordChars + 1];
        std::strcpy(suffix, nameSuffix(t.word));
        if (nextToken(t) != Token::Number)
            return XbmNumberExpected;
        if (std::strcmp(suffix, "width") == 0) {
            *width = t.number;
            haveWidth = true;
        } else if (std::strcmp(suffix, "height") == 0) {
            *height = t.number;
            haveHeight = true;
        }
    }
    return haveWidth && haveHeight ? 0 : ModCodecBadSize;
}

int readDeclaration(Tokenizer& t, Token token)
{
    if (token == Token::Static)
        token = nextToken(t);
    if (token == Token::End)
        return XbmTypeMissing;
    if (token == Token::Char)
        t.unitBits = 8;
    else if (token == Token::Short)
        t.unitBits = 16;
    else
        return XbmBadType;
    const struct {
        Token expected;
        int code;
    } steps[] = {{Token::Identifier, XbmIdentifierExpected},
                 {Token::OpenBracket, XbmOpenBracketExpected},
                 {Token::CloseBracket, XbmCloseBracketExpected},
                 {Token::Equals, XbmEqualsExpected},
                 {Token::OpenBrace, XbmOpenBraceExpected}};
    for (const auto& step : steps)
        if (nextToken(t) != step.expected)
            return step.code;
    return 0;
}

unsigned char reverseBits(unsigned value)
{
    value = ((value & 0xF0) >> 4) | ((value & 0x0F) << 4);
    value = ((value & 0xCC) >> 2) | ((value & 0x33) << 2);
    value = ((value & 0xAA) >> 1) | ((value & 0x55) << 1);
    return static_cast<unsigned char>(value);
}

int xbmQuery(ModFormatInfo* info)
{
    info->shortName = "XBitmap";
    info->description = "X Windows Bitmap";
    info->extensions = "XBM";
    info->flags = 0x11;
    return 0;
}

int xbmReadHeader(const char*, int fd, MOD* model, const char*)
{
    if (fileSeek(fd, 0, FileSeekSet) != 0)
        return ModCodecShortRead;
    Tokenizer t{};
    t.fd = fd;
    t.pushed = -1;
    Token token = Token::End;
    int64_t width = 0;
    int64_t height = 0;
    if (const int code = readDefines(t, &token, &width, &height))
        return code;
    if (const int code = readDeclaration(t, token))
        return code;
    if (width < 1 || height < 1 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return ModCodecBadSize;
    if (const int check = ModCheckSize(static_cast<int>(width), static_cast<int>(height), 1))
        return check;
    storeCodecState(model, t);
    model->width = static_cast<int>(width);
    model->height = static_cast<int>(height);
    model->bpp = 1;
    return 0;
}

// Entry 0 white, entry 1 black: a set bit is ink.
int xbmReadPalette(int, MOD*, unsigned char* palette)
{
    std::memset(palette, 255, 3);
    std::memset(palette + 3, 0, 3);
    return 0;
}

int xbmReadData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    Tokenizer t = loadCodecState<Tokenizer>(model);
    t.fd = fd;
    const int rowBytes = ModRowBytes(model->width, 1);
    // The block comes cleared: a list that ends early leaves the rest of the picture clear.
    const int bytes = (model->width + 7) / 8;
    const int units = t.unitBits == 8 ? bytes : (model->width + 15) / 16;
    for (int y = model->height - 1; y >= 0; --y) {
        unsigned char* row = data + int64_t(y) * rowBytes;
        for (int i = 0; i < units; ++i) {
            if (nextToken(t) != Token::Number)
                return XbmNumberExpected;
            const uint64_t value = static_cast<uint64_t>(t.number);
            if (t.unitBits == 8) {
                row[i] = reverseBits(value & 0xFF);
            } else {
                row[2 * i] = reverseBits(value & 0xFF);
                if (2 * i + 1 < bytes)
                    row[2 * i + 1] = reverseBits((value >> 8) & 0xFF);
            }
            const Token separator = nextToken(t);
            if (separator == Token::CloseBrace)
                return nextToken(t) == Token::Semicolon ? 0 : XbmSemicolonExpected;
            if (separator != Token::Comma)
                return XbmSeparatorExpected;
        }
    }
    if (nextToken(t) != Token::CloseBrace)
        return XbmCloseBraceExpected;
    return nextToken(t) == Token::Semicolon ? 0 : XbmSemicolonExpected;
}

// The C name of the picture: the file's own name (not its directories, which say where it was
// written, not what it is) up to its last '.', at most 100 characters, made into an identifier.
void pictureName(const char* path, char* name)
{
    const char* base = path ? path : "";
    for (const char* p = base; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    size_t length = std::strlen(base);
    if (length > size_t(kNameChars))
        length = kNameChars;
    std::memcpy(name, base, length);
    name[length] = '\0';
    if (char* dot = std::strrchr(name, '.'))
        *dot = '\0';
    for (char* p = name; *p; ++p)
        if (!isLetter(*p) && (p == name || !isDigit(*p)))
            *p = '_';
}

// Collects output text and writes it in blocks.
class TextWriter {
public:
    explicit TextWriter(int fd) : fFd(fd) {}
    void put(const char* text, int length)
    {
        if (fFill + length > int(sizeof fBuffer))
            flush();
        std::memcpy(fBuffer + fFill, text, static_cast<size_t>(length));
        fFill += length;
    }
    bool flush()
    {
        if (fFill > 0 && fileWriteFull(fFd, fBuffer, fFill) != fFill)
            fFailed = true;
        fFill = 0;
        return !fFailed;
    }

private:
    int fFd;
    int fFill = 0;
    bool fFailed = false;
    char fBuffer[4096];
};

// The rows from the top, each byte bit-reversed (and inverted when asked) as "0x%02x,", fifteen
// values a line: the column count grows by 5 a value and runs on across rows.
void writeValues(TextWriter& out, const MOD* model, const unsigned char* data, unsigned invert)
{
    const int rowBytes = ModRowBytes(model->width, 1);
    const int bytes = (model->width + 7) / 8;
    // Bits beyond the width stay clear, inverted or not.
    const unsigned lastMask = model->width % 8 ? (0xFF00u >> (model->width % 8)) & 0xFF : 0xFF;
    static const char hex[] = "0123456789abcdef";
    char value[5] = {'0', 'x', 0, 0, ','};
    int column = 0;
    for (int y = model->height - 1; y >= 0; --y) {
        const unsigned char* row = data + int64_t(y) * rowBytes;
        for (int i = 0; i < bytes; ++i) {
            const unsigned bits = reverseBits((row[i] ^ invert) & (i == bytes - 1 ? lastMask : 0xFF));
            value[2] = hex[bits >> 4];
            value[3] = hex[bits & 15];
            out.put(value, 5);
            column += 5;
            if (column > 70) {
                out.put("\r\n", 2);
                column = 0;
            }
        }
    }
    if (column != 0)
        out.put("\r\n", 2);
}

int xbmWrite(const char* path, int fd, const MOD* model, const unsigned char* palette,
             const unsigned char* data, const char*)
{
    if (model->bpp != 1)
        return ModCodecUnsupported;
    char name[kNameChars + 1];
    pictureName(path, name);
    // A set bit is ink in the file: the model's bits are kept when entry 1 is the darker one.
    const unsigned invert = luminance(palette + 3) < luminance(palette) ? 0x00 : 0xFF;
    TextWriter out(fd);
    char line[kNameChars + 64];
    int length = std::snprintf(line, sizeof line, "#define %s_width %d\r\n", name, model->width);
    out.put(line, length);
    length = std::snprintf(line, sizeof line, "#define %s_height %d\r\n", name, model->height);
    out.put(line, length);
    length = std::snprintf(line, sizeof line, "static char %s_bits[] = {\r\n", name);
    out.put(line, length);
    writeValues(out, model, data, invert);
    out.put("};\r\n", 4);
    return out.flush() ? 0 : ModCodecShortWrite;
}

int xbmMessage(int code)
{
    if (code >= XbmIdentifierExpected && code <= XbmSemicolonExpected)
        return static_cast<int>(OVK_MSG_XBM_IDENTIFIER) + (code - XbmIdentifierExpected);
    return 0;
}

}  // namespace

const FormatRow xbitmapRow = {xbmQuery,    xbmReadHeader, xbmReadPalette,
                              xbmReadData, xbmWrite,      xbmMessage};

}  // namespace imgfmt
