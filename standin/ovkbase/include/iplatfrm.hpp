// The platform queries: yes/no questions about the running platform, named by meaning.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"

// The library takes older roads where a query says so. The base library does not ask the
// system: it answers as a current Windows of the NT family does, and tests may override any
// answer (the override is process-wide and atomic; reset it when the test ends).
class OVKBASE_API IPlatform {
public:
    enum Query {
        // The older, thunked platform: thread identifiers in place of thread handles, no
        // thread-start event, parked message parameters, 16-bit thunks for private messages,
        // the extended-menu loader, the registry's subkey form, no drawing paths. Default false.
        platformVariant,
        // The newer shell on the NT family. With consumerNewShell it selects the newer
        // shell's roads (hasNewShell): extended menu-item calls, three-dimensional edges (and
        // their extra pixels in minimum sizes), message-based hit tests, the combo box's
        // top-index messages. Default true.
        newShell,
        // The limited graphics of the older consumer family: geometric pens neither styled nor
        // patterned, no paths to build regions, loaded accelerator tables rebuilt, icons loaded
        // as images. Default false.
        limitedGraphics,
        // PS_ALTERNATE is accepted for cosmetic pens only, so a wide alternate pen must be
        // made without it (ExtCreatePen fails otherwise). Default true.
        alternatePenCosmeticOnly,
        // The system's own strings are wide characters (the NT family). Default true.
        wideCharacterSystem,
        // The newer shell on the consumer family: besides the newer shell's roads, dialogs
        // that fail to load from a resource fall back to a plain frame whatever the error,
        // and the font dialog is asked for its final choice. Default false.
        consumerNewShell,
        // The NT family with the older shell, whose spin buttons need two more pixels of
        // height. Default false.
        olderNTShell,
        queryCount
    };

    static IBase::Boolean isPlatformVariant() noexcept { return answer(platformVariant); }
    // Either family's newer shell.
    static IBase::Boolean hasNewShell() noexcept {
        return answer(consumerNewShell) || answer(newShell);
    }
    static IBase::Boolean hasNTNewShell() noexcept { return answer(newShell); }
    static IBase::Boolean hasConsumerNewShell() noexcept { return answer(consumerNewShell); }
    static IBase::Boolean hasOlderNTShell() noexcept { return answer(olderNTShell); }
    static IBase::Boolean hasLimitedGraphics() noexcept { return answer(limitedGraphics); }
    static IBase::Boolean isAlternatePenCosmeticOnly() noexcept {
        return answer(alternatePenCosmeticOnly);
    }
    static IBase::Boolean isWideCharacterSystem() noexcept { return answer(wideCharacterSystem); }

    // The answer in force: the override when one is set, else the default.
    static IBase::Boolean answer(Query query) noexcept;
    static IBase::Boolean defaultAnswer(Query query) noexcept;

    // Test hooks, not for the library's own code.
    static void setOverride(Query query, IBase::Boolean answer) noexcept;
    static void resetOverride(Query query) noexcept;
    static void resetAllOverrides() noexcept;

    // Test hook: overrides one answer for the lifetime of the object and restores the previous
    // state (override or none) afterwards.
    class OVKBASE_API Override {
    public:
        Override(Query query, IBase::Boolean answer) noexcept;
        ~Override();
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        Query fQuery;
        int fPrevious;
    };
};
