// The texts of the message numbers that errors carry.
#pragma once

#include "ibasedef.hpp"
#include "istring.hpp"

#include <cstdint>

// The library registers a provider at start-up that reads its message catalogue (its resource
// library). Until then, and for any number the provider has no text for, a fixed fallback text
// is used. A provider that throws is treated as having no text: building an exception must not
// fail because its text could not be found.
class OVKBASE_API IMessageText {
public:
    // Answers the text of a message number, or an empty string when it has none.
    using Provider = IString (*)(std::uint32_t messageNumber);

    // Installs a provider (null removes it) and answers the previous one. Safe to call from
    // any thread; a text being looked up meanwhile uses one provider or the other.
    static Provider setProvider(Provider provider) noexcept;
    static Provider provider() noexcept;

    // The provider's text, or the fallback.
    static IString textFor(std::uint32_t messageNumber);
    // The text used when no provider answers: the base library's own text for its own message
    // (58, an empty reference), "Message <number>: no text available." for any other.
    static IString fallbackText(std::uint32_t messageNumber);
};
