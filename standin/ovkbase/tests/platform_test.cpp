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
    EXPECT_FALSE(IPlatform::hasConsumerNewShell());
    EXPECT_TRUE(IPlatform::hasNTNewShell());
    EXPECT_FALSE(IPlatform::hasOlderNTShell());

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
    // Either family's newer shell takes the newer shell's roads.
    for (bool consumer : {false, true}) {
        for (bool nt : {false, true}) {
            IPlatform::Override first(IPlatform::consumerNewShell, consumer);
            IPlatform::Override second(IPlatform::newShell, nt);
            EXPECT_EQ(IPlatform::hasNewShell() != 0, consumer || nt);
        }
    }
    IPlatform::setOverride(IPlatform::platformVariant, true);
    EXPECT_TRUE(IPlatform::isPlatformVariant());
    IPlatform::resetOverride(IPlatform::platformVariant);
    EXPECT_FALSE(IPlatform::isPlatformVariant());
}

} // namespace
