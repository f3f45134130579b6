// The lines of a button's text, as the custom buttons measure and draw them.
#pragma once

#include <vector>

#include <istring.hpp>

namespace ovk_toolbar {

// Split at newline characters; an empty text has no lines.
inline std::vector<IString> textLines(const IString& text)
{
    std::vector<IString> lines;
    std::size_t start = 1;
    while (start <= text.length()) {
        std::size_t end = text.indexOf('\n', start);
        if (end == 0)
            end = text.length() + 1;
        lines.push_back(text.subString(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace ovk_toolbar
