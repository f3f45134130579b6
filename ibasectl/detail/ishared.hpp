// What the basic controls share in every class: their answer to a colour request.
#pragma once

#include <detail/iscoped.hpp>

#include "iwindow.hpp"

namespace ovkshared {

// A control's answer to a colour request (WM_CTLCOLOR...): the control's colours set into the
// device context of wParam, and a new brush of its background, which replaces `brush` (the one
// the control made for the request before) and is the result.
IEventData answerColorRequest(const IEvent& event, const IWindow& control, ovk_native::Brush& brush);

} // namespace ovkshared
