#include "engine/TDXSound.h"

#include <algorithm>

namespace pondlark {

TDXSound::TDXSound(IPlatform& platform) : platform_(platform) {}

TDXSound::~TDXSound() {
    Finalize();
    Notify(TDXSoundNotifyType::Destroying);
}

void TDXSound::Initialize() {
    Finalize();
    Notify(TDXSoundNotifyType::Initializing);
    if (OnInitializing) OnInitializing();
    if (!platform_.OpenAudio(TSoundMixer::kDefaultRate, &mixer_)) return; // silent game
    mixer_.SetOutputRate(platform_.AudioRate());
    initialized_ = true;
    Notify(TDXSoundNotifyType::Initialize);
    if (OnInitialize) OnInitialize();
    Notify(TDXSoundNotifyType::Restore);
    if (OnRestore) OnRestore();
}

void TDXSound::Finalize() {
    if (!initialized_) return;
    Notify(TDXSoundNotifyType::Finalize);
    if (OnFinalize) OnFinalize();
    platform_.CloseAudio();
    initialized_ = false;
}

void TDXSound::Loaded() {
    if (AutoInitialize) Initialize();
}

int TDXSound::RegisterNotifyEvent(NotifyEvent event) {
    const int key = nextKey_++;
    listeners_.emplace_back(key, std::move(event));
    return key;
}

void TDXSound::UnregisterNotifyEvent(int key) {
    std::erase_if(listeners_, [key](const auto& entry) { return entry.first == key; });
}

void TDXSound::Notify(TDXSoundNotifyType type) {
    // A listener may unregister while it is told; walk a copy.
    const auto listeners = listeners_;
    for (const auto& [key, event] : listeners)
        event(*this, type);
}

} // namespace pondlark
