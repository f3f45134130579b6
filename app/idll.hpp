// Dynamic-link libraries opened by name or adopted from a module handle, shared through a
// process-wide list of module records with use counts; entry points by name or ordinal.
#pragma once

#include "ireslib.hpp"

// One record per module: the first user loads it, the last one frees it.
class OVKWIN_API IDLLModule {
public:
    IDLLModule(const char* name, IModuleHandle handle, std::uint32_t useCount);

    // Loads the module when the count rises from 0; a failed load throws "LoadLibrary : name".
    std::uint32_t addRef();
    // Frees the module when the count falls to 0; a failed free throws "FreeLibrary : name".
    std::uint32_t removeRef();

    const IString& name() const noexcept { return fName; }
    IModuleHandle handle() const noexcept { return fHandle; }
    std::uint32_t useCount() const noexcept { return fUseCount; }
    IString asString() const;

private:
    friend class IDynamicLinkLibrary;
    IString fName;
    IModuleHandle fHandle;
    std::uint32_t fUseCount = 0;
    // The library objects that point at this record. The use count alone cannot tell when the
    // record may go: the module can be released by handle while objects still name it.
    std::uint32_t fHolders = 0;
};

// A resource library that stands for a dynamic-link library. Objects that name the same library
// (exactly the same text) share one module record; the module is loaded once for all of them.
class OVKWIN_API IDynamicLinkLibrary : public IResourceLibrary {
public:
#if defined(_WIN64)
    using EntryPoint = long long (*)();
#else
    using EntryPoint = int(__stdcall*)();
#endif

    // A null name makes an object without a module (isOpen false, handle 0).
    explicit IDynamicLinkLibrary(const char* name);
    // Adopts a module that is already loaded; the library never frees a module it did not load.
    explicit IDynamicLinkLibrary(const IModuleHandle& module);
    IDynamicLinkLibrary(const IDynamicLinkLibrary& other);
    IDynamicLinkLibrary& operator=(const IDynamicLinkLibrary& other);
    ~IDynamicLinkLibrary() override;

    IString asString() const override;
    IString asDebugInfo() const override;
    // The module's full file name; a module without one throws "GetModuleFileName".
    IString fileName() const override;
    IBase::Boolean isOpen() const override;
    IModuleHandle handle() const override;
    virtual IDynamicLinkLibrary& addRef();
    virtual IDynamicLinkLibrary& removeRef();

    // Exported entry points; a missing one throws "GetProcAddress: name" or
    // "GetProcAddress #: ordinal".
    EntryPoint procAddress(const char* name) const;
    EntryPoint procAddress(unsigned long ordinal) const;

    // The count of the first record that holds the module after the change, 0 when none does.
    // removeRef leaves the record listed even at 0, so that a later opener loads it again.
    static std::uint32_t addRef(const IModuleHandle& module);
    static std::uint32_t removeRef(const IModuleHandle& module);

    // The use count of the record named exactly so (0 when there is none), and the number of
    // records, for diagnostics.
    static std::uint32_t useCountOf(const char* name);
    static unsigned long moduleCount();
    // "IDLLModule(...)" of every record, one per line.
    static IString moduleListAsString();

private:
    static void release(IDLLModule* module);
};
