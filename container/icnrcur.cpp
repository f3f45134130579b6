// ICnrCtl::ObjectCursor and ICnrCtl::TextCursor: walks over the objects of one container that
// ask the window for each step.
#include <windows.h>

#include "icnrctl.hpp"

#include "detail/icnrdata.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrcur";

// The cursor's filter flags as record emphasis.
unsigned long emphasisOf(unsigned long filter)
{
    unsigned long emphasis = 0;
    if (filter & ICnrCtl::ObjectCursor::cursored) emphasis |= CRA_CURSORED;
    if (filter & ICnrCtl::ObjectCursor::inUse) emphasis |= CRA_INUSE;
    if (filter & ICnrCtl::ObjectCursor::selected) emphasis |= CRA_SELECTED;
    return emphasis;
}

// A record answer: 0 and -1 both mean none.
ICnrObj* objectIn(const IEventData& result)
{
    if (result.asUnsignedLong() == 0 ||
        result.asLong() == static_cast<std::intptr_t>(static_cast<LRESULT>(-1)))
        return nullptr;
    return ICnrObj::objectOf(static_cast<MINIRECORDCORE*>(result.asPointer()));
}

IEventData queryCommand(unsigned long what, unsigned long order)
{
    return IEventData(static_cast<std::uint16_t>(what), static_cast<std::uint16_t>(order));
}

} // namespace

// Object cursor -----------------------------------------------------------------------------------------

ICnrCtl::ObjectCursor::ObjectCursor(const ICnrCtl& container, unsigned long filter,
                                    unsigned long order)
    : fSnapshot(container.changeCount()), fContainer(const_cast<ICnrCtl*>(&container)),
      fEmphasis(emphasisOf(filter)), fOrder(order == zOrder ? CMA_ZORDER : CMA_ITEMORDER),
      fMode(filter ? filtered : allObjects)
{
}

ICnrCtl::ObjectCursor::ObjectCursor(const ICnrCtl& container, const ICnrObj* parent,
                                    IBase::Boolean allLevels)
    : fParent(const_cast<ICnrObj*>(parent)), fSnapshot(container.changeCount()),
      fContainer(const_cast<ICnrCtl*>(&container)), fMode(allLevels ? descendants : children)
{
}

ICnrCtl::ObjectCursor::~ObjectCursor() = default;

// Without a tree control the native container walks its list by index: the cursor itself goes
// along in place of the reference record, and the container keeps its list position.
ICnrObj* ICnrCtl::ObjectCursor::query(const ICnrObj* reference, unsigned long what,
                                      unsigned long order)
{
    const IEventData first = fContainer->isListMode()
                                 ? IEventData(static_cast<const void*>(this))
                                 : IEventData(static_cast<const void*>(ICnrObj::recordOf(reference)));
    return objectIn(fContainer->sendEvent(CM_QUERYRECORD, first, queryCommand(what, order)));
}

// Only a positive answer is a record.
ICnrObj* ICnrCtl::ObjectCursor::queryEmphasis(const ICnrObj* after) const
{
    const IEventData first = after ? IEventData(static_cast<const void*>(ICnrObj::recordOf(after)))
                                   : IEventData(CMA_FIRST);
    const IEventData result = fContainer->sendEvent(CM_QUERYRECORDEMPHASIS, first, fEmphasis);
    return result.asLong() > 0 ? objectIn(result) : nullptr;
}

ICnrObj* ICnrCtl::ObjectCursor::lastDescendantOf(ICnrObj* object)
{
    while (object) {
        ICnrObj* child = query(object, CMA_LASTCHILD, CMA_ITEMORDER);
        if (!child)
            break;
        object = child;
    }
    return object;
}

IBase::Boolean ICnrCtl::ObjectCursor::position(ICnrObj* object)
{
    fCurrent = object;
    return isValid();
}

IBase::Boolean ICnrCtl::ObjectCursor::setToFirst()
{
    fSnapshot = fContainer->changeCount();
    if (fMode == filtered)
        return position(queryEmphasis(nullptr));
    if (fParent)
        return position(query(fParent, CMA_FIRSTCHILD, CMA_ITEMORDER));
    return position(query(nullptr, CMA_FIRST, fOrder));
}

IBase::Boolean ICnrCtl::ObjectCursor::setToNext()
{
    if (!fCurrent)
        return setToFirst();
    if (fMode == filtered)
        return position(queryEmphasis(fCurrent));
    if (fMode == children || fOrder == CMA_ZORDER)
        return position(query(fCurrent, CMA_NEXT, fOrder));
    return position(nextObject(fCurrent));
}

