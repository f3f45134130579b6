// ISequence<T>: an ordered list with positions and cursors in both directions.
#pragma once

#include "icollect.hpp"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <list>

// Elements in the order they were put in; positions count from 1. Used for handler lists
// (added as first, walked from the first), graphic lists, module and renderer lists.
template <class T>
class ISequence : public ICollection<std::list<T>, IElementAccess<T>> {
    using Base = ICollection<std::list<T>, IElementAccess<T>>;
    using Base::fItems;

public:
    using Cursor = typename Base::Cursor;

    // The expected number of elements is only a hint; a list needs no reserve.
    explicit ISequence(std::size_t expectedNumber = 0) { static_cast<void>(expectedNumber); }

    // Adding. The cursor forms leave the cursor on the new element.
    ISequence& addAsFirst(const T& element) { fItems.push_front(element); return *this; }
    ISequence& addAsLast(const T& element) { fItems.push_back(element); return *this; }
    ISequence& add(const T& element) { return addAsLast(element); }
    ISequence& addAsNext(const T& element, Cursor& cursor) {
        auto at = std::next(this->at(cursor));
        this->setCursor(cursor, fItems.insert(at, element));
        return *this;
    }
    ISequence& addAsPrevious(const T& element, Cursor& cursor) {
        this->setCursor(cursor, fItems.insert(this->at(cursor), element));
        return *this;
    }
    // Inserts so that the element gets `position` (1 to numberOfElements() + 1).
    ISequence& addAtPosition(std::size_t position, const T& element) {
        if (position < 1 || position > fItems.size() + 1) {
            Base::fail("position >= 1 && position <= numberOfElements() + 1",
                       "ISequence::addAtPosition(std::size_t,const T&)", __LINE__);
        }
        fItems.insert(std::next(fItems.begin(), static_cast<std::ptrdiff_t>(position - 1)), element);
        return *this;
    }

    // Reading and replacing.
    const T& firstElement() const { return *iteratorAt(1); }
    const T& lastElement() const { return *iteratorAt(fItems.size()); }
    const T& elementAtPosition(std::size_t position) const { return *iteratorAt(position); }
    T& elementAtPosition(std::size_t position) { return *iteratorAt(position); }
    const T& elementAt(const Cursor& cursor) const { return *this->at(cursor); }
    T& elementAt(const Cursor& cursor) { return *this->at(cursor); }
    ISequence& replaceAt(const Cursor& cursor, const T& element) {
        *this->at(cursor) = element;
        return *this;
    }
    ISequence& replaceAtPosition(std::size_t position, const T& element) {
        *iteratorAt(position) = element;
        return *this;
    }
    // The 1-based position of the element at the cursor.
    std::size_t position(const Cursor& cursor) const {
        return static_cast<std::size_t>(std::distance(fItems.begin(), this->at(cursor))) + 1;
    }
    IBase::Boolean setToPosition(std::size_t position, Cursor& cursor) const {
        if (position < 1 || position > fItems.size()) {
            cursor.invalidate();
            return false;
        }
        this->setCursor(cursor,
                        std::next(fItems.begin(), static_cast<std::ptrdiff_t>(position - 1)));
        return true;
    }

    // Searching with ==.
    IBase::Boolean contains(const T& element) const {
        return std::find(fItems.begin(), fItems.end(), element) != fItems.end();
    }
    // Puts the cursor on the first element equal to `element`; false (cursor invalid) if none.
    IBase::Boolean locate(const T& element, Cursor& cursor) const {
        auto found = std::find(fItems.begin(), fItems.end(), element);
        this->setCursor(cursor, found);
        return found != fItems.end();
    }

    // Removing (each invalidates every cursor).
    ISequence& removeFirst() { return removeAtPosition(1); }
    ISequence& removeLast() { return removeAtPosition(fItems.size()); }
    ISequence& removeAtPosition(std::size_t position) {
        fItems.erase(iteratorAt(position));
        this->changed();
        return *this;
    }
    // Removes the first element equal to `element`; false when there is none.
    IBase::Boolean remove(const T& element) {
        auto found = std::find(fItems.begin(), fItems.end(), element);
        if (found == fItems.end()) return false;
        fItems.erase(found);
        this->changed();
        return true;
    }

private:
    typename std::list<T>::iterator iteratorAt(std::size_t position) {
        checkPosition(position);
        return std::next(fItems.begin(), static_cast<std::ptrdiff_t>(position - 1));
    }
    typename std::list<T>::const_iterator iteratorAt(std::size_t position) const {
        checkPosition(position);
        return std::next(fItems.begin(), static_cast<std::ptrdiff_t>(position - 1));
    }
    void checkPosition(std::size_t position) const {
        if (position < 1 || position > fItems.size()) {
            Base::fail("position >= 1 && position <= numberOfElements()",
                       "ISequence::elementAtPosition(std::size_t)", __LINE__);
        }
    }
};
