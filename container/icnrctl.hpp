// ICnrCtl: the container control, a window that shows application objects and is driven only
// by the container messages.
#pragma once

#include <cstdint>
#include <vector>

#include <ibitflag.hpp>
#include <irect.hpp>
#include <isequenc.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include <icontrol.hpp>
#include <idefs.hpp>

#include "icnrinfo.hpp"
#include "icnrmsg.hpp"

class ICnrControlData;
class ICnrDestroyHandler;
class ICnrAllocator;
class ICnrObj;
class IContainerColumn;
class IEvent;
class IColor;
class IContainerColumn;

class IResource;
class IResourceId;

// A container is a window of one of two classes: the library's own "OVK Native Container",
// which carries the container messages out on a list or tree control, or the message-driven
// "OVK Container" that another module provides. ICnrCtl only sends messages and reads records,
// so it does not care which. Every thread that makes containers has a hidden allocation window
// of the message-driven class, through which every record is allocated and freed, whichever
// container holds it.
class OVKWIN_API ICnrCtl : public IControl {
public:
    // The window style: selection and behaviour in the first word, the choice of window class
    // in the second.
    class OVKWIN_API Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
    };
    // The view word a new container starts with: views and presentation attributes.
    class OVKWIN_API Attribute : public IBitFlagSet<Attribute> {
    public:
        constexpr Attribute(Word value, Word extendedValue = 0)
            : IBitFlagSet(value, extendedValue) {}
    };

    static const Style readOnly;
    static const Style autoPosition;
    static const Style extendedSelection;
    static const Style singleSelection;
    static const Style multipleSelection;
    static const Style verifyPointers;
    static const Style messageContainer;
    static const Style fastDelete;
    static const Style classDefaultStyle;

    static const Attribute textView;
    static const Attribute nameView;
    static const Attribute iconView;
    static const Attribute detailsView;
    static const Attribute flowedView;
    static const Attribute miniIcons;
    static const Attribute treeView;
    static const Attribute containerTitle;
    static const Attribute titleSeparator;
    static const Attribute titleLeft;
    static const Attribute titleRight;
    static const Attribute titleCenter;
    static const Attribute drawItem;
    static const Attribute detailsViewTitles;
    static const Attribute orderedTargetEmphasis;
    static const Attribute readOnlyTitle;
    static const Attribute drawBackground;
    static const Attribute mixedTargetEmphasis;
    static const Attribute treeLine;
    static const Attribute defaultAttribute;

    // Notification ids, compared by address.
    static const char* const addId;
    static const char* const removeId;
    // An object (or the empty space) was opened, an object's selection changed; the data is
    // the ICnrEnterEvent or ICnrEmphasisEvent, valid while the observers are told.
    static const char* const enterId;
    static const char* const selectId;

    class ObjectCursor;
    class TextCursor;
    class ColumnCursor;
    class ApplyFn;
    // The order of two objects and whether an object stays shown (icnrsort.hpp).
    class CompareFn;
    class FilterFn;
    // The collections of objects that the queries answer; the caller deletes them.
    using ObjectList = ISequence<ICnrObj*>;
    enum TitleAlignment : unsigned long { left = 0, right = 1, centered = 2 };

    // A new container window: message-driven with the messageContainer style, else native.
    ICnrCtl(unsigned long id, IWindow* parent, IWindow* owner,
            const IRectangle& location = IRectangle(), const Style& style = defaultStyle(),
            const Attribute& attribute = currentDefaultAttribute());
    // Takes over the container child with this id (a container in a dialog), or a container
    // window by handle. Such a container is always treated as message-driven, and its window
    // outlives the object.
    ICnrCtl(unsigned long id, IWindow* parent);
    explicit ICnrCtl(const IWindowHandle& handle);
    ~ICnrCtl() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);
    static Attribute currentDefaultAttribute();
    static void setDefaultAttribute(const Attribute& attribute);

    // The base conversion plus the container bits of the low byte and WS_CHILD,
    // WS_CLIPSIBLINGS and WS_CLIPCHILDREN.
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // 50 by 50, whatever the contents.
    ISize calcMinimumSize() const override;
    // The window's own repaint, as for every window.
    IWindow& refresh(RefreshType type = paintAll) override;
    IWindow& refresh(const IRectangle& area, IBase::Boolean immediate = false) override;

    // Notification through the container notification handler shared by all containers,
    // unless the window already has a notification handler of its own.
    IWindow& enableNotification(IBase::Boolean enable = true) override;
    // Colours of a message-driven container go to its window (CM_SETCNRCOLORS, refused:
    // "CM_SETCNRCOLORS"); a native container keeps the window's own colours.
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    IWindow& setForegroundColor(const IColor& color) override;
    IWindow& setBackgroundColor(const IColor& color) override;
    IWindow& resetForegroundColor() override;
    IWindow& resetBackgroundColor() override;

    // The virtual operations keep the order that code built against the library relies on.
    // Title and attributes.
    virtual ICnrCtl& setTitle(const IString& title);
    virtual ICnrCtl& setTitle(const IResourceId& titleId);
    virtual ICnrCtl& setTitleAlignment(TitleAlignment alignment);
    virtual ICnrCtl& showTitle(IBase::Boolean show = true);
    virtual ICnrCtl& hideTitle();
    virtual ICnrCtl& showTitleSeparator(IBase::Boolean show = true);
    virtual ICnrCtl& hideTitleSeparator();
    virtual ICnrCtl& showDetailsViewTitles(IBase::Boolean show = true);
    virtual ICnrCtl& hideDetailsViewTitles();
    virtual ICnrCtl& enableTitleUpdate(IBase::Boolean enable = true);
    virtual ICnrCtl& disableTitleUpdate();
    virtual ICnrCtl& setLineSpacing(long spacing);
    virtual ICnrCtl& setIconSize(const ISize& size);
    virtual ICnrCtl& setSingleSelection();
    virtual ICnrCtl& setMultipleSelection();
    virtual ICnrCtl& setExtendedSelection();

    // Views: each switch keeps the mini-icon bit and replaces the other view bits.
    virtual ICnrCtl& showTextView();
    virtual ICnrCtl& showNameView();
    virtual ICnrCtl& showIconView();
    virtual ICnrCtl& showDetailsView();
    virtual ICnrCtl& showTreeIconView();
    virtual ICnrCtl& showTreeNameView();
    virtual ICnrCtl& showTreeTextView();
    virtual ICnrCtl& showFlowedNameView();
    virtual ICnrCtl& showFlowedTextView();
    virtual ICnrCtl& showMiniIcons(IBase::Boolean show = true);
    virtual ICnrCtl& setOrderedTargetEmphasis();
    virtual ICnrCtl& setMixedTargetEmphasis();
    virtual ICnrCtl& setNormalTargetEmphasis();
    virtual ICnrCtl& enableDrawBackground(IBase::Boolean enable = true);
    virtual ICnrCtl& disableDrawBackground();
    virtual ICnrCtl& disableDrawItem();
    // Tree settings.
    virtual ICnrCtl& setTreeItemIcons(const IPointerHandle& expanded,
                                      const IPointerHandle& collapsed);
    virtual ICnrCtl& setTreeItemIcons(const IResourceId& expanded, const IResourceId& collapsed);
    virtual ICnrCtl& setTreeBitmapOrIconSize(const ISize& size);
    virtual ICnrCtl& setTreeIndent(long indent);
    virtual ICnrCtl& showTreeLine(long width);
    virtual ICnrCtl& hideTreeLine();

    virtual ICnrCtl& setDeleteObjectsOnClose(IBase::Boolean deleteObjects = true);
    virtual ICnrCtl& setDeleteColumnsOnClose(IBase::Boolean deleteColumns = true);

    // Refresh.
    // CM_ARRANGE ("CM_ARRANGE" when refused).
    virtual ICnrCtl& arrangeIconView();
    virtual ICnrCtl& enableRefresh(IBase::Boolean enable = true);
    virtual ICnrCtl& disableRefresh();
    // Repaints every object (outside details view) or the columns; clears the pending refresh.
    virtual ICnrCtl& refresh(IBase::Boolean immediate);
    virtual ICnrCtl& refresh(ICnrObj* object, IBase::Boolean immediate = false);

    // Scrolling ("CM_SCROLLWINDOW", "CM_SCROLLSPLITWINDOW" when refused). A split details view
    // scrolls its left or right window sideways.
    virtual ICnrCtl& scroll(long vertical, long horizontal, IBase::Boolean rightWindow = false);
    virtual ICnrCtl& scrollDetailsHorizontally(long amount, IBase::Boolean rightWindow = false);
    // The least scroll that shows the object (its cell, with a column); with toTopLeft the
    // object comes 4 pixels inside the viewport's top (and the cell inside its left edge).
    virtual ICnrCtl& scrollToObject(const ICnrObj* object, const IContainerColumn* column = nullptr,
                                    IBase::Boolean toTopLeft = false);
    virtual ICnrCtl& makeObjectVisible(const ICnrObj* object);
    ICnrCtl& scrollVertically(long amount);
    ICnrCtl& scrollHorizontally(long amount);

    // Details-view columns ("CM_INSERTDETAILFIELDINFO", "CM_REMOVEDETAILFIELDINFO" when
    // refused). A column belongs to one container at a time and is never deleted by it, unless
    // setDeleteColumnsOnClose says so.
    virtual ICnrCtl& setDetailsViewSplit(const IContainerColumn* lastColumnBeforeSplit,
                                         unsigned long splitBarPosition);
    virtual ICnrCtl& hideDetailsViewSplit();
    ICnrCtl& showDetailsViewSplit(IBase::Boolean show = true);
    virtual ICnrCtl& addColumn(const IContainerColumn* column,
                               const IContainerColumn* after = nullptr);
    virtual ICnrCtl& removeColumn(const IContainerColumn* column);
    // Removes the cursor's column and moves the cursor on to the column after it.
    virtual ICnrCtl& removeColumnAt(ColumnCursor& cursor);
    IContainerColumn* columnAt(const ColumnCursor& cursor) const;
    IBase::Boolean containsColumn(const IContainerColumn* column) const;
    unsigned long columnCount() const;
    // True when the column lies right of the split bar; false without a split.
    IBase::Boolean isColumnRight(const IContainerColumn* column) const;
    IContainerColumn* detailsViewSplit() const;
    unsigned long splitBarPosition() const;
    // The column first, last, next or previous (CMA_ codes) from a column (null: none), skipping
    // hidden ones when asked; null when there is none ("CM_QUERYDETAILFILEDINFO" when refused).
    IContainerColumn* column(const IContainerColumn* from, unsigned long command,
                             IBase::Boolean visibleOnly = false) const;
    // Counts the columns added and removed; column cursors keep a snapshot of it.
    unsigned long columnChangeCount() const noexcept { return fColumnChangeCount; }
    // The bytes of a record in front of its object, which object offsets of columns skip.
    virtual unsigned long recordHeaderSize() const;

    // Objects. Insertion and removal tell the observers (addId, removeId), count the object's
    // containers and the container's changes. A null object fails "newObject!=0"; a refused
    // insertion throws "CM_INSERTRECORD".
    // Every object made from the allocator since its last insertion, as one chain, last (or
    // first, or after an object) under the parent or at the top.
    virtual ICnrCtl& addObjects(ICnrAllocator& allocator, ICnrObj* parent = nullptr);
    virtual ICnrCtl& addObjectsAfter(ICnrAllocator& allocator, const ICnrObj* after = nullptr,
                                     ICnrObj* parent = nullptr);
    virtual ICnrCtl& addObject(const ICnrObj* newObject, ICnrObj* parent = nullptr);
    // No after-object puts the object first.
    virtual ICnrCtl& addObjectAfter(const ICnrObj* newObject, const ICnrObj* after = nullptr,
                                    ICnrObj* parent = nullptr);
    // Takes the object (and the objects under it) out; never deletes. With fromAll, out of
    // every container that holds it.
    virtual ICnrCtl& removeObject(ICnrObj* object, IBase::Boolean fromAll = false);
    // The cursor's object goes and the cursor moves on to the object after it ("cursor.isValid()"
    // for an invalid cursor), so that a loop of these walks the whole container.
    virtual ICnrCtl& removeObjectAt(ObjectCursor& cursor);
    virtual ICnrCtl& removeObjectAt(TextCursor& cursor);
    virtual ICnrCtl& removeSelectedObjects();
    virtual ICnrCtl& removeAllObjects();
    virtual ICnrCtl& deleteSelectedObjects();
    virtual ICnrCtl& deleteAllObjects();
    virtual IBase::Boolean isMoveValid(ICnrObj* object, ICnrObj* newParent, ICnrCtl* target,
                                       ICnrObj* after) const;
    // With the objects under it, under a new parent, after an object, in this container or
    // another (null: this one); false, with nothing changed, when isMoveValid says no.
    virtual IBase::Boolean moveObjectTo(ICnrObj* object, ICnrObj* newParent = nullptr,
                                        ICnrCtl* target = nullptr, ICnrObj* after = nullptr,
                                        const IPoint& iconPosition = IPoint());
    // A copy of the object and of every object under it, in the same shape; answers the copy.
    virtual ICnrObj* copyObjectTo(ICnrObj* object, ICnrObj* newParent = nullptr,
                                  ICnrCtl* target = nullptr, ICnrObj* after = nullptr,
                                  const IPoint& iconPosition = IPoint());
    // The object at a 0-based position of an object cursor over all objects, or null.
    virtual ICnrObj* objectAt(unsigned long index) const;
    virtual ICnrObj* objectAt(const ObjectCursor& cursor) const;
    virtual ICnrObj* objectAt(const TextCursor& cursor) const;
    // "childObject!=0" for a null child.
    virtual ICnrObj* parentObject(const ICnrObj* childObject) const;

    // Per-object attributes in this container.
    virtual IBase::Boolean isWriteable(const ICnrObj* object) const;
    virtual IBase::Boolean isCollapsed(const ICnrObj* object) const;
    // Drag and drop: IDMSupport::enableDragDropFor<IDMCnrItem>(container) makes a container a
    // drag source and a drop target at once (enableDragFor, enableDropFor: one of the two). A
    // drop moves the objects (onto an object: under it in a tree, after it in a list), or with
    // Ctrl held copies them through ICnrObj::objectCopy, which a derived object class
    // overrides. New objects take drops on them; these change that.
    virtual ICnrCtl& setDropOnAble(ICnrObj* object, IBase::Boolean dropOnAble = true);
    virtual ICnrCtl& disableDrop(ICnrObj* object);
    // Source emphasis (CRA_SOURCE) on one object, or with none on the container itself.
    virtual ICnrCtl& setSourceEmphasis(ICnrObj* object, IBase::Boolean show = true);
    virtual ICnrCtl& removeSourceEmphasis(ICnrObj* object = nullptr);
    virtual ICnrCtl& showObject(ICnrObj* object, IBase::Boolean show = true);
    virtual ICnrCtl& hideObject(ICnrObj* object);
    // Tree branches ("CM_EXPANDTREE", "CM_COLLAPSETREE" when refused); null means every one.
    virtual ICnrCtl& expand(ICnrObj* object);
    virtual ICnrCtl& collapse(ICnrObj* object);
    ICnrCtl& expandAll();
    ICnrCtl& collapseAll();
    // Places the object's icon at a point of the container window, in the application's
    // orientation ("CM_ERASERECORD", "CM_INVALIDATERECORD" when refused).
    virtual ICnrCtl& moveIconTo(ICnrObj* object, const IPoint& point);

    // Calls the function with every child of the parent (null: every top-level object) until
    // it answers false.
    virtual ICnrCtl& applyToObjects(ApplyFn& function, ICnrObj* parent = nullptr);
    // The number of objects an object cursor over all objects visits.
    virtual unsigned long objectCount() const;
    // The objects an object cursor with these filter flags visits, in its order.
    virtual ObjectList* objects(unsigned long filter = 0) const;

    // The view word's CA_ and CV_ bits: removes, then adds, then sets the view word.
    virtual ICnrCtl& changeAttributes(unsigned long remove, unsigned long add);
    virtual ICnrCtl& setEmphasis(ICnrObj* object, unsigned long emphasis, IBase::Boolean on = true);
    virtual ICnrCtl& setAttributes(ICnrObj* object, unsigned long clear, unsigned long set);

    // Sorting and filtering: the container window decides, asking the function object for each
    // pair or each object. A refused sort throws "CM_SORTRECORD", a refused filter "CM_FILTER";
    // filtering an empty container sends nothing.
    ICnrCtl& sort(const CompareFn& compare);
    virtual ICnrCtl& sortByIconText(IBase::Boolean ascending = true);
    ICnrCtl& filter(const FilterFn& filter);
    // Shows every object again.
    ICnrCtl& filter();

    // Direct editing: opens the container's in-place editor on the title, a column heading or
    // an object's text (its icon text, or with a column its cell); "CM_OPENEDIT" when refused.
    // Objects and columns start closed to it: an object opens with
    // ICnrObj::setWriteable(true, container), a cell also needs the column's enableDataUpdate(),
    // a heading its enableHeadingUpdate().
    virtual ICnrCtl& editContainerTitle();
    virtual ICnrCtl& editColumnTitle(IContainerColumn* column);
    virtual ICnrCtl& editObject(ICnrObj* object, IContainerColumn* column = nullptr);
    virtual ICnrCtl& closeEdit();
    // What is being edited, kept here by the edit handler while an edit is open.
    virtual ICnrCtl& setEditWindow(IWindow* window);
    virtual ICnrCtl& setEditedColumn(IContainerColumn* column);
    virtual ICnrCtl& setEditedObject(ICnrObj* object);
    IWindow* editWindow() const noexcept { return fEditWindow; }
    IContainerColumn* editedColumn() const noexcept { return fEditedColumn; }
    ICnrObj* editedObject() const noexcept { return fEditedObject; }

    IBase::Boolean isRefreshOn() const;
    // True for a window of the message-driven class "OVK Container".
    IBase::Boolean isMessageContainer() const;
    // Counts the objects inserted and removed; object cursors keep a snapshot of it.
    unsigned long changeCount() const noexcept { return fChangeCount; }

    // View queries, each from the view word as it is now. plainOnly leaves the tree views out.
    IBase::Boolean isIconView(IBase::Boolean plainOnly = false) const;
    IBase::Boolean isNameView(IBase::Boolean plainOnly = false) const;
    IBase::Boolean isTextView(IBase::Boolean plainOnly = false) const;
    IBase::Boolean isDetailsView() const;
    IBase::Boolean isFlowed() const;
    IBase::Boolean showsMiniIcons() const;
    IBase::Boolean isTreeIconView() const;
    IBase::Boolean isTreeNameView() const;
    IBase::Boolean isTreeTextView() const;
    IBase::Boolean isFlowedNameView() const;
    IBase::Boolean isFlowedTextView() const;
    IBase::Boolean isOrderedTargetEmphasis() const;
    IBase::Boolean isMixedTargetEmphasis() const;
    // False only when both target emphasis attributes are set.
    IBase::Boolean isNormalTargetEmphasis() const;
    IBase::Boolean isDrawBackgroundEnabled() const;

    // Geometry, in the container window's coordinates and the application's orientation.
    // The visible part of the container (of the left or right window of a split details view),
    // in window or workspace coordinates ("CM_QUERYVIEWPORT" when refused).
    IRectangle viewport(unsigned long kind, IBase::Boolean rightWindow) const;
    IRectangle windowViewport(IBase::Boolean rightWindow = false) const;
    IRectangle workspaceViewport(IBase::Boolean rightWindow = false) const;
    // The empty rectangle when the container cannot place the object.
    IRectangle iconRectangle(const ICnrObj* object, IBase::Boolean withText = false) const;
    IRectangle textRectangle(const ICnrObj* object) const;
    IRectangle detailsObjectRectangle(const ICnrObj* object, IBase::Boolean rightWindow) const;
    IRectangle detailsObjectRectangle(const ICnrObj* object, const IContainerColumn* column) const;
    // The rectangles of the container's child windows in the container window: the left or
    // right window of the details view, and the title; empty when there is no such window.
    IRectangle detailsViewWindowRectangle(IBase::Boolean rightWindow = false) const;
    IRectangle titleRectangle() const;
    // The details-view column under a point of the container window, or null.
    IContainerColumn* columnUnderPoint(const IPoint& point) const;
    // A button pressed over an object and the pointer moved more than 2 pixels since.
    IBase::Boolean isDragStarting(IEvent& event) override;

    // The container information record ("CM_QUERYCNRINFO", "CM_SETCNRINFO" when refused).
    const ICnrCtl& containerInfo(ICnrInfo* info) const;
    ICnrCtl& setContainerInfo(ICnrInfo* info, unsigned long fields);

    // Information read from the container information.
    IString title() const;
    unsigned long viewWord() const;
    long lineSpacing() const;
    ISize iconSize() const;
    ICnrCtl& setDelta(unsigned long delta);
    IBase::Boolean isTitleVisible() const;
    IBase::Boolean isDrawItem() const;
    ICnrCtl& setDrawItem(IBase::Boolean drawItem = true);
    IBase::Boolean isSingleSelection() const;
    IBase::Boolean isMultipleSelection() const;
    IBase::Boolean isExtendedSelection() const;
    IBase::Boolean isTreeView() const;
    // Sets or clears the CCS_ selection bits of the style word; the native list follows.
    ICnrCtl& setSelectionStyle(unsigned long selectionBit);

    // Objects in this container. A null object fails the argument check "object!=0"; a refused
    // message throws the system error that names it.
    IBase::Boolean containsObject(const ICnrObj* object) const;
    // The record's attributes, brought up to date from the window first.
    unsigned long attributes(const ICnrObj* object) const;
    IBase::Boolean isSelected(const ICnrObj* object) const;
    IBase::Boolean isCursored(const ICnrObj* object) const;
    // The objects under the parent: all, depth first, each with its collected parent set; or
    // only its children. "parentObject!=0" for a null parent.
    ObjectList* descendentsOf(ICnrObj* parentObject) const;
    ObjectList* immediateDescendentsOf(ICnrObj* parentObject) const;
    // The object under a point of the container window, or null.
    ICnrObj* objectUnderPoint(const IPoint& point) const;
    // Refreshes every container of the process.
    static void refreshAll(IBase::Boolean immediate = false);

    // True for a native container without a tree control: record queries then walk the list
    // control by index, and carry the asking cursor in place of a record.
    IBase::Boolean isListMode() const;
    // A removal held back a repaint; refreshPendingContainers repaints each marked one once.
    void markRefreshPending() noexcept { fState |= refreshPending; }
    static void refreshPendingContainers();

    // Prepares the calling thread for containers: its message queue, the list of all
    // containers, the thunk library and the thread's allocation window.
    static void initialize();
    // The calling thread's allocation window, made anew when there is none or it was
    // destroyed.
    static IWindowHandle allocationWindow();
    // The live container of a window handle, or null.
    static ICnrCtl* containerWithHandle(const IWindowHandle& handle);

    // The handler that cleans a container up when its window is destroyed, shared by all.
    static ICnrDestroyHandler* destroyHandler();
    ICnrCtl& addDestroyHandler();
    ICnrCtl& removeDestroyHandler();

    // The native container's state; also the message-driven flag of either class.
    ICnrControlData* controlData() const noexcept { return fControlData; }

    // The state word.
    enum : std::uint32_t {
        live = 0x01,
        refreshDisabled = 0x02,
        deleteObjectsOnClose = 0x08,
        deleteColumnsOnClose = 0x10,
        refreshPending = 0x20,
    };
    std::uint32_t state() const noexcept { return fState; }

