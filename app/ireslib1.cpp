// Dynamic-link libraries and the process-wide list of module records.
#include <windows.h>

#include <iexcept.hpp>
#include <iresource.hpp>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "detail/imodload.hpp"
#include "iassert.hpp"
#include "idll.hpp"

namespace {

const char kFile[] = "ireslib1";

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

using ModuleList = std::vector<IDLLModule*>;

// The list lives as long as the process, as the pointer and bitmap tables do. Records left in it
// at the end keep their modules loaded; the process ending frees them.
ModuleList& moduleList()
{
    static auto* list = new ModuleList;
    return *list;
}

IDLLModule* findByName(const char* name)
{
    for (IDLLModule* module : moduleList())
        if (module->name() == name)
            return module;
    return nullptr;
}

IDLLModule* findByHandle(HMODULE handle)
{
    if (!handle)
        return nullptr;
    for (IDLLModule* module : moduleList())
        if (module->handle() == handle)
            return module;
    return nullptr;
}

} // namespace

// Lets go of a record: it leaves the list and is deleted once no object points at it and no
// use is counted on it.
void IDynamicLinkLibrary::release(IDLLModule* module)
{
    if (!module)
        return;
    if (module->fHolders > 0)
        --module->fHolders;
    if (module->fHolders != 0 || module->useCount() != 0)
        return;
    ModuleList& list = moduleList();
    auto found = std::find(list.begin(), list.end(), module);
    if (found != list.end()) {
        list.erase(found);
        delete module;
    }
}

