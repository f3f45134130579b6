// Sorting and filtering through the application's function objects, in both window classes.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <icnrsort.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Objects;
using cnrtest::received;

namespace {

using SortAndFilter = Containers;


std::string textsOf(const ICnrCtl& container)
{
    std::string texts;
    ICnrCtl::ObjectCursor cursor(container);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        texts += std::string(cursor.current()->iconText()) + " ";
    return texts;
}

class KeepEveryOther : public ICnrCtl::FilterFn {
public:
    IBase::Boolean isMemberOf(ICnrObj* object, ICnrCtl*) const override
    {
        return object->iconText() != IString("b") && object->iconText() != IString("d");
    }
};

// Only the sign counts: -11 and -1 sort alike.
class ByLastLetterMinusOne : public ICnrCtl::CompareFn {
public:
    int isEqual(ICnrObj* object1, ICnrObj* object2, ICnrCtl*) const override
    {
        const int difference = std::string(object1->iconText()).compare(object2->iconText());
        return difference < 0 ? -1 : difference > 0 ? 1 : 0;
    }
};

TEST(TextComparison, AnswersMinusElevenZeroOrOne)
{
    EXPECT_EQ(cnrCompareTexts("a", "b"), -11);
    EXPECT_EQ(cnrCompareTexts("b", "a"), 1);
    EXPECT_EQ(cnrCompareTexts("a", "a"), 0);
    EXPECT_EQ(cnrCompareTexts(nullptr, ""), 0);
}

TEST_F(SortAndFilter, IconTextDescendingPutsBACInTheOrderCBA)
{
    for (ICnrCtl* cnr : {native.get(), messageDriven.get()}) {
        Objects objects(*cnr, {"b", "a", "c"});
        cnr->sortByIconText(false);
        EXPECT_EQ(textsOf(*cnr), "c b a ") << cnrtest::classOf(cnr->handle());
        cnr->sortByIconText();
        EXPECT_EQ(textsOf(*cnr), "a b c ");
        cnr->sortByIconText(false);
        cnr->sort(ByLastLetterMinusOne());
        EXPECT_EQ(textsOf(*cnr), "a b c ");
    }
}

TEST_F(SortAndFilter, ARefusedSortThrows)
{
    OvkCnrTestForceNextResult(CM_SORTRECORD, 0);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->sortByIconText(); }).text(), "CM_SORTRECORD");
}

TEST_F(SortAndFilter, FilteringAnEmptyContainerSendsNothing)
{
    messageDriven->filter();
    messageDriven->filter(KeepEveryOther());
    EXPECT_EQ(received(CM_FILTER), 0u);
}

TEST_F(SortAndFilter, MessageDrivenClassHidesExactlyTheRefusedObjectsAndShowsThemAgain)
{
    Objects objects(*messageDriven, {"a", "b", "c", "d"});
    const auto hidden = [&] {
        std::string texts;
        for (const auto& item : objects.items)
            if (item->record()->flRecordAttr & CRA_FILTERED)
                texts += std::string(item->iconText());
        return texts;
    };
    messageDriven->filter(KeepEveryOther());
    EXPECT_EQ(received(CM_FILTER), 1u);
    EXPECT_EQ(hidden(), "bd");
    messageDriven->filter();
    EXPECT_EQ(hidden(), "");
}

// The native class does not filter: with objects the request is refused and says so.
TEST_F(SortAndFilter, FilterOnANativeContainerWithObjectsThrows)
{
    native->filter();
    Objects objects(*native, {"a"});
    EXPECT_STREQ(ovktest::caught([&] { native->filter(); }).text(), "CM_FILTER");
}

} // namespace
