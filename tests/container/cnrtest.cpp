// Helpers of the container tests.
#include "cnrtest.hpp"

#include <commctrl.h>

#include <iprivmsg.hpp>

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

std::string listItemText(HWND list, int index)
{
    char text[64] = {};
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
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

namespace {

std::string textOf(const MINIRECORDCORE* record)
{
    const ICnrObj* object = ICnrObj::objectOf(record);
    return object ? std::string(object->iconText()) : std::string("-");
}

} // namespace

IBase::Boolean NotificationTrace::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != IPrivateMessage::controlNotification)
        return false;
    const void* data = event.parameter2().asPointer();
    std::string entry;
    switch (event.parameter1().highNumber()) {
    case CN_ENTER: {
        const auto* enter = static_cast<const NOTIFYRECORDENTER*>(data);
        entry = "enter(" + textOf(enter->pRecord) + "," + std::to_string(enter->fKey) + ")";
        break;
    }
    case CN_EMPHASIS: {
        const auto* emphasis = static_cast<const NOTIFYRECORDEMPHASIS*>(data);
        if (!selections || !(emphasis->fEmphasisMask & CRA_SELECTED))
            return false;
        entry = "selected(" + textOf(emphasis->pRecord) + ")";
        break;
    }
    case CN_HELP:
        entry = event.parameter2().asLong() == -1
                    ? std::string("help(none)")
                    : "help(" + textOf(static_cast<const MINIRECORDCORE*>(data)) + ")";
        break;
    case CN_BEGINEDIT: entry = "begin"; break;
    case CN_REALLOCPSZ:
        entry = "realloc(" + std::to_string(static_cast<const CNREDITDATA*>(data)->cbText) + ")";
        break;
    case CN_ENDEDIT: entry = "end"; break;
    default: return false;
    }
    trace += (trace.empty() ? "" : " ") + entry;
    return false;
}

} // namespace cnrtest
