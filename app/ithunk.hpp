// The thunk library "ovkthk", which carries messages to the other windowing system's windows on
// the older platform; bound on first use.
#pragma once

#include "idefs.hpp"

class IDynamicLinkLibrary;

// The bound library, loading it and resolving its three entries on the first call. A load that
// fails throws and is tried again by the next call; an entry that is missing throws
// "GetProcAddress: <name>", stays unresolved (the senders then keep off the thunks) and is not
// looked up again.
OVKWIN_API IDynamicLinkLibrary* thunkLibrary();
