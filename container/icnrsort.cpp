// Sorting and filtering a container through the application's function objects.
#include <windows.h>

#include <type_traits>

#include "icnrsort.hpp"

#include <iexcept.hpp>

#include <detail/icallgrd.hpp>

#include "icnrobj.hpp"

static_assert(std::is_same<CNR_LPARAM, LPARAM>::value,
              "the comparison callback must take the platform's LPARAM");

namespace {

constexpr const char* kFile = "icnrsort";

// What the container window hands back to the callbacks with each call.
template <class Function>
struct CallbackRecord {
    const Function* function;
    ICnrCtl* container;
};

class IconTextCompare : public ICnrCtl::CompareFn {
public:
    explicit IconTextCompare(IBase::Boolean ascending) : fAscending(ascending) {}
    int isEqual(ICnrObj* object1, ICnrObj* object2, ICnrCtl*) const override
    {
        const IString text1 = object1->iconText();
        const IString text2 = object2->iconText();
        return fAscending ? cnrCompareTexts(text1, text2) : cnrCompareTexts(text2, text1);
    }

private:
    IBase::Boolean fAscending;
};

class ShowAll : public ICnrCtl::FilterFn {
public:
    IBase::Boolean isMemberOf(ICnrObj*, ICnrCtl*) const override { return true; }
};

// A message-driven container passes records, the native one the objects themselves.
ICnrObj* objectFor(CNR_LPARAM value, const ICnrCtl& container)
{
    if (!container.isMessageContainer())
        return reinterpret_cast<ICnrObj*>(value);
    return ICnrObj::objectOf(reinterpret_cast<const MINIRECORDCORE*>(value));
}

int OVKCNR_CALLBACK compareRecords(CNR_LPARAM first, CNR_LPARAM second, CNR_LPARAM userData)
{
    return ICallbackGuard::call(0, [=] {
        const auto* record = reinterpret_cast<const CallbackRecord<ICnrCtl::CompareFn>*>(userData);
        if (!record) {
            const auto* record1 = reinterpret_cast<const MINIRECORDCORE*>(first);
            const auto* record2 = reinterpret_cast<const MINIRECORDCORE*>(second);
            return cnrCompareTexts(record1 ? record1->pszIcon : nullptr,
                                   record2 ? record2->pszIcon : nullptr);
        }
        return record->function->isEqual(objectFor(first, *record->container),
                                         objectFor(second, *record->container),
                                         record->container);
    });
}

// A failure in the application's filter keeps the object shown.
int OVKCNR_CALLBACK filterRecord(MINIRECORDCORE* record, void* userData)
{
    return ICallbackGuard::call(1, [=] {
        const auto* callback = static_cast<const CallbackRecord<ICnrCtl::FilterFn>*>(userData);
        ICnrObj* object = ICnrObj::objectOf(record);
        if (!callback || !object)
            return 1;
        return callback->function->isMemberOf(object, callback->container) ? 1 : 0;
    });
}

} // namespace

int cnrCompareTexts(const char* text1, const char* text2)
{
    const int result = lstrcmpA(text1 ? text1 : "", text2 ? text2 : "");
    return result == 0 ? 0 : result < 0 ? -11 : 1;
}

ICnrCtl::CompareFn::CompareFn() = default;
ICnrCtl::CompareFn::~CompareFn() = default;
ICnrCtl::FilterFn::FilterFn() = default;
ICnrCtl::FilterFn::~FilterFn() = default;

ICnrCtl& ICnrCtl::sort(const CompareFn& compare)
{
    CallbackRecord<CompareFn> record{&compare, this};
    const IEventData result = sendEvent(CM_SORTRECORD, reinterpret_cast<std::uintptr_t>(&compareRecords),
                                        static_cast<const void*>(&record));
    if (!result.asUnsignedLong())
        IThrow::systemError("CM_SORTRECORD", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "ICnrCtl::sort(const CompareFn&)"));
    return *this;
}

ICnrCtl& ICnrCtl::sortByIconText(IBase::Boolean ascending)
{
    return sort(IconTextCompare(ascending));
}

ICnrCtl& ICnrCtl::filter(const FilterFn& filter)
{
    ICnrInfo info;
    containerInfo(&info);
    if (info.cRecords == 0)
        return *this;
    CallbackRecord<FilterFn> record{&filter, this};
    const IEventData result = sendEvent(CM_FILTER, reinterpret_cast<std::uintptr_t>(&filterRecord),
                                        static_cast<const void*>(&record));
    if (!result.asUnsignedLong())
        IThrow::systemError("CM_FILTER", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "ICnrCtl::filter(const FilterFn&)"));
    return *this;
}

ICnrCtl& ICnrCtl::filter()
{
    return filter(ShowAll());
}
