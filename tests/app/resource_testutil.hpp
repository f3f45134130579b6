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

} // namespace restest
