// One notification, as an observer receives it.
#pragma once

#include "ibase.hpp"
#include "ievtdata.hpp"

class INotifier;

// A notification id is an exported `const char*` constant of the notifying class (its text is
// the class and event name, "IWindow::size"); observers compare ids by address with those
// constants, so each id must be used through its constant, never as a fresh literal.
class INotificationEvent {
public:
    INotificationEvent(const char* notificationId, INotifier& notifier,
                       IBase::Boolean notifierAttrChanged = true,
                       const IEventData& eventData = IEventData(),
                       const IEventData& observerData = IEventData()) noexcept
        : fId(notificationId), fNotifier(&notifier), fAttrChanged(notifierAttrChanged),
          fEventData(eventData), fObserverData(observerData) {}

    const char* notificationId() const noexcept { return fId; }
    INotifier& notifier() const noexcept { return *fNotifier; }
    // True when an attribute of the notifier changed (a value notification), false for a pure
    // event (a click).
    IBase::Boolean hasNotifierAttrChanged() const noexcept { return fAttrChanged; }
    const IEventData& eventData() const noexcept { return fEventData; }
    // The data the observer gave when it registered; the observer list fills it in per observer.
    const IEventData& observerData() const noexcept { return fObserverData; }

    INotificationEvent& setEventData(const IEventData& data) noexcept {
        fEventData = data;
        return *this;
    }
    INotificationEvent& setObserverData(const IEventData& data) noexcept {
        fObserverData = data;
        return *this;
    }

private:
    const char* fId;
    INotifier* fNotifier;
    IBase::Boolean fAttrChanged;
    IEventData fEventData;
    IEventData fObserverData;
};
