// The private window messages are public now; this name stays for the library's own sources.
#pragma once

#include <iprivmsg.hpp>
