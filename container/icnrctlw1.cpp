// The native container's record messages: each record lives as one tree item (once there is a
// tree control) and, at the top level, as one list item; both carry the object as their data.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include "detail/icnrdata.hpp"
#include "detail/icnrnhdr.hpp"

#include <detail/iclasswide.hpp>
#include <detail/iwincore.hpp>
#include <iexcept.hpp>

#include <detail/iscoped.hpp>

#include "detail/icnritem.hpp"
#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

// The messages are answered inside the handler's dispatch, which is where a refusal is located.
constexpr const char* kFile = "icnrctlw";
constexpr const char* kWhere = "INativeContainerHandler::dispatchHandlerEvent(IEvent&)";
constexpr int kTextLength = 64;
// Room for the text of a shown tree item read back to compare it with the object's.
constexpr int kShownTextLength = 1024;
// The tree item's focus bit, which the tree control keeps beside its selection.
constexpr UINT kTreeFocused = 0x0001;

[[noreturn]] void refuse(const char* condition)
{
    IThrow::state(condition, IEXCEPTION_LOCATION(kFile, kWhere));
}

// Values of 200 and less stand for positions and search codes, never for records.
bool isRecord(const void* value)
{
    return reinterpret_cast<std::uintptr_t>(value) > 200;
}

MINIRECORDCORE* recordAt(const IEventData& parameter)
{
    return static_cast<MINIRECORDCORE*>(parameter.asPointer());
}

LRESULT resultOf(const ICnrObj* object)
{
    return reinterpret_cast<LRESULT>(ICnrObj::recordOf(object));
}

// Whether the container holds the object: it has the object's entry.
bool holds(const ICnrCtl& container, const ICnrObj* object)
{
    return object && object->nativeItems().contains(&container);
}

HTREEITEM treeItemOf(const ICnrCtl& container, const ICnrObj* object)
{
    return object ? reinterpret_cast<HTREEITEM>(object->nativeItems().treeItem(&container)) : nullptr;
}

ICnrObj* objectOfTreeItem(HWND tree, HTREEITEM item)
{
    if (!item)
        return nullptr;
    TVITEMA data{};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)))
        return nullptr;
    return reinterpret_cast<ICnrObj*>(data.lParam);
}

ICnrObj* objectOfListItem(HWND list, int index)
{
    LVITEMA data{};
    data.mask = LVIF_PARAM;
    data.iItem = index;
    if (index < 0 || !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)))
        return nullptr;
    return reinterpret_cast<ICnrObj*>(data.lParam);
}

HTREEITEM treeItem(HWND tree, HTREEITEM from, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

HTREEITEM lastSibling(HWND tree, HTREEITEM item)
{
    for (HTREEITEM next = item; next; next = treeItem(tree, item, TVGN_NEXT))
        item = next;
    return item;
}

// Every item under a tree item, depth first.
void collectSubtree(HWND tree, HTREEITEM parent, std::vector<ICnrObj*>& objects)
{
    for (HTREEITEM child = treeItem(tree, parent, TVGN_CHILD); child;
         child = treeItem(tree, child, TVGN_NEXT)) {
        objects.push_back(objectOfTreeItem(tree, child));
        collectSubtree(tree, child, objects);
    }
}

// In the details view the list hits only the first column's icon and label: any other cell is
// found by its row, and by lying within the columns, counted from the first item's left edge.
int detailsRowAt(HWND list, POINT at)
{
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (count <= 0)
        return -1;
    POINT origin{};
    SendMessageA(list, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&origin));
    const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    long right = origin.x;
    for (int column = 0; column < columns; ++column)
        right += static_cast<long>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    if (at.x < origin.x || at.x >= right)
        return -1;
    for (int index = 0; index < count; ++index) {
        RECT row{};
        row.left = LVIR_BOUNDS;
        if (SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) &&
            at.y >= row.top && at.y < row.bottom)
            return index;
    }
    return -1;
}

UINT listState(std::uint32_t attributes)
{
    return ((attributes & CRA_SELECTED) ? LVIS_SELECTED : 0u) |
           ((attributes & CRA_CURSORED) ? LVIS_FOCUSED : 0u) |
           ((attributes & CRA_TARGET) ? LVIS_DROPHILITED : 0u);
}

UINT treeState(std::uint32_t attributes)
{
    return ((attributes & CRA_SELECTED) ? TVIS_SELECTED : 0u) |
           ((attributes & CRA_CURSORED) ? kTreeFocused : 0u) |
           ((attributes & CRA_TARGET) ? TVIS_DROPHILITED : 0u) |
           ((attributes & CRA_EXPANDED) ? TVIS_EXPANDED : 0u);
}

// The text is the caller's copy, taken under the lock over all objects: another thread may
// rename the object while the tree copies it.
HTREEITEM insertTreeItem(ICnrControlData& data, HWND tree, ICnrObj* object, const IString& text,
                         int image, HTREEITEM parent, HTREEITEM after)
{
    MINIRECORDCORE* record = ICnrObj::recordOf(object);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.state = treeState(record->flRecordAttr);
    insert.item.stateMask = 0xFF;
    insert.item.pszText = const_cast<char*>(text.data());
    insert.item.cchTextMax = kTextLength;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = reinterpret_cast<LPARAM>(object);
    return reinterpret_cast<HTREEITEM>(
        data.insertIntoControl(tree, TVM_INSERTITEMA, reinterpret_cast<LPARAM>(&insert)));
}

