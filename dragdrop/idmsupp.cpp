// OLE per thread and the container test.
#include <windows.h>
#include <ole2.h>

#include <cstring>

#include <iwindow.hpp>

#include "idmsupp.hpp"

namespace {

// Each thread touches only its own count, so none is locked.
thread_local unsigned long tOleUsers = 0;

} // namespace

void IDMSupport::initializeOle()
{
    if (tOleUsers++ == 0)
        OleInitialize(nullptr);
}

void IDMSupport::uninitializeOle()
{
    if (tOleUsers == 0)
        return;
    if (--tOleUsers == 0)
        OleUninitialize();
}

unsigned long IDMSupport::oleUseCount()
{
    return tOleUsers;
}

IBase::Boolean IDMSupport::isContainer(IWindow* window)
{
    if (!window)
        return false;
    // A longer class name is cut to what fits, which none of the two names needs.
    char name[30] = {};
    if (GetClassNameA(window->handle(), name, sizeof name) <= 0)
        return false;
    return std::strcmp(name, "OVK Container") == 0 || std::strcmp(name, "OVK Native Container") == 0;
}
