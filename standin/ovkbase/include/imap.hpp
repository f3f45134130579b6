// Keyed collections: IMap<Key, T> (key and element given apart) and IKeySet<T, Key, KeyOf>
// (the key computed from the element).
#pragma once

#include "icollect.hpp"

#include <functional>
#include <map>
#include <utility>

// One element per key, kept in ascending key order. Two ways to add: add() keeps an element
// that is already there under the key, addOrReplace() replaces it.
template <class Key, class T, class Compare = std::less<Key>>
class IMap : public ICollection<std::map<Key, T, Compare>, IMappedAccess<Key, T>> {
    using Base = ICollection<std::map<Key, T, Compare>, IMappedAccess<Key, T>>;
    using Base::fItems;

public:
    using Cursor = typename Base::Cursor;

    explicit IMap(std::size_t expectedNumber = 0) { static_cast<void>(expectedNumber); }

    // True when the element was added; false when the key was present (nothing changes).
    IBase::Boolean add(const Key& key, const T& element) {
        return fItems.emplace(key, element).second;
    }
    // True when the element was added, false when it replaced the one under the key.
    IBase::Boolean addOrReplace(const Key& key, const T& element) {
        return fItems.insert_or_assign(key, element).second;
    }

    IBase::Boolean containsKey(const Key& key) const { return fItems.count(key) != 0; }
    // The element under the key; a missing key fails the argument check "containsKey(key)".
    const T& elementWithKey(const Key& key) const { return found(key)->second; }
    T& elementWithKey(const Key& key) { return foundWritable(key)->second; }
    // Puts the cursor on the key's element; false (cursor invalid) when the key is missing.
    IBase::Boolean locate(const Key& key, Cursor& cursor) const {
        auto it = fItems.find(key);
        this->setCursor(cursor, it);
        return it != fItems.end();
    }
    const Key& keyAt(const Cursor& cursor) const { return this->at(cursor)->first; }
    const T& elementAt(const Cursor& cursor) const { return this->at(cursor)->second; }
    T& elementAt(const Cursor& cursor) { return this->at(cursor)->second; }

    // False when the key was missing.
    IBase::Boolean removeKey(const Key& key) {
        if (fItems.erase(key) == 0) return false;
        this->changed();
        return true;
    }

private:
    typename std::map<Key, T, Compare>::const_iterator found(const Key& key) const {
        auto it = fItems.find(key);
        if (it == fItems.end()) {
            Base::fail("containsKey(key)", "IMap::elementWithKey(const Key&)", __LINE__);
        }
        return it;
    }
    typename std::map<Key, T, Compare>::iterator foundWritable(const Key& key) {
        auto it = fItems.find(key);
        if (it == fItems.end()) {
            Base::fail("containsKey(key)", "IMap::elementWithKey(const Key&)", __LINE__);
        }
        return it;
    }
};

// A set of elements that each carry their key (a window and its handle, an accelerator key and
// its lookup value): KeyOf is a function object answering the key of an element.
template <class T, class Key, class KeyOf, class Compare = std::less<Key>>
class IKeySet : public IMap<Key, T, Compare> {
    using Map = IMap<Key, T, Compare>;

public:
    using Cursor = typename Map::Cursor;

    explicit IKeySet(std::size_t expectedNumber = 0, KeyOf keyOf = KeyOf())
        : Map(expectedNumber), fKeyOf(std::move(keyOf)) {}

    // True when added; false when an element with the same key was present (it stays).
    IBase::Boolean add(const T& element) { return Map::add(fKeyOf(element), element); }
    // True when added; false when it replaced the element with the same key.
    IBase::Boolean addOrReplaceElementWithKey(const T& element) {
        return Map::addOrReplace(fKeyOf(element), element);
    }
    IBase::Boolean containsElementWithKey(const Key& key) const { return Map::containsKey(key); }
    IBase::Boolean removeElementWithKey(const Key& key) { return Map::removeKey(key); }
    IBase::Boolean locateElementWithKey(const Key& key, Cursor& cursor) const {
        return Map::locate(key, cursor);
    }
    Key keyOf(const T& element) const { return fKeyOf(element); }

private:
    // Hidden: a key set's key always comes from its element.
    using Map::add;
    using Map::addOrReplace;

    KeyOf fKeyOf;
};
