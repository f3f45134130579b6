// Observers and the list through which a notifier tells them.
#pragma once

#include "ibasedef.hpp"
#include "ievtdata.hpp"
#include "inotifev.hpp"
#include "ivbase.hpp"

#include <cstddef>
#include <memory>

class INotifier;
class IObserverList;

// Something that wants to be told when a notifier changes. An observer may be destroyed while
// still registered: its destructor takes it out of every list that holds it, also in the middle
// of a notification that is walking that list.
class OVKBASE_API IObserver : public IVBase {
public:
    // Registers with the notifier (notifier.addObserver); the data comes back in every
    // notification as observerData().
    virtual IObserver& handleNotificationsFor(INotifier& notifier,
                                              const IEventData& userData = IEventData());
    virtual IObserver& stopHandlingNotificationsFor(INotifier& notifier);

protected:
    IObserver();
    // A copy observes nothing until it registers itself.
    IObserver(const IObserver& other);
    IObserver& operator=(const IObserver& other);
    ~IObserver() override;

    // Called once per notification, in the order the observers registered.
    virtual IObserver& dispatchNotificationEvent(const INotificationEvent& event) = 0;

private:
    friend class IObserverList;
    struct Links;
    Links* fLinks = nullptr;
};

// The observers of one notifier, each with its own data.
//
// The list stays sound while it is being walked: an observer added during a notification is
// told from the next notification on; one removed (or destroyed) during a notification is not
// told any more, whether or not its turn has come; and a list destroyed by an observer ends
// the walk. Lists and observers may be used from several threads; an observer must not be
// destroyed on one thread while a notification on another thread may still call it.
class OVKBASE_API IObserverList {
public:
    IObserverList();
    ~IObserverList();
    IObserverList(const IObserverList&) = delete;
    IObserverList& operator=(const IObserverList&) = delete;

    // Adds the observer at the end; an observer already in the list keeps its place and gets
    // the new data.
    IObserverList& add(IObserver& observer, const IEventData& userData = IEventData());
    IObserverList& remove(IObserver& observer);
    IObserverList& removeAll();

    std::size_t numberOfObservers() const;
    IBase::Boolean contains(const IObserver& observer) const;

    // Gives the event to every observer in turn, with that observer's data filled in. An
    // exception from an observer ends the walk and leaves this function.
    IObserverList& notifyObservers(const INotificationEvent& event);

    struct State;

private:
    std::shared_ptr<State> fState;
};
