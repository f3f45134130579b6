// What the list box and the combo box share: their native messages side by side, the class
// names their failures are reported under, and the item operations written once for both.
#pragma once

#include <windows.h>

#include <iexcept.hpp>
#include <istring.hpp>

class IWindow;

namespace ovklist {

struct Kind {
    UINT getCount;
    UINT getTextLength;
    UINT getText;
    UINT getItemData;
    UINT setItemData;
    UINT deleteString;
    UINT insertString;
    UINT findString;
    UINT findStringExact;
    UINT resetContent;
    UINT getCurrentSelection;
    const char* baseClass; // "IBaseListBox"
    const char* setClass;  // "IListBox"
    const char* const* selectId;
    const char* const* addId;
    const char* const* removeId;
    const char* const* enterId;
};

extern const Kind listBox;
extern const Kind comboBox;

// The native answer at full width: an item handle of 0xFFFFFFFF is not LB_ERR on 64-bit.
LRESULT send(const IWindow& box, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// An index as the native messages take it: 0xFFFFFFFF stays -1 on 64-bit too.
inline WPARAM indexParameter(unsigned long index)
{
    return static_cast<WPARAM>(static_cast<LONG_PTR>(static_cast<long>(index)));
}
// "<class>::<function>" in the file's location.
IExceptionLocation where(const char* file, const char* className, const char* function,
                         unsigned long line);

unsigned long count(const IWindow& box, const Kind& kind);
IString itemText(const IWindow& box, const Kind& kind, unsigned long index);
// The item handle, deletion, insertion and handle again; true when the item is back.
void replaceText(const IWindow& box, const Kind& kind, unsigned long index, const char* text,
                 const char* function);
unsigned long locateText(const IWindow& box, const Kind& kind, const char* text,
                         bool caseSensitive, int search, unsigned long start);
void setItemHandle(const IWindow& box, const Kind& kind, unsigned long index,
                   unsigned long handle);
unsigned long itemHandle(const IWindow& box, const Kind& kind, unsigned long index);
// Tells the parent that the program changed the selection, as the native control does not.
void tellParentOfSelection(const IWindow& box);

// The set operations of IListBox and IComboBox.
unsigned long insert(IWindow& box, const Kind& kind, unsigned long index, const char* text);
// The index at which a text goes to keep the items in order, after the items equal to it.
unsigned long sortedIndex(const IWindow& box, const Kind& kind, const char* text,
                          bool descending);
void checkItemExists(const IWindow& box, const Kind& kind, unsigned long index);

} // namespace ovklist
