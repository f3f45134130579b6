// ICnrCtl: the queries over its objects, and moving and copying objects with the objects
// under them.
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "icnrctl.hpp"

#include <iassert.hpp>
#include <icoordsy.hpp>

#include "detail/icnrdata.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl4";

ICnrObj* objectIn(const IEventData& result)
{
    if (result.asUnsignedLong() == 0 ||
        result.asLong() == static_cast<std::intptr_t>(static_cast<LRESULT>(-1)))
        return nullptr;
    return ICnrObj::objectOf(static_cast<MINIRECORDCORE*>(result.asPointer()));
}

// Turns refresh off on the containers for the time of a move or copy, and on again (with one
// repaint) on those where it was on.
class HeldRefresh {
public:
    HeldRefresh(ICnrCtl& target, ICnrCtl& source)
    {
        for (ICnrCtl* container : {&target, &source}) {
            if (container->isRefreshOn()) {
                container->disableRefresh();
                fHeld.push_back(container);
            }
        }
    }
    ~HeldRefresh()
    {
        for (ICnrCtl* container : fHeld) {
            try {
                container->refresh(false);
                container->enableRefresh();
            } catch (const IException& failure) {
                IAssertion::report(failure);
            }
        }
    }
    HeldRefresh(const HeldRefresh&) = delete;
    HeldRefresh& operator=(const HeldRefresh&) = delete;

private:
    std::vector<ICnrCtl*> fHeld;
};

std::vector<ICnrObj*> elements(const ICnrCtl::ObjectList& list)
{
    std::vector<ICnrObj*> all;
    ICnrCtl::ObjectList::Cursor cursor(list);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        all.push_back(list.elementAt(cursor));
    return all;
}

} // namespace

// Queries ---------------------------------------------------------------------------------------------

ICnrObj* ICnrCtl::parentObject(const ICnrObj* childObject) const
{
    IARGUMENT_CHECK(childObject!=0, kFile, "ICnrCtl::parentObject(const ICnrObj*) const");
    return objectIn(sendEvent(CM_QUERYRECORD, ICnrObj::recordOf(childObject),
                              IEventData(std::uint16_t(CMA_PARENT), std::uint16_t(CMA_ITEMORDER))));
}

ICnrCtl::ObjectList* ICnrCtl::descendentsOf(ICnrObj* parentObject) const
{
    IARGUMENT_CHECK(parentObject!=0, kFile, "ICnrCtl::descendentsOf(ICnrObj*) const");
    auto list = std::make_unique<ObjectList>();
    collectUnder(parentObject, *list, true);
    return list.release();
}

ICnrCtl::ObjectList* ICnrCtl::immediateDescendentsOf(ICnrObj* parentObject) const
{
    IARGUMENT_CHECK(parentObject!=0, kFile, "ICnrCtl::immediateDescendentsOf(ICnrObj*) const");
    auto list = std::make_unique<ObjectList>();
    collectUnder(parentObject, *list, false);
    return list.release();
}

// Depth first: each child, then what lies under it; each remembers the parent it was found
// under, which moving and copying read.
void ICnrCtl::collectUnder(ICnrObj* parent, ObjectList& list, IBase::Boolean allLevels) const
{
    std::vector<ICnrObj*> found;
    ObjectCursor cursor(*this, parent);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        found.push_back(cursor.current());
    for (ICnrObj* child : found) {
        list.addAsLast(child);
        if (allLevels) {
            child->setCollectedParent(parent);
            collectUnder(child, list, true);
        }
    }
}

ICnrObj* ICnrCtl::objectUnderPoint(const IPoint& point) const
{
    IPoint at = point;
    if (ICoordinateSystem::isConversionNeeded())
        at = ICoordinateSystem::convertToNative(point, size());
    POINT native{at.x(), at.y()};
    const ICnrControlData* data = controlData();
    if (!isMessageContainer() && data && data->isTitleShown()) {
        const HWND control = isTreeView() ? data->treeControl() : data->listControl();
        if (control)
            MapWindowPoints(handle(), control, &native, 1);
    }
    QUERYRECFROMRECT query{};
    query.cb = sizeof(QUERYRECFROMRECT);
    query.rect = CNR_RECTL{native.x - 1, native.y - 1, native.x, native.y};
    query.fsSearch = CMA_PARTIAL | CMA_ZORDER;
    const IEventData result = sendEvent(CM_QUERYRECORDFROMRECT, CMA_FIRST, &query);
    if (result.asLong() == static_cast<std::intptr_t>(static_cast<LRESULT>(-1)))
        IThrow::systemError("CM_QUERYRECORDFROMRECT", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "ICnrCtl::objectUnderPoint(const IPoint&) const"));
    return objectIn(result);
}

unsigned long ICnrCtl::objectCount() const
{
    unsigned long count = 0;
    ObjectCursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        ++count;
    return count;
}

ICnrObj* ICnrCtl::objectAt(unsigned long index) const
{
    ObjectCursor cursor(*this);
    unsigned long at = 0;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext(), ++at)
        if (at == index)
            return cursor.current();
    return nullptr;
}

ICnrObj* ICnrCtl::objectAt(const ObjectCursor& cursor) const
{
    ISTATE_CHECK(cursor.isValid(), kFile, "ICnrCtl::objectAt(const ICnrCtl::ObjectCursor&) const");
    return cursor.current();
}

ICnrObj* ICnrCtl::objectAt(const TextCursor& cursor) const
{
    ISTATE_CHECK(cursor.isValid(), kFile, "ICnrCtl::objectAt(const ICnrCtl::TextCursor&) const");
    return cursor.current();
}

