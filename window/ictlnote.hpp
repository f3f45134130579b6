// The notification codes of each control family and the callback of its handler that each
// reaches: one table that the handlers and their tests read.
#pragma once

#include <cstddef>
#include <cstdint>

#include <idefs.hpp>

#include <icnrmsg.hpp>

#include "iprivmsg.hpp"
#include "iwcname.hpp"

namespace IControlNotification {

enum class Callback : unsigned char {
    edit,
    gotFocus,
    lostFocus,
    // gotFocus when the low word of the second parameter is non-zero, else lostFocus (the
    // circular slider reports both with one code).
    focusByParameter,
    listShown,
    spinCode96,
    spinCode97,
    spinCode98,
    sliderMoving,
    sliderChanged,
    selected,
    enter,
};

// Extra tests a select notification must pass before its callback is called.
enum class Condition : unsigned char {
    none,
    // Push buttons are commands, not selections.
    notPushButton,
    // A list box with multiple selection and no extended selection reports its selections
    // through the button release and the space key instead.
    notMultipleSelectOnly,
    // Only a container record that gained the selection.
    recordSelected,
};

struct Entry {
    const char* className;
    std::uint16_t code;
    Callback callback;
    Condition condition;
};

inline constexpr const char* kSpinButton = "OVK Spin Button";
inline constexpr const char* kNativeSpinButton = "OVK Native SpinButton";
inline constexpr const char* kSlider = "OVK Slider";
inline constexpr const char* kNativeSlider = "OVK Native Slider";
inline constexpr const char* kCircularSlider = "OVK Circular Slider";
inline constexpr const char* kContainer = WC_CONTAINER;

using C = Callback;
using K = Condition;

inline constexpr Entry kEdit[] = {
    {"ComboBox", 5, C::edit, K::none},           {"ComboBox", 0xFFF9, C::edit, K::none},
    {"Edit", 0x300, C::edit, K::none},           {kSpinButton, 0x99, C::edit, K::none},
    {kNativeSpinButton, 0x99, C::edit, K::none}, {kSlider, 0x8C, C::edit, K::none},
    {kNativeSlider, 0x8C, C::edit, K::none},     {kCircularSlider, 0xA2, C::edit, K::none},
};

inline constexpr Entry kFocus[] = {
    {"Edit", 0x100, C::gotFocus, K::none},          {"Edit", 0x200, C::lostFocus, K::none},
    {"ListBox", 4, C::gotFocus, K::none},           {"ListBox", 5, C::lostFocus, K::none},
    {"ComboBox", 3, C::gotFocus, K::none},          {"ComboBox", 4, C::lostFocus, K::none},
    {kSpinButton, 0x9A, C::gotFocus, K::none},      {kSpinButton, 0x9B, C::lostFocus, K::none},
    {kNativeSpinButton, 0x9A, C::gotFocus, K::none},
    {kNativeSpinButton, 0x9B, C::lostFocus, K::none},
    {kContainer, 0x70, C::gotFocus, K::none},       {kContainer, 0x6D, C::lostFocus, K::none},
    {kSlider, 0x8E, C::gotFocus, K::none},          {kSlider, 0x8D, C::lostFocus, K::none},
    {kNativeSlider, 0x8E, C::gotFocus, K::none},    {kNativeSlider, 0x8D, C::lostFocus, K::none},
    {kCircularSlider, 0xA0, C::focusByParameter, K::none},
};

inline constexpr Entry kComboDropDown[] = {
    {"ComboBox", 7, C::listShown, K::none},
};

inline constexpr Entry kSpin[] = {
    {kSpinButton, 0x96, C::spinCode96, K::none},       {kSpinButton, 0x97, C::spinCode97, K::none},
    {kSpinButton, 0x98, C::spinCode98, K::none},       {kNativeSpinButton, 0x96, C::spinCode96, K::none},
    {kNativeSpinButton, 0x97, C::spinCode97, K::none}, {kNativeSpinButton, 0x98, C::spinCode98, K::none},
};

inline constexpr Entry kSlide[] = {
    {kSlider, 0x8F, C::sliderMoving, K::none},       {kSlider, 0x8C, C::sliderChanged, K::none},
    {kNativeSlider, 0x8F, C::sliderMoving, K::none}, {kNativeSlider, 0x8C, C::sliderChanged, K::none},
    {kCircularSlider, 0xA3, C::sliderMoving, K::none},
    {kCircularSlider, 0xA2, C::sliderChanged, K::none},
};

inline constexpr Entry kSelect[] = {
    {"ComboBox", 1, C::selected, K::none},
    {"ComboBox", 2, C::enter, K::none},
    {"ComboBox", 0xFFF8, C::enter, K::none},
    {"Button", 0, C::selected, K::notPushButton},
    {"Button", 5, C::enter, K::notPushButton},
    {"ListBox", 1, C::selected, K::notMultipleSelectOnly},
    {"ListBox", IPrivateMessage::listBoxSelect, C::selected, K::none},
    {"ListBox", 2, C::enter, K::none},
    {kContainer, 0x6C, C::selected, K::recordSelected},
    {kContainer, 0x6A, C::enter, K::none},
};

// The entry of a table for a control class and code, or null.
template <std::size_t N>
const Entry* find(const Entry (&table)[N], const IWindowClassName& className, unsigned long code);

} // namespace IControlNotification

template <std::size_t N>
const IControlNotification::Entry* IControlNotification::find(const Entry (&table)[N],
                                                             const IWindowClassName& className,
                                                             unsigned long code)
{
    for (const Entry& entry : table)
        if (entry.code == code && className == entry.className)
            return &entry;
    return nullptr;
}
