// The texts of objects that were replaced while a message-driven container may still be reading
// them.
#pragma once

#include <ihandler.hpp>
#include <istring.hpp>

class ICnrCtl;

// A message-driven container reads an object's text through the record's own pointer, on its
// own thread, whenever it answers a message that needs it (a search, a sort, a paint), and
// nothing tells the library when it is done. A repaint asks each container that holds the
// object, and so waits until each is between messages; a text replaced without one is kept here
// instead, until every message-driven container listed at the time has taken a notice posted to
// it: a thread that takes a posted message from its loop is between messages, and reads the text
// that replaced it from then on. A container that leaves the list lets go of what it kept.
// Nothing here sends or waits, so a rename never waits for a thread that is waiting for it.
class ICnrReplacedTexts : public IHandler {
public:
    // The handler that takes the notices; every message-driven container has it.
    static ICnrReplacedTexts& instance();

    // Keeps the text until each message-driven container listed now has taken its notice;
    // frees it at once when there is none.
    static void keepWhileRead(IString&& text);
    // What the container kept is let go: it is between messages, or leaving the list.
    static void release(const ICnrCtl& container) noexcept;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};