private:
    friend class ICnrDestroyHandler;
    // The title being edited is re-allocated in the container's own title string.
    friend class ICnrEditHandler;

    void createWindow(unsigned long id, IWindow* parent, IWindow* owner,
                      const IRectangle& location, const Style& style, const Attribute& attribute);
    void takeOver(const IWindowHandle& handle);
    void finishConstruction(const Attribute& attribute);
    // Once: hides the window, empties it and leaves the list of all containers. Run by the
    // destroy handler and by the destructor, whichever comes first.
    void cleanUp() noexcept;
    void removeAllRecords();
    void releaseColumns();
    ICnrCtl& setView(unsigned long bits);
    IRectangle toApplication(const IRectangle& native) const;
    IRectangle childRectangle(unsigned long childId) const;
    IRectangle recordRectangle(const ICnrObj* object, unsigned long extent,
                               IBase::Boolean rightWindow, const char* function) const;
    std::vector<IContainerColumn*> shownColumns(IBase::Boolean rightWindow) const;
    IRectangle nativeCell(const IRectangle& row, const IContainerColumn* column) const;
    IContainerColumn* nativeColumnUnderPoint(const IPoint& point) const;
    void disposeOfObjects();
    void leaveContainerList() noexcept;
    void abandon() noexcept;
    void stopContainerHandlers();
    // One insertion message to the container's window `target` for a chain of `count` records
    // after `order` (a record or a position code); then the notification and the change count.
    void insertRecords(const IWindowHandle& target, MINIRECORDCORE* first, unsigned long count, MINIRECORDCORE* order,
                       ICnrObj* parent, IBase::Boolean repaint, const char* function);
    void inserted(unsigned long count);
    // A chain of any length into the window: a message-driven one takes it in parts of what one
    // message counts, a native one a record per message. The caller has counted every object of
    // the chain as held: when a message is refused, the records taken before it are taken out
    // again and the counts lowered before the throw.
    void insertInParts(MINIRECORDCORE* first, unsigned long count, MINIRECORDCORE* order,
                       ICnrObj* parent, IBase::Boolean repaint, const char* function);
    void addOne(ICnrObj* object, MINIRECORDCORE* order, ICnrObj* parent, const char* function);
    ICnrCtl& addObjectsAt(ICnrAllocator& allocator, MINIRECORDCORE* order, ICnrObj* parent,
                          const char* function);
    IBase::Boolean removeOne(ICnrObj* object);
    template <class Action>
    unsigned long forEachSelected(Action action, const char* function);
    IBase::Boolean sharesAnObject() const;
    void deleteAllQuickly();
    // Sets or clears the source emphasis of the whole container.
    void setContainerSourceEmphasis(IBase::Boolean on);
    // Opens the editor with the record filled in; a close still queued is done first.
    void openEdit(CNREDITDATA& edit, const char* function);
    // The column's descriptor and part id: a heading, or a cell left or right of the split.
    void fillColumnEdit(CNREDITDATA& edit, IContainerColumn* column, IBase::Boolean heading) const;
    void collectUnder(ICnrObj* parent, ObjectList& list, IBase::Boolean allLevels) const;
    void placeIcon(ICnrObj* object, ICnrCtl& target, const IPoint& iconPosition) const;
    IColor areaColor(unsigned long area, IBase::Boolean foreground) const;
    ICnrCtl& setAreaColor(unsigned long area, const IColor& color);
    ICnrCtl& resetAreaColor(unsigned long area);

    std::uint32_t fState = 0;
    std::uint32_t fChangeCount = 0;
    // Columns: their change count, and the split to show again after hideDetailsViewSplit.
    std::uint32_t fColumnChangeCount = 0;
    IContainerColumn* fSplitColumn = nullptr;
    std::int32_t fSplitPosition = -1;
    // Drag start: a button went down over an object at this point of the window.
    IBase::Boolean fDragCapturing = false;
    std::int32_t fDragStartX = 0;
    std::int32_t fDragStartY = 0;
    ICnrControlData* fControlData = nullptr;
    IString fTitle;
    IWindow* fEditWindow = nullptr;
    IContainerColumn* fEditedColumn = nullptr;
    ICnrObj* fEditedObject = nullptr;
};

