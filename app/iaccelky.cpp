// Accelerator keys and their native table entries.
#include <windows.h>

#include <cstdint>

#include <iexcept.hpp>

#include "iaccelky.hpp"

// Constant-initialised (the constructor is constexpr), so they hold their values before any
// dynamic initialiser of the library or of an application runs.
const IKey::KeyModifier IKey::ctrl(0, 1);
const IKey::KeyModifier IKey::alt(0, 2);
const IKey::KeyModifier IKey::shift(0, 4);
const IKey::KeyModifier IKey::none(0, 8);

namespace {

const char kFile[] = "iaccelky";

constexpr std::uint16_t kModifierFlags = FSHIFT | FCONTROL | FALT;
// The flags that make a key's identity in a table: the key's kind and its modifiers.
constexpr std::uint16_t kLookupFlags = FVIRTKEY | kModifierFlags;
// What a key that gives no command is written with; it reads back as no command.
constexpr WORD kNoCommandId = 0x7008;
// Commands from this number on are system commands (SC_SIZE and up).
constexpr unsigned long kFirstSystemCommand = 0xF000;

void checkActionType(ICommand::ActionType actionType, const char* signature)
{
    IARGUMENT_CHECK(actionType <= ICommand::noCommand, kFile, signature);
}

} // namespace

struct IAcceleratorKey::Data {
    std::uint16_t flags = 0;
    std::uint16_t key = 0;
    std::uint32_t command = 0;
    ICommand::ActionType actionType = ICommand::command;
    IBase::Boolean fromTable = false;
    std::uint32_t lookupValue = 0;
};

IAcceleratorKey::IAcceleratorKey(IKey::VirtualKey virtualKey, const IKey::KeyModifier& modifiers,
                                 ICommand::ActionType actionType, ICommand::CommandId commandId)
    : fData(new Data)
{
    try {
        checkActionType(actionType,
                        "IAcceleratorKey::IAcceleratorKey(IKey::VirtualKey,const "
                        "IKey::KeyModifier&,ICommand::ActionType,ICommand::CommandId)");
        setKey(virtualKey, modifiers);
    } catch (...) {
        delete fData;
        throw;
    }
    fData->actionType = actionType;
    fData->command = actionType == ICommand::noCommand ? 0 : commandId;
}

IAcceleratorKey::IAcceleratorKey(const IString& character, const IKey::KeyModifier& modifiers,
                                 ICommand::ActionType actionType, ICommand::CommandId commandId)
    : fData(new Data)
{
    try {
        checkActionType(actionType,
                        "IAcceleratorKey::IAcceleratorKey(const IString&,const "
                        "IKey::KeyModifier&,ICommand::ActionType,ICommand::CommandId)");
        setKey(character, modifiers);
    } catch (...) {
        delete fData;
        throw;
    }
    fData->actionType = actionType;
    fData->command = actionType == ICommand::noCommand ? 0 : commandId;
}

IAcceleratorKey::IAcceleratorKey(const ACCEL& entry) : fData(new Data)
{
    fData->flags = entry.fVirt;
    fData->key = entry.key;
    fData->command = entry.cmd;
    // The command that a key without one is written with reads back as no command, so that
    // such a key survives a trip through a native table.
    if (entry.cmd == kNoCommandId) {
        fData->actionType = ICommand::noCommand;
        fData->command = 0;
    } else {
        fData->actionType = entry.cmd >= kFirstSystemCommand ? ICommand::systemCommand
                                                             : ICommand::command;
    }
    fData->fromTable = true;
    updateLookupValue();
}

IAcceleratorKey::IAcceleratorKey(const IAcceleratorKey& other)
    : IBase(other), fData(new Data(*other.fData))
{
}

IAcceleratorKey& IAcceleratorKey::operator=(const IAcceleratorKey& other)
{
    *fData = *other.fData;
    return *this;
}

IAcceleratorKey::~IAcceleratorKey()
{
    delete fData;
}

IAcceleratorKey& IAcceleratorKey::setKey(IKey::VirtualKey virtualKey,
                                         const IKey::KeyModifier& modifiers)
{
    static const char signature[] =
        "IAcceleratorKey::setKey(IKey::VirtualKey,const IKey::KeyModifier&)";
    IARGUMENT_CHECK(virtualKey != IKey::kNoKey, kFile, signature);
    IARGUMENT_CHECK(virtualKey <= 0xFFFF, kFile, signature);
    fData->key = static_cast<std::uint16_t>(virtualKey);
    fData->flags |= FVIRTKEY;
    fData->fromTable = false;
    return setModifiers(modifiers);
}

