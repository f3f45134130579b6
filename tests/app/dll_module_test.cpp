// Dynamic-link libraries: one module record and one load per name, use counts shared by copies
// and assignments, the last user freeing what the library loaded and nothing it adopted, entry
// points by name and ordinal, and the errors with their places.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <idll.hpp>

#include "resource_testutil.hpp"

using restest::expectSystemError;
using restest::str;

namespace {

// A platform library that the test program has not loaded, so that its loading and freeing can
// be watched; the tests that need one skip when every candidate is in use already.
const char* unloadedLibrary()
{
    static const char* const candidates[] = {"cabinet", "msacm32", "mpr", "url", "msimg32",
                                             "sensapi", "resutils"};
    for (const char* name : candidates) {
        if (GetModuleHandleA(name) || IDynamicLinkLibrary::useCountOf(name))
            continue;
        HMODULE probe = LoadLibraryA(name);
        if (!probe)
            continue;
        FreeLibrary(probe);
        if (!GetModuleHandleA(name))
            return name;
    }
    return nullptr;
}

} // namespace

TEST(DllModule, SameNameSharesOneRecordAndOneLoad)
{
    const char* name = unloadedLibrary();
    if (!name)
        GTEST_SKIP() << "every candidate library is loaded already";
    const unsigned long modules = IDynamicLinkLibrary::moduleCount();
    {
        IDynamicLinkLibrary first(name);
        ASSERT_TRUE(first.isOpen());
        EXPECT_EQ(first.handle().asValue(), GetModuleHandleA(name));
        {
            IDynamicLinkLibrary second(name);
            EXPECT_EQ(second.handle(), first.handle());
            EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 2u);
            EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules + 1);
            IDynamicLinkLibrary copy = second;
            EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 3u);
        }
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 1u);
        EXPECT_NE(GetModuleHandleA(name), nullptr);
    }
    EXPECT_EQ(GetModuleHandleA(name), nullptr);
    EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules);
}

TEST(DllModule, NamesDifferingInCaseAreDifferentRecords)
{
    const char* name = unloadedLibrary();
    if (!name)
        GTEST_SKIP() << "every candidate library is loaded already";
    const std::string upper = str(IString::upperCase(IString(name)));
    const unsigned long modules = IDynamicLinkLibrary::moduleCount();
    {
        IDynamicLinkLibrary lower(name);
        IDynamicLinkLibrary other(upper.c_str());
        EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules + 2);
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 1u);
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(upper.c_str()), 1u);
        // Both records loaded the same module: the platform counts both loads.
        EXPECT_EQ(lower.handle(), other.handle());
    }
    EXPECT_EQ(GetModuleHandleA(name), nullptr);
}

TEST(DllModule, AssignmentMovesTheUseAndSelfAssignmentChangesNothing)
{
    const char* name = unloadedLibrary();
    if (!name)
        GTEST_SKIP() << "every candidate library is loaded already";
    IDynamicLinkLibrary resources("ovkres");
    const std::uint32_t resourceUses = IDynamicLinkLibrary::useCountOf("ovkres");
    {
        IDynamicLinkLibrary library(name);
        library = library;
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 1u);
        library = resources;
        // The last user of the first module let go: it is freed and its record is gone.
        EXPECT_EQ(GetModuleHandleA(name), nullptr);
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 0u);
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf("ovkres"), resourceUses + 1);
        EXPECT_EQ(library.handle(), resources.handle());
    }
    EXPECT_EQ(IDynamicLinkLibrary::useCountOf("ovkres"), resourceUses);
}

TEST(DllModule, ModuleReleasedByHandleIsLoadedAgainByTheNextOpener)
{
    const char* name = unloadedLibrary();
    if (!name)
        GTEST_SKIP() << "every candidate library is loaded already";
    IDynamicLinkLibrary library(name);
    const IModuleHandle module = library.handle();
    EXPECT_EQ(IDynamicLinkLibrary::addRef(module), 2u);
    EXPECT_EQ(IDynamicLinkLibrary::removeRef(module), 1u);
    EXPECT_EQ(IDynamicLinkLibrary::removeRef(module), 0u);
    EXPECT_FALSE(library.isOpen());
    EXPECT_EQ(GetModuleHandleA(name), nullptr);
    EXPECT_EQ(IDynamicLinkLibrary::addRef(IModuleHandle()), 0u);
    IDynamicLinkLibrary again(name);
    EXPECT_TRUE(again.isOpen());
    EXPECT_TRUE(library.isOpen());
    EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 1u);
}

TEST(DllModule, RecordOutlivesAReleaseByHandleWhileObjectsStillNameIt)
{
    const char* name = unloadedLibrary();
    if (!name)
        GTEST_SKIP() << "every candidate library is loaded already";
    const unsigned long modules = IDynamicLinkLibrary::moduleCount();
    {
        IDynamicLinkLibrary first(name);
        IDynamicLinkLibrary second(name);
        const IModuleHandle module = first.handle();
        IDynamicLinkLibrary::removeRef(module);
        IDynamicLinkLibrary::removeRef(module);
        EXPECT_EQ(GetModuleHandleA(name), nullptr);
        // Both objects still point at the record; destroying them must find it intact.
        EXPECT_FALSE(first.isOpen());
        EXPECT_FALSE(second.isOpen());
        EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules + 1);
    }
    EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules);
}