// Walks the objects of one container without copying them: all of them, those with an
// emphasis, the children of a parent or all its descendants, in item order or z-order. A cursor
// is valid only while the container's change count equals the one it took when it was last
// positioned: any insertion or removal invalidates every cursor of the container.
class OVKWIN_API ICnrCtl::ObjectCursor : public IVBase {
public:
    // Filter flags.
    enum : unsigned long { cursored = 0x01, inUse = 0x02, selected = 0x04 };
    // Order codes.
    enum : unsigned long { itemOrder = 0, zOrder = 1 };

    // All objects, or those with every emphasis of the filter flags.
    explicit ObjectCursor(const ICnrCtl& container, unsigned long filter = 0,
                          unsigned long order = itemOrder);
    // The parent's children, or with allLevels all its descendants, in item order.
    ObjectCursor(const ICnrCtl& container, const ICnrObj* parent, IBase::Boolean allLevels = false);
    ~ObjectCursor() override;

    virtual IBase::Boolean setToFirst();
    virtual IBase::Boolean setToNext();
    virtual IBase::Boolean setToLast();
    virtual IBase::Boolean setToPrevious();
    virtual ICnrObj* first();
    virtual ICnrObj* next();
    virtual ICnrObj* previous();
    virtual ICnrObj* last();
    virtual ICnrObj* current() const;
    // "pcnrctlClOwner->containsObject(currentObject)" for an object the container does not hold.
    virtual ObjectCursor& setCurrent(const ICnrObj* currentObject);
    virtual IBase::Boolean isValid() const;
    virtual ObjectCursor& invalidate();

