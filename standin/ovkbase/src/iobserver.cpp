// Observers, observer lists and the standard notifier.
#include "iobserver.hpp"

#include "inotify.hpp"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

// One lock guards every list and every observer's record of the lists it is in. A single lock
// keeps the two sides consistent without any lock order to get wrong (a list's destructor
// reaches its observers, an observer's destructor reaches its lists). It is never held while an
// observer is called, so observers may add, remove and notify freely.
namespace {
std::mutex& linkLock() {
    static std::mutex lock;
    return lock;
}
} // namespace

struct IObserverList::State {
    struct Entry {
        IObserver* observer;
        IEventData userData;
        bool removed;
    };
    std::vector<Entry> entries;
    unsigned walkers = 0; // notifications in progress; entries are only marked while > 0
    bool alive = true;    // cleared by the list's destructor

    Entry* find(const IObserver& observer) {
        for (Entry& entry : entries) {
            if (entry.observer == &observer && !entry.removed) return &entry;
        }
        return nullptr;
    }
    void purge() {
        if (walkers != 0) return;
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [](const Entry& entry) { return entry.removed; }),
                      entries.end());
    }
};

struct IObserver::Links {
    std::vector<std::weak_ptr<IObserverList::State>> lists;

    void forget(const IObserverList::State* state) {
        lists.erase(std::remove_if(lists.begin(), lists.end(),
                                   [state](const std::weak_ptr<IObserverList::State>& link) {
                                       auto locked = link.lock();
                                       return !locked || locked.get() == state;
                                   }),
                    lists.end());
    }
};

// ---------------------------------------------------------------------------------------------
// IObserver

IObserver::IObserver() = default;

IObserver::IObserver(const IObserver& other) : IVBase(other) {}

IObserver& IObserver::operator=(const IObserver& other) {
    IVBase::operator=(other);
    return *this;
}

IObserver::~IObserver() {
    std::lock_guard<std::mutex> guard(linkLock());
    if (fLinks == nullptr) return;
    for (const auto& link : fLinks->lists) {
        if (auto state = link.lock()) {
            if (auto* entry = state->find(*this)) entry->removed = true;
            state->purge();
        }
    }
    delete fLinks;
    fLinks = nullptr;
}

IObserver& IObserver::handleNotificationsFor(INotifier& notifier, const IEventData& userData) {
    notifier.addObserver(*this, userData);
    return *this;
}

