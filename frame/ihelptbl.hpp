// IHelpTable: the map from an application's windows to help panels, read from the "HELPTABLE"
// and "HELPSUBTABLE" resources of a module.
//
// In a resource script both are custom resources of 16-bit words (plain numbers, no L suffix),
// each ending with an entry of zeros:
//     1820 HELPTABLE BEGIN  <window id>, <subtable id>, <panel>,  ...  0, 0, 0  END
//     1821 HELPSUBTABLE BEGIN  <control id>, <panel>,  ...  0, 0  END
// A subtable starts with its first pair: it has no size word in front.
#pragma once

#include <irefcnt.hpp>
#include <ireftype.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include <vector>

#include <idefs.hpp>
#include <ireslib.hpp>

// The panels of the controls inside one window: pairs (control id, panel). Window entries that
// name the same subtable share one object.
class OVKWIN_API IHelpSubTable : public IRefCounted {
public:
    struct Entry {
        unsigned short controlId;
        unsigned short panel;
    };

    explicit IHelpSubTable(unsigned short id) : fId(id) {}
    ~IHelpSubTable() override;

    // "HELPSUBTABLE <id>", "BEGIN", one "HELPSUBITEM <control> <panel>" per entry, "END", one
    // line each, with no line feed after the last.
    IString asString() const override;

    unsigned short id() const { return fId; }
    IHelpSubTable& addEntry(unsigned short controlId, unsigned short panel);
    const std::vector<Entry>& entries() const { return fEntries; }
    // The panel of the first entry of the control, or 0xFFFF.
    unsigned short panel(unsigned short controlId) const;

private:
    unsigned short fId;
    std::vector<Entry> fEntries;
};

class OVKWIN_API IHelpTable : public IVBase {
public:
    // What a lookup answers when the table knows no panel.
    static constexpr unsigned short noPanel = 0xFFFF;

    struct Item {
        unsigned short windowId;
        IReference<IHelpSubTable> subtable;
        unsigned short extendedPanel;
    };

    // Reads the "HELPTABLE" resource of the identifier, and each subtable it names, from the
    // module of the identifier's resource library.
    explicit IHelpTable(const IResourceId& table);
    IHelpTable(const IHelpTable&) = delete;
    IHelpTable& operator=(const IHelpTable&) = delete;
    ~IHelpTable() override;

    IString asString() const override;

    // Adds a window entry; its subtable is shared with earlier entries of the same subtable id,
    // else read from the module.
    IHelpTable& addItem(unsigned short windowId, unsigned short subtableId,
                        unsigned short extendedPanel);

    // The panel of a control inside a window, or noPanel.
    unsigned short panel(unsigned short windowId, unsigned short controlId) const;
    // The general help panel of a window, or noPanel.
    unsigned short extendedPanel(unsigned short windowId) const;

    unsigned short id() const { return fId; }
    IModuleHandle module() const { return fModule; }
    const std::vector<Item>& items() const { return fItems; }
    const std::vector<IReference<IHelpSubTable>>& subtables() const { return fSubtables; }

private:
    IReference<IHelpSubTable> readSubtable(unsigned short subtableId) const;

    unsigned short fId;
    IModuleHandle fModule;
    std::vector<Item> fItems;
    std::vector<IReference<IHelpSubTable>> fSubtables;
};
