// The registry profile: name encoding, both storage forms, binary pieces, replacing and
// deleting, cursors over snapshots, values written by other programs, and the errors with their
// locations. Everything is checked against the registry itself through the plain registry calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <iprofile.hpp>

#include "ovktest.hpp"

namespace {

// Every application these tests write starts with this name, and every test removes them all
// from both roots before and after it runs. The named profile's key starts with it too.
const char kPrefix[] = "OvkwinProfileTest";
const std::string kApp = std::string(kPrefix) + "App";
const char kNamedProfile[] = "OvkwinProfileTest\\Named";
const char kNamedProfileKey[] = "Software\\OvkwinProfileTest/_Named";

using ovktest::str;
using ovktest::Thrown;
using ovktest::thrownBy;

IString bytes(const std::string& text)
{
    return IString(text.data(), text.size());
}

// ---------------------------------------------------------------------------------------------
// The registry as the system shows it

bool keyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> subkeysOf(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        char name[MAX_PATH];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

// A named value (null: the key's unnamed value); false when it does not exist.
bool readRaw(HKEY root, const std::string& path, const char* name, DWORD& type, std::string& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data.assign(size, '\0');
        rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void writeRaw(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void createRaw(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void removeTestKeys()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const std::string& name : subkeysOf(root, "Software")) {
            if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) continue;
            const std::string path = "Software\\" + name;
            RegDeleteTreeA(root, path.c_str());
            RegDeleteKeyA(root, path.c_str());
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Fixtures

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { removeTestKeys(); }
    void TearDown() override
    {
        IPlatform::resetOverride(IPlatform::platformVariant);
        removeTestKeys();
    }
};

enum class Form { value, subkey };
enum class Where { user, system, named };

struct Setting {
    Form form;
    Where where;
};

std::string nameOf(const Setting& setting)
{
    std::string name = setting.form == Form::value ? "ValueForm" : "SubkeyForm";
    switch (setting.where) {
    case Where::user: return name + "User";
    case Where::system: return name + "System";
    default: return name + "Named";
    }
}

std::string settingName(const ::testing::TestParamInfo<Setting>& info)
{
    return nameOf(info.param);
}

void PrintTo(const Setting& setting, std::ostream* out)
{
    *out << nameOf(setting);
}

// Each test runs in both storage forms against the current user's, the local machine's and a
// named profile.
class ProfileForms : public ProfileTest, public ::testing::WithParamInterface<Setting> {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        fVariant = std::make_unique<IPlatform::Override>(IPlatform::platformVariant,
                                                         GetParam().form == Form::subkey);
        switch (GetParam().where) {
        case Where::user: fProfile = std::make_unique<IProfile>(IProfile::userProfile()); break;
        case Where::system:
            fProfile = std::make_unique<IProfile>(IProfile::systemProfile());
            break;
        default: fProfile = std::make_unique<IProfile>(kNamedProfile); break;
        }
        fProfile->setDefaultApplicationName(kApp.c_str());
    }
    void TearDown() override
    {
        fProfile.reset();
        fVariant.reset();
        ProfileTest::TearDown();
    }

    bool subkeys() const { return GetParam().form == Form::subkey; }
    HKEY root() const
    {
        return GetParam().where == Where::user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    }
    std::string base() const
    {
        return GetParam().where == Where::named ? kNamedProfileKey : "Software";
    }
    std::string appPath(const std::string& app = kApp) const { return base() + "\\" + app; }
    std::string keyPath(const std::string& encodedKey) const
    {
        return appPath() + "\\" + encodedKey;
    }

    // The type name and a named part of an element as the registry holds them in this form.
    std::string rawText(const std::string& encodedKey, const char* part) const
    {
        DWORD type = 0;
        std::string data;
        if (subkeys()) {
            if (!readRaw(root(), keyPath(encodedKey) + "\\" + part, nullptr, type, data))
                return "<none>";
        } else if (!readRaw(root(), keyPath(encodedKey), part, type, data)) {
            return "<none>";
        }
        // Texts may come back with a terminating null.
        if (!data.empty() && data.back() == '\0') data.pop_back();
        return data;
    }
    // Foreign content: a named part of an element, written as another program would.
    void writePart(const std::string& encodedKey, const char* part, DWORD type,
                   const std::string& data) const
    {
        if (subkeys())
            writeRaw(root(), keyPath(encodedKey) + "\\" + part, nullptr, type, data);
        else
            writeRaw(root(), keyPath(encodedKey), part, type, data);
    }

    std::vector<std::string> keyNames() const
    {
        std::vector<std::string> names;
        IProfile::Cursor cursor(*fProfile, kApp.c_str());
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
            names.push_back(str(fProfile->applicationOrKeyAt(cursor)));
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> testApplications() const
    {
        std::vector<std::string> names;
        IProfile::Cursor cursor(*fProfile);
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
            std::string name = str(fProfile->applicationOrKeyAt(cursor));
            if (name.compare(0, sizeof kPrefix - 1, kPrefix) == 0) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::unique_ptr<IPlatform::Override> fVariant;
    std::unique_ptr<IProfile> fProfile;
};

INSTANTIATE_TEST_SUITE_P(
    Profiles, ProfileForms,
    ::testing::Values(Setting{Form::value, Where::user}, Setting{Form::value, Where::system},
                      Setting{Form::value, Where::named}, Setting{Form::subkey, Where::user},
                      Setting{Form::subkey, Where::system}, Setting{Form::subkey, Where::named}),
    settingName);

// ---------------------------------------------------------------------------------------------
// Elements

TEST_P(ProfileForms, TextsAndBinaryDataReadBackAsWrittenWithTheRightType)
{
    struct Case {
        const char* key;
        std::string value;
        const char* type;
    };
    const Case cases[] = {
        {"text", "hello, world", "String"},
        {"empty", "", "String"},
        {"lines", "tab\there\r\nnext line", "String"},
        // Letters of the ANSI code page survive the registry's conversion to UTF-16 and back.
        {"accented", "caf\xE9 \xFC\xDF", "String"},
        {"null-inside", std::string("a\0b", 3), "Binary"},
        {"control", "bell\a", "Binary"},
        {"all-bytes", [] {
             std::string all;
             for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
             return all;
         }(),
         "Binary"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        fProfile->addOrReplaceElementWithKey(c.key, bytes(c.value));
        EXPECT_EQ(str(fProfile->elementWithKey(c.key)), c.value);
        EXPECT_EQ(rawText(c.key, "DataType"), c.type);
    }
    EXPECT_EQ(fProfile->numberOfKeys(), sizeof cases / sizeof cases[0]);
}

TEST_P(ProfileForms, IntegersReadBackAsNumbersAndAsFourBytesLowFirst)
{
    const long numbers[] = {0, 65, -2, LONG_MAX, LONG_MIN, 0x12345678};
    for (long number : numbers) {
        SCOPED_TRACE(number);
        fProfile->addOrReplaceElementWithKey("number", number);
        EXPECT_EQ(fProfile->integerWithKey("number"), number);
        const unsigned long u = static_cast<unsigned long>(number);
        const char expected[4] = {static_cast<char>(u), static_cast<char>(u >> 8),
                                  static_cast<char>(u >> 16), static_cast<char>(u >> 24)};
        EXPECT_EQ(str(fProfile->elementWithKey("number")), std::string(expected, 4));
        EXPECT_EQ(rawText("number", "DataType"), "Integer");
    }
    // The subkey form keeps the number as decimal text, the value form as a 4-byte number.
    fProfile->addOrReplaceElementWithKey("number", -2L);
    if (subkeys()) {
        EXPECT_EQ(rawText("number", "Data"), "-2");
    } else {
        DWORD type = 0;
        std::string data;
        ASSERT_TRUE(readRaw(root(), keyPath("number"), "Data", type, data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(data, std::string("\xFE\xFF\xFF\xFF", 4));
    }
}

TEST_P(ProfileForms, LongBinaryDataIsCutIntoPiecesAndReadBackWhole)
{
    const std::size_t piece = subkeys() ? 3500 : 16000;
    const std::size_t sizes[] = {1, piece, piece + 1, 40000};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        std::string data(size, '\0');
        for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 % 256);
        fProfile->addOrReplaceElementWithKey("blob", bytes(data));
        EXPECT_EQ(str(fProfile->elementWithKey("blob")), data);

        const std::size_t pieces = (size + piece - 1) / piece;
        for (std::size_t i = 0; i <= pieces; ++i) {
            SCOPED_TRACE(i);
            const std::string name = std::to_string(i);
            DWORD type = 0;
            std::string raw;
            const bool found = subkeys()
                ? readRaw(root(), keyPath("blob") + "\\" + name, nullptr, type, raw)
                : readRaw(root(), keyPath("blob"), name.c_str(), type, raw);
            if (i == pieces) {
                EXPECT_FALSE(found) << "no piece after the last";
                continue;
            }
            ASSERT_TRUE(found);
            const std::size_t expected = std::min(piece, size - i * piece);
            if (subkeys()) {
                if (!raw.empty() && raw.back() == '\0') raw.pop_back();
                EXPECT_EQ(raw.size(), 2 * expected) << "hexadecimal text";
            } else {
                EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
                EXPECT_EQ(raw.size(), expected);
            }
        }
    }
}

TEST_P(ProfileForms, WritingAnExistingKeyReplacesWhateverItHeld)
{
    fProfile->addOrReplaceElementWithKey("key", bytes(std::string(40000, '\x01')));
    fProfile->addOrReplaceElementWithKey("key", bytes(std::string(10, '\x02')));
    // No piece of the longer former value may be read back after the short one.
    EXPECT_EQ(str(fProfile->elementWithKey("key")), std::string(10, '\x02'));

    fProfile->addOrReplaceElementWithKey("key", 7L);
    EXPECT_EQ(fProfile->integerWithKey("key"), 7);
    EXPECT_EQ(rawText("key", "0"), "<none>");

    fProfile->addOrReplaceElementWithKey("key", IString("text again"));
    EXPECT_EQ(str(fProfile->elementWithKey("key")), "text again");
    EXPECT_EQ(rawText("key", "DataType"), "String");
    EXPECT_EQ(keyNames(), std::vector<std::string>{"key"});
}

TEST_P(ProfileForms, DeletingTheLastKeyRemovesTheApplication)
{
    fProfile->addOrReplaceElementWithKey("one", 1L);
    fProfile->addOrReplaceElementWithKey("two", 2L);
    fProfile->deleteElementWithKey("one");
    EXPECT_TRUE(fProfile->containsApplication(kApp.c_str()));
    EXPECT_EQ(keyNames(), std::vector<std::string>{"two"});
    // A key that is not there is no error while its application exists.
    fProfile->deleteElementWithKey("one");
    fProfile->deleteElementWithKey("two");
    EXPECT_FALSE(fProfile->containsApplication(kApp.c_str()));
    EXPECT_FALSE(keyExists(root(), appPath()));

    const std::string other = std::string(kPrefix) + "Other";
    for (const char* key : {"a", "b", "c"})
        fProfile->addOrReplaceElementWithKey(key, 1L, other.c_str());
    fProfile->addOrReplaceElementWithKey("kept", 1L);
    fProfile->deleteElementWithApplication(other.c_str());
    EXPECT_EQ(testApplications(), std::vector<std::string>{kApp});
    EXPECT_FALSE(keyExists(root(), appPath(other)));
}

TEST_P(ProfileForms, ContainsTestsIgnoreLetterCase)
{
    const std::string app = std::string(kPrefix) + "MyApp";
    fProfile->addOrReplaceElementWithKey("Some Key", IString("x"), app.c_str());
    EXPECT_TRUE(fProfile->containsApplication((std::string(kPrefix) + "MYAPP").c_str()));
    EXPECT_TRUE(fProfile->containsApplication((std::string(kPrefix) + "myapp").c_str()));
    EXPECT_FALSE(fProfile->containsApplication((std::string(kPrefix) + "MyAp").c_str()));
    EXPECT_TRUE(fProfile->containsKeyName("SOME KEY", app.c_str()));
    EXPECT_FALSE(fProfile->containsKeyName("Some", app.c_str()));
    EXPECT_FALSE(fProfile->containsKeyName("Some Key"));
    EXPECT_EQ(fProfile->numberOfKeys(app.c_str()), 1u);
    EXPECT_EQ(fProfile->numberOfKeys(), 0u) << "the default application does not exist";
}

// An application that writes a default only when its key "is missing" must find the user's key
// under every spelling that the registry opens as that key: Latin-1 letters differ in case too.
TEST_P(ProfileForms, ContainsTestsFindTheKeyTheRegistryOpensForAnAccentedName)
{
    struct Case {
        const char* stored;
        const char* asked;
        bool same; // whether the registry opens the stored key for the asked name
    };
    const Case cases[] = {
        {"caf\xE9", "CAF\xC9", true},          // e acute, E acute
        {"\xE0 la \xFEorn", "\xC0 LA \xDEORN", true}, // a grave, thorn
        {"\xF8re", "\xD8RE", true},             // o slash
        {"ma\xDF", "MASS", false},              // sharp s has no one-letter capital
        {"a\xD7" "b", "A\xF7" "B", false},            // multiplication and division signs
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        for (int start = 0; start < 2; ++start) {
            // The user's value, then the application's start: a default for a missing key.
            if (start == 0) fProfile->addOrReplaceElementWithKey(c.stored, IString("user"));
            if (!fProfile->containsKeyName(c.asked))
                fProfile->addOrReplaceElementWithKey(c.asked, IString("default"));
            EXPECT_EQ(str(fProfile->elementWithKey(c.stored)), "user");
            EXPECT_EQ(str(fProfile->elementWithKey(c.asked)), c.same ? "user" : "default");
            EXPECT_TRUE(fProfile->containsKeyName(c.asked));
        }
        fProfile->deleteElementWithKey(c.stored);
        if (!c.same) fProfile->deleteElementWithKey(c.asked);
        ASSERT_FALSE(fProfile->containsKeyName(c.asked));
    }

    const std::string stored = std::string(kPrefix) + "\xE9t\xE9";
    const std::string asked = std::string(kPrefix) + "\xC9T\xC9";
    fProfile->addOrReplaceElementWithKey("k", 1L, stored.c_str());
    EXPECT_TRUE(fProfile->containsApplication(asked.c_str()));
    EXPECT_EQ(fProfile->integerWithKey("k", asked.c_str()), 1);
    fProfile->deleteElementWithApplication(stored.c_str());
}

// ---------------------------------------------------------------------------------------------
// Names

TEST_P(ProfileForms, NamesAreEncodedIntoOneRegistryKeyAndListedDecoded)
{
    struct Case {
        const char* name;
        const char* valueForm;
        const char* subkeyForm;
    };
    const Case cases[] = {
        {"a/b*c", "a//b/1c", "a//b/1c"},
        {"why?", "why/0", "why/0"},
        {"back\\slash", "back/_slash", "back/_slash"},
        {"two words", "two words", "two/-words"},
        {"/", "//", "//"},
        {"*?\\/ ", "/1/0/_// ", "/1/0/_///-"},
    };
    std::vector<std::string> names;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fProfile->addOrReplaceElementWithKey(c.name, IString(c.name));
        EXPECT_TRUE(keyExists(root(), keyPath(subkeys() ? c.subkeyForm : c.valueForm)));
        EXPECT_EQ(str(fProfile->elementWithKey(c.name)), c.name);
        EXPECT_TRUE(fProfile->containsKeyName(c.name));
        names.push_back(c.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(keyNames(), names);
    EXPECT_EQ(subkeysOf(root(), appPath()).size(), names.size()) << "each name is one key";

    // Application names are encoded the same way.
    const std::string app = std::string(kPrefix) + "a/b*c";
    fProfile->addOrReplaceElementWithKey("k", 1L, app.c_str());
    EXPECT_TRUE(keyExists(root(), appPath(std::string(kPrefix) + "a//b/1c")));
    EXPECT_EQ(testApplications(), (std::vector<std::string>{kApp, app}));
}

TEST_P(ProfileForms, SubkeysThatAreNoEncodingAreNotListed)
{
    fProfile->addOrReplaceElementWithKey("real", 1L);
    struct Case {
        const char* suffix;
        bool listedValueForm;
        bool listedSubkeyForm;
    };
    const Case cases[] = {
        {"x/9", false, false}, {"x/", false, false}, {"x/.", false, false},
        {"x?y", false, false}, {"x*y", false, false}, {"x/-y", false, true},
        {"x y", true, false},
    };
    std::vector<std::string> expectedApps{kApp};
    std::vector<std::string> expectedKeys{"real"};
    for (const Case& c : cases) {
        const std::string app = std::string(kPrefix) + c.suffix;
        createRaw(root(), appPath(app));
        // A typed element under a listed name, so that it also counts as a key.
        const std::string keyName = std::string("k") + c.suffix;
        writePart(keyName, "DataType", REG_SZ, "Integer");
        writePart(keyName, "Data", subkeys() ? REG_SZ : REG_DWORD,
                  subkeys() ? "1" : std::string(4, '\0'));
        if (subkeys() ? c.listedSubkeyForm : c.listedValueForm) {
            std::string decoded = c.suffix;
            if (decoded == "x/-y") decoded = "x y";
            expectedApps.push_back(std::string(kPrefix) + decoded);
            expectedKeys.push_back("k" + decoded);
        }
    }
    // A key without a type, or with a type the profile does not know, holds no element.
    createRaw(root(), keyPath("untyped"));
    writePart("unknown", "DataType", REG_SZ, "Float");
    std::sort(expectedApps.begin(), expectedApps.end());
    std::sort(expectedKeys.begin(), expectedKeys.end());
    EXPECT_EQ(testApplications(), expectedApps);
    EXPECT_EQ(keyNames(), expectedKeys);
}

// ---------------------------------------------------------------------------------------------
// Cursors

TEST_P(ProfileForms, CursorWalksASnapshotBothWays)
{
    for (const char* key : {"k1", "k2", "k3"}) fProfile->addOrReplaceElementWithKey(key, 1L);
    IProfile::Cursor cursor(*fProfile, nullptr);
    std::vector<std::string> forward;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        forward.push_back(str(fProfile->applicationOrKeyAt(cursor)));
    ASSERT_EQ(forward.size(), 3u);
    EXPECT_FALSE(cursor.setToNext());

    std::vector<std::string> backward;
    for (bool valid = cursor.setToLast(); valid; valid = cursor.setToPrevious())
        backward.push_back(str(fProfile->applicationOrKeyAt(cursor)));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);

    EXPECT_TRUE(cursor.setToFirst());
    cursor.invalidate();
    EXPECT_FALSE(cursor.isValid());

    // The snapshot does not change with the registry; the registry check sees the change.
    EXPECT_TRUE(cursor.setToFirst());
    EXPECT_TRUE(cursor.isValid(true));
    fProfile->addOrReplaceElementWithKey("k4", 1L);
    EXPECT_TRUE(cursor.isValid());
    EXPECT_FALSE(cursor.isValid(true));
    std::size_t count = 0;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) ++count;
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(fProfile->numberOfKeys(), 4u);
}

TEST_P(ProfileForms, CursorOverAMissingApplicationIsEmpty)
{
    IProfile::Cursor cursor(*fProfile, (std::string(kPrefix) + "Missing").c_str());
    EXPECT_FALSE(cursor.setToFirst());
    EXPECT_FALSE(cursor.setToLast());
    EXPECT_FALSE(cursor.setToPrevious());
    EXPECT_FALSE(cursor.setToNext());
    EXPECT_FALSE(cursor.isValid(true));
}

// ---------------------------------------------------------------------------------------------
// Values that another program wrote

struct Part {
    const char* name;
    DWORD type;
    std::string data;
};

struct ForeignCase {
    const char* what;
    const char* type;        // "DataType"
    std::vector<Part> parts; // written as given
    bool asInteger;          // read with integerWithKey instead of elementWithKey
    // The outcome: the data read, or the call and error code of the exception (call null: none).
    std::string result;
    const char* call;
    unsigned long error;
};

TEST_P(ProfileForms, ForeignValuesGiveAClearErrorAndAreReadOnlyAsFarAsTheyGo)
{
    const unsigned long missing = ERROR_FILE_NOT_FOUND;
    const unsigned long invalid = ERROR_INVALID_DATA;
    const std::string longText(100000, 'y');
    std::vector<ForeignCase> cases;
    if (!subkeys()) {
        cases = {
            {"text held as a number", "String", {{"Data", REG_DWORD, "xxxx"}}, false, "",
             "RegQueryValueEx", invalid},
            {"text missing", "String", {}, false, "", "RegQueryValueEx", missing},
            {"text stored with its null", "String", {{"Data", REG_SZ, longText + '\0'}}, false,
             longText, nullptr, 0},
            {"integer of 8 bytes", "Integer", {{"Data", REG_BINARY, std::string(8, '\1')}}, true,
             "", "RegQueryValueEx", invalid},
            {"integer of 2 bytes", "Integer", {{"Data", REG_DWORD, "\1\1"}}, false, "",
             "RegQueryValueEx", invalid},
            {"integer as text", "Integer", {{"Data", REG_SZ, "12"}}, true, "", "RegQueryValueEx",
             invalid},
            {"piece as text", "Binary", {{"0", REG_SZ, "abc"}}, false, "", "RegQueryValueEx",
             invalid},
            {"pieces with a gap", "Binary", {{"0", REG_BINARY, "early"}, {"2", REG_BINARY, "late"}},
             false, "early", nullptr, 0},
        };
    } else {
        cases = {
            {"integer not decimal", "Integer", {{"Data", REG_SZ, "12x"}}, true, "",
             "RegQueryValue", invalid},
            {"integer too large", "Integer", {{"Data", REG_SZ, "2147483648"}}, true, "",
             "RegQueryValue", invalid},
            {"integer smallest", "Integer", {{"Data", REG_SZ, "-2147483648"}}, true,
             "-2147483648", nullptr, 0},
            {"text missing", "String", {}, false, "", "RegQueryValue", missing},
            {"text stored with its null", "String", {{"Data", REG_SZ, longText + '\0'}}, false,
             longText, nullptr, 0},
            {"piece of odd length", "Binary", {{"0", REG_SZ, "ABC"}}, false, "", "RegQueryValue",
             invalid},
            {"piece not hexadecimal", "Binary", {{"0", REG_SZ, "zz"}}, false, "", "RegQueryValue",
             invalid},
            {"pieces with a gap", "Binary", {{"0", REG_SZ, "41"}, {"2", REG_SZ, "42"}}, false, "A",
             nullptr, 0},
        };
    }
    for (const ForeignCase& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeA(root(), keyPath("foreign").c_str());
        writePart("foreign", "DataType", REG_SZ, c.type);
        for (const Part& part : c.parts) writePart("foreign", part.name, part.type, part.data);
        std::string read;
        Thrown thrown = thrownBy([&] {
            read = c.asInteger ? std::to_string(fProfile->integerWithKey("foreign"))
                               : str(fProfile->elementWithKey("foreign"));
        });
        if (c.call == nullptr) {
            EXPECT_EQ(thrown.kind, "") << thrown.text;
            EXPECT_EQ(read, c.result);
            continue;
        }
        EXPECT_EQ(thrown.kind, "ISystemError");
        EXPECT_EQ(thrown.text, c.call);
        EXPECT_EQ(thrown.errorId, c.error);
        EXPECT_EQ(thrown.file, "iprofile");
        if (c.error == invalid) {
            EXPECT_EQ(thrown.textCount, 2u) << "a second text says what was found";
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Errors

TEST_P(ProfileForms, ReadingAKeyOfAnotherTypeThrowsRegQueryKey)
{
    const char element[] = "IProfile::elementWithKey(const char*,const char*) const";
    const char integer[] = "IProfile::integerWithKey(const char*,const char*) const";
    fProfile->addOrReplaceElementWithKey("text", IString("65"));
    fProfile->addOrReplaceElementWithKey("binary", IString("\x01", 1));
    createRaw(root(), keyPath("untyped"));
    struct Case {
        std::function<void()> call;
        const char* function;
        unsigned long line;
    };
    const Case cases[] = {
        {[&] { fProfile->integerWithKey("text"); }, integer, 857},
        {[&] { fProfile->integerWithKey("binary"); }, integer, 857},
        {[&] { fProfile->integerWithKey("untyped"); }, integer, 857},
        {[&] { fProfile->elementWithKey("untyped"); }, element, 774},
    };
    for (const Case& c : cases) {
        Thrown thrown = thrownBy(c.call);
        EXPECT_EQ(thrown.kind, "ISystemError");
        EXPECT_EQ(thrown.text, "RegQueryKey");
        EXPECT_EQ(thrown.file, "iprofile");
        EXPECT_EQ(thrown.function, c.function);
        EXPECT_EQ(thrown.line, c.line);
    }
    EXPECT_EQ(str(fProfile->elementWithKey("text")), "65");
}

TEST_F(ProfileTest, ArgumentChecksNameTheFailedConditionAndTheirLine)
{
    IProfile profile = IProfile::userProfile();
    IProfile::Cursor invalid(profile);
    invalid.invalidate();
    const IString text("t");
    const char elementFn[] = "IProfile::elementWithKey(const char*,const char*) const";
    const char integerFn[] = "IProfile::integerWithKey(const char*,const char*) const";
    const char textFn[] =
        "IProfile::addOrReplaceElementWithKey(const char*,const IString&,const char*)";
    const char longFn[] = "IProfile::addOrReplaceElementWithKey(const char*,long,const char*)";
    const char deleteFn[] = "IProfile::deleteElementWithKey(const char*,const char*)";
    const char deleteProfileFn[] = "IProfile::deleteProfile(const char*)";
    const char* app = kApp.c_str();
    struct Case {
        std::function<void()> call;
        const char* text;
        const char* function;
        unsigned long line;
    };
    const Case cases[] = {
        {[] { IProfile p(nullptr); }, "profName != 0", "IProfile::IProfile(const char*)", 428},
        {[] { IProfile p(""); }, "*profName != 0", "IProfile::IProfile(const char*)", 428},
        {[&] { profile.elementWithKey(nullptr, app); }, "key != 0", elementFn, 694},
        {[&] { profile.elementWithKey("", app); }, "*key != 0", elementFn, 694},
        {[&] { profile.elementWithKey("k"); }, "defApplName.length() > 0", elementFn, 697},
        {[&] { profile.elementWithKey("k", ""); }, "defApplName.length() > 0", elementFn, 697},
        {[&] { profile.integerWithKey(nullptr, app); }, "key != 0", integerFn, 808},
        {[&] { profile.integerWithKey("k"); }, "defApplName.length() > 0", integerFn, 810},
        {[&] { profile.addOrReplaceElementWithKey(nullptr, text, app); }, "key != 0", textFn, 880},
        {[&] { profile.addOrReplaceElementWithKey("k", text); }, "defApplName.length() > 0", textFn,
         882},
        {[&] { profile.addOrReplaceElementWithKey(nullptr, 1L, app); }, "key != 0", longFn, 937},
        {[&] { profile.addOrReplaceElementWithKey("k", 1L); }, "defApplName.length() > 0", longFn,
         939},
        {[&] { profile.deleteElementWithKey(nullptr, app); }, "key != 0", deleteFn, 987},
        {[&] { profile.deleteElementWithKey("k"); }, "defApplName.length() > 0", deleteFn, 989},
        {[&] { profile.deleteElementWithApplication(); }, "defApplName.length() > 0",
         "IProfile::deleteElementWithApplication(const char*)", 1046},
        {[&] { profile.numberOfKeys(); }, "defApplName.length() > 0",
         "IProfile::numberOfKeys(const char*) const", 1132},
        {[&] { profile.containsApplication(nullptr); }, "applName != 0",
         "IProfile::containsApplication(const char*) const", 1152},
        {[&] { profile.applicationOrKeyAt(invalid); }, "cursor.isValid()",
         "IProfile::applicationOrKeyAt(const IProfile::Cursor&) const", 1226},
        {[&] { profile.containsKeyName(nullptr, app); }, "key != 0",
         "IProfile::containsKeyName(const char*,const char*) const", 0},
        {[&] { IProfile::Cursor c(profile, nullptr); }, "defApplName.length() > 0",
         "IProfile::Cursor::Cursor(const IProfile&,const char*)", 0},
        {[] { IProfile::deleteProfile(nullptr); }, "name != 0", deleteProfileFn, 0},
        {[] { IProfile::deleteProfile(""); }, "*name != 0", deleteProfileFn, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        Thrown thrown = thrownBy(c.call);
        EXPECT_EQ(thrown.kind, "IInvalidParameter");
        EXPECT_EQ(thrown.text, c.text);
        EXPECT_EQ(thrown.file, "iprofile");
        EXPECT_EQ(thrown.function, c.function);
        if (c.line != 0) {
            EXPECT_EQ(thrown.line, c.line);
        }
    }
}

TEST_F(ProfileTest, MissingApplicationsAndKeysThrowRegOpenKeyWithTheSystemsCode)
{
    IProfile profile = IProfile::userProfile();
    profile.addOrReplaceElementWithKey("present", 1L, kApp.c_str());
    const char* missingApp = "OvkwinProfileTestMissing";
    struct Case {
        std::function<void()> call;
        const char* function;
        unsigned long line;
    };
    const Case cases[] = {
        {[&] { profile.elementWithKey("k", missingApp); },
         "IProfile::elementWithKey(const char*,const char*) const", 750},
        {[&] { profile.elementWithKey("k", kApp.c_str()); },
         "IProfile::elementWithKey(const char*,const char*) const", 759},
        {[&] { profile.integerWithKey("k", missingApp); },
         "IProfile::integerWithKey(const char*,const char*) const", 833},
        {[&] { profile.integerWithKey("k", kApp.c_str()); },
         "IProfile::integerWithKey(const char*,const char*) const", 842},
        {[&] { profile.deleteElementWithKey("k", missingApp); },
         "IProfile::deleteElementWithKey(const char*,const char*)", 1008},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Thrown thrown = thrownBy(c.call);
        EXPECT_EQ(thrown.kind, "ISystemError");
        EXPECT_EQ(thrown.text, "RegOpenKey");
        EXPECT_EQ(thrown.errorId, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(thrown.function, c.function);
        EXPECT_EQ(thrown.line, c.line);
    }
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, std::string("Software\\") + missingApp))
        << "reading creates nothing";
}

// ---------------------------------------------------------------------------------------------
// Profiles

TEST_F(ProfileTest, PredefinedProfilesAreTheSoftwareKeysOfTheirRoots)
{
    EXPECT_EQ(str(IProfile::userProfile().name()), "HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(str(IProfile::systemProfile().name()), "HKEY_LOCAL_MACHINE\\Software");
    IProfile::userProfile().addOrReplaceElementWithKey("where", IString("user"), kApp.c_str());
    IProfile::systemProfile().addOrReplaceElementWithKey("where", IString("system"), kApp.c_str());
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\" + kApp + "\\where"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "Software\\" + kApp + "\\where"));
    EXPECT_EQ(str(IProfile::userProfile().elementWithKey("where", kApp.c_str())), "user");
    EXPECT_EQ(str(IProfile::systemProfile().elementWithKey("where", kApp.c_str())), "system");

    // Deleting a predefined profile does nothing.
    IProfile::deleteProfile("HKEY_CURRENT_USER\\Software");
    IProfile::deleteProfile("HKEY_LOCAL_MACHINE\\Software");
    EXPECT_TRUE(IProfile::userProfile().containsApplication(kApp.c_str()));
    EXPECT_TRUE(IProfile::systemProfile().containsApplication(kApp.c_str()));
}

TEST_F(ProfileTest, NamedProfileIsOneSubkeyOfTheMachinesSoftwareAndDeletesWhole)
{
    {
        IProfile profile(kNamedProfile);
        EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kNamedProfileKey));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\OvkwinProfileTest\\Named"));
        profile.addOrReplaceElementWithKey("k", 5L, "app one");
        profile.addOrReplaceElementWithKey("k", IString("v"), "app two");
    }
    IProfile again(kNamedProfile);
    EXPECT_EQ(again.numberOfApplications(), 2u);
    EXPECT_EQ(again.integerWithKey("k", "app one"), 5);

    IProfile::deleteProfile(kNamedProfile);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kNamedProfileKey));
}

TEST_F(ProfileTest, DeletingAProfileThatHoldsForeignKeysReportsThatItStays)
{
    IProfile(kNamedProfile).addOrReplaceElementWithKey("k", 1L, "app");
    createRaw(HKEY_LOCAL_MACHINE, std::string(kNamedProfileKey) + "\\x/9");
    Thrown thrown = thrownBy([] { IProfile::deleteProfile(kNamedProfile); });
    EXPECT_EQ(thrown.kind, "ISystemError");
    EXPECT_EQ(thrown.text, "RegDeleteKey");
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, std::string(kNamedProfileKey) + "\\app"))
        << "the profile's own applications are gone";
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, std::string(kNamedProfileKey) + "\\x/9"));
}

TEST_F(ProfileTest, CopiesOpenTheirOwnKey)
{
    auto original = std::make_unique<IProfile>(kNamedProfile);
    original->setDefaultApplicationName(kApp.c_str());
    IProfile copy(*original);
    IProfile assigned = IProfile::userProfile();
    assigned = *original;
    original.reset();
    EXPECT_EQ(str(copy.name()), kNamedProfile);
    EXPECT_EQ(str(assigned.defaultApplicationName()), kApp);
    copy.addOrReplaceElementWithKey("k", 3L);
    EXPECT_EQ(assigned.integerWithKey("k"), 3);
    assigned = assigned;
    EXPECT_EQ(assigned.integerWithKey("k"), 3);
}

} // namespace
