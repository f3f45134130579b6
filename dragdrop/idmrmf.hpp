// The text syntax of rendering mechanism and format lists (RMF lists) of drag items: reading,
// expanding, compressing, intersecting and editing them.
#pragma once

#include <istring.hpp>

#include <idefs.hpp>

// An RMF list is a text of comma-separated entries, each either a pair "<mechanism,format>" or a
// cross product "(m1,m2,...)x(f1,f2,...)" that stands for every pair of one listed mechanism with
// one listed format. Names are taken as they stand between the separators, with blanks,
// parentheses and angle brackets removed from both ends; there is no escape for the separators.
// Items keep their lists expanded: pairs only, mechanism-major. IDMItem offers these as its own
// statics.
class OVKWIN_API IDMRMFList {
public:
    // The token that starts at the 1-based position and ends before the next comma (or at the
    // end), stripped; the position moves past that comma.
    static IString nextToken(const IString& list, unsigned long& position);

    // The list with every cross product written out as pairs. A mechanism group that is not
    // followed by "x(" and a format group pairs each mechanism with "DRF_UNKNOWN".
    static IString expandRMFs(const IString& list);
    // The pairs of every mechanism with every format, mechanism-major.
    static IString rmfsFrom(const IString& mechanisms, const IString& formats);
    // "<mechanism,format>".
    static IString rmfFrom(const IString& mechanism, const IString& format);
    // Appends the entry, with a comma when the list is not empty.
    static IString& appendEntry(IString& list, const IString& entry);
    // The pairs of the list that occur in the wanted list, in the list's order; only the first
    // with firstOnly. A pair without its ">" ends the walk.
    static IString matchingRMFs(const IString& list, const IString& wanted,
                                IBase::Boolean firstOnly = false);
    // The list without the first entry that equals the entry as a whole.
    static IString removeEntry(const IString& list, const IString& entry);
    // The mechanism and the format of the first pair; empty for an empty list.
    static IString firstMechanism(const IString& list);
    static IString firstFormat(const IString& list);
    // The shortest form of the list for display and transfer: runs of mechanisms that share one
    // format list become one cross product. Expanding it gives back the same pairs when the
    // list was in mechanism-major order.
    static IString compressRMFs(const IString& list);
};