// The tree keeps its own copy of the text, taken here; the image stands for the item selected too.
void setTreeItemLooks(HWND tree, HTREEITEM item, const IString& text, int image)
{
    TVITEMA looks{};
    looks.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    looks.hItem = item;
    looks.pszText = const_cast<char*>(text.data());
    looks.iImage = image;
    looks.iSelectedImage = image;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&looks));
}

class Records {
public:
    Records(ICnrControlData& data, ICnrCtl& container)
        : fData(data), fContainer(container), fList(data.listControl()), fTree(data.treeControl())
    {
    }

    LRESULT insert(MINIRECORDCORE* record, const RECORDINSERT* where);
    LRESULT remove(MINIRECORDCORE** records, LPARAM countAndFlags);
    LRESULT query(const IEventData& reference, unsigned command);
    LRESULT queryEmphasis(const IEventData& reference, std::uint32_t emphasis);
    LRESULT setEmphasis(MINIRECORDCORE* record, bool on, std::uint32_t bits);
    LRESULT queryInfo(MINIRECORDCORE** records, LPARAM count);
    LRESULT invalidate(MINIRECORDCORE** records, LPARAM countAndFlags);
    LRESULT search(const SEARCHSTRING* search, const IEventData& after);
    LRESULT expand(MINIRECORDCORE* record, UINT action);
    LRESULT sort(PFNCNRCOMPARE compare, LPARAM userData);
    LRESULT recordRect(CNR_RECTL* rectangle, const QUERYRECORDRECT* query);
    LRESULT recordFromRect(const IEventData& start, const QUERYRECFROMRECT* query);
    LRESULT viewport(CNR_RECTL* rectangle);
    LRESULT scroll(unsigned long direction, long amount);
    LRESULT openEdit(const CNREDITDATA* edit);
    LRESULT closeEdit();

private:
    bool treeIsCurrent() const { return fData.nativeMode() == ICnrControlData::treeMode; }
    HWND current() const { return treeIsCurrent() ? fTree : fList; }
    // Where the current control lies in the container window: below the title when shown.
    POINT offset() const;
    void forget(ICnrObj* object);
    void setImage(ICnrObj* object, int image);

    ICnrControlData& fData;
    ICnrCtl& fContainer;
    HWND fList;
    HWND fTree;
};