// Depth first: the first child, else the next sibling, else the next sibling of the nearest
// ancestor that has one. A walk of descendants ends where it would leave its parent.
ICnrObj* ICnrCtl::ObjectCursor::nextObject(const ICnrObj* objectAfter)
{
    IARGUMENT_CHECK(objectAfter!=0, kFile, "ICnrCtl::ObjectCursor::nextObject(const ICnrObj*)");
    if (ICnrObj* child = query(objectAfter, CMA_FIRSTCHILD, CMA_ITEMORDER))
        return child;
    for (const ICnrObj* at = objectAfter; at;) {
        if (ICnrObj* sibling = query(at, CMA_NEXT, fOrder))
            return sibling;
        at = query(at, CMA_PARENT, CMA_ITEMORDER);
        if (fMode == descendants && at == fParent)
            return nullptr;
    }
    return nullptr;
}

IBase::Boolean ICnrCtl::ObjectCursor::setToLast()
{
    fSnapshot = fContainer->changeCount();
    if (fMode == filtered)
        return lastWithAllFilterBits(nullptr);
    if (!fParent) {
        ICnrObj* last = query(nullptr, CMA_LAST, fOrder);
        return position(fOrder == CMA_ZORDER ? last : lastDescendantOf(last));
    }
    if (fMode != descendants)
        return position(query(fParent, CMA_LASTCHILD, CMA_ITEMORDER));
    ICnrObj* deepest = lastDescendantOf(fParent);
    return position(deepest == fParent ? nullptr : deepest);
}

IBase::Boolean ICnrCtl::ObjectCursor::setToPrevious()
{
    if (!fCurrent)
        return setToLast();
    if (fMode == filtered)
        return lastWithAllFilterBits(fCurrent);
    if (fMode == children || fOrder == CMA_ZORDER)
        return position(query(fCurrent, CMA_PREV, fOrder));
    if (ICnrObj* previous = query(fCurrent, CMA_PREV, fOrder))
        return position(lastDescendantOf(previous));
    ICnrObj* parent = query(fCurrent, CMA_PARENT, CMA_ITEMORDER);
    return position(fMode == descendants && parent == fParent ? nullptr : parent);
}

// Backwards the window has no emphasis search: an unfiltered cursor walks back from the object
// (or from the end) to the first object whose attributes have every filter bit.
IBase::Boolean ICnrCtl::ObjectCursor::lastWithAllFilterBits(ICnrObj* from)
{
    ObjectCursor all(*fContainer);
    IBase::Boolean valid = false;
    if (from) {
        all.setCurrent(from);
        valid = all.setToPrevious();
    } else {
        valid = all.setToLast();
    }
    for (; valid; valid = all.setToPrevious()) {
        ICnrObj* object = all.current();
        if ((fContainer->attributes(object) & fEmphasis) == fEmphasis)
            return position(object);
    }
    return position(nullptr);
}

ICnrObj* ICnrCtl::ObjectCursor::first()
{
    setToFirst();
    return current();
}

ICnrObj* ICnrCtl::ObjectCursor::next()
{
    setToNext();
    return current();
}

ICnrObj* ICnrCtl::ObjectCursor::previous()
{
    setToPrevious();
    return current();
}

ICnrObj* ICnrCtl::ObjectCursor::last()
{
    setToLast();
    return current();
}

ICnrObj* ICnrCtl::ObjectCursor::current() const
{
    return isValid() ? fCurrent : nullptr;
}

ICnrCtl::ObjectCursor& ICnrCtl::ObjectCursor::setCurrent(const ICnrObj* currentObject)
{
    if (!currentObject || !fContainer->containsObject(currentObject))
        IThrow::argument("pcnrctlClOwner->containsObject(currentObject)",
                         IEXCEPTION_LOCATION(kFile,
                                             "ICnrCtl::ObjectCursor::setCurrent(const ICnrObj*)"));
    fSnapshot = fContainer->changeCount();
    fCurrent = const_cast<ICnrObj*>(currentObject);
    if (fContainer->isListMode())
        fListPosition = fContainer->controlData()->listIndexOf(currentObject);
    return *this;
}

IBase::Boolean ICnrCtl::ObjectCursor::isValid() const
{
    return fCurrent && fSnapshot == fContainer->changeCount();
}

