#pragma once
// Registered items found by name in constant time, giving the item that a
// scan of the registry's own list would find first: the first added of that
// name (AddedOrder), or the one at the lowest address (AddressOrder, for
// lists kept in a map keyed by pointer).

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

template <typename Item>
class AddedOrder {
public:
    void Insert(Item* item) { items_.push_back(item); }
    void Erase(Item* item) { std::erase(items_, item); }
    Item* First() const { return items_.front(); }
    bool Empty() const { return items_.empty(); }

private:
    std::vector<Item*> items_;
};

template <typename Item>
class AddressOrder {
public:
    void Insert(Item* item) { items_.insert(item); }
    void Erase(Item* item) { items_.erase(item); }
    Item* First() const { return *items_.begin(); }
    bool Empty() const { return items_.empty(); }

private:
    std::set<Item*> items_;
};

template <typename Item, template <typename> class Order>
class NameIndex {
public:
    // The item's name must not change while it is listed.
    void Add(Item* item) { byName_[item->name].Insert(item); }

    void Remove(Item* item)
    {
        const auto found = byName_.find(item->name);
        if (found == byName_.end()) {
            return;
        }
        found->second.Erase(item);
        if (found->second.Empty()) {
            byName_.erase(found);
        }
    }

    Item* Find(const std::string& name) const
    {
        const auto found = byName_.find(name);
        return found == byName_.end() ? nullptr : found->second.First();
    }

    void Clear() { byName_.clear(); }

private:
    std::unordered_map<std::string, Order<Item>> byName_;
};