// One record per message: the chain and cRecordsInsert are not followed (the sender sends each
// record of a chain after the one before). The lock over all objects is taken once before the
// controls see the record and, with a tree, once after: the entry is made first, with its
// state and the text the tree copies (so that a deletion or a rename on another thread finds
// the object held here and waits for this thread to answer), the tree item noted after.
LRESULT Records::insert(MINIRECORDCORE* record, const RECORDINSERT* where)
{
    if (!isRecord(record) || !where)
        return 0;
    ICnrObj* object = ICnrObj::objectOf(record);
    MINIRECORDCORE* parent = isRecord(where->pRecordParent) ? where->pRecordParent : nullptr;
    if (parent && !fTree) {
        // A record the container holds already is refused below: it must not make the tree,
        // which would take every record of the container from then on. Asked once, as the tree
        // is made.
        if (holds(fContainer, object))
            return 0;
        fTree = fData.ensureTree();
    }
    const bool listed = fList && !parent;
    if (!fTree && !listed)
        return 0;
    // The container's own count, not the control's: every item of either control is one of
    // its records, so the count is 0 exactly when both are empty and, as a list index, lies at
    // or past the list's end. Asking the control would cost every record of a fill a message.
    const std::uint32_t records = fData.info().cRecords;
    const bool cursor = records == 0;
    ICnrItemTable entries = object->nativeItems();
    const bool atFront =
        where->pRecordOrder == reinterpret_cast<MINIRECORDCORE*>(std::uintptr_t(CMA_FIRST));
    ICnrObj* const order =
        !atFront && isRecord(where->pRecordOrder) ? ICnrObj::objectOf(where->pRecordOrder) : nullptr;
    IString text;
    // The tree items of the record to follow and of the parent, read with the rest.
    std::uintptr_t orderItem = 0;
    std::uintptr_t parentItem = 0;
    {
        const ICnrAllObjectsLock lock;
        // An object is held once per container: a second item would leave the first one
        // behind when the object is removed.
        if (entries.contains(lock, &fContainer))
            return 0;
        entries.create(lock, &fContainer, 0,
                       record->flRecordAttr & (CRA_RECORDREADONLY | CRA_DROPONABLE));
        // The tree copies the text while it inserts; another thread may rename the object
        // meanwhile and free the text it replaces.
        if (fTree) {
            text = ICnrItemTable::textOf(lock, *object);
            if (order)
                orderItem = order->nativeItems().treeItem(lock, &fContainer);
            if (parent)
                parentItem = ICnrObj::objectOf(parent)->nativeItems().treeItem(lock, &fContainer);
        }
        if (cursor)
            record->flRecordAttr |= CRA_CURSORED;
    }
    // Refused: the entry goes again, and the record is not left marked as the cursored one of
    // a container that does not hold it.
    const auto refuse = [&]() -> LRESULT {
        const ICnrAllObjectsLock lock;
        entries.remove(lock, &fContainer);
        if (cursor)
            record->flRecordAttr &= ~CRA_CURSORED;
        return 0;
    };
    const int image = fData.imageIndex(record->hptrIcon);
    HTREEITEM treeItem = nullptr;
    if (fTree) {
        const HTREEITEM after =
            orderItem ? reinterpret_cast<HTREEITEM>(orderItem) : atFront ? TVI_FIRST : TVI_LAST;
        treeItem = insertTreeItem(fData, fTree, object, text, image,
                                  reinterpret_cast<HTREEITEM>(parentItem), after);
        if (!treeItem)
            return refuse();
    }
    if (listed) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.state = listState(record->flRecordAttr);
        item.stateMask = 0x0F;
        // The list keeps no copy of the text: it asks for the record's (LVN_GETDISPINFOA)
        // whenever it draws, measures, searches or edits the item, so the text lives once and
        // the list always shows the record's current one.
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.iImage = image;
        item.lParam = reinterpret_cast<LPARAM>(object);
        if (atFront)
            item.iItem = 0;
        else if (order)
            item.iItem = fData.listIndexOf(order) + 1;
        else
            item.iItem = static_cast<int>(std::min<std::uint32_t>(records, INT_MAX));
        if (fData.insertIntoControl(fList, LVM_INSERTITEMA, reinterpret_cast<LPARAM>(&item)) == -1) {
            // The tree item made above would stay behind for an object the container lets go.
            if (treeItem)
                SendMessageA(fTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(treeItem));
            return refuse();
        }
    }
    if (treeItem) {
        // A rename on another thread while the tree copied the text: the item takes the new
        // one. Later renames find the tree item in the entry and bring the item up to date
        // themselves.
        IString now;
        {
            const ICnrAllObjectsLock lock;
            entries.setTreeItem(lock, &fContainer, reinterpret_cast<std::uintptr_t>(treeItem));
            now = ICnrItemTable::textOf(lock, *object);
        }
        if (now.data() != text.data()) {
            TVITEMA item{};
            item.mask = TVIF_HANDLE | TVIF_TEXT;
            item.hItem = treeItem;
            item.pszText = const_cast<char*>(now.data());
            SendMessageA(fTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    ++fData.info().cRecords;
    return 1;
}

// The object and everything under it leave this container's table; the tree item goes with
// its children.
void Records::forget(ICnrObj* object)
{
    std::vector<ICnrObj*> gone{object};
    const HTREEITEM item = treeItemOf(fContainer, object);
    if (fTree && item) {
        collectSubtree(fTree, item, gone);
        SendMessageA(fTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
    if (fList) {
        const int index = fData.listIndexOf(object);
        if (index >= 0)
            SendMessageA(fList, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    }
    for (ICnrObj* each : gone) {
        if (!holds(fContainer, each))
            continue;
        each->nativeItems().remove(&fContainer);
        if (fData.info().cRecords)
            --fData.info().cRecords;
    }
}

LRESULT Records::remove(MINIRECORDCORE** records, LPARAM countAndFlags)
{
    const unsigned cNumRecord = LOWORD(countAndFlags);
    const unsigned fRemoveRecord = HIWORD(countAndFlags);
    if (!(cNumRecord <= 1))
        refuse("cNumRecord <= 1");
    if (fRemoveRecord & CMA_FREE)
        refuse("!(Boolean)(fRemoveRecord & CMA_FREE)");
    if (cNumRecord == 1) {
        ICnrObj* object = records && isRecord(records[0]) ? ICnrObj::objectOf(records[0]) : nullptr;
        // A record this container does not hold changes nothing here.
        if (holds(fContainer, object))
            forget(object);
        return 0;
    }
    // Every object leaves the table: those of the tree (at every level) when there is one,
    // else those of the list.
    std::vector<ICnrObj*> all;
    if (fTree) {
        collectSubtree(fTree, TVI_ROOT, all);
    } else if (fList) {
        const int count = static_cast<int>(SendMessageA(fList, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            all.push_back(objectOfListItem(fList, i));
    }
    for (ICnrObj* object : all)
        if (object)
            object->nativeItems().remove(&fContainer);
    if (fTree)
        SendMessageA(fTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    if (fList)
        SendMessageA(fList, LVM_DELETEALLITEMS, 0, 0);
    fData.info().cRecords = 0;
    return 0;
}

// With a tree control, the reference is a record; without one, the asking object cursor,
// whose list position is the reference index.
LRESULT Records::query(const IEventData& reference, unsigned command)
{
    if (fTree) {
        const HTREEITEM from =
            isRecord(reference.asPointer())
                ? treeItemOf(fContainer, ICnrObj::objectOf(recordAt(reference)))
                : nullptr;
        HTREEITEM found = nullptr;
        switch (command) {
        case CMA_PARENT: found = from ? treeItem(fTree, from, TVGN_PARENT) : nullptr; break;
        case CMA_FIRSTCHILD: found = from ? treeItem(fTree, from, TVGN_CHILD) : nullptr; break;
        case CMA_LASTCHILD:
            found = from ? lastSibling(fTree, treeItem(fTree, from, TVGN_CHILD)) : nullptr;
            break;
        case CMA_FIRST: found = treeItem(fTree, nullptr, TVGN_ROOT); break;
        case CMA_LAST: found = lastSibling(fTree, treeItem(fTree, nullptr, TVGN_ROOT)); break;
        case CMA_NEXT: found = from ? treeItem(fTree, from, TVGN_NEXT) : nullptr; break;
        case CMA_PREV: found = from ? treeItem(fTree, from, TVGN_PREVIOUS) : nullptr; break;
        default: return -1;
        }
        return resultOf(objectOfTreeItem(fTree, found));
    }
    if (command == CMA_PARENT || command == CMA_FIRSTCHILD || command == CMA_LASTCHILD)
        return 0;
    if (!fList)
        return 0;
    auto* cursor = static_cast<ICnrCtl::ObjectCursor*>(reference.asPointer());
    const long position = cursor && isRecord(cursor) ? cursor->listPosition() : -1;
    long index = 0;
    switch (command) {
    case CMA_FIRST: index = 0; break;
    case CMA_LAST: index = static_cast<long>(SendMessageA(fList, LVM_GETITEMCOUNT, 0, 0)) - 1; break;
    case CMA_NEXT: index = position + 1; break;
    case CMA_PREV: index = position - 1; break;
    default: return -1;
    }
    ICnrObj* object = objectOfListItem(fList, static_cast<int>(index));
    if (!object)
        return 0;
    if (cursor && isRecord(cursor))
        cursor->setListPosition(index);
    return resultOf(object);
}

LRESULT Records::queryEmphasis(const IEventData& reference, std::uint32_t emphasis)
{
    const bool fromStart = reference.asUnsignedLong() == 0 ||
                           reference.asUnsignedLong() == CMA_FIRST;
    const ICnrObj* after = fromStart ? nullptr : ICnrObj::objectOf(recordAt(reference));
    if (treeIsCurrent()) {
        ICnrObj* caret = objectOfTreeItem(fTree, treeItem(fTree, nullptr, TVGN_CARET));
        if (emphasis != CRA_SELECTED && emphasis != CRA_CURSORED && emphasis != CRA_INUSE)
            return -1;
        if (!caret || caret == after)
            return 0;
        if (emphasis == CRA_INUSE && !caret->nativeItems().hasState(&fContainer, ICnrItemTable::inUse))
            return 0;
        return resultOf(caret);
    }
    if (!fList)
        return 0;
    const int start = after ? fData.listIndexOf(after) : -1;
    if (emphasis == CRA_SELECTED || emphasis == CRA_CURSORED) {
        const UINT flag = emphasis == CRA_SELECTED ? UINT(LVNI_SELECTED) : UINT(LVNI_FOCUSED);
        const int found = static_cast<int>(
            SendMessageA(fList, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flag, 0)));
        return resultOf(found >= 0 ? objectOfListItem(fList, found) : nullptr);
    }
    if (emphasis != CRA_INUSE)
        return -1;
    const int count = static_cast<int>(SendMessageA(fList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = start + 1; i < count; ++i) {
        ICnrObj* object = objectOfListItem(fList, i);
        if (object && object->nativeItems().hasState(&fContainer, ICnrItemTable::inUse))
            return resultOf(object);
    }
    return 0;
}

void Records::setImage(ICnrObj* object, int image)
{
    if (fList) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = fData.listIndexOf(object);
        item.iImage = image;
        if (item.iItem >= 0)
            SendMessageA(fList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (const HTREEITEM handle = treeItemOf(fContainer, object)) {
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = handle;
        item.iImage = image;
        item.iSelectedImage = image;
        SendMessageA(fTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT Records::setEmphasis(MINIRECORDCORE* record, bool on, std::uint32_t bits)
{
    if (bits == CRA_SOURCE)
        return 1;
    if (!isRecord(record))
        refuse("pRec != 0");
    ICnrObj* object = ICnrObj::objectOf(record);
    ICnrItemTable entries = object->nativeItems();
    if (!entries.isMade())
        refuse("pObj->ppd != 0");
    if (!entries.contains(&fContainer))
        return 0;
    LRESULT result = 1;
    for (const std::uint32_t bit : {CRA_RECORDREADONLY, CRA_DROPONABLE})
        if (bits & bit)
            entries.setState(&fContainer, bit, on ? bit : 0, nullptr);
    if (bits & CRA_INUSE) {
        setImage(object, on ? fData.inUseImageIndex(record->hptrIcon)
                            : fData.imageIndex(record->hptrIcon));
        entries.setState(&fContainer, ICnrItemTable::inUse, on ? std::uint32_t(ICnrItemTable::inUse) : 0u, record);
    }
    const bool caretBits = (bits & (CRA_CURSORED | CRA_SELECTED)) != 0;
    if (treeIsCurrent()) {
        if (caretBits && on)
            SendMessageA(fTree, TVM_SELECTITEM, TVGN_CARET,
                         reinterpret_cast<LPARAM>(treeItemOf(fContainer, object)));
        else if (!(bits & CRA_INUSE))
            result = 0;
        return result;
    }
    if (caretBits) {
        const int index = fData.listIndexOf(object);
        if (index >= 0) {
            UINT state = static_cast<UINT>(
                SendMessageA(fList, LVM_GETITEMSTATE, static_cast<WPARAM>(index), 0x0F));
            // The focus is never taken away: some item of a list always has it.
            if ((bits & CRA_CURSORED) && on)
                state |= LVIS_FOCUSED;
            if (bits & CRA_SELECTED)
                state = on ? (state | LVIS_SELECTED) : (state & ~LVIS_SELECTED);
            LVITEMA item{};
            item.stateMask = 0x0F;
            item.state = state;
            SendMessageA(fList, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item));
        }
    } else if (!(bits & CRA_INUSE)) {
        result = 0;
    }
    return result;
}

LRESULT Records::queryInfo(MINIRECORDCORE** records, LPARAM count)
{
    if (!records || !isRecord(records[0]))
        refuse("pRec != 0");
    for (LPARAM i = 0; i < count; ++i) {
        MINIRECORDCORE* record = records[i];
        if (!isRecord(record))
            refuse("pRec != 0");
        ICnrObj* object = ICnrObj::objectOf(record);
        const bool held = holds(fContainer, object);
        // The bits this container knows, written alone at the end: the word is shared by every
        // container that shows the record, and the object's show and hide change it on other
        // threads while this one asks its controls.
        std::uint32_t attributes = 0;
        std::uint32_t known = CRA_EXPANDED | CRA_COLLAPSED;
        const int index = fList ? fData.listIndexOf(object) : -1;
        if (index >= 0) {
            POINT place{};
            if (SendMessageA(fList, LVM_GETITEMPOSITION, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&place)))
                record->ptlIcon = CNR_POINTL{place.x, place.y};
        }
        const HTREEITEM item = treeItemOf(fContainer, object);
        if (item && (SendMessageA(fTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                  TVIS_EXPANDED) & TVIS_EXPANDED))
            attributes |= CRA_EXPANDED;
        else
            attributes |= CRA_COLLAPSED;
        if (held) {
            known |= CRA_INUSE | CRA_RECORDREADONLY | CRA_DROPONABLE;
            attributes |= object->nativeItems().state(&fContainer) &
                          (CRA_INUSE | CRA_RECORDREADONLY | CRA_DROPONABLE);
        }
        UINT state = 0;
        bool shown = false;
        if (treeIsCurrent() && item) {
            state = static_cast<UINT>(SendMessageA(fTree, TVM_GETITEMSTATE,
                                                   reinterpret_cast<WPARAM>(item), 0xFF));
            if (treeItem(fTree, nullptr, TVGN_CARET) == item)
                state |= kTreeFocused | TVIS_SELECTED;
            shown = true;
        } else if (!treeIsCurrent() && index >= 0) {
            state = static_cast<UINT>(
                SendMessageA(fList, LVM_GETITEMSTATE, static_cast<WPARAM>(index), 0x0F));
            shown = true;
        }
        if (shown) {
            // The focused, selected and drop-highlighted bits have the same values in both
            // controls.
            known |= CRA_CURSORED | CRA_SELECTED | CRA_TARGET;
            if (state & LVIS_FOCUSED) attributes |= CRA_CURSORED;
            if (state & LVIS_SELECTED) attributes |= CRA_SELECTED;
            if (state & LVIS_DROPHILITED) attributes |= CRA_TARGET;
        }
        const ICnrAllObjectsLock lock;
        record->flRecordAttr = (record->flRecordAttr & ~known) | (attributes & known);
    }
    return 1;
}

// Brings the native items up to date with the record: text, image and, in icon view, place.
LRESULT Records::invalidate(MINIRECORDCORE** records, LPARAM countAndFlags)
{
    const unsigned cNumRecord = LOWORD(countAndFlags);
    if (!(cNumRecord <= 1))
        refuse("cNumRecord <= 1");
    if (cNumRecord == 1 && records && isRecord(records[0])) {
        MINIRECORDCORE* record = records[0];
        ICnrObj* object = ICnrObj::objectOf(record);
        if (!holds(fContainer, object))
            return 1;
        const bool inUse = object->nativeItems().hasState(&fContainer, ICnrItemTable::inUse);
        const int image = inUse ? fData.inUseImageIndex(record->hptrIcon)
                                : fData.imageIndex(record->hptrIcon);
        const IString text = ICnrItemTable::textOf(*object);
        const int index = fList ? fData.listIndexOf(object) : -1;
        if (index >= 0) {
            // The list's text is the record's own, asked for again by the redraw below.
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = index;
            item.iImage = image;
            SendMessageA(fList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if ((GetWindowLongPtrA(fList, GWL_STYLE) & LVS_TYPEMASK) == LVS_ICON) {
                POINT place{record->ptlIcon.x, record->ptlIcon.y};
                SendMessageA(fList, LVM_SETITEMPOSITION32, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&place));
            }
            if (!treeIsCurrent()) {
                SendMessageA(fList, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
                UpdateWindow(fList);
            }
        }
        if (const HTREEITEM handle = treeItemOf(fContainer, object))
            setTreeItemLooks(fTree, handle, text, image);
    } else if (cNumRecord == 0 && !treeIsCurrent() && fList) {
        const LRESULT count = SendMessageA(fList, LVM_GETITEMCOUNT, 0, 0);
        if (count > 0)
            SendMessageA(fList, LVM_REDRAWITEMS, 0, count - 1);
        InvalidateRect(fList, nullptr, TRUE);
    }
    if (treeIsCurrent() && fTree)
        InvalidateRect(fTree, nullptr, TRUE);
    return 1;
}

// The list control finds texts; it ignores case whatever the search asks for.
LRESULT Records::search(const SEARCHSTRING* search, const IEventData& after)
{
    if (!after.asUnsignedLong())
        refuse("pSearchAfter != 0");
    if (treeIsCurrent() || !fList || !search || !search->pszSearch)
        return 0;
    const int start = after.asUnsignedLong() == CMA_FIRST
                          ? -1
                          : fData.listIndexOf(ICnrObj::objectOf(recordAt(after)));
    LVFINDINFOA find{};
    find.flags = search->fsPrefix ? (LVFI_STRING | LVFI_PARTIAL) : LVFI_STRING;
    find.psz = search->pszSearch;
    const int found = static_cast<int>(SendMessageA(fList, LVM_FINDITEMA,
                                                    static_cast<WPARAM>(start),
                                                    reinterpret_cast<LPARAM>(&find)));
    return resultOf(found >= 0 ? objectOfListItem(fList, found) : nullptr);
}

LRESULT Records::expand(MINIRECORDCORE* record, UINT action)
{
    if (!fTree)
        return 0;
    // No record: every branch of the tree.
    if (!record) {
        std::vector<ICnrObj*> all;
        collectSubtree(fTree, TVI_ROOT, all);
        for (ICnrObj* object : all)
            if (const HTREEITEM item = treeItemOf(fContainer, object))
                SendMessageA(fTree, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item));
        return 1;
    }
    if (!isRecord(record))
        return 0;
    return SendMessageA(fTree, TVM_EXPAND, action,
                        reinterpret_cast<LPARAM>(treeItemOf(fContainer, ICnrObj::objectOf(record))));
}

// The comparison gets the two objects in place of the records.
LRESULT Records::sort(PFNCNRCOMPARE compare, LPARAM userData)
{
    if (!compare)
        return 0;
    if (treeIsCurrent()) {
        TVSORTCB sort{};
        sort.hParent = TVI_ROOT;
        sort.lpfnCompare = compare;
        sort.lParam = userData;
        return SendMessageA(fTree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    }
    return fList ? SendMessageA(fList, LVM_SORTITEMS, static_cast<WPARAM>(userData),
                                reinterpret_cast<LPARAM>(compare))
                 : 0;
}

POINT Records::offset() const
{
    POINT origin{0, 0};
    if (fData.isTitleShown() && current())
        MapWindowPoints(current(), fContainer.handle(), &origin, 1);
    return origin;
}

// In the list the parts come from the control; in the tree the text's rectangle, widened to the
// left over the icon where asked (the icon lies left of the text, as wide as the row is high).
LRESULT Records::recordRect(CNR_RECTL* rectangle, const QUERYRECORDRECT* query)
{
    if (!query || !isRecord(query->pRecord))
        refuse("pQryRecordRect->pRecord != 0");
    if (!rectangle)
        return 0;
    ICnrObj* object = ICnrObj::objectOf(query->pRecord);
    const bool icon = (query->fsExtent & CMA_ICON) != 0;
    const bool text = (query->fsExtent & CMA_TEXT) != 0;
    RECT area{};
    if (treeIsCurrent()) {
        const HTREEITEM item = treeItemOf(fContainer, object);
        // TVM_GETITEMRECT takes the item in the rectangle it fills.
        static_assert(sizeof(HTREEITEM) <= sizeof(RECT), "the item must fit in the rectangle");
        std::memcpy(&area, &item, sizeof item);
        if (!item || !SendMessageA(fTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&area)))
            return 0;
        if (icon) {
            const LONG width = area.bottom - area.top;
            area.left -= width;
            if (!text)
                area.right = area.left + width;
        }
    } else {
        const int index = fData.listIndexOf(object);
        area.left = icon && text ? LVIR_BOUNDS : text ? LVIR_LABEL : LVIR_ICON;
        if (index < 0 || !SendMessageA(fList, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(&area)))
            return 0;
    }
    const POINT shift = offset();
    *rectangle = CNR_RECTL{area.left + shift.x, area.bottom + shift.y, area.right + shift.x,
                           area.top + shift.y};
    return 1;
}

// A hit test at the top-right corner of the rectangle, whatever the search flags say.
LRESULT Records::recordFromRect(const IEventData& start, const QUERYRECFROMRECT* query)
{
    if (start.asUnsignedLong() != CMA_FIRST || !query)
        return 0;
    const POINT at{query->rect.xRight, query->rect.yTop};
    if (treeIsCurrent()) {
        TVHITTESTINFO hit{};
        hit.pt = at;
        const auto item = reinterpret_cast<HTREEITEM>(
            SendMessageA(fTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return item && (hit.flags & 0x46) ? resultOf(objectOfTreeItem(fTree, item)) : 0;
    }
    if (!fList)
        return 0;
    LVHITTESTINFO hit{};
    hit.pt = at;
    const int index = static_cast<int>(
        SendMessageA(fList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    // The list answers an item only for a point on its icon, label or state icon; its flags
    // are not read, since not every list control fills them in for every view.
    if (index >= 0)
        return resultOf(objectOfListItem(fList, index));
    const bool details = (GetWindowLongPtrA(fList, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
    return details ? resultOf(objectOfListItem(fList, detailsRowAt(fList, at))) : 0;
}

LRESULT Records::viewport(CNR_RECTL* rectangle)
{
    if (!rectangle)
        return 0;
    RECT area{};
    if (const HWND control = current())
        GetClientRect(control, &area);
    const POINT shift = offset();
    *rectangle = CNR_RECTL{0, area.bottom + shift.y, area.right, shift.y};
    return 1;
}

LRESULT Records::scroll(unsigned long scrollDirection, long amount)
{
    if (!((scrollDirection == CMA_VERTICAL) || (scrollDirection == CMA_HORIZONTAL)))
        refuse("( scrollDirection == CMA_VERTICAL) || ( scrollDirection == CMA_HORIZONTAL)");
    const bool vertical = scrollDirection == CMA_VERTICAL;
    if (treeIsCurrent()) {
        ScrollWindowEx(fTree, vertical ? 0 : amount, vertical ? amount : 0, nullptr, nullptr,
                       nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    } else if (fList) {
        SendMessageA(fList, LVM_SCROLL, static_cast<WPARAM>(vertical ? 0 : amount),
                     vertical ? amount : 0);
    }
    return 1;
}

LRESULT Records::openEdit(const CNREDITDATA* edit)
{
    if (!edit || !isRecord(edit->pRecord))
        return 0;
    ICnrObj* object = ICnrObj::objectOf(edit->pRecord);
    // A details cell past the first column has no label editor of the list's own.
    if (!treeIsCurrent() && edit->pFieldInfo && fData.columns().columnIdFromFieldInfo(edit->pFieldInfo) > 0)
        return fData.openOverlayEdit(object, edit->pFieldInfo) ? 1 : 0;
    if (treeIsCurrent())
        return SendMessageA(fTree, TVM_EDITLABELA, 0,
                            reinterpret_cast<LPARAM>(treeItemOf(fContainer, object))) != 0;
    const int index = fData.listIndexOf(object);
    return index >= 0 && SendMessageA(fList, LVM_EDITLABELA, static_cast<WPARAM>(index), 0) != 0;
}

LRESULT Records::closeEdit()
{
    if (fData.overlayEdit()) {
        fData.closeOverlayEdit();
        return 1;
    }
    if (treeIsCurrent())
        return SendMessageA(fTree, TVM_ENDEDITLABELNOW, 0, 0);
    return fList ? SendMessageA(fList, LVM_EDITLABELA, static_cast<WPARAM>(-1), 0) : 0;
}

} // namespace

IBase::Boolean INativeContainerHandler::recordMessage(ICnrControlData& data, IEvent& event)
{
    // The container comes with its data rather than from the list of all containers: every
    // record message would otherwise wait for the list's lock, which a thread sending to this
    // container may hold.
    Records records(data, data.container());
    const IEventData first = event.parameter1();
    const IEventData second = event.parameter2();
    auto* array = static_cast<MINIRECORDCORE**>(first.asPointer());
    LRESULT result = 0;
    switch (event.eventId()) {
    case CM_ARRANGE: data.arrange(); result = 1; break;
    case CM_ERASERECORD: result = 1; break;
    case CM_INSERTRECORD:
        result = records.insert(recordAt(first), static_cast<const RECORDINSERT*>(second.asPointer()));
        break;
    case CM_REMOVERECORD: result = records.remove(array, second.asLong()); break;
    case CM_INVALIDATERECORD: result = records.invalidate(array, second.asLong()); break;
    case CM_QUERYRECORD: result = records.query(first, LOWORD(second.asUnsignedLong())); break;
    case CM_QUERYRECORDEMPHASIS:
        result = records.queryEmphasis(first, static_cast<std::uint32_t>(second.asUnsignedLong()));
        break;
    case CM_SETRECORDEMPHASIS:
        result = records.setEmphasis(recordAt(first), LOWORD(second.asUnsignedLong()) != 0,
                                     HIWORD(second.asUnsignedLong()));
        break;
    case CM_QUERYRECORDINFO: result = records.queryInfo(array, second.asLong()); break;
    case CM_SEARCHSTRING:
        result = records.search(static_cast<const SEARCHSTRING*>(first.asPointer()), second);
        break;
    case CM_SORTRECORD:
        result = records.sort(reinterpret_cast<PFNCNRCOMPARE>(first.asPointer()), second.asLong());
        break;
    case CM_QUERYRECORDRECT:
        result = records.recordRect(static_cast<CNR_RECTL*>(first.asPointer()),
                                    static_cast<const QUERYRECORDRECT*>(second.asPointer()));
        break;
    case CM_QUERYRECORDFROMRECT:
        result = records.recordFromRect(first, static_cast<const QUERYRECFROMRECT*>(second.asPointer()));
        break;
    case CM_QUERYVIEWPORTRECT:
        result = records.viewport(static_cast<CNR_RECTL*>(first.asPointer()));
        break;
    case CM_SCROLLWINDOW: result = records.scroll(first.asUnsignedLong(), second.asLong()); break;
    case CM_OPENEDIT:
        result = records.openEdit(static_cast<const CNREDITDATA*>(first.asPointer()));
        break;
    case CM_CLOSEEDIT: result = records.closeEdit(); break;
    case CM_COLLAPSETREE: result = records.expand(recordAt(first), TVE_COLLAPSE); break;
    case CM_EXPANDTREE: result = records.expand(recordAt(first), TVE_EXPAND); break;
    default:
        // Filtering, background painting and drag images take the window's default.
        return false;
    }
    event.setResult(result);
    return true;
}

// Image lists -----------------------------------------------------------------------------------------

int ICnrControlData::imageIndex(HICON icon)
{
    auto found = fImages.find(icon);
    if (found != fImages.end())
        return found->second;
    int index = -1;
    if (icon) {
        index = ImageList_ReplaceIcon(fLargeImages, -1, icon);
        ImageList_ReplaceIcon(fSmallImages, -1, icon);
    } else {
        // A record without an icon shows the default one.
        // The lists keep copies: the icons taken out for them go with the scope.
        const ovk_native::Icon large(ImageList_GetIcon(fLargeDefaultIcon, 0, ILD_NORMAL));
        const ovk_native::Icon small(ImageList_GetIcon(fSmallDefaultIcon, 0, ILD_NORMAL));
        index = large.get() ? ImageList_ReplaceIcon(fLargeImages, -1, large.get()) : -1;
        if (small.get())
            ImageList_ReplaceIcon(fSmallImages, -1, small.get());
    }
    fImages.emplace(icon, index);
    return index;
}

int ICnrControlData::inUseImageIndex(HICON icon)
{
    auto found = fInUseImages.find(icon);
    if (found != fInUseImages.end())
        return found->second;
    const int plain = imageIndex(icon);
    int index = plain;
    // The two lists grow in step, so one index names the image in both.
    const std::pair<HIMAGELIST, HIMAGELIST> pairs[] = {{fLargeImages, fLargeDefaultIcon},
                                                       {fSmallImages, fSmallDefaultIcon}};
    for (const auto& [images, overlay] : pairs) {
        HIMAGELIST merged = plain >= 0 ? ImageList_Merge(images, plain, overlay, 0, 0, 0) : nullptr;
        const ovk_native::Icon mergedIcon(merged ? ImageList_GetIcon(merged, 0, ILD_NORMAL) : nullptr);
        const int added = mergedIcon.get() ? ImageList_ReplaceIcon(images, -1, mergedIcon.get()) : -1;
        if (images == fLargeImages)
            index = added >= 0 ? added : plain;
        if (merged) ImageList_Destroy(merged);
    }
    fInUseImages.emplace(icon, index);
    return index;
}

// The tree -----------------------------------------------------------------------------------------

HWND ICnrControlData::ensureTree()
{
    if (HWND tree = treeControl())
        return tree;
    createControl(treeMode);
    const HWND tree = treeControl();
    if (tree)
        SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(fSmallImages));
    copyListIntoTree();
    return tree;
}

// A tree made while the list holds records shows every one of them, in the list's order: the
// list holds only top-level records, so each becomes a top-level tree item.
void ICnrControlData::copyListIntoTree()
{
    const HWND tree = treeControl();
    const HWND list = listControl();
    if (!tree || !list)
        return;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        ICnrObj* object = objectOfListItem(list, i);
        if (!holds(*fContainer, object))
            continue;
        ICnrItemTable entries = object->nativeItems();
        MINIRECORDCORE* record = ICnrObj::recordOf(object);
        const bool inUse = entries.hasState(fContainer, ICnrItemTable::inUse);
        const int image = inUse ? inUseImageIndex(record->hptrIcon) : imageIndex(record->hptrIcon);
        entries.setTreeItem(fContainer,
                            reinterpret_cast<std::uintptr_t>(insertTreeItem(
                                *this, tree, object, ICnrItemTable::textOf(*object), image, nullptr,
                                TVI_LAST)));
    }
}

// A tree item shows the copy of the text and the image it was last given. Before the tree
// paints, its shown items take the object's text and image again when a change may have passed
// the tree by (ICnrItemTable::noteUnshownChange); items scrolled into view later are brought up
// to date by the paint that shows them.
void ICnrControlData::bringShownTreeItemsUpToDate()
{
    if (!fTree || ICnrItemTable::unshownChanges() == fTreeChangesSeen)
        return;
    const HWND tree = IWindowCore::rawHandle(*fTree);
    char shown[kShownTextLength];
    auto rows = static_cast<long long>(SendMessageA(tree, TVM_GETVISIBLECOUNT, 0, 0)) + 1;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (; item && rows-- > 0;
         item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                        reinterpret_cast<LPARAM>(item)))) {
        TVITEMA now{};
        now.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
        now.hItem = item;
        now.pszText = shown;
        now.cchTextMax = kShownTextLength;
        shown[0] = '\0';
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&now)))
            continue;
        auto* object = reinterpret_cast<ICnrObj*>(now.lParam);
        if (!holds(*fContainer, object))
            continue;
        const IString text = ICnrItemTable::textOf(*object);
        const HICON icon = ICnrObj::recordOf(object)->hptrIcon;
        const int image = object->nativeItems().hasState(fContainer, ICnrItemTable::inUse)
                              ? inUseImageIndex(icon)
                              : imageIndex(icon);
        // The tree hands back at most the buffer's length less one.
        const bool sameText =
            std::strncmp(shown, text, kShownTextLength - 1) == 0 &&
            (text.length() < kShownTextLength - 1 || std::strlen(shown) == kShownTextLength - 1);
        if (!sameText || now.iImage != image)
            setTreeItemLooks(tree, item, text, image);
    }
}

namespace {

// The tree control's paints, each preceded by ICnrControlData::bringShownTreeItemsUpToDate.
class TreePaintHandler : public IHandler {
public:
    static TreePaintHandler& instance() { return ovk_app::sharedHandler<TreePaintHandler>(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() != WM_PAINT)
            return false;
        const HWND tree = event.handle();
        ICnrCtl* container = ICnrCtl::containerWithHandle(IWindowHandle(GetParent(tree)));
        ICnrControlData* data = container ? container->controlData() : nullptr;
        if (data && data->isTreeControl(tree))
            data->bringShownTreeItemsUpToDate();
        return false;
    }
};

} // namespace

void cnrAttachTreePaintHandler(INativeCnrChild& tree)
{
    TreePaintHandler::instance().handleEventsFor(&tree);
}

int ICnrControlData::listIndexOf(const ICnrObj* object) const
{
    const HWND list = listControl();
    if (!list || !object)
        return -1;
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(object);
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}

IBase::Boolean ICnrControlData::isEditing() const noexcept
{
    if (fOverlay)
        return true;
    const HWND list = listControl();
    const HWND tree = treeControl();
    return (list && SendMessageA(list, LVM_GETEDITCONTROL, 0, 0)) ||
           (tree && SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
}
