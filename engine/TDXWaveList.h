// The sound list: named wave sounds loaded from the sound archive and played through a sound
// output (`TDXSound`).
//
// `TWaveCollection` owns its items; items hold device buffers only while the collection is bound
// to an initialized output (between its Initialize and Finalize). Lookup by name is
// case-insensitive over 256 buckets, newest item first, like the picture collection's.
// Failures: `Find` raises EWaveCollectionError "Wave '%s' not found"; `LoadFromFile` raises
// EFOpenError for a file it cannot open, EStreamError for a bad container and EWaveStreamError
// for a bad wave, and leaves the collection empty then; restoring an item whose wave is not
// playable PCM raises EDirectSoundBufferError "Sound Buffer cannot be made".
#pragma once

#include "engine/TDXSound.h"
#include "engine/THashCollection.h"
#include "engine/TWave.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace pondlark {

class TWaveCollection;

class TWaveCollectionItem : public THashCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveCollection& collection) : collection_(collection) {}
    ~TWaveCollectionItem() override;

    bool Looped() const { return looped_; }
    // Stops the item first.
    void SetLooped(bool looped);
    int32_t MaxPlayingCount() const { return maxPlayingCount_; }
    // Clamped to >= 0 (0 = unlimited); frees the extra buffers of an initialized item.
    void SetMaxPlayingCount(int32_t count);
    TWave& Wave() { return wave_; }
    const TWave& Wave() const { return wave_; }

    // Not stored in the archive; 0 for every loaded item (own rate, centre, full level).
    int32_t Frequency = 0;
    int32_t Pan = 0;
    int32_t Volume = 0;

    bool Initialized() const { return initialized_; }
    // Extra buffers currently held (for the sound list's own bookkeeping and tests).
    size_t ExtraBufferCount() const { return extras_.size(); }

    // Starts one instance; nothing happens unless initialized. A looped item restarts its one
    // buffer. `wait` blocks in 10 ms sleeps until the instance ends (at most its length plus a
    // second, so a stalled device cannot hang the game).
    void Play(bool wait);
    // Stops every buffer; they stay for reuse.
    void Stop();
    // True while any buffer of the item plays.
    bool Playing() const;

    void Initialize();
    void Finalize();
    void Restore();

private:
    friend class TWaveCollection;

    TWaveCollection& collection_;
    bool looped_ = false;
    int32_t maxPlayingCount_ = 0;
    TWave wave_;
    bool initialized_ = false;
    TSoundBuffer main_;
    std::vector<TSoundBuffer> extras_; // oldest first
};

class TWaveCollection : public THashCollection {
public:
    TWaveCollection() = default;
    ~TWaveCollection() override;

    TWaveCollectionItem& Items(int index) const {
        return static_cast<TWaveCollectionItem&>(ItemAt(index));
    }
    // A new item at the end, named "" until `SetName`.
    TWaveCollectionItem& Add();
    TWaveCollectionItem& Find(std::string_view name) const;

    // Reads the sound archive at `path` (replacing every item). When bound to an initialized
    // output, the new items get their buffers at once.
    void LoadFromFile(const std::string& path);
    // The same from archive bytes already in memory.
    void LoadFromBytes(std::span<const uint8_t> bytes);

    // Driven by the sound output's notifications.
    void Initialize(TDXSound& output);
    void Finalize();
    void Restore();

private:
    friend class TWaveCollectionItem;
    TDXSound* output_ = nullptr;
};

// The component: a wave collection bound to a sound output through its notifications.
class TDXWaveList {
public:
    TDXWaveList() = default;
    ~TDXWaveList();
    TDXWaveList(const TDXWaveList&) = delete;
    TDXWaveList& operator=(const TDXWaveList&) = delete;

    // The output must outlive the binding (it tells the list when it goes). Binding to an
    // output that is already initialized initializes and restores the items at once.
    void SetDXSound(TDXSound* output);
    TDXSound* DXSound() const { return output_; }
    TWaveCollection& Items() { return items_; }

private:
    void OnNotify(TDXSound& sender, TDXSoundNotifyType type);

    TWaveCollection items_;
    TDXSound* output_ = nullptr;
    int notifyKey_ = 0;
};

} // namespace pondlark
