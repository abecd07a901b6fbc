#include "engine/TDXWaveList.h"

#include "engine/ArchiveReader.h"
#include "engine/Errors.h"

#include <algorithm>

namespace pondlark {

// ---- TWaveCollectionItem ----

TWaveCollectionItem::~TWaveCollectionItem() {
    Finalize();
}

void TWaveCollectionItem::SetLooped(bool looped) {
    Stop();
    looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int32_t count) {
    maxPlayingCount_ = std::max(count, 0);
    if (initialized_) extras_.clear();
}

void TWaveCollectionItem::Initialize() {
    Finalize();
    initialized_ = collection_.output_ != nullptr && collection_.output_->Initialized();
}

void TWaveCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    extras_.clear();
    main_ = TSoundBuffer();
}

void TWaveCollectionItem::Restore() {
    if (!wave_.HasData()) return;
    if (!initialized_) {
        Initialize();
        if (!initialized_) return;
    }
    if (!main_) {
        main_ = collection_.output_->Mixer().CreateBuffer(wave_);
        main_.SetFrequency(Frequency);
        main_.SetPan(Pan);
        main_.SetVolume(Volume);
    }
}

void TWaveCollectionItem::Play(bool wait) {
    if (!initialized_) return;
    if (looped_) {
        main_.Stop();
        main_.SetCurrentPosition(0);
        main_.Play(true);
        return;
    }

    TSoundBuffer* chosen = nullptr;
    for (auto& buffer : extras_) {
        if (!buffer.Playing()) {
            chosen = &buffer;
            break;
        }
    }
    if (!chosen) {
        if (maxPlayingCount_ > 0 && extras_.size() >= static_cast<size_t>(maxPlayingCount_)) {
            // Cut the oldest instance off; it becomes the newest.
            std::rotate(extras_.begin(), extras_.begin() + 1, extras_.end());
            chosen = &extras_.back();
        } else {
            if (!main_) return;
            extras_.push_back(main_.Duplicate());
            chosen = &extras_.back();
        }
    }
    chosen->Stop();
    chosen->SetCurrentPosition(0);
    chosen->SetFrequency(Frequency);
    chosen->SetPan(Pan);
    chosen->SetVolume(Volume);
    chosen->Play(false);

    if (wait) {
        IPlatform& platform = collection_.output_->Platform();
        const uint32_t limitMs = chosen->DurationMs() + 1000;
        for (uint32_t waited = 0; chosen->Playing() && waited < limitMs; waited += 10)
            platform.Sleep(10);
    }
}

void TWaveCollectionItem::Stop() {
    main_.Stop();
    for (auto& buffer : extras_)
        buffer.Stop();
}

bool TWaveCollectionItem::Playing() const {
    if (main_.Playing()) return true;
    return std::any_of(extras_.begin(), extras_.end(),
                       [](const TSoundBuffer& b) { return b.Playing(); });
}

// ---- TWaveCollection ----

TWaveCollection::~TWaveCollection() {
    Clear();
}

TWaveCollectionItem& TWaveCollection::Add() {
    auto& item =
        static_cast<TWaveCollectionItem&>(AddItem(std::make_unique<TWaveCollectionItem>(*this)));
    if (output_) item.Initialize();
    return item;
}

TWaveCollectionItem& TWaveCollection::Find(std::string_view name) const {
    if (THashCollectionItem* item = FindItem(name)) return static_cast<TWaveCollectionItem&>(*item);
    throw EWaveCollectionError(Format("Wave '%s' not found", std::string(name).c_str()));
}

void TWaveCollection::Initialize(TDXSound& output) {
    // Each item finalizes itself before it initializes against the new output.
    output_ = &output;
    for (int i = 0; i < Count(); ++i)
        Items(i).Initialize();
}

void TWaveCollection::Finalize() {
    for (int i = 0; i < Count(); ++i)
        Items(i).Finalize();
    output_ = nullptr;
}

void TWaveCollection::Restore() {
    for (int i = 0; i < Count(); ++i)
        Items(i).Restore();
}

void TWaveCollection::LoadFromFile(const std::string& path) {
    LoadFromBytes(ReadWholeFile(path));
}

void TWaveCollection::LoadFromBytes(std::span<const uint8_t> bytes) {
    Clear();
    try {
        for (const WaveEntry& entry : ReadSoundArchive(bytes)) {
            TWaveCollectionItem& item = Add();
            item.SetName(entry.name);
            item.looped_ = entry.looped;
            item.SetMaxPlayingCount(entry.maxPlayingCount);
            if (!entry.riff.empty()) item.wave_.LoadFromBytes(entry.riff);
        }
    } catch (...) {
        // Half an archive would play some sounds and raise "not found" for others; keep none.
        Clear();
        throw;
    }
    // Add() has initialized every item against the output already.
    if (output_ && output_->Initialized()) Restore();
}

// ---- TDXWaveList ----

TDXWaveList::~TDXWaveList() {
    SetDXSound(nullptr);
}

void TDXWaveList::SetDXSound(TDXSound* output) {
    if (output == output_) return;
    if (output_) {
        output_->UnregisterNotifyEvent(notifyKey_);
        items_.Finalize();
    }
    output_ = output;
    if (!output_) return;
    notifyKey_ = output_->RegisterNotifyEvent(
        [this](TDXSound& sender, TDXSoundNotifyType type) { OnNotify(sender, type); });
    if (output_->Initialized()) {
        items_.Initialize(*output_);
        items_.Restore();
    }
}

void TDXWaveList::OnNotify(TDXSound& sender, TDXSoundNotifyType type) {
    switch (type) {
    case TDXSoundNotifyType::Destroying:
        items_.Finalize();
        sender.UnregisterNotifyEvent(notifyKey_);
        output_ = nullptr;
        break;
    case TDXSoundNotifyType::Initialize:
        items_.Initialize(sender);
        break;
    case TDXSoundNotifyType::Finalize:
        items_.Finalize();
        break;
    case TDXSoundNotifyType::Restore:
        items_.Restore();
        break;
    case TDXSoundNotifyType::Initializing:
        break;
    }
}

} // namespace pondlark
