// Reference counting and the support of IReference.
#include "irefcnt.hpp"

#include "ireftype.hpp"

#include <cstring>

IRefCounted::IRefCounted(unsigned long initialUseCount) noexcept : fUseCount(initialUseCount) {}

IRefCounted::IRefCounted(const IRefCounted& other) noexcept : IVBase(other), fUseCount(0) {}

IRefCounted& IRefCounted::operator=(const IRefCounted& other) noexcept {
    IVBase::operator=(other);
    return *this;
}

IRefCounted::~IRefCounted() = default;

void IRefCounted::addRef() noexcept { fUseCount.fetch_add(1, std::memory_order_relaxed); }

void IRefCounted::removeRef() noexcept {
    unsigned long count = fUseCount.load(std::memory_order_relaxed);
    do {
        if (count == 0) return;
    } while (!fUseCount.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel,
                                              std::memory_order_relaxed));
    if (count == 1) delete this;
}

IString IRefCounted::asDebugInfo() const {
    return "IRefCounted(useCount=" + IString(useCount()) + ")";
}

IString IReferenceSupport::typeNameFromSignature(const char* signature) {
    IString text(signature);
    std::size_t start = text.indexOf("T = ");
    if (start == 0) return text;
    start += 4;
    std::size_t end = text.indexOfAnyOf(";]", start);
    return text.subString(start, end == 0 ? IString::maxPosition : end - start);
}

void IReferenceSupport::throwEmpty(const IString& typeName, const char* operation,
                                   unsigned long line) {
    IThrow::reference(IExceptionLocation(
        IString("ireftype.hpp"), "IReference<" + typeName + ">::" + operation, line));
}
