// Checks shared by the resource, handle and module tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <idll.hpp>

#include <iexcept.hpp>
#include <istring.hpp>

#include "ovktest.hpp"

namespace restest {

using ovktest::str;

// Runs the call and checks that it throws the system error with this text, at this place.
inline void expectSystemError(const std::function<void()>& call, const std::string& text,
                              const std::string& file, unsigned long line)
{
    try {
        call();
        ADD_FAILURE() << "no exception; expected " << text;
    } catch (const ISystemError& error) {
        EXPECT_EQ(str(error.text(0)), text);
        const IExceptionLocation* location = error.locationAtIndex(0);
        ASSERT_NE(location, nullptr);
        EXPECT_EQ(str(location->fileName()), file);
        EXPECT_EQ(location->lineNumber(), line);
    } catch (const std::exception& other) {
        ADD_FAILURE() << "another exception: " << other.what() << "; expected " << text;
    }
}

// True while the platform still knows the GDI object.
inline bool bitmapExists(HBITMAP bitmap)
{
    BITMAP info{};
    return bitmap && GetObjectA(bitmap, sizeof info, &info) == sizeof info;
}

inline SIZE bitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

// A resource of a module made for a test: type, number and the bytes.
struct BuiltResource {
    LPCSTR type;
    unsigned id;
    std::string data;
};

// A copy of the library's resource library in the temporary folder, with these resources added
// (or replaced) under the neutral language; answers its path, or "" when it cannot be made.
inline std::string buildResourceModule(const char* fileName,
                                       const std::vector<BuiltResource>& resources)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + fileName;
    IDynamicLinkLibrary source("ovkres");
    if (!CopyFileA(str(source.fileName()).c_str(), path.c_str(), FALSE))
        return std::string();
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (!update)
        return std::string();
    const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    bool added = true;
    for (const BuiltResource& resource : resources) {
        std::string data = resource.data;
        added = added && UpdateResourceA(update, resource.type, MAKEINTRESOURCEA(resource.id),
                                         neutral, &data[0], static_cast<DWORD>(data.size()));
    }
    if (!EndUpdateResourceA(update, !added) || !added)
        return std::string();
    return path;
}

} // namespace restest
