// The notification ids that the notification handlers raise for control classes that export
// them as their own static members (text controls and buttons keep theirs in their classes).
// A class's member is this very pointer: observers compare ids by address.
#pragma once

#include <idefs.hpp>

namespace INotificationId {

OVKWIN_API extern const char* const entryFieldDataUpdate;   // "IEntryField::dataUpdate"
OVKWIN_API extern const char* const entryFieldLimit;        // "IEntryField::limit"
OVKWIN_API extern const char* const multiLineEditDataUpdate;
OVKWIN_API extern const char* const multiLineEditLimit;
OVKWIN_API extern const char* const comboBoxEnter;          // "IBaseComboBox::enter"
OVKWIN_API extern const char* const comboBoxSelect;         // "IBaseComboBox::select"
OVKWIN_API extern const char* const listBoxEnter;           // "IBaseListBox::enter"
OVKWIN_API extern const char* const listBoxSelect;          // "IBaseListBox::select"
OVKWIN_API extern const char* const scrollBoxPosition;      // "IScrollBar::scrollBoxPosition"
OVKWIN_API extern const char* const pageBackgroundColor;    // "INotebook::pageBackgroundColor"
OVKWIN_API extern const char* const majorTabBackgroundColor;
OVKWIN_API extern const char* const minorTabBackgroundColor;
OVKWIN_API extern const char* const majorTabForegroundColor;
OVKWIN_API extern const char* const minorTabForegroundColor;
OVKWIN_API extern const char* const armChange;              // "IProgressIndicator::armChange"
OVKWIN_API extern const char* const armTrack;               // "ISlider::armTrack"
OVKWIN_API extern const char* const spinText;               // "IBaseSpinButton::text"
OVKWIN_API extern const char* const spinValue;              // "IBaseSpinButton::value"
OVKWIN_API extern const char* const circularSliderValue;    // "ICircularSlider::value"
OVKWIN_API extern const char* const circularSliderTrack;    // "ICircularSlider::track"

} // namespace INotificationId
