// Shared checks of the colour and font tests.
#pragma once

#include <gtest/gtest.h>

#include <iexcept.hpp>

#include <string>

// Runs `call` and checks that it throws the invalid-request error with the message number,
// located in the given source file and function.
template <class Call>
void expectMessage(Call&& call, unsigned long number, const char* file, const char* function)
{
    try {
        call();
        ADD_FAILURE() << "no exception; expected message " << number << " from " << function;
    } catch (const IInvalidRequest& error) {
        EXPECT_EQ(error.errorId(), number);
        const IExceptionLocation* where = error.locationAtIndex(0);
        ASSERT_NE(where, nullptr);
        EXPECT_EQ(std::string(where->fileName()), file);
        EXPECT_EQ(std::string(where->functionName()), function);
    }
}
