// Notifiers, observers and changes to the observer list during a notification.
#include "inotify.hpp"
#include "iobserver.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const char* const changedId = "Test::changed";

// An observer that records "name:data" for each notification and may act when told.
class Recorder : public IObserver {
public:
    Recorder(std::string name, std::string& trace) : fName(std::move(name)), fTrace(trace) {}
    std::function<void(const INotificationEvent&)> onNotify;

protected:
    IObserver& dispatchNotificationEvent(const INotificationEvent& event) override {
        fTrace += fName + ":" + std::to_string(event.observerData().asUnsignedLong()) + " ";
        if (onNotify) onNotify(event);
        return *this;
    }

private:
    std::string fName;
    std::string& fTrace;
};

class Notification : public testing::Test {
protected:
    std::string trace;
    IStandardNotifier notifier;
    Recorder a{"a", trace};
    Recorder b{"b", trace};
    Recorder c{"c", trace};

    void notify() { notifier.notifyObservers(changedId); }
};

TEST_F(Notification, ObserversAreToldInOrderOnlyWhileEnabled) {
    a.handleNotificationsFor(notifier, 1);
    b.handleNotificationsFor(notifier, 2);
    notify();
    EXPECT_EQ(trace, "");
    notifier.enableNotification();
    a.onNotify = [&](const INotificationEvent& e) {
        EXPECT_EQ(e.notificationId(), changedId);
        EXPECT_EQ(&e.notifier(), &notifier);
        EXPECT_TRUE(e.hasNotifierAttrChanged());
    };
    notify();
    EXPECT_EQ(trace, "a:1 b:2 ");
    a.handleNotificationsFor(notifier, 5); // registering again keeps the place, takes new data
    trace.clear();
    notify();
    EXPECT_EQ(trace, "a:5 b:2 ");
    b.stopHandlingNotificationsFor(notifier);
    trace.clear();
    notify();
    EXPECT_EQ(trace, "a:5 ");
    notifier.disableNotification();
    EXPECT_FALSE(notifier.isEnabledForNotification());
}

TEST_F(Notification, ChangesDuringANotificationTakeEffectSafely) {
    notifier.enableNotification();
    a.handleNotificationsFor(notifier, 1);
    b.handleNotificationsFor(notifier, 2);
    c.handleNotificationsFor(notifier, 3);
    // a removes itself and c (whose turn has not come) and adds b again (already present).
    a.onNotify = [&](const INotificationEvent&) {
        a.stopHandlingNotificationsFor(notifier);
        c.stopHandlingNotificationsFor(notifier);
        b.handleNotificationsFor(notifier, 9);
    };
    notify();
    EXPECT_EQ(trace, "a:1 b:9 ");
    EXPECT_EQ(notifier.observerList().numberOfObservers(), 1u);

    // An observer added during a notification is told from the next one on.
    trace.clear();
    b.onNotify = [&](const INotificationEvent&) { a.handleNotificationsFor(notifier, 4); };
    notify();
    EXPECT_EQ(trace, "b:9 ");
    b.onNotify = nullptr;
    trace.clear();
    notify();
    EXPECT_EQ(trace, "b:9 a:4 ");
}

TEST_F(Notification, AnObserverDestroyedDuringANotificationIsSkipped) {
    notifier.enableNotification();
    auto* doomed = new Recorder("d", trace);
    a.handleNotificationsFor(notifier, 1);
    doomed->handleNotificationsFor(notifier, 2);
    a.onNotify = [&](const INotificationEvent&) { delete doomed; };
    notify();
    EXPECT_EQ(trace, "a:1 ");
    EXPECT_EQ(notifier.observerList().numberOfObservers(), 1u);
}

TEST(NotificationLifetime, ANotifierDeletedByItsObserverEndsTheWalk) {
    std::string trace;
    Recorder a("a", trace);
    Recorder b("b", trace);
    auto* notifier = new IStandardNotifier;
    notifier->enableNotification();
    a.handleNotificationsFor(*notifier);
    b.handleNotificationsFor(*notifier);
    a.onNotify = [&](const INotificationEvent& e) {
        if (e.notificationId() == changedId) delete notifier;
    };
    notifier->notifyObservers(changedId);
    // a was told twice: the change, then the deletion sent by the destructor; b was only told
    // of the deletion, and the walk of the change ended with the list.
    EXPECT_EQ(trace, "a:0 a:0 b:0 ");
}

TEST(NotificationLifetime, ObserversAndNotifiersMayEndInEitherOrder) {
    std::string trace;
    auto* notifier = new IStandardNotifier;
    {
        Recorder gone("gone", trace);
        gone.handleNotificationsFor(*notifier);
    } // the observer leaves every list as it dies
    notifier->enableNotification();
    notifier->notifyObservers(changedId);
    EXPECT_EQ(notifier->observerList().numberOfObservers(), 0u);

    Recorder stays("stays", trace);
    stays.handleNotificationsFor(*notifier);
    delete notifier;               // tells "stays" of the deletion and forgets it
    EXPECT_EQ(trace, "stays:0 ");
}                                  // "stays" dies after its notifier without touching it

TEST(NotificationLifetime, ObserverListOnItsOwn) {
    std::string trace;
    Recorder a("a", trace);
    IStandardNotifier source;
    IObserverList list;
    list.add(a, 7);
    EXPECT_TRUE(list.contains(a));
    list.notifyObservers(INotificationEvent(changedId, source, false, IEventData(1)));
    EXPECT_EQ(trace, "a:7 ");
    list.removeAll();
    EXPECT_FALSE(list.contains(a));
}

} // namespace
