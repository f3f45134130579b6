// The registry profile: an application's settings kept in the registry by application and key.
#pragma once

#include <istring.hpp>
#include <ivbase.hpp>

#include "idefs.hpp"

// A profile holds applications, an application holds keys, and each key holds one element: a
// text, an integer or binary data, which records its own type. The profile named
// "HKEY_CURRENT_USER\Software" (userProfile) or "HKEY_LOCAL_MACHINE\Software" (systemProfile) is
// that registry key itself; any other name is one subkey of the local machine's Software key,
// shared by every user of the machine. An application that keeps each user's settings uses
// userProfile() with its own application name.
//
// Application and key names are free text: they are encoded into registry key names ("/"
// becomes "//", "*" "/1", "?" "/0", "\" "/_", and on the older platform a blank "/-"), so a name
// is always exactly one registry key, never a path. Subkeys whose names are not such an encoding,
// and keys that hold no typed element, are not listed.
//
// An operation whose application argument is null uses the default application name; an empty
// application name (given, or the default when none is given) fails the argument check.
// Registry failures throw ISystemError naming the call; values that another program wrote in a
// form the profile does not read throw ISystemError with ERROR_INVALID_DATA and a second text that
// says what is wrong, never a partial or overrun read.
class OVKWIN_API IProfile : public IVBase {
public:
    class Cursor;

    explicit IProfile(const char* profName);
    IProfile(const IProfile& other);
    IProfile& operator=(const IProfile& other);
    ~IProfile() override;

    static IProfile systemProfile();
    static IProfile userProfile();
    // Removes a profile with every application in it; the two predefined profiles are left
    // alone. Throws "RegDeleteKey" when the profile's key cannot be removed (it still holds
    // subkeys that are not elements of the profile, for instance).
    static void deleteProfile(const char* name);

    // The virtual operations keep the order that code built against the library relies on.
    virtual IString name() const;
    // The name at the cursor's position; the cursor must be valid.
    virtual IString applicationOrKeyAt(const Cursor& cursor) const;
    virtual unsigned long numberOfKeys(const char* applName = nullptr) const;
    virtual unsigned long numberOfApplications() const;
    virtual IString defaultApplicationName() const;
    virtual IProfile& setDefaultApplicationName(const char* applName);

    // A text element gives its text, an integer its four bytes (low byte first), binary data
    // its bytes. A key without a known type throws "RegQueryKey".
    virtual IString elementWithKey(const char* key, const char* applName = nullptr) const;
    // Only for an integer element; any other throws "RegQueryKey".
    virtual long integerWithKey(const char* key, const char* applName = nullptr) const;
    // Writes a text element when the value is plain text that survives the system's code page,
    // binary data otherwise; whatever the key held before is replaced.
    virtual IProfile& addOrReplaceElementWithKey(const char* key, const IString& value,
                                                 const char* applName = nullptr);
    virtual IProfile& addOrReplaceElementWithKey(const char* key, long value,
                                                 const char* applName = nullptr);
    // Removes the key; an application left without keys is removed with it. The application
    // must exist ("RegOpenKey" otherwise); a key that does not exist is no error.
    virtual IProfile& deleteElementWithKey(const char* key, const char* applName = nullptr);
    virtual IProfile& deleteElementWithApplication(const char* applName = nullptr);

    // Both tests ignore letter case as the registry does, accented letters included: "CAF\xC9"
    // finds "caf\xE9", the key that elementWithKey("CAF\xC9") reads and a write to it replaces.
    virtual IBase::Boolean containsApplication(const char* applName) const;
    virtual IBase::Boolean containsKeyName(const char* key, const char* applName = nullptr) const;

    // Walks the applications of a profile, or the keys of one application, over a snapshot of
    // the names taken when the cursor is made. Positions are 1-based offsets into the snapshot.
    class OVKWIN_API Cursor : public IVBase {
    public:
        // Over the applications of the profile.
        explicit Cursor(const IProfile& profile);
        // Over the keys of one application (the profile's default application when null).
        Cursor(const IProfile& profile, const char* applName);
        ~Cursor() override;

        // Each movement answers whether the cursor is valid afterwards.
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean setToPrevious();
        virtual IBase::Boolean setToLast();
        // With checkRegistry, the cursor is valid only while the registry still lists exactly
        // the names of its snapshot.
        virtual IBase::Boolean isValid(IBase::Boolean checkRegistry = false) const;
        virtual void invalidate();

    private:
        friend class IProfile;

        unsigned long fPosition = 1;
        // Every name followed by one NUL character, in the registry's enumeration order.
        IString fNameList;
        // Empty for a cursor over applications.
        IString fApplName;
        IString fProfileName;
    };

private:
    struct KeyRecord;
    struct Element;

    IString resolvedApplName(const char* applName, unsigned long line,
                             const char* function) const;
    void writeElement(const char* key, const IString& applName, const Element& element);

    IString fDefaultApplName;
    IString fProfileName;
    KeyRecord* fRecord = nullptr;
};
