// The notifier root: objects whose observers are told about changes.
#pragma once

#include "ibasedef.hpp"
#include "ievtdata.hpp"
#include "inotifev.hpp"
#include "iobserver.hpp"
#include "ivbase.hpp"

// The operations a notifier offers, in this slot order after asString and asDebugInfo. Windows
// derive from it and keep their observer data in their own records; IStandardNotifier is the
// plain implementation. Notification is off until enableNotification().
class OVKBASE_API INotifier : public IVBase {
public:
    ~INotifier() override;

    virtual INotifier& enableNotification(IBase::Boolean enable = true) = 0;
    virtual INotifier& disableNotification() = 0;
    virtual IBase::Boolean isEnabledForNotification() const = 0;
    // While notification is enabled, tell every observer; otherwise do nothing.
    virtual INotifier& notifyObservers(const INotificationEvent& event) = 0;
    // Builds the event (this notifier, the id, no data) and notifies with it.
    virtual INotifier& notifyObservers(const char* const& notificationId) = 0;
    virtual INotifier& addObserver(IObserver& observer,
                                   const IEventData& userData = IEventData()) = 0;
    virtual INotifier& removeObserver(IObserver& observer) = 0;
    virtual INotifier& removeAllObservers() = 0;
    // The list, created on first use.
    virtual IObserverList& observerList() = 0;

protected:
    INotifier() = default;
    INotifier(const INotifier&) = default;
    INotifier& operator=(const INotifier&) = default;
};

// A notifier with its own observer list and enabled flag.
class OVKBASE_API IStandardNotifier : public INotifier {
public:
    // Sent by the destructor while notification is enabled, with no data.
    static const char* const deleteId;

    IStandardNotifier();
    // A copy has no observers and starts disabled.
    IStandardNotifier(const IStandardNotifier& other);
    IStandardNotifier& operator=(const IStandardNotifier& other);
    ~IStandardNotifier() override;

    IStandardNotifier& enableNotification(IBase::Boolean enable = true) override;
    IStandardNotifier& disableNotification() override;
    IBase::Boolean isEnabledForNotification() const override;
    IStandardNotifier& notifyObservers(const INotificationEvent& event) override;
    IStandardNotifier& notifyObservers(const char* const& notificationId) override;
    IStandardNotifier& addObserver(IObserver& observer,
                                   const IEventData& userData = IEventData()) override;
    IStandardNotifier& removeObserver(IObserver& observer) override;
    IStandardNotifier& removeAllObservers() override;
    IObserverList& observerList() override;

private:
    IObserverList* fObservers = nullptr;
    IBase::Boolean fEnabled = false;
};
