// Registration of the library's message texts with the base class library.
#pragma once

#include <cstdint>

#include <istring.hpp>

struct HINSTANCE__;

// Makes the base class library read message texts from the library's resource library.
void ovkRegisterMessageTexts() noexcept;

// The whole text of a message of the module's message table, or an empty text when the module
// has none of that number. Shared by the message catalogue and the resource libraries.
IString ovkReadMessageText(HINSTANCE__* module, std::uint32_t number);
