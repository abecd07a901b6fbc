// A collection of named items with a 256-bucket name index, shared by the picture and the
// sound lists.
//
// The collection owns its items. Items sit in archive order (their index is their position) and
// in one bucket chain each, newest first, so that of two items with the same name the one added
// or renamed last is found. Lookups ignore ASCII case. An item must be destroyed only through its
// collection (`Delete`, `Clear`, or the collection's destructor); references to items stay valid
// until then.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pondlark {

// ((length * 16) + first character + second-to-last character) mod 256 on the lower-cased
// name; the character terms only for names of two characters or more.
int HashBucket(std::string_view name);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

class THashCollection;

class THashCollectionItem {
public:
    virtual ~THashCollectionItem() = default;
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;

    const std::string& Name() const { return name_; }
    // Moves the item to the head of its new bucket.
    void SetName(std::string name);
    int Index() const { return index_; }

protected:
    THashCollectionItem() = default;

private:
    friend class THashCollection;
    THashCollection* collection_ = nullptr;
    std::string name_;
    int bucket_ = 0;
    int index_ = -1;
    THashCollectionItem* prev_ = nullptr; // towards the bucket's head (newer)
    THashCollectionItem* next_ = nullptr; // towards older items
};

class THashCollection {
public:
    THashCollection() = default;
    virtual ~THashCollection() { Clear(); }
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Frees every item.
    void Clear();
    // Frees one item; later items move down by one. Out-of-range indexes do nothing.
    void Delete(int index);
    // The newest item with this name ignoring case, or nullptr.
    THashCollectionItem* FindItem(std::string_view name) const;

protected:
    // Takes ownership, appends, and enters the item (under its current name) in the index.
    THashCollectionItem& AddItem(std::unique_ptr<THashCollectionItem> item);
    THashCollectionItem& ItemAt(int index) const { return *items_.at(static_cast<size_t>(index)); }

private:
    friend class THashCollectionItem;
    void Link(THashCollectionItem& item);
    void Unlink(THashCollectionItem& item);

    std::vector<std::unique_ptr<THashCollectionItem>> items_;
    std::array<THashCollectionItem*, 256> buckets_{};
};

} // namespace pondlark
