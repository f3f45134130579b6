// ISortedList<T>: elements kept in ascending order, equal ones in the order they came.
#pragma once

#include "icollect.hpp"

#include <functional>
#include <set>

// Used for sorted lists of numbers such as a thread's pending loop levels, where the highest is
// read and removed first (lastElement, removeLast).
template <class T, class Compare = std::less<T>>
class ISortedList : public ICollection<std::multiset<T, Compare>, IElementAccess<T>> {
    using Base = ICollection<std::multiset<T, Compare>, IElementAccess<T>>;
    using Base::fItems;

public:
    using Cursor = typename Base::Cursor;

    explicit ISortedList(std::size_t expectedNumber = 0) { static_cast<void>(expectedNumber); }

    // Inserts after the elements equal to it.
    ISortedList& add(const T& element) {
        fItems.insert(element);
        return *this;
    }
    IBase::Boolean contains(const T& element) const { return fItems.count(element) != 0; }
    IBase::Boolean locate(const T& element, Cursor& cursor) const {
        auto it = fItems.find(element);
        this->setCursor(cursor, it);
        return it != fItems.end();
    }
    // The smallest and the largest element; an empty list fails the argument check "!isEmpty()".
    const T& firstElement() const {
        checkNotEmpty();
        return *fItems.begin();
    }
    const T& lastElement() const {
        checkNotEmpty();
        return *std::prev(fItems.end());
    }
    const T& elementAt(const Cursor& cursor) const { return *this->at(cursor); }

    ISortedList& removeFirst() {
        checkNotEmpty();
        fItems.erase(fItems.begin());
        this->changed();
        return *this;
    }
    ISortedList& removeLast() {
        checkNotEmpty();
        fItems.erase(std::prev(fItems.end()));
        this->changed();
        return *this;
    }
    // Removes one element equal to `element`; false when there is none.
    IBase::Boolean remove(const T& element) {
        auto it = fItems.find(element);
        if (it == fItems.end()) return false;
        fItems.erase(it);
        this->changed();
        return true;
    }

private:
    void checkNotEmpty() const {
        if (fItems.empty()) Base::fail("!isEmpty()", "ISortedList", __LINE__);
    }
};
