// The platform queries and their overrides.
#include "iplatfrm.hpp"

#include <gtest/gtest.h>

namespace {

TEST(Platform, AnswersAsCurrentWindowsAndOverridesRestore) {
    IPlatform::resetAllOverrides();
    EXPECT_FALSE(IPlatform::isPlatformVariant());
    EXPECT_TRUE(IPlatform::hasNewShell());
    EXPECT_FALSE(IPlatform::hasLimitedGraphics());
    EXPECT_TRUE(IPlatform::isAlternatePenCosmeticOnly());
    EXPECT_TRUE(IPlatform::isWideCharacterSystem());

    for (int q = 0; q < IPlatform::queryCount; ++q) {
        auto query = static_cast<IPlatform::Query>(q);
        const IBase::Boolean normal = IPlatform::defaultAnswer(query);
        {
            IPlatform::Override flipped(query, !normal);
            EXPECT_EQ(IPlatform::answer(query), !normal);
            {
                IPlatform::Override nested(query, normal);
                EXPECT_EQ(IPlatform::answer(query), normal);
            }
            EXPECT_EQ(IPlatform::answer(query), !normal);
        }
        EXPECT_EQ(IPlatform::answer(query), normal);
    }
    IPlatform::setOverride(IPlatform::platformVariant, true);
    EXPECT_TRUE(IPlatform::isPlatformVariant());
    IPlatform::resetOverride(IPlatform::platformVariant);
    EXPECT_FALSE(IPlatform::isPlatformVariant());
}

} // namespace