    // The depth-first step after an object ("objectAfter!=0" for none).
    ICnrObj* nextObject(const ICnrObj* objectAfter);

    // The list control's index of the current object, kept by the native container while it
    // has no tree control.
    long listPosition() const noexcept { return fListPosition; }
    void setListPosition(long position) noexcept { fListPosition = position; }

    enum Mode : unsigned long { allObjects = 1, children = 2, filtered = 4, descendants = 8 };

private:
    ICnrObj* query(const ICnrObj* reference, unsigned long command, unsigned long order);
    ICnrObj* queryEmphasis(const ICnrObj* after) const;
    ICnrObj* lastDescendantOf(ICnrObj* object);
    IBase::Boolean position(ICnrObj* object);
    IBase::Boolean lastWithAllFilterBits(ICnrObj* from);

    ICnrObj* fCurrent = nullptr;
    ICnrObj* fParent = nullptr;
    unsigned long fSnapshot = 0;
    ICnrCtl* fContainer = nullptr;
    unsigned long fEmphasis = 0;
    unsigned long fOrder = CMA_ITEMORDER;
    unsigned long fMode = allObjects;
    long fListPosition = -1;
};

// Walks the objects whose text in the current view matches a search text, as a prefix or whole.
class OVKWIN_API ICnrCtl::TextCursor : public IVBase {
public:
    // The further flag is kept for code that passes it; the search does not read it.
    TextCursor(const ICnrCtl& container, const IString& text, IBase::Boolean prefix = false,
               IBase::Boolean caseSensitive = true, IBase::Boolean further = false);
    ~TextCursor() override;