ICnrCtl::ObjectList* ICnrCtl::objects(unsigned long filter) const
{
    auto list = std::make_unique<ObjectList>();
    ObjectCursor cursor(*this, filter);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        list->addAsLast(cursor.current());
    return list.release();
}

ICnrCtl& ICnrCtl::applyToObjects(ApplyFn& function, ICnrObj* parent)
{
    std::unique_ptr<ObjectCursor> cursor(parent ? new ObjectCursor(*this, parent)
                                                : new ObjectCursor(*this));
    // Without a parent, the top level: each object's siblings, not what lies under it.
    for (ICnrObj* object = cursor->first(); object;) {
        if (!function.applyTo(object))
            break;
        if (parent) {
            object = cursor->next();
            continue;
        }
        ICnrObj* sibling = objectIn(sendEvent(
            CM_QUERYRECORD, isListMode() ? static_cast<const void*>(cursor.get())
                                         : static_cast<const void*>(ICnrObj::recordOf(object)),
            IEventData(std::uint16_t(CMA_NEXT), std::uint16_t(CMA_ITEMORDER))));
        object = sibling;
    }
    return *this;
}

// Moving and copying --------------------------------------------------------------------------------

IBase::Boolean ICnrCtl::isMoveValid(ICnrObj* object, ICnrObj* newParent, ICnrCtl* target,
                                    ICnrObj* after) const
{
    ICnrCtl* into = target ? target : const_cast<ICnrCtl*>(this);
    if (!object || !containsObject(object))
        return false;
    if ((after && !into->containsObject(after)) || (newParent && !into->containsObject(newParent)))
        return false;
    if (after == object)
        return false;
    if (after && newParent && into->parentObject(after) != newParent)
        return false;
    std::unique_ptr<ObjectList> under(descendentsOf(object));
    const std::vector<ICnrObj*> descendants = elements(*under);
    if (into == this) {
        const ICnrObj* parent = newParent ? newParent : (after ? parentObject(after) : nullptr);
        if (parent == object)
            return false;
        for (ICnrObj* descendant : descendants)
            if (descendant == parent)
                return false;
        return true;
    }
    if (into->containsObject(object))
        return false;
    for (ICnrObj* descendant : descendants)
        if (into->containsObject(descendant))
            return false;
    return true;
}

// The icon position in the target's window coordinates (and, for a native target, in those of
// its control).
void ICnrCtl::placeIcon(ICnrObj* object, ICnrCtl& target, const IPoint& iconPosition) const
{
    MINIRECORDCORE* record = ICnrObj::recordOf(object);
    POINT place{iconPosition.x(), iconPosition.y()};
    if (ICoordinateSystem::isConversionNeeded()) {
        ISize icon = target.iconSize();
        place.y = static_cast<LONG>(target.size().height() - iconPosition.y() - icon.height());
    }
    if (!target.isMessageContainer() && target.controlData()) {
        const ICnrControlData* data = target.controlData();
        const HWND control = target.isTreeView() ? data->treeControl() : data->listControl();
        if (control)
            MapWindowPoints(target.handle(), control, &place, 1);
    }
    record->ptlIcon = CNR_POINTL{place.x, place.y};
}

IBase::Boolean ICnrCtl::moveObjectTo(ICnrObj* object, ICnrObj* newParent, ICnrCtl* target,
                                     ICnrObj* after, const IPoint& iconPosition)
{
    if (!object)
        IThrow::argument("moveObject!=0",
                         IEXCEPTION_LOCATION(kFile, "ICnrCtl::moveObjectTo(ICnrObj*,ICnrObj*,ICnrCtl*,ICnrObj*,const IPoint&)"));
    ICnrCtl& into = target ? *target : *this;
    if (!isMoveValid(object, newParent, &into, after))
        return false;
    std::unique_ptr<ObjectList> under(descendentsOf(object));
    const std::vector<ICnrObj*> descendants = elements(*under);
    HeldRefresh held(into, *this);
    MINIRECORDCORE* records[1] = {ICnrObj::recordOf(object)};
    sendEvent(CM_QUERYRECORDINFO, records, 1);
    removeObject(object, false);
    placeIcon(object, into, iconPosition);
    into.addObjectAfter(object, after, newParent);
    for (ICnrObj* descendant : descendants)
        into.addObject(descendant, descendant->collectedParent());
    return true;
}

ICnrObj* ICnrCtl::copyObjectTo(ICnrObj* object, ICnrObj* newParent, ICnrCtl* target,
                               ICnrObj* after, const IPoint& iconPosition)
{
    if (!object)
        IThrow::argument("copyObject!=0",
                         IEXCEPTION_LOCATION(kFile, "ICnrCtl::copyObjectTo(ICnrObj*,ICnrObj*,ICnrCtl*,ICnrObj*,const IPoint&)"));
    ICnrCtl& into = target ? *target : *this;
    std::unique_ptr<ObjectList> under(descendentsOf(object));
    const std::vector<ICnrObj*> descendants = elements(*under);
    HeldRefresh held(into, *this);
    ICnrObj* copy = object->objectCopy();
    placeIcon(copy, into, iconPosition);
    if (newParent)
        into.addObject(copy, newParent);
    else
        into.addObjectAfter(copy, after);
    // Each copy goes under the copy of its own parent.
    std::map<const ICnrObj*, ICnrObj*> copies{{object, copy}};
    for (ICnrObj* descendant : descendants) {
        ICnrObj* copied = descendant->objectCopy();
        copies[descendant] = copied;
        into.addObject(copied, copies[descendant->collectedParent()]);
    }
    return copy;
}
