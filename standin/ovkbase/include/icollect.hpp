// What the base library's collections share: element counting, removal and the cursor.
#pragma once

#include "ibase.hpp"
#include "iexcept.hpp"

#include <cstddef>
#include <iterator>

// The collections are thin templates over standard containers whose iterators survive the
// insertion of other elements (std::list, std::map, std::multiset). Their cursors are plain
// copyable values that remember the collection, an element and the collection's removal count:
//  - adding elements never invalidates a cursor, so a walk may go on while handlers or windows
//    are added in front of it;
//  - every removal invalidates every cursor of the collection (a cursor on a removed element
//    could not be used safely), except the one passed to removeAt(), which moves on to the
//    element after the removed one.
// A cursor must not outlive its collection. Using an invalid cursor for element access, or a
// cursor of another collection, fails the argument check "cursor.isFor(*this) && cursor.isValid()".
// Collections are not locked: callers guard shared ones with a resource lock.
template <class Container, class Access>
class ICollection {
public:
    using Element = typename Access::Element;

    class Cursor {
    public:
        explicit Cursor(const ICollection& collection) noexcept : fCollection(&collection) {}

        IBase::Boolean setToFirst() noexcept {
            return setTo(fCollection->fItems.begin());
        }
        IBase::Boolean setToLast() noexcept {
            return fCollection->fItems.empty() ? invalidateAndAnswer()
                                               : setTo(std::prev(fCollection->fItems.end()));
        }
        IBase::Boolean setToNext() noexcept {
            return isValid() ? setTo(std::next(fIterator)) : false;
        }
        IBase::Boolean setToPrevious() noexcept {
            if (!isValid()) return false;
            if (fIterator == fCollection->fItems.begin()) return invalidateAndAnswer();
            return setTo(std::prev(fIterator));
        }
        IBase::Boolean isValid() const noexcept {
            return fValid && fGeneration == fCollection->fGeneration;
        }
        void invalidate() noexcept { fValid = false; }
        IBase::Boolean isFor(const ICollection& collection) const noexcept {
            return fCollection == &collection;
        }

        // The element at the cursor; an invalid cursor fails the argument check.
        const Element& element() const {
            check(*fCollection);
            return Access::element(fIterator);
        }

    private:
        friend class ICollection;
        using Iterator = typename Container::const_iterator;

        IBase::Boolean setTo(Iterator iterator) noexcept {
            fIterator = iterator;
            fGeneration = fCollection->fGeneration;
            fValid = iterator != fCollection->fItems.end();
            return fValid;
        }
        IBase::Boolean invalidateAndAnswer() noexcept {
            fValid = false;
            return false;
        }
        void check(const ICollection& collection) const {
            if (!isFor(collection) || !isValid()) {
                IThrow::argument("cursor.isFor(*this) && cursor.isValid()",
                                 IExceptionLocation("icollect.hpp", "ICollection::Cursor",
                                                    __LINE__));
            }
        }

        const ICollection* fCollection;
        Iterator fIterator{};
        unsigned long fGeneration = 0;
        bool fValid = false;
    };

    std::size_t numberOfElements() const noexcept { return fItems.size(); }
    IBase::Boolean isEmpty() const noexcept { return fItems.empty(); }

    void removeAll() noexcept {
        fItems.clear();
        changed();
    }
    // Removes the element at the cursor and moves the cursor to the element after it (invalid
    // when there is none). Every other cursor becomes invalid.
    void removeAt(Cursor& cursor) {
        cursor.check(*this);
        auto next = fItems.erase(cursor.fIterator);
        changed();
        cursor.setTo(next);
    }

    // Standard iteration, for code that only reads.
    typename Container::const_iterator begin() const noexcept { return fItems.begin(); }
    typename Container::const_iterator end() const noexcept { return fItems.end(); }

protected:
    ICollection() = default;
    ICollection(const ICollection& other) : fItems(other.fItems) {}
    ICollection& operator=(const ICollection& other) {
        if (this != &other) {
            fItems = other.fItems;
            changed();
        }
        return *this;
    }
    ~ICollection() = default;

    void changed() noexcept { ++fGeneration; }
    // The container iterator of a valid cursor of this collection, writable.
    typename Container::iterator at(const Cursor& cursor) {
        cursor.check(*this);
        return fItems.erase(cursor.fIterator, cursor.fIterator);
    }
    typename Container::const_iterator at(const Cursor& cursor) const {
        cursor.check(*this);
        return cursor.fIterator;
    }
    void setCursor(Cursor& cursor, typename Container::const_iterator iterator) const noexcept {
        cursor.fCollection = this;
        cursor.setTo(iterator);
    }
    [[noreturn]] static void fail(const char* condition, const char* function, unsigned long line) {
        IThrow::argument(condition, IExceptionLocation("icollect.hpp", function, line));
    }

    Container fItems;

private:
    unsigned long fGeneration = 1;
};

// Element access for containers of plain elements and for maps.
template <class Value>
struct IElementAccess {
    using Element = Value;
    template <class Iterator>
    static const Element& element(Iterator iterator) noexcept { return *iterator; }
};
template <class Key, class Value>
struct IMappedAccess {
    using Element = Value;
    template <class Iterator>
    static const Element& element(Iterator iterator) noexcept { return iterator->second; }
};
