// The application object.
#include <windows.h>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <iresource.hpp>

#include <cstdlib>

#include "iapp.hpp"
#include "idll.hpp"
#include "ireslib.hpp"
#include "ithread.hpp"

namespace {

// The environment variable that names the library's resource library, and its default.
constexpr const char* kResourceLibraryVariable = "OVKUI RESLIB";
constexpr const char* kDefaultResourceLibrary = "ovkres";

// Read through the system: the C run time's getenv keeps its own copy of the environment and
// does not see changes made with SetEnvironmentVariable.
IString resourceLibraryName()
{
    char name[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(kResourceLibraryVariable, name, sizeof name);
    if (length == 0 || length >= sizeof name)
        return IString(kDefaultResourceLibrary);
    return IString(name, length);
}

IResourceLibrary* makeLibrary(const char* name)
{
    if (name)
        return new IDynamicLinkLibrary(name);
    return new IResourceLibrary;
}

IString describe(const IResourceLibrary* library)
{
    return library ? library->asString() : IString("0");
}

} // namespace

// The process ---------------------------------------------------------------------------------

IApplication::~IApplication() = default;

ICurrentApplication& IApplication::current()
{
    // Never deleted: resources are looked up through it until the process ends.
    static ICurrentApplication* instance = new ICurrentApplication;
    return *instance;
}

unsigned long IApplication::currentProcessId() { return GetCurrentProcessId(); }

IString IApplication::asString() const { return "IApplication(" + IString(fId) + ")"; }

IString IApplication::asDebugInfo() const
{
    return "IApplication(" + IVBase::asDebugInfo() + ",id=" + IString(fId) + ")";
}

unsigned long IApplication::id() const { return fId; }

void IApplication::reservedOperation() {}

IApplication& IApplication::setPriority(PriorityClass priorityClass, long, IBase::Boolean)
{
    if (IPlatform::isPlatformVariant())
        return *this;
    if (priorityClass == noChange)
        priorityClass = IThread::current().priorityClass();
    int priority;
    switch (priorityClass) {
    case idleTime: priority = THREAD_PRIORITY_IDLE; break;
    case timeCritical: priority = THREAD_PRIORITY_TIME_CRITICAL; break;
    case high: priority = THREAD_PRIORITY_HIGHEST; break;
    default: priority = THREAD_PRIORITY_NORMAL; break;
    }
    // A thread priority belongs on a thread handle; the process identifier names no thread.
    if (!SetThreadPriority(GetCurrentThread(), priority)) {
        IThrow::systemError("SetThreadPriority", GetLastError(),
                            IEXCEPTION_LOCATION("iapp", "IApplication::setPriority("
                                                        "IApplication::PriorityClass,long,int)"));
    }
    return *this;
}

IApplication& IApplication::setId(unsigned long processId)
{
    fId = processId;
    return *this;
}

// The running process ---------------------------------------------------------------------------

ICurrentApplication::ICurrentApplication() : IApplication(GetCurrentProcessId()) {}

ICurrentApplication::~ICurrentApplication()
{
    delete fOvkuiLibrary;
    delete fUserLibrary;
    delete[] fArgValues;
}

IString ICurrentApplication::asDebugInfo() const
{
    IResourceLock lock(IResourceLibrary::resourceLock());
    IString text = "ICurrentApplication(" + IApplication::asDebugInfo();
    text += ",ovkuiLib=" + describe(fOvkuiLibrary);
    text += ",userLib=" + describe(fUserLibrary);
    text += ",argCount=" + IString(fArgCount);
    text += ",argValue=";
    for (long i = 0; i < fArgCount; ++i)
        text += (i ? " " : "") + fArgValues[i];
    return text + ")";
}

long ICurrentApplication::argc() const { return fArgCount; }

IString ICurrentApplication::argv(long index) const
{
    if (index < 0 || index >= fArgCount)
        return IString();
    return fArgValues[index];
}

ICurrentApplication& ICurrentApplication::setArgs(long count, char** values)
{
    IString* copies = nullptr;
    if (count > 0 && values) {
        copies = new IString[static_cast<std::size_t>(count)];
        for (long i = 0; i < count; ++i)
            copies[i] = IString(values[i]);
    } else {
        count = 0;
    }
    delete[] fArgValues;
    fArgValues = copies;
    fArgCount = count;
    return *this;
}

IResourceLibrary& ICurrentApplication::userResourceLibrary()
{
    IResourceLock lock(IResourceLibrary::resourceLock());
    if (!fUserLibrary)
        setUserResourceLibrary(nullptr);
    return *fUserLibrary;
}

IResourceLibrary& ICurrentApplication::ovkuiResourceLibrary()
{
    IResourceLock lock(IResourceLibrary::resourceLock());
    if (!fOvkuiLibrary) {
        if (fOvkuiIsProgram)
            setOvkuiResourceLibrary(nullptr);
        else
            setOvkuiResourceLibrary(resourceLibraryName());
    }
    return *fOvkuiLibrary;
}

ICurrentApplication& ICurrentApplication::setUserResourceLibrary(const char* name)
{
    IResourceLock lock(IResourceLibrary::resourceLock());
    // The new library first: a name that does not load leaves the previous one working.
    IResourceLibrary* library = makeLibrary(name);
    delete fUserLibrary;
    fUserLibrary = library;
    return *this;
}

ICurrentApplication& ICurrentApplication::setOvkuiResourceLibrary(const char* name)
{
    IResourceLock lock(IResourceLibrary::resourceLock());
    // As for the user's library: made before the previous one goes, so a failed load neither
    // leaves the library without its texts nor unloads a module that the new object shares.
    IResourceLibrary* library = makeLibrary(name);
    delete fOvkuiLibrary;
    fOvkuiLibrary = library;
    fOvkuiIsProgram = name == nullptr;
    return *this;
}

ICurrentApplication& ICurrentApplication::run()
{
    IThread::current().processMsgs();
    return *this;
}

void ICurrentApplication::exit(long code)
{
    IThread::current().exit(static_cast<unsigned long>(code));
}
