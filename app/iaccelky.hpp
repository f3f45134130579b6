// IAcceleratorKey: one keyboard accelerator (a key with modifiers and the command it gives),
// convertible to and from the platform's accelerator-table entry. With the key and command
// types it is built from, IKey and ICommand.
#pragma once

#include <ibitflag.hpp>
#include <istring.hpp>

#include "idefs.hpp"

struct tagACCEL;

// Keys as accelerators name them.
class OVKWIN_API IKey {
public:
    // A native virtual-key code (VK_F1, 'A', ...).
    using VirtualKey = unsigned long;
    // An enumerator rather than a static member, so that no user of the DLL has to import it.
    enum : VirtualKey { kNoKey = 0 };

    class OVKWIN_API KeyModifier : public IBitFlagSet<KeyModifier> {
    public:
        constexpr KeyModifier(Word value, Word extendedValue = 0)
            : IBitFlagSet(value, extendedValue) {}
    };
    static const KeyModifier ctrl;
    static const KeyModifier alt;
    static const KeyModifier shift;
    static const KeyModifier none;
};

// What an accelerator does when its key is pressed.
class OVKWIN_API ICommand {
public:
    enum ActionType : unsigned char { command = 0, systemCommand = 1, noCommand = 2 };
    using CommandId = unsigned long;
};

class OVKWIN_API IAcceleratorKey : public IBase {
public:
    // An action type other than the three of ICommand fails the argument check
    // "actionType <= ICommand::noCommand".
    IAcceleratorKey(IKey::VirtualKey virtualKey, const IKey::KeyModifier& modifiers,
                    ICommand::ActionType actionType, ICommand::CommandId commandId);
    // The first character of the text: two bytes when it is the lead byte of a double-byte
    // character. An empty text fails the argument check "character.length() > 0".
    IAcceleratorKey(const IString& character, const IKey::KeyModifier& modifiers,
                    ICommand::ActionType actionType, ICommand::CommandId commandId);
    // A key read from a native table; it is written back exactly as it came.
    explicit IAcceleratorKey(const tagACCEL& entry);
    IAcceleratorKey(const IAcceleratorKey& other);
    IAcceleratorKey& operator=(const IAcceleratorKey& other);
    ~IAcceleratorKey();

    // kNoKey fails the argument check "virtualKey != IKey::kNoKey"; a code beyond 16 bits
    // fails "virtualKey <= 0xFFFF".
    IAcceleratorKey& setKey(IKey::VirtualKey virtualKey, const IKey::KeyModifier& modifiers);
    IAcceleratorKey& setKey(const IString& character, const IKey::KeyModifier& modifiers);
    IAcceleratorKey& setModifiers(const IKey::KeyModifier& modifiers);
    // Ctrl, Alt and Shift as set; IKey::none when none is.
    IKey::KeyModifier modifiers() const;
    // kNoKey for a character key.
    IKey::VirtualKey virtualKey() const;
    // The character of a character key (two bytes for a double-byte one); empty for a virtual
    // key.
    IString character() const;

    IAcceleratorKey& setCommand(ICommand::CommandId commandId);
    IAcceleratorKey& setSystemCommand(ICommand::CommandId commandId);
    IAcceleratorKey& setNoCommand();
    // 0 for a key that gives no command.
    ICommand::CommandId commandId() const;
    ICommand::ActionType actionType() const;

    // The key's identity in a table, from its native entry: (flags & 0x1D) << 16 | key.
    unsigned long lookupValue() const;
    // The native entry: a character key that the keyboard can type is written as the virtual
    // key that types it; a key with no command gets the command 0x7008.
    tagACCEL accelEntry() const;

    // Flags, key, action and command.
    IBase::Boolean operator==(const IAcceleratorKey& other) const;
    IBase::Boolean operator!=(const IAcceleratorKey& other) const { return !(*this == other); }
    // The same key and modifiers, whatever the command.
    IBase::Boolean hasSameKey(const IAcceleratorKey& other) const;

private:
    void updateLookupValue();

    struct Data;
    Data* fData;
};
