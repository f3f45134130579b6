// Helpers of the container tests.
#include "cnrtest.hpp"

namespace cnrtest {

int Item::destroyed = 0;

std::string classOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND child(HWND parent, int id)
{
    return GetDlgItem(parent, id);
}

RECT placeInParent(HWND window)
{
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void Containers::SetUp()
{
    // The message-driven class must exist before the first container asks for an allocation
    // window; loading the stand-in registers it.
    ASSERT_TRUE(OvkCnrRegisterClass());
    parent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
    native = makeNative();
    messageDriven = makeMessageDriven();
    OvkCnrTestJournalReset();
}

void Containers::TearDown()
{
    native.reset();
    messageDriven.reset();
    parent.reset();
}

std::unique_ptr<ICnrCtl> Containers::makeNative(const ICnrCtl::Style& style,
                                                const ICnrCtl::Attribute& attribute,
                                                unsigned long id)
{
    return std::make_unique<ICnrCtl>(id, parent.get(), parent.get(), IRectangle(0, 0, 200, 150),
                                     style, attribute);
}

std::unique_ptr<ICnrCtl> Containers::makeMessageDriven(unsigned long id)
{
    return std::make_unique<ICnrCtl>(id, parent.get(), parent.get(), IRectangle(0, 0, 200, 150),
                                     ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
}

} // namespace cnrtest