IAcceleratorKey& IAcceleratorKey::setKey(const IString& character,
                                         const IKey::KeyModifier& modifiers)
{
    IARGUMENT_CHECK(character.length() > 0, kFile,
                    "IAcceleratorKey::setKey(const IString&,const IKey::KeyModifier&)");
    const unsigned char first = static_cast<unsigned char>(character[1]);
    std::uint16_t key = first;
    // The second byte of a double-byte character goes in the high byte.
    if (character.length() > 1 && IsDBCSLeadByte(first))
        key |= static_cast<std::uint16_t>(static_cast<unsigned char>(character[2]) << 8);
    fData->key = key;
    fData->flags &= static_cast<std::uint16_t>(~FVIRTKEY);
    fData->fromTable = false;
    return setModifiers(modifiers);
}

IAcceleratorKey& IAcceleratorKey::setModifiers(const IKey::KeyModifier& modifiers)
{
    std::uint16_t flags = fData->flags & static_cast<std::uint16_t>(~kModifierFlags);
    if (modifiers.contains(IKey::shift))
        flags |= FSHIFT;
    if (modifiers.contains(IKey::ctrl))
        flags |= FCONTROL;
    if (modifiers.contains(IKey::alt))
        flags |= FALT;
    fData->flags = flags;
    updateLookupValue();
    return *this;
}

// The identity is that of the native entry, so "a" and "A", which both become the A key, are
// one key in a table, as they are one key on the keyboard.
void IAcceleratorKey::updateLookupValue()
{
    const ACCEL entry = accelEntry();
    fData->lookupValue =
        (static_cast<std::uint32_t>(entry.fVirt & kLookupFlags) << 16) | entry.key;
}

IKey::KeyModifier IAcceleratorKey::modifiers() const
{
    IKey::KeyModifier modifiers = IKey::none;
    if (fData->flags & FCONTROL)
        modifiers |= IKey::ctrl;
    if (fData->flags & FALT)
        modifiers |= IKey::alt;
    if (fData->flags & FSHIFT)
        modifiers |= IKey::shift;
    if (fData->flags & kModifierFlags)
        modifiers &= ~IKey::none;
    return modifiers;
}

IKey::VirtualKey IAcceleratorKey::virtualKey() const
{
    if (!(fData->flags & FVIRTKEY))
        return IKey::kNoKey;
    return fData->key;
}

IString IAcceleratorKey::character() const
{
    if (fData->flags & FVIRTKEY)
        return IString();
    const char bytes[2] = {static_cast<char>(fData->key & 0xFF),
                           static_cast<char>(fData->key >> 8)};
    return IString(bytes, bytes[1] ? 2 : 1);
}

IAcceleratorKey& IAcceleratorKey::setCommand(ICommand::CommandId commandId)
{
    fData->actionType = ICommand::command;
    fData->command = commandId;
    return *this;
}

IAcceleratorKey& IAcceleratorKey::setSystemCommand(ICommand::CommandId commandId)
{
    fData->actionType = ICommand::systemCommand;
    fData->command = commandId;
    return *this;
}

IAcceleratorKey& IAcceleratorKey::setNoCommand()
{
    fData->actionType = ICommand::noCommand;
    fData->command = 0;
    return *this;
}

ICommand::CommandId IAcceleratorKey::commandId() const
{
    return fData->actionType == ICommand::noCommand ? 0 : fData->command;
}

ICommand::ActionType IAcceleratorKey::actionType() const
{
    return fData->actionType;
}

unsigned long IAcceleratorKey::lookupValue() const
{
    return fData->lookupValue;
}

ACCEL IAcceleratorKey::accelEntry() const
{
    ACCEL entry{};
    entry.fVirt = static_cast<BYTE>(fData->flags);
    entry.key = fData->key;
    entry.cmd = static_cast<WORD>(fData->command);
    if (!fData->fromTable && !(fData->flags & FVIRTKEY) && fData->key <= 0xFF) {
        // A character entry only matches WM_CHAR, which Ctrl and Alt combinations and many
        // layouts never produce; the key that types the character always arrives.
        const SHORT scan = VkKeyScanA(static_cast<CHAR>(fData->key));
        if (scan != -1) {
            const BYTE virtualKey = LOBYTE(scan);
            const BYTE shiftState = HIBYTE(scan);
            entry.fVirt |= FVIRTKEY;
            entry.key = virtualKey;
            // A letter keeps its key whatever the case: "A" is as much the A key as "a".
            if ((shiftState & 1) && !(virtualKey >= 'A' && virtualKey <= 'Z'))
                entry.fVirt |= FSHIFT;
            if (shiftState & 2)
                entry.fVirt |= FCONTROL;
            if (shiftState & 4)
                entry.fVirt |= FALT;
        }
    }
    if (fData->actionType == ICommand::noCommand)
        entry.cmd = kNoCommandId;
    return entry;
}

IBase::Boolean IAcceleratorKey::operator==(const IAcceleratorKey& other) const
{
    return fData->flags == other.fData->flags && fData->key == other.fData->key &&
           fData->actionType == other.fData->actionType &&
           fData->command == other.fData->command;
}

IBase::Boolean IAcceleratorKey::hasSameKey(const IAcceleratorKey& other) const
{
    return fData->lookupValue == other.fData->lookupValue;
}
