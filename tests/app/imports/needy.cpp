// TEST ONLY: a module that imports ovkneeded.dll, loaded by name by the tests that watch where
// the system takes that import from.
#include <windows.h>

extern "C" __declspec(dllimport) int ovkNeededAnswer();

extern "C" __declspec(dllexport) int ovkNeedyAnswer()
{
    return ovkNeededAnswer();
}
