// Message texts: the library's provider, or the fixed fallback.
#include "imsgtext.hpp"

#include "iexcept.hpp"

#include <atomic>

namespace {
std::atomic<IMessageText::Provider> gProvider{nullptr};
}

IMessageText::Provider IMessageText::setProvider(Provider provider) noexcept {
    return gProvider.exchange(provider, std::memory_order_acq_rel);
}

IMessageText::Provider IMessageText::provider() noexcept {
    return gProvider.load(std::memory_order_acquire);
}

IString IMessageText::textFor(std::uint32_t messageNumber) {
    if (Provider provider = IMessageText::provider()) {
        // The text is looked up while an exception is being built: a failing provider must
        // cost the text, never the exception.
        try {
            IString text = provider(messageNumber);
            if (!text.isEmpty()) return text;
        } catch (...) {
        }
    }
    return fallbackText(messageNumber);
}

IString IMessageText::fallbackText(std::uint32_t messageNumber) {
    if (messageNumber == INullReferenceError::messageNumber) {
        return IString("An empty reference was used: it refers to no object.");
    }
    return "Message " + IString(static_cast<unsigned long>(messageNumber)) +
           ": no text available.";
}
