// TEST ONLY: a module that another test module imports, for the tests that watch where the
// imports of a module loaded by name are taken from.
#include <windows.h>

extern "C" __declspec(dllexport) int ovkNeededAnswer()
{
    return 42;
}
