// ICnrCtl: whether it holds an object, and the object's attributes and emphasis in it.
#include <windows.h>

#include "icnrctl.hpp"

#include "detail/icnrdata.hpp"
#include "detail/icnritem.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl2";

[[noreturn]] void refused(const char* message, const char* function)
{
    IThrow::systemError(message, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
}

} // namespace

IBase::Boolean ICnrCtl::containsObject(const ICnrObj* object) const
{
    IARGUMENT_CHECK(object!=0, kFile, "ICnrCtl::containsObject(const ICnrObj*) const");
    if (!isValid())
        return false;
    if (!isMessageContainer())
        return object->nativeItems().contains(this);
    MINIRECORDCORE* records[1] = {ICnrObj::recordOf(object)};
    return sendEvent(CM_QUERYRECORDINFO, records, 1).asUnsignedLong() != 0;
}

// The record's fields are brought up to date from the window first.
unsigned long ICnrCtl::attributes(const ICnrObj* object) const
{
    IARGUMENT_CHECK(object!=0, kFile, "ICnrCtl::attributes(const ICnrObj*) const");
    MINIRECORDCORE* records[1] = {ICnrObj::recordOf(object)};
    if (!sendEvent(CM_QUERYRECORDINFO, records, 1).asUnsignedLong())
        refused("CM_QUERYRECORDINFO", "ICnrCtl::attributes(const ICnrObj*) const");
    return records[0]->flRecordAttr;
}

ICnrCtl& ICnrCtl::setAttributes(ICnrObj* object, unsigned long clear, unsigned long set)
{
    IARGUMENT_CHECK(object!=0, kFile,
                    "ICnrCtl::setAttributes(ICnrObj*,unsigned long,unsigned long)");
    MINIRECORDCORE* record = ICnrObj::recordOf(object);
    if (isMessageContainer()) {
        attributes(object);
        {
            // Only the bits asked for: the rest of the word is other threads' too.
            const ICnrAllObjectsLock lock;
            record->flRecordAttr = static_cast<std::uint32_t>((record->flRecordAttr & ~clear) | set);
        }
        MINIRECORDCORE* records[1] = {record};
        if (!sendEvent(CM_INVALIDATERECORD, records, IEventData(std::uint16_t(1), 0x0001))
                 .asUnsignedLong())
            refused("CM_INVALIDATERECORD",
                    "ICnrCtl::setAttributes(ICnrObj*,unsigned long,unsigned long)");
        return *this;
    }
    // The native container keeps these bits per container, so they go as emphasis.
    if (clear)
        sendEvent(CM_SETRECORDEMPHASIS, record,
                  IEventData(std::uint16_t(0), static_cast<std::uint16_t>(clear)));
    if (set)
        sendEvent(CM_SETRECORDEMPHASIS, record,
                  IEventData(std::uint16_t(1), static_cast<std::uint16_t>(set)));
    return *this;
}

ICnrCtl& ICnrCtl::setEmphasis(ICnrObj* object, unsigned long emphasis, IBase::Boolean on)
{
    IARGUMENT_CHECK(object!=0, kFile, "ICnrCtl::setEmphasis(ICnrObj*,unsigned long,IBase::Boolean)");
    const IEventData change(static_cast<std::uint16_t>(on ? 1 : 0),
                            static_cast<std::uint16_t>(emphasis));
    if (!sendEvent(CM_SETRECORDEMPHASIS, ICnrObj::recordOf(object), change).asUnsignedLong())
        refused("CM_SETRECORDEMPHASIS", "ICnrCtl::setEmphasis(ICnrObj*,unsigned long,IBase::Boolean)");
    return *this;
}
