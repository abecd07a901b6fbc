#include "engine/THashCollection.h"

namespace pondlark {

namespace {
unsigned char Lower(char c) {
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}
} // namespace

int HashBucket(std::string_view name) {
    unsigned sum = static_cast<unsigned>(name.size()) * 16u;
    if (name.size() >= 2) sum += Lower(name.front()) + Lower(name[name.size() - 2]);
    return static_cast<int>(sum % 256u);
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

void THashCollectionItem::SetName(std::string name) {
    if (!collection_) {
        name_ = std::move(name);
        return;
    }
    collection_->Unlink(*this);
    name_ = std::move(name);
    collection_->Link(*this);
}

void THashCollection::Link(THashCollectionItem& item) {
    item.bucket_ = HashBucket(item.name_);
    item.prev_ = nullptr;
    item.next_ = buckets_[static_cast<size_t>(item.bucket_)];
    if (item.next_) item.next_->prev_ = &item;
    buckets_[static_cast<size_t>(item.bucket_)] = &item;
}

void THashCollection::Unlink(THashCollectionItem& item) {
    if (item.prev_)
        item.prev_->next_ = item.next_;
    else
        buckets_[static_cast<size_t>(item.bucket_)] = item.next_;
    if (item.next_) item.next_->prev_ = item.prev_;
    item.prev_ = item.next_ = nullptr;
}

THashCollectionItem& THashCollection::AddItem(std::unique_ptr<THashCollectionItem> item) {
    THashCollectionItem& ref = *item;
    ref.collection_ = this;
    ref.index_ = Count();
    items_.push_back(std::move(item));
    Link(ref);
    return ref;
}

void THashCollection::Clear() {
    while (!items_.empty())
        Delete(Count() - 1);
}

void THashCollection::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    Unlink(*items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i)
        items_[i]->index_ = static_cast<int>(i);
}

THashCollectionItem* THashCollection::FindItem(std::string_view name) const {
    for (THashCollectionItem* p = buckets_[static_cast<size_t>(HashBucket(name))]; p; p = p->next_)
        if (SameTextIgnoringCase(p->name_, name)) return p;
    return nullptr;
}

} // namespace pondlark