TEST(DllModule, AdoptedModulesAreNeverFreed)
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    HMODULE program = GetModuleHandleA(nullptr);
    for (HMODULE module : {kernel, program}) {
        char name[512];
        GetModuleFileNameA(module, name, sizeof name);
        std::uint32_t adoptedUses = 0;
        {
            IDynamicLinkLibrary adopted{IModuleHandle(module)};
            EXPECT_TRUE(adopted.isOpen());
            EXPECT_EQ(adopted.handle().asValue(), module);
            EXPECT_EQ(str(adopted.fileName()), name);
            adoptedUses = IDynamicLinkLibrary::useCountOf(name);
            // The adopting record keeps a reference of its own besides the object's.
            EXPECT_GE(adoptedUses, 2u);
            IDynamicLinkLibrary again{IModuleHandle(module)};
            EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), adoptedUses + 1);
        }
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), adoptedUses - 1);
        EXPECT_EQ(GetModuleHandleA(name), module);
    }
}

TEST(DllModule, NullNameIsALibraryWithoutModule)
{
    const unsigned long modules = IDynamicLinkLibrary::moduleCount();
    {
        IDynamicLinkLibrary none(nullptr);
        EXPECT_FALSE(none.isOpen());
        EXPECT_FALSE(none.handle().isValid());
        IDynamicLinkLibrary copy = none;
        EXPECT_FALSE(copy.isOpen());
        expectSystemError([&] { none.fileName(); }, "GetModuleFileName", "ireslib1", 369);
        expectSystemError([&] { none.procAddress("anything"); }, "GetProcAddress: anything",
                          "ireslib1", 489);
    }
    EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules);
}

TEST(DllModule, EntryPointsByNameAndOrdinal)
{
    IDynamicLinkLibrary kernel("kernel32");
    HMODULE module = GetModuleHandleA("kernel32");
    EXPECT_EQ(reinterpret_cast<void*>(kernel.procAddress("GetTickCount")),
              reinterpret_cast<void*>(GetProcAddress(module, "GetTickCount")));
    FARPROC first = GetProcAddress(module, MAKEINTRESOURCEA(1));
    if (first) {
        EXPECT_EQ(reinterpret_cast<void*>(kernel.procAddress(1ul)), reinterpret_cast<void*>(first));
    }
    // The library's resource library exports nothing, so it has no ordinal 1.
    IDynamicLinkLibrary resources("ovkres");
    expectSystemError([&] { resources.procAddress(1ul); }, "GetProcAddress #: 1", "ireslib1", 529);
    expectSystemError([&] { kernel.procAddress("NoSuchEntryPoint"); },
                      "GetProcAddress: NoSuchEntryPoint", "ireslib1", 489);
}

TEST(DllModule, FailedLoadThrowsAndLeavesAnEmptyRecordForTheNextTry)
{
    const char name[] = "ovk-no-such-library";
    unsigned long modules = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            IDynamicLinkLibrary missing(name);
            ADD_FAILURE() << "a missing library loaded";
        } catch (const ISystemError& error) {
            EXPECT_EQ(str(error.text(0)), std::string("LoadLibrary : ") + name);
            EXPECT_EQ(error.errorId(), static_cast<IException::ErrorId>(ERROR_MOD_NOT_FOUND));
            ASSERT_NE(error.locationAtIndex(0), nullptr);
            EXPECT_EQ(str(error.locationAtIndex(0)->fileName()), "ireslib1");
            EXPECT_EQ(error.locationAtIndex(0)->lineNumber(), 654u);
        }
        // The first failure files the record (unless an earlier run did); the next one reuses it.
        if (attempt == 0)
            modules = IDynamicLinkLibrary::moduleCount();
        EXPECT_EQ(IDynamicLinkLibrary::moduleCount(), modules);
        EXPECT_NE(str(IDynamicLinkLibrary::moduleListAsString()).find(name), std::string::npos);
        EXPECT_EQ(IDynamicLinkLibrary::useCountOf(name), 0u);
    }
}

TEST(DllModule, DescriptionsNameTheFileAndTheCounts)
{
    IDynamicLinkLibrary library("ovkres");
    char path[512];
    GetModuleFileNameA(library.handle(), path, sizeof path);
    EXPECT_EQ(str(library.asString()), std::string("IDynamicLinkLibrary(Filename(") + path + "))");
    EXPECT_EQ(library.asDebugInfo(), library.asString());
    const std::string list = str(IDynamicLinkLibrary::moduleListAsString());
    EXPECT_NE(list.find("IDLLModule(Name(ovkres),Handle("), std::string::npos) << list;
    // Loaders reach the module through the record, so they work through the derived object.
    EXPECT_FALSE(library.loadMessage(172).isEmpty());
}
