// What the basic controls share in every class: their answer to a colour request, and the keys
// they leave to their owner.
#pragma once

#include <detail/iscoped.hpp>

#include "iwindow.hpp"

namespace ovkshared {

// A control's answer to a colour request (WM_CTLCOLOR...): the control's colours set into the
// device context of wParam, and a new brush of its background, which replaces `brush` (the one
// the control made for the request before) and is the result.
IEventData answerColorRequest(const IEvent& event, const IWindow& control, ovk_native::Brush& brush);

// Sends the event on to the control's owner, or its parent when it has none: a key that the
// form's keyboard handling takes (Enter, Esc, Tab) rather than the control.
void passToOwner(const IWindow& control, const IEvent& event);

} // namespace ovkshared