IObserver& IObserver::stopHandlingNotificationsFor(INotifier& notifier) {
    notifier.removeObserver(*this);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// IObserverList

IObserverList::IObserverList() : fState(std::make_shared<State>()) {}

IObserverList::~IObserverList() {
    std::lock_guard<std::mutex> guard(linkLock());
    for (const State::Entry& entry : fState->entries) {
        if (!entry.removed && entry.observer->fLinks != nullptr) {
            entry.observer->fLinks->forget(fState.get());
        }
    }
    // A notification still walking holds the state; it sees `alive` cleared and stops.
    fState->alive = false;
    fState->entries.clear();
}

IObserverList& IObserverList::add(IObserver& observer, const IEventData& userData) {
    std::lock_guard<std::mutex> guard(linkLock());
    if (State::Entry* entry = fState->find(observer)) {
        entry->userData = userData;
        return *this;
    }
    fState->entries.push_back(State::Entry{&observer, userData, false});
    if (observer.fLinks == nullptr) observer.fLinks = new IObserver::Links;
    observer.fLinks->lists.push_back(fState);
    return *this;
}

IObserverList& IObserverList::remove(IObserver& observer) {
    std::lock_guard<std::mutex> guard(linkLock());
    if (State::Entry* entry = fState->find(observer)) {
        entry->removed = true;
        if (observer.fLinks != nullptr) observer.fLinks->forget(fState.get());
        fState->purge();
    }
    return *this;
}

IObserverList& IObserverList::removeAll() {
    std::lock_guard<std::mutex> guard(linkLock());
    for (State::Entry& entry : fState->entries) {
        if (!entry.removed && entry.observer->fLinks != nullptr) {
            entry.observer->fLinks->forget(fState.get());
        }
        entry.removed = true;
    }
    fState->purge();
    return *this;
}

std::size_t IObserverList::numberOfObservers() const {
    std::lock_guard<std::mutex> guard(linkLock());
    return static_cast<std::size_t>(
        std::count_if(fState->entries.begin(), fState->entries.end(),
                      [](const State::Entry& entry) { return !entry.removed; }));
}

IBase::Boolean IObserverList::contains(const IObserver& observer) const {
    std::lock_guard<std::mutex> guard(linkLock());
    return fState->find(observer) != nullptr;
}

IObserverList& IObserverList::notifyObservers(const INotificationEvent& event) {
    // The walk keeps the state alive by itself: an observer may delete the list (or the
    // notifier that owns it) while being told.
    std::shared_ptr<State> state = fState;
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(linkLock());
        count = state->entries.size();
        ++state->walkers;
    }
    struct EndWalk {
        State& state;
        ~EndWalk() {
            std::lock_guard<std::mutex> guard(linkLock());
            --state.walkers;
            state.purge();
        }
    } endWalk{*state};

    for (std::size_t i = 0; i < count; ++i) {
        IObserver* observer = nullptr;
        INotificationEvent copy(event);
        {
            std::lock_guard<std::mutex> guard(linkLock());
            if (!state->alive) break;
            const State::Entry& entry = state->entries[i];
            if (entry.removed) continue;
            observer = entry.observer;
            copy.setObserverData(entry.userData);
        }
        observer->dispatchNotificationEvent(copy);
    }
    return *this;
}

// ---------------------------------------------------------------------------------------------
// INotifier and IStandardNotifier

INotifier::~INotifier() = default;

const char* const IStandardNotifier::deleteId = "IStandardNotifier::delete";

IStandardNotifier::IStandardNotifier() = default;

IStandardNotifier::IStandardNotifier(const IStandardNotifier& other) : INotifier(other) {}

IStandardNotifier& IStandardNotifier::operator=(const IStandardNotifier& other) {
    INotifier::operator=(other);
    return *this;
}

IStandardNotifier::~IStandardNotifier() {
    // Observers learn of the end while the object can still be named; an exception from one of
    // them must not leave a destructor.
    try {
        if (fEnabled && fObservers != nullptr) notifyObservers(deleteId);
    } catch (...) {
    }
    delete fObservers;
}

IStandardNotifier& IStandardNotifier::enableNotification(IBase::Boolean enable) {
    fEnabled = enable ? 1 : 0;
    return *this;
}

IStandardNotifier& IStandardNotifier::disableNotification() { return enableNotification(false); }

IBase::Boolean IStandardNotifier::isEnabledForNotification() const { return fEnabled; }

IStandardNotifier& IStandardNotifier::notifyObservers(const INotificationEvent& event) {
    if (fEnabled && fObservers != nullptr) fObservers->notifyObservers(event);
    return *this;
}

IStandardNotifier& IStandardNotifier::notifyObservers(const char* const& notificationId) {
    return notifyObservers(INotificationEvent(notificationId, *this, true));
}

IStandardNotifier& IStandardNotifier::addObserver(IObserver& observer,
                                                  const IEventData& userData) {
    observerList().add(observer, userData);
    return *this;
}

IStandardNotifier& IStandardNotifier::removeObserver(IObserver& observer) {
    if (fObservers != nullptr) fObservers->remove(observer);
    return *this;
}

IStandardNotifier& IStandardNotifier::removeAllObservers() {
    if (fObservers != nullptr) fObservers->removeAll();
    return *this;
}

IObserverList& IStandardNotifier::observerList() {
    if (fObservers == nullptr) fObservers = new IObserverList;
    return *fObservers;
}
