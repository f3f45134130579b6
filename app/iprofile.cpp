// The registry profile.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include "iprofile.hpp"

// The profile's own registry key and whether it is one of the two predefined profiles.
struct IProfile::KeyRecord {
    IBase::Boolean predefined = false;
    HKEY key = nullptr;
};

// What one key holds: its type and either the bytes (text or binary data) or the number.
struct IProfile::Element {
    int type;
    IString bytes;
    long number;
};

namespace {

const char kFile[] = "iprofile";

// The element types as the registry's "DataType" names them.
enum ElementType { typeNone = 0, typeString = 1, typeBinary = 3, typeInteger = 4 };

// KEY_READ | KEY_WRITE, and KEY_READ.
constexpr REGSAM kReadWriteAccess = 0x2001F;
constexpr REGSAM kReadAccess = 0x20019;

// Binary data is cut into pieces: the value form keeps each piece as one binary value; the
// older platform's registry holds one text per key, so there each piece is a subkey whose text
// is the piece in hexadecimal, twice as long as the piece itself.
constexpr std::size_t kValuePieceSize = 16000;
constexpr std::size_t kSubkeyPieceSize = 3500;

const char kUserProfileName[] = "HKEY_CURRENT_USER\\Software";
const char kSystemProfileName[] = "HKEY_LOCAL_MACHINE\\Software";

// The older platform's registry keeps one unnamed text per key, so there every named value of
// an element is a subkey of its own.
bool subkeyForm() noexcept
{
    return IPlatform::isPlatformVariant() != 0;
}

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

// A value that another program wrote in a shape the profile does not read. It is reported as
// the read call's failure with ERROR_INVALID_DATA, and a second text says what was found.
[[noreturn]] void throwForeignValue(const char* callName, const char* what,
                                    const IExceptionLocation& location)
{
    ISystemError error(callName, ERROR_INVALID_DATA);
    error.appendText(what);
    IThrow::exception(error, location);
}

// An open registry key that is closed when its holder ends.
class RegKey {
public:
    RegKey() noexcept = default;
    explicit RegKey(HKEY key) noexcept : fKey(key) {}
    RegKey(RegKey&& other) noexcept : fKey(std::exchange(other.fKey, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept
    {
        if (this != &other) {
            close();
            fKey = std::exchange(other.fKey, nullptr);
        }
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { close(); }

    HKEY get() const noexcept { return fKey; }
    HKEY release() noexcept { return std::exchange(fKey, nullptr); }
    void close() noexcept
    {
        if (fKey != nullptr) RegCloseKey(std::exchange(fKey, nullptr));
    }

private:
    HKEY fKey = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Names

// Application and key names are free text, but a registry key name must not contain "\" (it
// would make a path), and "*" and "?" are reserved for patterns; so the profile escapes them
// with "/", and on the older platform the blank as well.
IString encodeName(const char* name)
{
    const bool escapeBlank = subkeyForm();
    IString encoded;
    for (const char* p = name; *p != '\0'; ++p) {
        switch (*p) {
        case '/': encoded += "//"; break;
        case '*': encoded += "/1"; break;
        case '?': encoded += "/0"; break;
        case '\\': encoded += "/_"; break;
        case ' ':
            if (escapeBlank) {
                encoded += "/-";
                break;
            }
            encoded += ' ';
            break;
        default: encoded += *p; break;
        }
    }
    return encoded;
}

// Answers false for a name that is not an encoding the profile writes: an unknown escape, a
// trailing "/", or a character that the encoding would have escaped. Accepting the last kind
// would list a name whose encoding leads to a different key, so that the listed key could be
// neither read nor deleted by its name.
bool decodeName(const char* name, std::size_t length, IString& decoded)
{
    const bool subkeys = subkeyForm();
    decoded = IString();
    for (std::size_t i = 0; i < length; ++i) {
        char c = name[i];
        if (c == '*' || c == '?' || c == '\\' || (subkeys && c == ' ')) return false;
        if (c != '/') {
            decoded += c;
            continue;
        }
        if (++i == length) return false;
        switch (name[i]) {
        case '/': decoded += '/'; break;
        case '0': decoded += '?'; break;
        case '1': decoded += '*'; break;
        case '_': decoded += '\\'; break;
        case '-':
            if (!subkeys) return false;
            decoded += ' ';
            break;
        default: return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Opening keys

// Opens a subkey for reading and writing, creating it when it is missing.
RegKey openForWriting(HKEY parent, const IString& encodedName)
{
    static const char function[] = "IRegOpenKey(HKEY,const char*)";
    HKEY key = nullptr;
    if (subkeyForm()) {
        LONG rc = RegCreateKeyA(parent, encodedName, &key);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegCreateKey", rc, at(function, 110));
    } else {
        LONG rc = RegCreateKeyExA(parent, encodedName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  kReadWriteAccess, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegCreateKeyEx", rc, at(function, 120));
    }
    return RegKey(key);
}

// Opens an existing subkey for reading; answers the registry's error code.
LONG openForReading(HKEY parent, const IString& encodedName, RegKey& key)
{
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(parent, encodedName, 0, kReadAccess, &opened);
    key = RegKey(rc == ERROR_SUCCESS ? opened : nullptr);
    return rc;
}

IBase::Boolean isPredefinedName(const char* name)
{
    return std::strcmp(name, kUserProfileName) == 0 || std::strcmp(name, kSystemProfileName) == 0;
}

// The key of a profile: Software under the current user's or the local machine's root for the
// two predefined names, and for any other name one subkey of the local machine's Software.
RegKey openProfileKey(const IString& profileName, IBase::Boolean& predefined)
{
    HKEY root = HKEY_LOCAL_MACHINE;
    predefined = true;
    if (profileName == kUserProfileName)
        root = HKEY_CURRENT_USER;
    else if (profileName != kSystemProfileName)
        predefined = false;
    RegKey software = openForWriting(root, encodeName("Software"));
    if (predefined) return software;
    return openForWriting(software.get(), encodeName(profileName));
}

unsigned long subkeyCount(HKEY key)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return ULONG_MAX;
    return count;
}

// Removes a subkey with everything below it. Removing a key that still has subkeys fails on
// the NT family, and on the older platform every element keeps its data in subkeys.
LONG deleteTree(HKEY parent, const IString& name)
{
    RegKey key;
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(parent, name, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &opened);
    if (rc != ERROR_SUCCESS) return rc;
    key = RegKey(opened);
    // The children are listed first: enumerating by index while removing would skip some.
    std::vector<IString> children;
    for (DWORD index = 0;; ++index) {
        char child[MAX_PATH];
        DWORD length = sizeof child;
        rc = RegEnumKeyExA(key.get(), index, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) return rc;
        children.emplace_back(child, length);
    }
    for (const IString& child : children) {
        rc = deleteTree(key.get(), child);
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
    }
    key.close();
    return RegDeleteKeyA(parent, name);
}

// ---------------------------------------------------------------------------------------------
// Reading values
//
// Every read asks the size first and then reads into a buffer of that size; the bytes taken are
// the ones the second call reports, never more than the buffer. A value that grew between the
// two calls is read again at its new size.

IString bytesUpToNull(const std::vector<char>& buffer, std::size_t length)
{
    length = std::min(length, buffer.size());
    const void* end = std::memchr(buffer.data(), '\0', length);
    if (end != nullptr)
        length = static_cast<std::size_t>(static_cast<const char*>(end) - buffer.data());
    return IString(buffer.data(), length);
}

// A named value of a key (the value form). The type comes back in `type`.
LONG readValue(HKEY key, const char* valueName, DWORD& type, std::vector<char>& bytes,
               std::size_t& length)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = 0;
        LONG rc = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
        if (rc != ERROR_SUCCESS) return rc;
        // One byte more than asked for, so that a text that the system ends with a null for
        // us still fits.
        bytes.assign(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = static_cast<DWORD>(bytes.size());
        rc = RegQueryValueExA(key, valueName, nullptr, &type,
                              reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return rc;
        length = std::min<std::size_t>(got, bytes.size());
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

// The unnamed text of a subkey (the subkey form): the older registry interface has no types
// and counts the terminating null in the length.
LONG readSubkeyText(HKEY key, const char* subkeyName, IString& text)
{
    std::vector<char> bytes;
    for (int attempt = 0; attempt < 8; ++attempt) {
        LONG size = 0;
        LONG rc = RegQueryValueA(key, subkeyName, nullptr, &size);
        if (rc != ERROR_SUCCESS) return rc;
        if (size < 0) return ERROR_INVALID_DATA;
        bytes.assign(static_cast<std::size_t>(size) + 1, '\0');
        LONG got = static_cast<LONG>(bytes.size());
        rc = RegQueryValueA(key, subkeyName, bytes.data(), &got);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return rc;
        text = bytesUpToNull(bytes, got < 0 ? 0 : static_cast<std::size_t>(got));
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

// The element's type, 0 when "DataType" is missing, unreadable or names no type.
int readType(HKEY elementKey)
{
    // "DataType" is read with room for 10 characters: a longer value names no type anyway.
    std::vector<char> buffer(11, '\0');
    std::size_t length = 0;
    if (subkeyForm()) {
        LONG size = 10;
        if (RegQueryValueA(elementKey, "DataType", buffer.data(), &size) != ERROR_SUCCESS)
            return typeNone;
        length = size < 0 ? 0 : static_cast<std::size_t>(size);
    } else {
        DWORD type = REG_NONE;
        DWORD size = 10;
        if (RegQueryValueExA(elementKey, "DataType", nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
            return typeNone;
        if (type != REG_SZ) return typeNone;
        length = size;
    }
    IString name = bytesUpToNull(buffer, length);
    if (name == "String") return typeString;
    if (name == "Integer") return typeInteger;
    if (name == "Binary") return typeBinary;
    return typeNone;
}

IString readString(HKEY elementKey)
{
    static const char function[] = "IRegGetString(HKEY)";
    if (subkeyForm()) {
        IString text;
        LONG rc = readSubkeyText(elementKey, "Data", text);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegQueryValue", rc, at(function, 186));
        return text;
    }
    DWORD type = REG_NONE;
    std::vector<char> bytes;
    std::size_t length = 0;
    LONG rc = readValue(elementKey, "Data", type, bytes, length);
    if (rc != ERROR_SUCCESS) IThrow::systemError("RegQueryValueEx", rc, at(function, 198));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throwForeignValue("RegQueryValueEx", "The value \"Data\" of a text element is not a text.",
                          IEXCEPTION_LOCATION(kFile, function));
    return bytesUpToNull(bytes, length);
}

// The decimal text that the subkey form keeps an integer as: an optional sign and digits,
// within the range of a 32-bit long.
bool parseInteger(const IString& text, long& value)
{
    std::size_t length = text.length();
    std::size_t i = 0;
    bool negative = false;
    if (i < length && (text.data()[i] == '-' || text.data()[i] == '+'))
        negative = text.data()[i++] == '-';
    if (i == length) return false;
    long long magnitude = 0;
    for (; i < length; ++i) {
        char c = text.data()[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return false;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647LL) return false;
    value = static_cast<long>(signedValue);
    return true;
}

long readInteger(HKEY elementKey)
{
    static const char function[] = "IRegGetInteger(HKEY)";
    if (subkeyForm()) {
        IString text;
        LONG rc = readSubkeyText(elementKey, "Data", text);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegQueryValue", rc, at(function, 231));
        long value = 0;
        if (!parseInteger(text, value))
            throwForeignValue("RegQueryValue",
                              "The text \"Data\" of an integer element is not a decimal number.",
                              IEXCEPTION_LOCATION(kFile, function));
        return value;
    }
    DWORD type = REG_NONE;
    std::vector<char> bytes;
    std::size_t length = 0;
    LONG rc = readValue(elementKey, "Data", type, bytes, length);
    if (rc != ERROR_SUCCESS) IThrow::systemError("RegQueryValueEx", rc, at(function, 249));
    if (type != REG_DWORD || length != sizeof(DWORD))
        throwForeignValue("RegQueryValueEx",
                          "The value \"Data\" of an integer element is not a 4-byte number.",
                          IEXCEPTION_LOCATION(kFile, function));
    DWORD number = 0;
    std::memcpy(&number, bytes.data(), sizeof number);
    return static_cast<long>(number);
}

// Binary data: the pieces "0", "1", ... joined in order, up to the first piece that is missing.
IString readBinary(HKEY elementKey)
{
    static const char function[] = "IRegGetBinary(HKEY)";
    const bool subkeys = subkeyForm();
    IString data;
    for (unsigned long piece = 0;; ++piece) {
        IString pieceName(piece);
        if (subkeys) {
            IString text;
            LONG rc = readSubkeyText(elementKey, pieceName, text);
            if (rc == ERROR_FILE_NOT_FOUND) break;
            if (rc != ERROR_SUCCESS)
                IThrow::systemError("RegQueryValue", rc, IEXCEPTION_LOCATION(kFile, function));
            if (text.length() % 2 != 0 || (!text.isEmpty() && !text.isHexDigits()))
                throwForeignValue("RegQueryValue",
                                  "A piece of a binary element is not hexadecimal text.",
                                  IEXCEPTION_LOCATION(kFile, function));
            data += IString::x2c(text);
            continue;
        }
        DWORD type = REG_NONE;
        std::vector<char> bytes;
        std::size_t length = 0;
        LONG rc = readValue(elementKey, pieceName, type, bytes, length);
        if (rc == ERROR_FILE_NOT_FOUND) break;
        if (rc != ERROR_SUCCESS)
            IThrow::systemError("RegQueryValueEx", rc, IEXCEPTION_LOCATION(kFile, function));
        if (type != REG_BINARY)
            throwForeignValue("RegQueryValueEx",
                              "A piece of a binary element is not a binary value.",
                              IEXCEPTION_LOCATION(kFile, function));
        data += IString(bytes.data(), length);
    }
    return data;
}

// ---------------------------------------------------------------------------------------------
// Writing values

// The type name is written without a terminating null, as the element's readers expect.
void writeText(HKEY key, const char* name, const IString& text, const char* function,
               unsigned long subkeyLine, unsigned long valueLine)
{
    if constexpr (sizeof(std::size_t) > sizeof(DWORD)) {
        if (text.length() > 0xFFFFFFFFu)
            IThrow::argument("text.length() <= 0xFFFFFFFF", IEXCEPTION_LOCATION(kFile, function));
    }
    DWORD length = static_cast<DWORD>(text.length());
    if (subkeyForm()) {
        LONG rc = RegSetValueA(key, name, REG_SZ, text, length);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegSetValue", rc, at(function, subkeyLine));
    } else {
        LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                                 length);
        if (rc != ERROR_SUCCESS)
            IThrow::systemError("RegSetValueEx", rc, at(function, valueLine));
    }
}

// Each writer stores the data first and "DataType" last: a write that fails part-way leaves a
// key without a type, which no reader takes for a whole element.
void writeString(HKEY elementKey, const IString& text)
{
    static const char function[] = "IRegWriteString(HKEY,IString)";
    writeText(elementKey, "Data", text, function, 314, 326);
    writeText(elementKey, "DataType", "String", function, 310, 322);
}

void writeInteger(HKEY elementKey, long value)
{
    static const char function[] = "IRegWriteInteger(HKEY,long)";
    if (subkeyForm()) {
        writeText(elementKey, "Data", IString(value), function, 346, 0);
    } else {
        DWORD number = static_cast<DWORD>(value);
        LONG rc = RegSetValueExA(elementKey, "Data", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&number), sizeof number);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegSetValueEx", rc, at(function, 359));
    }
    writeText(elementKey, "DataType", "Integer", function, 341, 354);
}

void writeBinary(HKEY elementKey, const IString& data)
{
    static const char function[] = "IRegWriteBinary(HKEY,IString)";
    const bool subkeys = subkeyForm();
    const std::size_t pieceSize = subkeys ? kSubkeyPieceSize : kValuePieceSize;
    unsigned long piece = 0;
    for (std::size_t offset = 0; offset < data.length(); offset += pieceSize, ++piece) {
        IString bytes = data.subString(offset + 1, pieceSize);
        IString pieceName(piece);
        if (subkeys) {
            writeText(elementKey, pieceName, IString::c2x(bytes), function, 401, 0);
        } else {
            LONG rc = RegSetValueExA(elementKey, pieceName, 0, REG_BINARY,
                                     reinterpret_cast<const BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.length()));
            if (rc != ERROR_SUCCESS) IThrow::systemError("RegSetValueEx", rc, at(function, 413));
        }
    }
    writeText(elementKey, "DataType", "Binary", function, 376, 384);
}

// A text is kept as a text element only if the registry gives back the same bytes: it stores
// texts in UTF-16 and converts through the ANSI code page, which may not map every byte
// sequence (a lone lead byte of a double-byte code page, for one).
IBase::Boolean survivesCodePage(const IString& text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t length = text.length();
    bool ascii = true;
    for (std::size_t i = 0; i < length && ascii; ++i) ascii = p[i] < 0x80;
    if (ascii) return true;
    if (length > static_cast<std::size_t>(INT_MAX)) return false;
    int count = static_cast<int>(length);
    int wideCount =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), count, nullptr, 0);
    if (wideCount <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(wideCount), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), count, wide.data(), wideCount);
    int backCount = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideCount, nullptr, 0, nullptr,
                                        nullptr);
    if (backCount != count) return false;
    std::string back(static_cast<std::size_t>(backCount), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideCount, back.data(), backCount, nullptr,
                        nullptr);
    return std::memcmp(back.data(), text.data(), length) == 0;
}

// ---------------------------------------------------------------------------------------------
// Listing names

// Every decodable subkey name of the profile (applName empty) or of one application, each
// followed by one null character. For an application, subkeys that hold no typed element are
// left out; a missing application has no names.
IString listNames(const IString& profileName, const IString& applName)
{
    static const char function[] = "IRegEnumKey(HKEY)";
    IBase::Boolean predefined = false;
    RegKey parent = openProfileKey(profileName, predefined);
    const bool keys = !applName.isEmpty();
    if (keys) {
        RegKey application;
        if (openForReading(parent.get(), encodeName(applName), application) != ERROR_SUCCESS)
            return IString();
        parent = std::move(application);
    }
    IString list;
    for (DWORD index = 0;; ++index) {
        // Registry key names have at most 255 characters.
        char name[MAX_PATH];
        DWORD length = sizeof name;
        LONG rc = RegEnumKeyExA(parent.get(), index, name, &length, nullptr, nullptr, nullptr,
                                nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS)
            IThrow::systemError("RegEnumKeyEx", rc, IEXCEPTION_LOCATION(kFile, function));
        IString decoded;
        if (!decodeName(name, length, decoded)) continue;
        if (keys) {
            RegKey element;
            if (openForReading(parent.get(), IString(name, length), element) != ERROR_SUCCESS)
                continue;
            if (readType(element.get()) == typeNone) continue;
        }
        list += decoded;
        list += '\0';
    }
    return list;
}

// Names compare as the registry compares its key names: in UTF-16, made from the ANSI code page
// as the registry's own ANSI calls make them, with letters of any script folded to upper case.
// Folding ASCII letters alone would take "CAF\xC9" for missing while the registry opens "caf\xE9"
// for it, and a default written for the "missing" key would replace the user's value.
IBase::Boolean sameName(const IString& stored, const IString& wanted)
{
    const auto wide = [](const IString& name) {
        const int count = static_cast<int>(std::min<std::size_t>(name.length(), INT_MAX));
        std::wstring converted(static_cast<std::size_t>(count), L'\0');
        const int made = MultiByteToWideChar(CP_ACP, 0, name.data(), count, converted.data(), count);
        converted.resize(static_cast<std::size_t>(made > 0 ? made : 0));
        return converted;
    };
    const std::wstring left = wide(stored), right = wide(wanted);
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

void checkKey(const char* key, const char* function, unsigned long line)
{
    if (key == nullptr) IThrow::argument("key != 0", at(function, line));
    // An empty name would open the application's own key and take it for the element.
    if (*key == '\0') IThrow::argument("*key != 0", at(function, line));
}

// Opens an element's key in its application's key for reading. A missing application throws
// the registry's error at applicationLine, a missing element at elementLine. The element's key
// stays valid when the application's key is closed.
RegKey openElement(HKEY profile, const IString& appl, const char* key, const char* function,
                   unsigned long applicationLine, unsigned long elementLine)
{
    RegKey application;
    LONG rc = openForReading(profile, encodeName(appl), application);
    if (rc != ERROR_SUCCESS) IThrow::systemError("RegOpenKey", rc, at(function, applicationLine));
    RegKey element;
    rc = openForReading(application.get(), encodeName(key), element);
    if (rc != ERROR_SUCCESS) IThrow::systemError("RegOpenKey", rc, at(function, elementLine));
    return element;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// IProfile: construction

IProfile::IProfile(const char* profName)
{
    static const char function[] = "IProfile::IProfile(const char*)";
    if (profName == nullptr) IThrow::argument("profName != 0", at(function, 428));
    // An empty name would be the local machine's Software key itself, whose subkeys are other
    // programs' settings: deleting this profile would walk them all.
    if (*profName == '\0') IThrow::argument("*profName != 0", at(function, 428));
    fProfileName = profName;
    auto record = std::make_unique<KeyRecord>();
    record->key = openProfileKey(fProfileName, record->predefined).release();
    fRecord = record.release();
}

IProfile::IProfile(const IProfile& other)
    : IVBase(other), fDefaultApplName(other.fDefaultApplName), fProfileName(other.fProfileName)
{
    auto record = std::make_unique<KeyRecord>();
    record->key = openProfileKey(fProfileName, record->predefined).release();
    fRecord = record.release();
}

IProfile& IProfile::operator=(const IProfile& other)
{
    if (this == &other) return *this;
    // The new key is opened before the old one is closed, so a failure leaves this profile as
    // it was instead of holding a closed key.
    auto record = std::make_unique<KeyRecord>();
    record->key = openProfileKey(other.fProfileName, record->predefined).release();
    fDefaultApplName = other.fDefaultApplName;
    fProfileName = other.fProfileName;
    std::unique_ptr<KeyRecord> previous(std::exchange(fRecord, record.release()));
    if (previous != nullptr && previous->key != nullptr) RegCloseKey(previous->key);
    return *this;
}

IProfile::~IProfile()
{
    if (fRecord != nullptr) {
        if (fRecord->key != nullptr) RegCloseKey(fRecord->key);
        delete fRecord;
    }
}

IProfile IProfile::systemProfile()
{
    return IProfile(kSystemProfileName);
}

IProfile IProfile::userProfile()
{
    return IProfile(kUserProfileName);
}

void IProfile::deleteProfile(const char* name)
{
    static const char function[] = "IProfile::deleteProfile(const char*)";
    if (name == nullptr) IThrow::argument("name != 0", IEXCEPTION_LOCATION(kFile, function));
    if (*name == '\0') IThrow::argument("*name != 0", IEXCEPTION_LOCATION(kFile, function));
    if (isPredefinedName(name)) return;
    {
        IProfile profile(name);
        Cursor applications(profile);
        for (applications.setToFirst(); applications.isValid(); applications.setToNext())
            profile.deleteElementWithApplication(profile.applicationOrKeyAt(applications));
    }
    RegKey software = openForWriting(HKEY_LOCAL_MACHINE, encodeName("Software"));
    LONG rc = RegDeleteKeyA(software.get(), encodeName(name));
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        IThrow::systemError("RegDeleteKey", rc, IEXCEPTION_LOCATION(kFile, function));
}

// ---------------------------------------------------------------------------------------------
// IProfile: names and counts

IString IProfile::name() const
{
    return fProfileName;
}

IString IProfile::applicationOrKeyAt(const Cursor& cursor) const
{
    static const char function[] = "IProfile::applicationOrKeyAt(const IProfile::Cursor&) const";
    if (!cursor.isValid()) IThrow::argument("cursor.isValid()", at(function, 1226));
    std::size_t end = cursor.fNameList.indexOf('\0', cursor.fPosition);
    return cursor.fNameList.subString(cursor.fPosition, end - cursor.fPosition);
}

unsigned long IProfile::numberOfKeys(const char* applName) const
{
    IString appl = resolvedApplName(applName, 1132, "IProfile::numberOfKeys(const char*) const");
    Cursor cursor(*this, appl);
    unsigned long count = 0;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) ++count;
    return count;
}

unsigned long IProfile::numberOfApplications() const
{
    Cursor cursor(*this);
    unsigned long count = 0;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) ++count;
    return count;
}

IString IProfile::defaultApplicationName() const
{
    return fDefaultApplName;
}

IProfile& IProfile::setDefaultApplicationName(const char* applName)
{
    fDefaultApplName = applName;
    return *this;
}

IBase::Boolean IProfile::containsApplication(const char* applName) const
{
    static const char function[] = "IProfile::containsApplication(const char*) const";
    if (applName == nullptr) IThrow::argument("applName != 0", at(function, 1152));
    const IString wanted(applName);
    Cursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        if (sameName(applicationOrKeyAt(cursor), wanted)) return true;
    }
    return false;
}

IBase::Boolean IProfile::containsKeyName(const char* key, const char* applName) const
{
    static const char function[] = "IProfile::containsKeyName(const char*,const char*) const";
    checkKey(key, function, __LINE__);
    IString appl = resolvedApplName(applName, __LINE__, function);
    const IString wanted(key);
    Cursor cursor(*this, appl);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        if (sameName(applicationOrKeyAt(cursor), wanted)) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// IProfile: elements

IString IProfile::elementWithKey(const char* key, const char* applName) const
{
    static const char function[] = "IProfile::elementWithKey(const char*,const char*) const";
    checkKey(key, function, 694);
    IString appl = resolvedApplName(applName, 697, function);
    const RegKey element = openElement(fRecord->key, appl, key, function, 750, 759);
    switch (readType(element.get())) {
    case typeString:
        return readString(element.get());
    case typeInteger: {
        unsigned long number = static_cast<unsigned long>(readInteger(element.get()));
        const char bytes[4] = {static_cast<char>(number & 0xFF),
                               static_cast<char>((number >> 8) & 0xFF),
                               static_cast<char>((number >> 16) & 0xFF),
                               static_cast<char>((number >> 24) & 0xFF)};
        return IString(bytes, sizeof bytes);
    }
    case typeBinary:
        return readBinary(element.get());
    default:
        IThrow::systemError("RegQueryKey", ERROR_INVALID_DATA, at(function, 774));
    }
}

long IProfile::integerWithKey(const char* key, const char* applName) const
{
    static const char function[] = "IProfile::integerWithKey(const char*,const char*) const";
    checkKey(key, function, 808);
    IString appl = resolvedApplName(applName, 810, function);
    const RegKey element = openElement(fRecord->key, appl, key, function, 833, 842);
    if (readType(element.get()) != typeInteger)
        IThrow::systemError("RegQueryKey", ERROR_INVALID_DATA, at(function, 857));
    return readInteger(element.get());
}

IProfile& IProfile::addOrReplaceElementWithKey(const char* key, const IString& value,
                                               const char* applName)
{
    static const char function[] =
        "IProfile::addOrReplaceElementWithKey(const char*,const IString&,const char*)";
    checkKey(key, function, 880);
    IString appl = resolvedApplName(applName, 882, function);
    // A text with a null or a control character, or one the code page would change, is kept as
    // binary data: elementWithKey gives back the same bytes either way.
    const bool text = value.isPlainText() && survivesCodePage(value);
    writeElement(key, appl, Element{text ? typeString : typeBinary, value, 0});
    return *this;
}

IProfile& IProfile::addOrReplaceElementWithKey(const char* key, long value, const char* applName)
{
    static const char function[] =
        "IProfile::addOrReplaceElementWithKey(const char*,long,const char*)";
    checkKey(key, function, 937);
    IString appl = resolvedApplName(applName, 939, function);
    writeElement(key, appl, Element{typeInteger, IString(), value});
    return *this;
}

void IProfile::writeElement(const char* key, const IString& applName, const Element& element)
{
    const IString encodedAppl = encodeName(applName);
    const IString encodedKey = encodeName(key);
    {
        // Whatever the key held is removed first, so no piece of a longer former value and no
        // value of another type stays behind.
        RegKey application = openForWriting(fRecord->key, encodedAppl);
        RegKey existing;
        if (openForReading(application.get(), encodedKey, existing) == ERROR_SUCCESS) {
            existing.close();
            application.close();
            deleteElementWithKey(key, applName);
        }
    }
    RegKey application = openForWriting(fRecord->key, encodedAppl);
    RegKey elementKey = openForWriting(application.get(), encodedKey);
    try {
        switch (element.type) {
        case typeString: writeString(elementKey.get(), element.bytes); break;
        case typeInteger: writeInteger(elementKey.get(), element.number); break;
        default: writeBinary(elementKey.get(), element.bytes); break;
        }
    } catch (...) {
        // Take away what was written of the element, and its application when the element was
        // all it held, so that the failed write leaves nothing behind to list.
        elementKey.close();
        deleteTree(application.get(), encodedKey);
        if (subkeyCount(application.get()) == 0) {
            application.close();
            RegDeleteKeyA(fRecord->key, encodedAppl);
        }
        throw;
    }
}

IProfile& IProfile::deleteElementWithKey(const char* key, const char* applName)
{
    static const char function[] = "IProfile::deleteElementWithKey(const char*,const char*)";
    checkKey(key, function, 987);
    IString appl = resolvedApplName(applName, 989, function);
    const IString encodedAppl = encodeName(appl);
    {
        RegKey existing;
        LONG rc = openForReading(fRecord->key, encodedAppl, existing);
        if (rc != ERROR_SUCCESS) IThrow::systemError("RegOpenKey", rc, at(function, 1008));
    }
    RegKey application = openForWriting(fRecord->key, encodedAppl);
    LONG rc = deleteTree(application.get(), encodeName(key));
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        IThrow::systemError("RegDeleteKey", rc, IEXCEPTION_LOCATION(kFile, function));
    if (subkeyCount(application.get()) == 0) {
        application.close();
        rc = RegDeleteKeyA(fRecord->key, encodedAppl);
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            IThrow::systemError("RegDeleteKey", rc, IEXCEPTION_LOCATION(kFile, function));
    }
    return *this;
}

IProfile& IProfile::deleteElementWithApplication(const char* applName)
{
    IString appl =
        resolvedApplName(applName, 1046, "IProfile::deleteElementWithApplication(const char*)");
    Cursor cursor(*this, appl);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        deleteElementWithKey(applicationOrKeyAt(cursor), appl);
    return *this;
}

IString IProfile::resolvedApplName(const char* applName, unsigned long line,
                                   const char* function) const
{
    // An empty name, given or taken from the default, would be the profile's own key.
    IString defApplName = applName != nullptr ? IString(applName) : defaultApplicationName();
    if (defApplName.length() == 0)
        IThrow::argument("defApplName.length() > 0", at(function, line));
    return defApplName;
}

// ---------------------------------------------------------------------------------------------
// IProfile::Cursor

IProfile::Cursor::Cursor(const IProfile& profile) : fProfileName(profile.name())
{
    fNameList = listNames(fProfileName, fApplName);
}

IProfile::Cursor::Cursor(const IProfile& profile, const char* applName)
    : fApplName(profile.resolvedApplName(applName, __LINE__,
                                         "IProfile::Cursor::Cursor(const IProfile&,const char*)")),
      fProfileName(profile.name())
{
    fNameList = listNames(fProfileName, fApplName);
}

IProfile::Cursor::~Cursor() = default;

IBase::Boolean IProfile::Cursor::setToFirst()
{
    fPosition = 1;
    return isValid();
}

IBase::Boolean IProfile::Cursor::setToNext()
{
    std::size_t end = fNameList.indexOf('\0', fPosition);
    fPosition = static_cast<unsigned long>(end != 0 ? end + 1 : fNameList.length() + 1);
    return isValid();
}

IBase::Boolean IProfile::Cursor::setToPrevious()
{
    std::size_t length = fNameList.length();
    if (1 < fPosition && fPosition < length) {
        std::size_t end = fPosition >= 3 ? fNameList.lastIndexOf('\0', fPosition - 2) : 0;
        fPosition = static_cast<unsigned long>(end + 1);
    } else {
        invalidate();
    }
    return isValid();
}

IBase::Boolean IProfile::Cursor::setToLast()
{
    std::size_t length = fNameList.length();
    std::size_t end = length >= 2 ? fNameList.lastIndexOf('\0', length - 2) : 0;
    fPosition = static_cast<unsigned long>(end + 1);
    return isValid();
}

IBase::Boolean IProfile::Cursor::isValid(IBase::Boolean checkRegistry) const
{
    if (fPosition >= fNameList.length()) return false;
    if (!checkRegistry) return true;
    return listNames(fProfileName, fApplName) == fNameList;
}

void IProfile::Cursor::invalidate()
{
    fPosition = static_cast<unsigned long>(fNameList.length());
}
