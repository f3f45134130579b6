// Help tables.
#include <windows.h>

#include <iexcept.hpp>

#include "ihelptbl.hpp"

namespace {

const char kFile[] = "ihelptbl";
const char kTableType[] = "HELPTABLE";
const char kSubtableType[] = "HELPSUBTABLE";

// The words of a subtable's text form.
const char kSubtableKeyword[] = "HELPSUBTABLE";
const char kBeginKeyword[] = "BEGIN";
const char kItemKeyword[] = "HELPSUBITEM";
const char kEndKeyword[] = "END";
const char kBlank[] = " ";

// The words of a resource, counted to its size: a resource without an end entry ends at its
// last whole entry, and nothing past its end is read.
struct ResourceWords {
    const unsigned short* words = nullptr;
    std::size_t count = 0;
};

ResourceWords loadWords(HMODULE module, unsigned short id, const char* type, const char* function)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        IThrow::systemError(IString("IHelpTable LoadResource(IResourceId:") + IString(id) + " " +
                                type + ")",
                            GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    return {static_cast<const unsigned short*>(data), SizeofResource(module, found) / 2};
}

} // namespace

IHelpSubTable::~IHelpSubTable() = default;

IHelpSubTable& IHelpSubTable::addEntry(unsigned short controlId, unsigned short panel)
{
    fEntries.push_back({controlId, panel});
    return *this;
}

unsigned short IHelpSubTable::panel(unsigned short controlId) const
{
    for (const Entry& entry : fEntries)
        if (entry.controlId == controlId)
            return entry.panel;
    return IHelpTable::noPanel;
}

IString IHelpSubTable::asString() const
{
    IString text = IString(kSubtableKeyword) + kBlank + IString(fId) + "\n" + kBeginKeyword + "\n";
    for (const Entry& entry : fEntries)
        text += IString(kItemKeyword) + kBlank + IString(entry.controlId) + kBlank +
                IString(entry.panel) + "\n";
    return text + kEndKeyword;
}

IHelpTable::IHelpTable(const IResourceId& table)
    : fId(static_cast<unsigned short>(table.id())),
      fModule(table.resourceLibrary().handle())
{
    const ResourceWords resource =
        loadWords(fModule, fId, kTableType, "IHelpTable::IHelpTable(IResourceId)");
    // Entries of three words; the first with a zero word ends the table.
    for (std::size_t at = 0; at + 3 <= resource.count; at += 3) {
        const unsigned short* entry = resource.words + at;
        if (!entry[0] || !entry[1] || !entry[2])
            break;
        addItem(entry[0], entry[1], entry[2]);
    }
}

IHelpTable::~IHelpTable() = default;

IString IHelpTable::asString() const
{
    return IString("IHelpTable(id=") + IString(fId) + ", items=" + IString(fItems.size()) + ")";
}

IHelpTable& IHelpTable::addItem(unsigned short windowId, unsigned short subtableId,
                                unsigned short extendedPanel)
{
    IReference<IHelpSubTable> subtable;
    for (const IReference<IHelpSubTable>& known : fSubtables)
        if (known->id() == subtableId)
            subtable = known;
    if (!subtable) {
        subtable = readSubtable(subtableId);
        fSubtables.push_back(subtable);
    }
    fItems.push_back({windowId, subtable, extendedPanel});
    return *this;
}

IReference<IHelpSubTable> IHelpTable::readSubtable(unsigned short subtableId) const
{
    const ResourceWords resource =
        loadWords(fModule, subtableId, kSubtableType,
                  "IHelpTable::addItem(unsigned short,unsigned short,unsigned short)");
    IReference<IHelpSubTable> subtable(new IHelpSubTable(subtableId));
    // Entries of two words; the first with a zero word ends the subtable.
    for (std::size_t at = 0; at + 2 <= resource.count; at += 2) {
        const unsigned short* entry = resource.words + at;
        if (!entry[0] || !entry[1])
            break;
        subtable->addEntry(entry[0], entry[1]);
    }
    return subtable;
}

unsigned short IHelpTable::panel(unsigned short windowId, unsigned short controlId) const
{
    for (const Item& item : fItems)
        if (item.windowId == windowId)
            return item.subtable->panel(controlId);
    return noPanel;
}

unsigned short IHelpTable::extendedPanel(unsigned short windowId) const
{
    for (const Item& item : fItems)
        if (item.windowId == windowId)
            return item.extendedPanel;
    return noPanel;
}
