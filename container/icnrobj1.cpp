// Records for container objects: the allocator, the class's allocation and freeing.
#include <windows.h>

#include <new>

#include "icnrobj.hpp"

#include <ovkmsgid.hpp>

#include <iassert.hpp>

#include "icnrctl.hpp"

namespace {

constexpr const char* kFile = "icnrobj1";

MINIRECORDCORE* allocateRecords(unsigned long count, std::size_t objectSize, const char* function)
{
    const IEventData chain = ICnrCtl::allocationWindow().sendEvent(
        CM_ALLOCRECORD, static_cast<std::uintptr_t>(objectSize), count);
    if (!chain.asUnsignedLong())
        IThrow::systemError("CM_ALLOCRECORD", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    return static_cast<MINIRECORDCORE*>(chain.asPointer());
}

// Records always go back through the calling thread's allocation window, whichever container
// or thread they came from. A destructor cannot throw, so a refusal is reported.
void freeRecord(MINIRECORDCORE* record, const char* function) noexcept
{
    try {
        MINIRECORDCORE* records[1] = {record};
        const IEventData result = ICnrCtl::allocationWindow().sendEvent(CM_FREERECORD, records, 1);
        if (result.asLong() == static_cast<std::intptr_t>(static_cast<LRESULT>(-1)))
            IThrow::systemError("CM_FREERECORD", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
        IAssertion::report("unexpected exception", IExceptionLocation(kFile, function));
    }
}

// The object lies directly behind its record, at a place aligned for any object.
static_assert(sizeof(MINIRECORDCORE) % alignof(ICnrObj) == 0,
              "an object must be aligned behind its record");

} // namespace

// The allocator -----------------------------------------------------------------------------------

ICnrAllocator::ICnrAllocator(unsigned long count, unsigned long objectSize)
    : fObjectSize(objectSize)
{
    if (count == 0) {
        IThrow::message(OVK_MSG_ALLOCATOR_EMPTY_REQUEST,
                        IEXCEPTION_LOCATION(kFile, "ICnrAllocator::ICnrAllocator(unsigned long,unsigned long)"));
    }
    fFirst = allocateRecords(count, objectSize,
                             "ICnrAllocator::ICnrAllocator(unsigned long,unsigned long)");
    fNext = fFirst;
}

ICnrAllocator::~ICnrAllocator()
{
    while (fNext) {
        MINIRECORDCORE* record = fNext;
        fNext = record->preccNextRecord;
        freeRecord(record, "ICnrAllocator::~ICnrAllocator()");
    }
}

MINIRECORDCORE* ICnrAllocator::takeNextRecord() noexcept
{
    MINIRECORDCORE* record = fNext;
    if (record)
        fNext = record->preccNextRecord;
    return record;
}

void ICnrAllocator::takeBack(MINIRECORDCORE* record) noexcept
{
    MINIRECORDCORE** link = &fFirst;
    for (unsigned long i = 0; i < fHandedOut && *link; ++i, link = &(*link)->preccNextRecord) {
        if (*link == record) {
            *link = record->preccNextRecord;
            --fHandedOut;
            return;
        }
    }
}

MINIRECORDCORE* ICnrAllocator::nextRecordOf(const MINIRECORDCORE* record) noexcept
{
    return record ? record->preccNextRecord : nullptr;
}

// Allocation and freeing -----------------------------------------------------------------------------

void* ICnrObj::operator new(std::size_t size)
{
    return newRecord(size);
}

void* ICnrObj::operator new(std::size_t size, ICnrAllocator& allocator)
{
    return operator new(size, nullptr, 0, allocator);
}

void* ICnrObj::operator new(std::size_t size, const char*, std::size_t, ICnrAllocator& allocator)
{
    const char* const function =
        "ICnrObj::operator new(size_t,const char*,size_t,ICnrAllocator&)";
    // An object larger than the allocator's records would run past the end of its record.
    IARGUMENT_CHECK(size <= allocator.objectSize(), kFile, function);
    MINIRECORDCORE* record = allocator.takeNextRecord();
    if (!record)
        IThrow::message(OVK_MSG_ALLOCATOR_EXHAUSTED, IEXCEPTION_LOCATION(kFile, function));
    allocator.countHandedOut();
    void* object = reinterpret_cast<char*>(record) + record->cb;
    if (size > sizeof(ICnrObj))
        static_cast<ICnrObj*>(object)->fState = derivedSize;
    return object;
}

void* ICnrObj::newRecord(std::size_t size)
{
    MINIRECORDCORE* record = allocateRecords(1, size, "ICnrObj::newRecord(size_t)");
    record->cb = sizeof(MINIRECORDCORE);
    void* object = reinterpret_cast<char*>(record) + sizeof(MINIRECORDCORE);
    if (size > sizeof(ICnrObj))
        static_cast<ICnrObj*>(object)->fState = derivedSize;
    return object;
}

void ICnrObj::operator delete(void* object) noexcept
{
    deleteRecord(object);
}

void ICnrObj::operator delete(void* object, ICnrAllocator& allocator) noexcept
{
    giveBackRecordOf(object, allocator);
}

void ICnrObj::operator delete(void* object, const char*, std::size_t,
                              ICnrAllocator& allocator) noexcept
{
    giveBackRecordOf(object, allocator);
}

// Called after the destructor, which took the object out of every container: no other thread
// can reach the mark's word any more, so it is read without the lock over all objects.
void ICnrObj::deleteRecord(void* object) noexcept
{
    if (!object || static_cast<ICnrObj*>(object)->fKeepRecord)
        return;
    releaseRecordOf(object);
}

void ICnrObj::releaseRecordOf(void* object) noexcept
{
    if (object)
        freeRecord(reinterpret_cast<MINIRECORDCORE*>(static_cast<char*>(object) -
                                                     sizeof(MINIRECORDCORE)),
                   "ICnrObj::deleteRecord(void*)");
}

// The allocator still counts the record of an object whose constructor threw: it must forget
// it before the record is freed, or its next insertion would hand freed memory to a container.
void ICnrObj::giveBackRecordOf(void* object, ICnrAllocator& allocator) noexcept
{
    if (!object)
        return;
    allocator.takeBack(reinterpret_cast<MINIRECORDCORE*>(static_cast<char*>(object) -
                                                         sizeof(MINIRECORDCORE)));
    releaseRecordOf(object);
}

ICnrObj* ICnrObj::objectOf(const MINIRECORDCORE* record) noexcept
{
    if (!record)
        return nullptr;
    return reinterpret_cast<ICnrObj*>(const_cast<char*>(reinterpret_cast<const char*>(record)) +
                                      record->cb);
}

MINIRECORDCORE* ICnrObj::recordOf(const ICnrObj* object) noexcept
{
    return object ? object->fRecord : nullptr;
}