    virtual IBase::Boolean setToFirst();
    virtual IBase::Boolean setToNext();
    virtual IBase::Boolean setToLast();
    virtual IBase::Boolean setToPrevious();
    virtual ICnrObj* first();
    virtual ICnrObj* next();
    virtual ICnrObj* previous();
    virtual ICnrObj* last();
    virtual ICnrObj* current() const;
    virtual TextCursor& setCurrent(const ICnrObj* currentObject);
    virtual IBase::Boolean isValid() const;
    virtual TextCursor& invalidate();

private:
    // The next match after the object (null: from the start), or null.
    ICnrObj* searchAfter(const ICnrObj* object) const;

    ICnrObj* fCurrent = nullptr;
    unsigned long fSpare = 0;
    unsigned long fView = CV_ICON;
    unsigned long fSnapshot = 0;
    ICnrCtl* fContainer = nullptr;
    IString fText;
    IBase::Boolean fPrefix = false;
    IBase::Boolean fCaseSensitive = true;
    IBase::Boolean fFurther = false;
};

// A function object for applyToObjects: answers false to end the walk.
class OVKWIN_API ICnrCtl::ApplyFn : public IVBase {
public:
    ApplyFn();
    ~ApplyFn() override;
    virtual IBase::Boolean applyTo(ICnrObj* object) = 0;
};
