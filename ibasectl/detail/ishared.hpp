// What the basic controls share in every class: the process-wide handler instances and each
// class's current default style.
#pragma once

#include <detail/iscoped.hpp>

#include "iwindow.hpp"

namespace ovkshared {

// The one instance of a shared handler, made on first use. Never deleted: windows may still
// dispatch while the process's static objects go.
template <class Handler>
Handler& instance()
{
    static auto* handler = new Handler;
    return *handler;
}

// A control class's current default style, which starts as its class default.
template <class Control>
IWindow::Style& defaultStyle()
{
    static IWindow::Style style = Control::classDefault;
    return style;
}

// The same for a class whose style has a type of its own and whose class default has another
// name.
template <class Control, class Style>
Style& defaultStyleOf(const Style& classDefault)
{
    static Style style = classDefault;
    return style;
}

// A control's answer to a colour request (WM_CTLCOLOR...): the control's colours set into the
// device context of wParam, and a new brush of its background, which replaces `brush` (the one
// the control made for the request before) and is the result.
IEventData answerColorRequest(const IEvent& event, const IWindow& control, ovk_native::Brush& brush);

} // namespace ovkshared
