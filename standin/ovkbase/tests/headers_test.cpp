// Every public header compiles on its own and together.
#include "ovkbase.hpp"
