// The platform's shell library, opened once for the resources that system handles take from it.
#pragma once

class IDynamicLinkLibrary;

// The shell library, or null when it cannot be opened. It stays open for the life of the
// process: icons that the platform shares belong to their module and go when it is freed.
IDynamicLinkLibrary* ovkShellLibrary() noexcept;
