// The sound output: owns the mixer and opens the platform's audio device for it.
//
// `Initialize` never raises for a missing device: the output then stays uninitialized and every
// sound list bound to it stays silent. Listeners (the wave lists) hear the notifications below;
// they must unregister before they go, and they hear `Destroying` when the output goes first.
// The platform outlives the output; the mixer lives exactly as long as the output.
#pragma once

#include "engine/TSoundMixer.h"
#include "platform/Platform.h"

#include <functional>
#include <vector>

namespace pondlark {

enum class TDXSoundNotifyType {
    Destroying = 0,
    Initializing = 1,
    Initialize = 2,
    Finalize = 3,
    Restore = 4,
};

// Focus options: without either focus option the output is heard only while the game's window
// has the focus (`AppActivate`); with one of them it is heard always.
enum TDXSoundOption : uint32_t { soGlobalFocus = 1, soStickyFocus = 2, soExclusive = 4 };

class TDXSound {
public:
    using NotifyEvent = std::function<void(TDXSound& sender, TDXSoundNotifyType type)>;

    explicit TDXSound(IPlatform& platform);
    ~TDXSound();
    TDXSound(const TDXSound&) = delete;
    TDXSound& operator=(const TDXSound&) = delete;

    bool AutoInitialize = true;
    uint32_t Options = 0;
    std::function<void()> OnInitializing, OnInitialize, OnFinalize, OnRestore;

    // Finalizes, then opens the device at 44100 Hz float stereo. On success: notification
    // Initialize, `OnInitialize`, notification Restore, `OnRestore`. Without a device the output
    // stays uninitialized and nothing is raised.
    void Initialize();
    // Notifies Finalize, closes the device. Nothing happens when not initialized.
    void Finalize();
    // Start-up of the owner: initializes when `AutoInitialize` is set.
    void Loaded();

    bool Initialized() const { return initialized_; }
    TSoundMixer& Mixer() { return mixer_; }
    IPlatform& Platform() { return platform_; }

    // The game's window gained (true) or lost the focus.
    void AppActivate(bool active) {
        mixer_.SetSilenced(!active && (Options & (soGlobalFocus | soStickyFocus)) == 0);
    }

    // Returns a key for `UnregisterNotifyEvent`.
    int RegisterNotifyEvent(NotifyEvent event);
    void UnregisterNotifyEvent(int key);

private:
    void Notify(TDXSoundNotifyType type);

    IPlatform& platform_;
    TSoundMixer mixer_;
    bool initialized_ = false;
    std::vector<std::pair<int, NotifyEvent>> listeners_;
    int nextKey_ = 1;
};

} // namespace pondlark
