// The platform queries and their test overrides.
#include "iplatfrm.hpp"

#include <atomic>

namespace {
// -1: no override; 0 or 1: the overriding answer.
std::atomic<int> gOverrides[IPlatform::queryCount] = {{-1}, {-1}, {-1}, {-1}, {-1}, {-1}, {-1}};

bool isQuery(IPlatform::Query query) noexcept {
    return query >= 0 && query < IPlatform::queryCount;
}
} // namespace

IBase::Boolean IPlatform::defaultAnswer(Query query) noexcept {
    // A current Windows of the NT family, with the newer shell.
    switch (query) {
    case platformVariant: return false;
    case newShell: return true;
    case limitedGraphics: return false;
    case alternatePenCosmeticOnly: return true;
    case wideCharacterSystem: return true;
    case consumerNewShell: return false;
    case olderNTShell: return false;
    default: return false;
    }
}

IBase::Boolean IPlatform::answer(Query query) noexcept {
    if (!isQuery(query)) return false;
    int value = gOverrides[query].load(std::memory_order_relaxed);
    return value < 0 ? defaultAnswer(query) : value;
}

void IPlatform::setOverride(Query query, IBase::Boolean answer) noexcept {
    if (isQuery(query)) gOverrides[query].store(answer ? 1 : 0, std::memory_order_relaxed);
}

void IPlatform::resetOverride(Query query) noexcept {
    if (isQuery(query)) gOverrides[query].store(-1, std::memory_order_relaxed);
}

void IPlatform::resetAllOverrides() noexcept {
    for (auto& value : gOverrides) value.store(-1, std::memory_order_relaxed);
}

IPlatform::Override::Override(Query query, IBase::Boolean answer) noexcept
    : fQuery(query), fPrevious(isQuery(query) ? gOverrides[query].load() : -1) {
    setOverride(query, answer);
}

IPlatform::Override::~Override() {
    if (isQuery(fQuery)) gOverrides[fQuery].store(fPrevious);
}
