// The text syntax of rendering mechanism and format lists.
#include "idmrmf.hpp"

#include "idmnames.hpp"

namespace {

const char kStripped[] = " ()<>";

// The 1-based position of the first non-blank character at or after the position; one past the
// end when there is none.
std::size_t skipBlanks(const IString& text, std::size_t position)
{
    while (position <= text.length() && text.charAt(position) == ' ')
        ++position;
    return position;
}

// The 1-based position of the "(" that opens the format group after a mechanism group ending at
// closing, or 0. Only "x(" (blanks allowed around the x) counts: a list whose next entry is a
// group of its own must not lend that group's names as formats.
std::size_t formatGroupAfter(const IString& list, std::size_t closing)
{
    std::size_t at = skipBlanks(list, closing + 1);
    if (at > list.length() || (list.charAt(at) != 'x' && list.charAt(at) != 'X'))
        return 0;
    at = skipBlanks(list, at + 1);
    return at <= list.length() && list.charAt(at) == '(' ? at : 0;
}

// Every token of a comma-separated list: one more than it has commas, so that an empty name
// (as in "<x,>") survives compression and expansion.
template <class Visit>
void forEachToken(const IString& list, Visit visit)
{
    unsigned long position = 1;
    do
        visit(IDMRMFList::nextToken(list, position));
    while (position <= list.length() + 1);
}

// Expands the entry that starts at the "(" at start and answers the position after it.
std::size_t expandGroup(const IString& list, std::size_t start, IString& result)
{
    const std::size_t closing = list.indexOf(')', start);
    const std::size_t end = closing ? closing : list.length() + 1;
    const IString mechanisms = list.subString(start + 1, end - start - 1);
    if (!closing) {
        IDMRMFList::appendEntry(result, IDMRMFList::rmfsFrom(mechanisms, IDMNames::rfUnknown));
        return end;
    }
    const std::size_t formatsStart = formatGroupAfter(list, closing);
    const std::size_t formatsEnd = formatsStart ? list.indexOf(')', formatsStart) : 0;
    if (!formatsEnd) {
        IDMRMFList::appendEntry(result, IDMRMFList::rmfsFrom(mechanisms, IDMNames::rfUnknown));
        return closing + 1;
    }
    const IString formats = list.subString(formatsStart + 1, formatsEnd - formatsStart - 1);
    IDMRMFList::appendEntry(result, IDMRMFList::rmfsFrom(mechanisms, formats));
    return formatsEnd + 1;
}

// A group of mechanisms that share one format list, while compressing.
struct Group {
    IString mechanisms;
    IString formats;
    unsigned long mechanismCount = 0;

    void writeTo(IString& result) const {
        if (mechanismCount == 1 && formats.indexOf(',') == 0)
            IDMRMFList::appendEntry(result, IDMRMFList::rmfFrom(mechanisms, formats));
        else
            IDMRMFList::appendEntry(result, IString("(") + mechanisms + ")x(" + formats + ")");
    }
};

} // namespace

IString IDMRMFList::nextToken(const IString& list, unsigned long& position)
{
    const std::size_t comma = list.indexOf(',', position);
    const std::size_t end = comma ? comma : list.length() + 1;
    IString token = position < end ? list.subString(position, end - position) : IString();
    position = static_cast<unsigned long>(end + 1);
    return token.strip(IString(kStripped));
}

IString IDMRMFList::expandRMFs(const IString& list)
{
    IString result;
    std::size_t position = 1;
    while (position <= list.length()) {
        const std::size_t start = list.indexOfAnyOf(IString("<("), position);
        if (!start)
            break;
        if (list.charAt(start) == '<') {
            unsigned long at = static_cast<unsigned long>(start);
            const IString mechanism = nextToken(list, at);
            const IString format = nextToken(list, at);
            appendEntry(result, rmfFrom(mechanism, format));
            position = at;
        } else {
            position = expandGroup(list, start, result);
        }
    }
    return result;
}

IString IDMRMFList::rmfsFrom(const IString& mechanisms, const IString& formats)
{
    IString result;
    forEachToken(mechanisms, [&](const IString& mechanism) {
        forEachToken(formats, [&](const IString& format) {
            appendEntry(result, rmfFrom(mechanism, format));
        });
    });
    return result;
}

IString IDMRMFList::rmfFrom(const IString& mechanism, const IString& format)
{
    return IString("<") + mechanism + "," + format + ">";
}

IString& IDMRMFList::appendEntry(IString& list, const IString& entry)
{
    if (!list.isEmpty())
        list += ",";
    list += entry;
    return list;
}

IString IDMRMFList::matchingRMFs(const IString& list, const IString& wanted,
                                 IBase::Boolean firstOnly)
{
    IString result;
    std::size_t position = 1;
    while (std::size_t open = list.indexOf('<', position)) {
        const std::size_t close = list.indexOf('>', open);
        if (!close)
            break;
        const IString pair = list.subString(open, close - open + 1);
        position = close + 1;
        if (wanted.indexOf(pair) == 0)
            continue;
        appendEntry(result, pair);
        if (firstOnly)
            break;
    }
    return result;
}

IString IDMRMFList::removeEntry(const IString& list, const IString& entry)
{
    IString framed = IString(",") + list + ",";
    framed.change(IString(",") + entry + ",", IString(","), 1, 1);
    return framed.strip(',');
}

IString IDMRMFList::firstMechanism(const IString& list)
{
    unsigned long position = 1;
    return nextToken(list, position);
}

IString IDMRMFList::firstFormat(const IString& list)
{
    unsigned long position = 1;
    nextToken(list, position);
    return nextToken(list, position);
}

IString IDMRMFList::compressRMFs(const IString& list)
{
    // Two sentinel pairs, whose names no list holds (a control character and a digit), flush
    // the last real group and are never written themselves.
    IString pairs = expandRMFs(list);
    appendEntry(pairs, "<\a1,\a1>,<\a2,\a2>");

    IString result;
    Group pending;
    IString previousMechanism;
    IString previousFormats;
    bool havePrevious = false;
    unsigned long position = 1;
    while (position <= pairs.length()) {
        const IString mechanism = nextToken(pairs, position);
        const IString format = nextToken(pairs, position);
        if (havePrevious && mechanism == previousMechanism) {
            appendEntry(previousFormats, format);
            continue;
        }
        if (havePrevious) {
            if (pending.mechanismCount && previousFormats == pending.formats) {
                appendEntry(pending.mechanisms, previousMechanism);
                ++pending.mechanismCount;
            } else {
                if (pending.mechanismCount)
                    pending.writeTo(result);
                pending = Group{previousMechanism, previousFormats, 1};
            }
        }
        previousMechanism = mechanism;
        previousFormats = format;
        havePrevious = true;
    }
    return result;
}
