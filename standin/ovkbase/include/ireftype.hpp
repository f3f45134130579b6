// IReference<T>: the counted handle of reference-counted objects.
#pragma once

#include "iexcept.hpp"
#include "istring.hpp"

#include <cstddef>
#include <type_traits>
#include <typeinfo>
#include <utility>

// Support of IReference that does not depend on T.
class OVKBASE_API IReferenceSupport {
public:
    // The type name that a compiler's function signature text gives for the template parameter
    // ("... [with T = IDMItem]" or "... [T = IDMItem]"); the signature itself when it has none.
    static IString typeNameFromSignature(const char* signature);
    // Throws INullReferenceError (message 58) with the location in this header and the
    // function "IReference<typeName>::operation".
    [[noreturn]] static void throwEmpty(const IString& typeName, const char* operation,
                                        unsigned long line);
};

template <class T>
IString ireferenceTypeName() {
#if defined(__GNUC__) || defined(__clang__)
    return IReferenceSupport::typeNameFromSignature(__PRETTY_FUNCTION__);
#else
    return IString(typeid(T).name());
#endif
}

// Holds one reference on an object with addRef() and removeRef() (normally an IRefCounted):
// copying adds a reference, destruction and reassignment drop one. Using an empty handle with
// -> or * throws INullReferenceError, an invalid request with message number 58, located in this
// header at "IReference<T>::operator->() const" (or "operator*() const").
template <class T>
class IReference {
public:
    constexpr IReference() noexcept = default;
    constexpr IReference(std::nullptr_t) noexcept {}
    IReference(T* object) noexcept : fObject(object) { acquire(); }
    IReference(const IReference& other) noexcept : fObject(other.fObject) { acquire(); }
    IReference(IReference&& other) noexcept : fObject(other.fObject) { other.fObject = nullptr; }
    template <class U, std::enable_if_t<std::is_convertible<U*, T*>::value, int> = 0>
    IReference(const IReference<U>& other) noexcept : fObject(other.get()) { acquire(); }
    ~IReference() { release(); }

    IReference& operator=(const IReference& other) noexcept { return reset(other.fObject); }
    IReference& operator=(IReference&& other) noexcept {
        if (this != &other) {
            release();
            fObject = other.fObject;
            other.fObject = nullptr;
        }
        return *this;
    }
    IReference& operator=(T* object) noexcept { return reset(object); }

    T* operator->() const {
        if (fObject == nullptr) {
            IReferenceSupport::throwEmpty(ireferenceTypeName<T>(), "operator->() const", __LINE__);
        }
        return fObject;
    }
    T& operator*() const {
        if (fObject == nullptr) {
            IReferenceSupport::throwEmpty(ireferenceTypeName<T>(), "operator*() const", __LINE__);
        }
        return *fObject;
    }

    // The object, or null; never throws.
    T* get() const noexcept { return fObject; }
    IBase::Boolean valid() const noexcept { return fObject != nullptr; }
    explicit operator bool() const noexcept { return fObject != nullptr; }
    // Takes a reference on `object` (which may be null) and drops the one held before.
    IReference& reset(T* object = nullptr) noexcept {
        // Acquire first: assigning a handle to itself, or to an object that only this handle
        // keeps alive, must not delete it in between.
        if (object != nullptr) object->addRef();
        T* old = fObject;
        fObject = object;
        if (old != nullptr) old->removeRef();
        return *this;
    }

    friend bool operator==(const IReference& a, const IReference& b) noexcept {
        return a.fObject == b.fObject;
    }
    friend bool operator!=(const IReference& a, const IReference& b) noexcept {
        return a.fObject != b.fObject;
    }

private:
    void acquire() noexcept {
        if (fObject != nullptr) fObject->addRef();
    }
    void release() noexcept {
        if (fObject != nullptr) fObject->removeRef();
        fObject = nullptr;
    }

    T* fObject = nullptr;
};
