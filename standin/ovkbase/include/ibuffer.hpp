// The storage block behind every IString: a use count, a length and the characters.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"

#include <atomic>
#include <cstddef>

// A buffer is one heap block: this header followed by `capacity() + 1` characters, the last
// one a terminating NUL, so that the characters can always be handed out as a C string. Strings
// share a buffer until one of them changes it (copy on write); the use count is atomic, so
// strings that share a buffer may be copied and destroyed on different threads.
//
// Buffers are made and released only by IString; the library uses the read-only operations
// below (the plain-text test and the comparison) through IString::buffer().
class OVKBASE_API IBuffer {
public:
    IBuffer(const IBuffer&) = delete;
    IBuffer& operator=(const IBuffer&) = delete;

    const char* contents() const noexcept { return reinterpret_cast<const char*>(this + 1); }
    std::size_t length() const noexcept { return fLength; }
    std::size_t capacity() const noexcept { return fCapacity; }
    std::size_t useCount() const noexcept { return fUseCount.load(std::memory_order_relaxed); }

    // Compares the contents with `length` bytes at `data`, byte by byte as unsigned characters,
    // NUL bytes included; a proper prefix sorts first. Negative, 0 or positive.
    int compare(const char* data, std::size_t length) const noexcept;

    // True when the contents can be kept as a text: no NUL byte and no control character other
    // than tab, line feed and carriage return. Bytes from 0x80 up count as text (code-page
    // letters). A text holding a NUL cannot survive an API that stops at the first NUL.
    IBase::Boolean isPlainText() const noexcept;

private:
    friend class IString;
    struct EmptyStorage;
    static EmptyStorage fgEmpty;

    constexpr IBuffer(std::size_t length, std::size_t capacity, std::size_t useCount) noexcept
        : fUseCount(useCount), fLength(length), fCapacity(capacity) {}
    ~IBuffer() = default;

    static IBuffer* allocate(std::size_t length, std::size_t capacity);
    static IBuffer* fromContents(const char* data, std::size_t length);
    static IBuffer* empty() noexcept;
    static IBuffer* fromData(char* data) noexcept { return reinterpret_cast<IBuffer*>(data) - 1; }

    char* data() noexcept { return reinterpret_cast<char*>(this + 1); }
    bool isShared() const noexcept;
    void addRef() noexcept;
    void removeRef() noexcept;
    void setLength(std::size_t length) noexcept;

    std::atomic<std::size_t> fUseCount;
    std::size_t fLength;
    std::size_t fCapacity;
};
