// IDMCnrItem: the drag item of a container object.
#pragma once

#include <idefs.hpp>

#include "idmitem.hpp"

class ICnrCtl;

// Travels only inside the process: its object is the container object it stands for.
// IDMSupport::enableDragDropFor<IDMCnrItem>(container) gives a container these items. A drop
// moves the object, or with Ctrl held copies it (ICnrObj::objectCopy).
class OVKWIN_API IDMCnrItem : public IDMItem {
public:
    IDMCnrItem(IDMSourceOperation* operation, ICnrCtl* container, ICnrObj* object,
               const IPoint& objectOffset);
    // Keeps only the in-process pair of this process: a drop from another process keeps none.
    explicit IDMCnrItem(const IDMItem::Handle& item);
    ~IDMCnrItem() override;

    IBase::Boolean targetDrop(IDMTargetDropEvent& event) override;
    virtual unsigned long containerId() const;
    virtual ICnrCtl* sourceContainer() const;

    // One item for the object under the pointer and, when it is selected, one for every other
    // selected object, each keeping its place relative to the first.
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation);

private:
    ICnrCtl* fContainer = nullptr;
};