namespace {

IString moduleFileName(HMODULE module)
{
    const std::string name = ovk_native::moduleFileName(module);
    return IString(name.data(), name.size());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Module records

IDLLModule::IDLLModule(const char* name, IModuleHandle handle, std::uint32_t useCount)
    : fName(name), fHandle(handle), fUseCount(useCount)
{
}

std::uint32_t IDLLModule::addRef()
{
    static const char function[] = "IDLLModule::addRef()";
    if (fUseCount == 0 && !fHandle) {
        // No "insert a disk" box for a library on a drive that is not ready: the caller hears
        // of the failure instead.
        const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
        HMODULE module = ovk_native::loadModuleByName(fName);
        const DWORD error = GetLastError();
        SetErrorMode(previous);
        // A load that gives no module is a failure even when the platform leaves no error code:
        // counting a user of a module that is not there would answer later loads with handle 0.
        if (!module)
            IThrow::systemError(IString("LoadLibrary : ") + fName, error, at(function, 654));
        fHandle = module;
    }
    return ++fUseCount;
}

std::uint32_t IDLLModule::removeRef()
{
    static const char function[] = "IDLLModule::removeRef()";
    if (fUseCount == 0)
        return 0;
    if (--fUseCount == 0 && fHandle) {
        if (!FreeLibrary(fHandle))
            IThrow::systemError(IString("FreeLibrary : ") + fName, GetLastError(),
                                at(function, 698));
        fHandle = nullptr;
    }
    return fUseCount;
}

IString IDLLModule::asString() const
{
    char handle[2 + 2 * sizeof(void*) + 1];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(fHandle.asValue()));
    return IString("IDLLModule(Name(") + fName + "),Handle(" + handle + "),UseCount(" +
           IString(static_cast<unsigned long>(fUseCount)) + ")";
}

// ---------------------------------------------------------------------------------------------
// Libraries

IDynamicLinkLibrary::IDynamicLinkLibrary(const char* name)
{
    if (!name)
        return;
    IResourceLock lock(resourceLock());
    IDLLModule* module = findByName(name);
    if (!module) {
        module = new IDLLModule(name, nullptr, 0);
        moduleList().push_back(module);
    }
    // A failed load leaves the record listed with count 0; the next opener tries again.
    module->addRef();
    fModule = module;
    ++module->fHolders;
}

IDynamicLinkLibrary::IDynamicLinkLibrary(const IModuleHandle& module)
{
    static const char function[] = "IDynamicLinkLibrary::IDynamicLinkLibrary(const IModuleHandle&)";
    IResourceLock lock(resourceLock());
    IDLLModule* record = findByHandle(module);
    if (!record) {
        const IString name = moduleFileName(module);
        if (name.isEmpty())
            IThrow::systemError("GetModuleFileName", GetLastError(), at(function, 250));
        // The adopted module keeps one reference that no object releases: the library never
        // frees a module that it did not load.
        record = new IDLLModule(name, module, 1);
        moduleList().push_back(record);
    }
    record->addRef();
    fModule = record;
    ++record->fHolders;
}

IDynamicLinkLibrary::IDynamicLinkLibrary(const IDynamicLinkLibrary& other) : IResourceLibrary(other)
{
    IResourceLock lock(resourceLock());
    fModule = other.fModule;
    if (fModule) {
        fModule->addRef();
        ++fModule->fHolders;
    }
}

IDynamicLinkLibrary& IDynamicLinkLibrary::operator=(const IDynamicLinkLibrary& other)
{
    if (this == &other || fModule == other.fModule)
        return *this;
    IResourceLock lock(resourceLock());
    if (other.fModule) {
        other.fModule->addRef();
        ++other.fModule->fHolders;
    }
    IDLLModule* previous = fModule;
    fModule = other.fModule;
    if (previous) {
        try {
            previous->removeRef();
        } catch (...) {
            release(previous);
            throw;
        }
        release(previous);
    }
    return *this;
}

IDynamicLinkLibrary::~IDynamicLinkLibrary()
{
    if (!fModule)
        return;
    try {
        IResourceLock lock(resourceLock());
        if (fModule->handle())
            fModule->removeRef();
        release(fModule);
    } catch (const IException& error) {
        IAssertion::report(error);
    } catch (...) {
        IAssertion::report("IDynamicLinkLibrary: the module could not be released",
                           at("IDynamicLinkLibrary::~IDynamicLinkLibrary()", 0));
    }
}

IString IDynamicLinkLibrary::asString() const
{
    return IString("IDynamicLinkLibrary(Filename(") + fileName() + "))";
}

IString IDynamicLinkLibrary::asDebugInfo() const
{
    return asString();
}

IString IDynamicLinkLibrary::fileName() const
{
    static const char function[] = "IDynamicLinkLibrary::fileName() const";
    const HMODULE module = handle();
    const IString name = module ? moduleFileName(module) : IString();
    if (name.isEmpty())
        IThrow::systemError("GetModuleFileName", module ? GetLastError() : ERROR_MOD_NOT_FOUND,
                            at(function, 369));
    return name;
}

IBase::Boolean IDynamicLinkLibrary::isOpen() const
{
    return fModule && fModule->handle();
}

IModuleHandle IDynamicLinkLibrary::handle() const
{
    return fModule ? fModule->handle() : IModuleHandle();
}

IDynamicLinkLibrary& IDynamicLinkLibrary::addRef()
{
    if (fModule) {
        IResourceLock lock(resourceLock());
        fModule->addRef();
    }
    return *this;
}

IDynamicLinkLibrary& IDynamicLinkLibrary::removeRef()
{
    if (fModule) {
        IResourceLock lock(resourceLock());
        fModule->removeRef();
    }
    return *this;
}

IDynamicLinkLibrary::EntryPoint IDynamicLinkLibrary::procAddress(const char* name) const
{
    static const char function[] = "IDynamicLinkLibrary::procAddress(const char*) const";
    const HMODULE module = handle();
    FARPROC entry = module && name ? GetProcAddress(module, name) : nullptr;
    if (!entry)
        IThrow::systemError(IString("GetProcAddress: ") + name,
                            module ? GetLastError() : ERROR_MOD_NOT_FOUND, at(function, 489));
    return entry;
}

IDynamicLinkLibrary::EntryPoint IDynamicLinkLibrary::procAddress(unsigned long ordinal) const
{
    static const char function[] = "IDynamicLinkLibrary::procAddress(unsigned long) const";
    const HMODULE module = handle();
    FARPROC entry = module ? GetProcAddress(module, MAKEINTRESOURCEA(LOWORD(ordinal))) : nullptr;
    if (!entry)
        IThrow::systemError(IString("GetProcAddress #: ") + IString(ordinal),
                            module ? GetLastError() : ERROR_MOD_NOT_FOUND, at(function, 529));
    return entry;
}

std::uint32_t IDynamicLinkLibrary::addRef(const IModuleHandle& module)
{
    IResourceLock lock(resourceLock());
    IDLLModule* record = findByHandle(module);
    return record ? record->addRef() : 0;
}

std::uint32_t IDynamicLinkLibrary::removeRef(const IModuleHandle& module)
{
    IResourceLock lock(resourceLock());
    IDLLModule* record = findByHandle(module);
    return record ? record->removeRef() : 0;
}

std::uint32_t IDynamicLinkLibrary::useCountOf(const char* name)
{
    IResourceLock lock(resourceLock());
    IDLLModule* record = name ? findByName(name) : nullptr;
    return record ? record->useCount() : 0;
}

unsigned long IDynamicLinkLibrary::moduleCount()
{
    IResourceLock lock(resourceLock());
    return static_cast<unsigned long>(moduleList().size());
}

IString IDynamicLinkLibrary::moduleListAsString()
{
    IResourceLock lock(resourceLock());
    IString text;
    for (IDLLModule* module : moduleList())
        text += module->asString() + "\n";
    return text;
}
