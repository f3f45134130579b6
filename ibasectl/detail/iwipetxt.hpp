// A copy of a control's text that is wiped however the scope that made it is left.
#pragma once

#include <istring.hpp>

#include <utility>

namespace ovkshared {

// A password field's text must not outlive its use in freed memory: every copy that the
// library makes of it (to cut, compare, measure or pick from it) is held in one of these, so
// that an early return or an exception wipes it as surely as the normal way out.
class WipedText {
public:
    explicit WipedText(IString text) noexcept : fText(std::move(text)) {}
    ~WipedText() { fText.wipe(); }
    WipedText(const WipedText&) = delete;
    WipedText& operator=(const WipedText&) = delete;

    IString& text() noexcept { return fText; }
    const IString& text() const noexcept { return fText; }

private:
    IString fText;
};

} // namespace ovkshared
