// Sorting and filtering a container through the application's function objects.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

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

// Sorting by text compares each object about log2 n times, and each platform comparison maps
// both texts through the locale's collation tables afresh; that dominates a sort's cost. The
// first time an object is seen here its text is turned into the locale's sort key once, and
// the keys are then compared bytewise, which orders as lstrcmpA does. The keys live back to back
// in one buffer and are found through an open-addressed table by object address, so that a
// comparison touches neither the object's text nor its reference count.
class IconTextCompare : public ICnrCtl::CompareFn {
public:
    IconTextCompare(IBase::Boolean ascending, unsigned long expected) : fAscending(ascending)
    {
        std::size_t slots = 16;
        while (slots < 2 * static_cast<std::size_t>(expected))
            slots *= 2;
        fSlots.resize(slots);
    }

    int isEqual(ICnrObj* object1, ICnrObj* object2, ICnrCtl*) const override
    {
        const Key& key1 = keyOf(object1);
        const Key& key2 = keyOf(object2);
        if (key1.length == 0 || key2.length == 0) {
            // No sort key (the platform refused one): compare the texts themselves.
            const IString text1 = object1->iconText();
            const IString text2 = object2->iconText();
            return fAscending ? cnrCompareTexts(text1, text2) : cnrCompareTexts(text2, text1);
        }
        const int result = fAscending ? compareKeys(key1, key2) : compareKeys(key2, key1);
        return result == 0 ? 0 : result < 0 ? -11 : 1;
    }

private:
    struct Key {
        const ICnrObj* object = nullptr;
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };

    int compareKeys(const Key& key1, const Key& key2) const
    {
        const int result = std::memcmp(fKeys.data() + key1.offset, fKeys.data() + key2.offset,
                                       std::min(key1.length, key2.length));
        if (result != 0)
            return result;
        return key1.length < key2.length ? -1 : key1.length > key2.length ? 1 : 0;
    }

    static std::size_t hashOf(const ICnrObj* object)
    {
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(object) >> 4) *
                                        UINT64_C(0x9E3779B97F4A7C15) >> 17);
    }

    Key& slotFor(std::vector<Key>& slots, const ICnrObj* object) const
    {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = hashOf(object) & mask;; i = (i + 1) & mask)
            if (slots[i].object == object || !slots[i].object)
                return slots[i];
    }

    const Key& keyOf(const ICnrObj* object) const
    {
        Key& slot = slotFor(fSlots, object);
        if (slot.object)
            return slot;
        if (2 * (fUsed + 1) > fSlots.size()) {
            std::vector<Key> larger(2 * fSlots.size());
            for (const Key& key : fSlots)
                if (key.object)
                    slotFor(larger, key.object) = key;
            fSlots.swap(larger);
            return keyOf(object);
        }
        slot.object = object;
        slot.offset = static_cast<std::uint32_t>(fKeys.size());
        slot.length = sortKey(object->iconText());
        ++fUsed;
        return slot;
    }

    // Appends the text's sort key to the buffer; its length, or 0 when there is none. Most keys
    // fit the local buffer, which spares asking the platform for the length first.
    std::uint32_t sortKey(const char* text) const
    {
        const LCID locale = GetThreadLocale();
        char local[256];
        int length = LCMapStringA(locale, LCMAP_SORTKEY, text, -1, local, sizeof local);
        const std::size_t offset = fKeys.size();
        if (length > 0) {
            fKeys.insert(fKeys.end(), local, local + length);
        } else {
            length = LCMapStringA(locale, LCMAP_SORTKEY, text, -1, nullptr, 0);
            if (length <= 0)
                return 0;
            fKeys.resize(offset + static_cast<std::size_t>(length));
            if (LCMapStringA(locale, LCMAP_SORTKEY, text, -1, &fKeys[offset], length) != length) {
                fKeys.resize(offset);
                return 0;
            }
        }
        if (fKeys.size() > UINT32_MAX) {
            fKeys.resize(offset);
            return 0;
        }
        return static_cast<std::uint32_t>(length);
    }

    IBase::Boolean fAscending;
    mutable std::vector<Key> fSlots;
    mutable std::vector<char> fKeys;
    mutable std::size_t fUsed = 0;
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
        // sort() always hands its record over; the texts are read through the objects, under
        // the lock over all objects, by the comparison itself.
        const auto* record = reinterpret_cast<const CallbackRecord<ICnrCtl::CompareFn>*>(userData);
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
    ICnrInfo info;
    containerInfo(&info);
    return sort(IconTextCompare(ascending, info.cRecords));
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
