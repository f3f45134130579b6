// Registration of the library's message texts with the base class library.
#pragma once

// Makes the base class library read message texts from the library's resource library.
void ovkRegisterMessageTexts() noexcept;