ICnrCtl::ObjectCursor& ICnrCtl::ObjectCursor::invalidate()
{
    fCurrent = nullptr;
    return *this;
}

// Text cursor -------------------------------------------------------------------------------------------

ICnrCtl::TextCursor::TextCursor(const ICnrCtl& container, const IString& text,
                                IBase::Boolean prefix, IBase::Boolean caseSensitive,
                                IBase::Boolean further)
    : fSnapshot(container.changeCount()), fContainer(const_cast<ICnrCtl*>(&container)),
      fText(text), fPrefix(prefix), fCaseSensitive(caseSensitive), fFurther(further)
{
    // The view whose texts are searched: the first of these that the container shows.
    const unsigned long view = container.viewWord();
    if (view & CV_TREE)
        fView = CV_TREE;
    else if (view & CV_NAME)
        fView = CV_NAME;
    else if (view & CV_TEXT)
        fView = CV_TEXT;
    else if (view & CV_DETAIL)
        fView = CV_DETAIL;
    else
        fView = CV_ICON;
}

ICnrCtl::TextCursor::~TextCursor() = default;

ICnrObj* ICnrCtl::TextCursor::searchAfter(const ICnrObj* object) const
{
    if (fText.length() == 0)
        return nullptr;
    SEARCHSTRING search{};
    search.cb = sizeof(SEARCHSTRING);
    search.pszSearch = const_cast<char*>(static_cast<const char*>(fText));
    search.fsPrefix = fPrefix ? 1 : 0;
    search.fsCaseSensitive = fCaseSensitive ? 1 : 0;
    search.usView = static_cast<std::uint32_t>(fView);
    const IEventData after = object ? IEventData(static_cast<const void*>(ICnrObj::recordOf(object)))
                                    : IEventData(CMA_FIRST);
    ICnrObj* found = objectIn(fContainer->sendEvent(CM_SEARCHSTRING, &search, after));
    // A search that comes round to where it started has nothing further.
    return found == object ? nullptr : found;
}

IBase::Boolean ICnrCtl::TextCursor::setToFirst()
{
    fSnapshot = fContainer->changeCount();
    fCurrent = searchAfter(nullptr);
    return isValid();
}

IBase::Boolean ICnrCtl::TextCursor::setToNext()
{
    if (!fCurrent)
        return setToFirst();
    fCurrent = searchAfter(fCurrent);
    return isValid();
}

// Searches only go forwards: the matches are walked from the first to find the last one, or
// the one before the current object.
IBase::Boolean ICnrCtl::TextCursor::setToLast()
{
    fSnapshot = fContainer->changeCount();
    ICnrObj* last = nullptr;
    for (ICnrObj* match = searchAfter(nullptr); match && match != last;
         match = searchAfter(match))
        last = match;
    fCurrent = last;
    return isValid();
}

IBase::Boolean ICnrCtl::TextCursor::setToPrevious()
{
    if (!fCurrent)
        return setToLast();
    ICnrObj* before = nullptr;
    for (ICnrObj* match = searchAfter(nullptr); match && match != fCurrent;
         match = searchAfter(match))
        before = match;
    fCurrent = before;
    return isValid();
}

ICnrObj* ICnrCtl::TextCursor::first()
{
    setToFirst();
    return current();
}

ICnrObj* ICnrCtl::TextCursor::next()
{
    setToNext();
    return current();
}

ICnrObj* ICnrCtl::TextCursor::previous()
{
    setToPrevious();
    return current();
}

ICnrObj* ICnrCtl::TextCursor::last()
{
    setToLast();
    return current();
}

ICnrObj* ICnrCtl::TextCursor::current() const
{
    return fCurrent;
}

ICnrCtl::TextCursor& ICnrCtl::TextCursor::setCurrent(const ICnrObj* currentObject)
{
    fSnapshot = fContainer->changeCount();
    fCurrent = const_cast<ICnrObj*>(currentObject);
    return *this;
}

IBase::Boolean ICnrCtl::TextCursor::isValid() const
{
    return fCurrent && fSnapshot == fContainer->changeCount();
}

ICnrCtl::TextCursor& ICnrCtl::TextCursor::invalidate()
{
    fCurrent = nullptr;
    return *this;
}

// Apply function ----------------------------------------------------------------------------------------

ICnrCtl::ApplyFn::ApplyFn() = default;
ICnrCtl::ApplyFn::~ApplyFn() = default;
