// Helpers of the container tests: a parent window with one container of each class, and
// readers of the message-driven class's journal.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <icnrctl.hpp>
#include <icnrfmt.hpp>
#include <icnrobj.hpp>
#include <ovkcnr.hpp>

#include "ovktest.hpp"

namespace cnrtest {

// The class name of a window.
std::string classOf(HWND window);
// The child of a window with an id, or null.
HWND child(HWND parent, int id);
// The window rectangle of a window in its parent's client coordinates.
RECT placeInParent(HWND window);
// The text of a list control's item.
std::string listItemText(HWND list, int index);

// How many times the message-driven class received a message since the journal was reset (to
// one window, or to any with null).
inline unsigned received(UINT message, HWND window = nullptr)
{
    return OvkCnrTestJournalCountOf(message, window);
}

// A hidden top-level parent and owner, and one container of each class in it.
class Containers : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<ICnrCtl> makeNative(const ICnrCtl::Style& style = ICnrCtl::defaultStyle(),
                                        const ICnrCtl::Attribute& attribute =
                                            ICnrCtl::currentDefaultAttribute(),
                                        unsigned long id = 20);
    std::unique_ptr<ICnrCtl> makeMessageDriven(unsigned long id = 21);

    std::unique_ptr<ovktest::TestWindow> parent;
    std::unique_ptr<ICnrCtl> native;
    std::unique_ptr<ICnrCtl> messageDriven;
};

// An object with members of its own, which counts its destructions.
class Item : public ICnrObj {
public:
    explicit Item(const char* text = "item") : ICnrObj(IPointerHandle(), text) {}
    ~Item() override { ++destroyed; }
    static int destroyed;

private:
    double fExtra[2] = {1.0, 2.0};
};

// An object with a field of each column type and three texts, for the columns' tests.
class Row : public ICnrObj {
public:
    explicit Row(const char* text, std::uint32_t size = 0)
        : ICnrObj(IPointerHandle(), text), size(size) {}
    // The offset of a field from the start of the object, as a column takes it.
    template <class Field>
    unsigned long offsetOf(const Field& field) const
    {
        return static_cast<unsigned long>(
            reinterpret_cast<const char*>(&field) -
            reinterpret_cast<const char*>(static_cast<const ICnrObj*>(this)));
    }

    char* name = const_cast<char*>("a name");
    std::uint32_t size;
    CNR_DATE date{3, 4, 2001};
    CNR_TIME time{7, 8, 9, 0};
    char* first = const_cast<char*>("first");
    char* second = const_cast<char*>("second");
    char* third = const_cast<char*>("third");
};

// The list control of a native container.
inline HWND listOf(ICnrCtl& container)
{
    return child(container.handle(), 0x3000);
}

// Writes the container notifications that reach a window (enter, selection, help and the three
// of an edit) into a trace: "enter(b,0) selected(a) begin realloc(101) end".
class NotificationTrace : public IHandler {
public:
    std::string trace;
    // Whether selection changes are traced.
    bool selections = true;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

// Objects made for one test, added to a container in the order given, deleted with the holder.
struct Objects {
    Objects(ICnrCtl& container, std::initializer_list<const char*> texts)
    {
        for (const char* text : texts) {
            items.emplace_back(new cnrtest::Item(text));
            container.addObject(items.back().get());
        }
    }
    ICnrObj* operator[](std::size_t index) const { return items[index].get(); }
    std::vector<std::unique_ptr<cnrtest::Item>> items;
};

} // namespace cnrtest
