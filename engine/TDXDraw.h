// The display: one 800x600 back surface on which every frame is composed, presented through
// the platform's window in a window or in full screen.
//
// Listeners (the image list, the sprite engine) register for notifications and hear when the
// surface comes and goes. `Initialize` raises `EDXDrawError` after cleaning up when the system
// refuses full screen; the display then stays released until the next `Initialize`.
#pragma once

#include "engine/TDirectDrawSurface.h"
#include "engine/TFontCache.h"
#include "platform/Platform.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace pondlark {

enum TDXDrawOption : uint32_t {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer,
};

// A set of options, bit i = option i.
class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> list) {
        for (auto o : list)
            bits_ |= 1u << o;
    }
    constexpr bool Has(TDXDrawOption o) const { return (bits_ >> o) & 1u; }
    constexpr void Add(TDXDrawOption o) { bits_ |= 1u << o; }
    constexpr void Remove(TDXDrawOption o) { bits_ &= ~(1u << o); }
    friend constexpr bool operator==(const TDXDrawOptions&, const TDXDrawOptions&) = default;

private:
    uint32_t bits_ = 0;
};

enum class TDXDrawNotifyType {
    Destroying = 0,
    Initializing = 1,
    Initialize = 2,
    InitializeSurface = 3,
    Finalize = 4,
    FinalizeSurface = 5,
    Restore = 6,
    SetSurfaceSize = 7,
};

class TDXDraw;
class IDXDrawListener {
public:
    virtual ~IDXDrawListener() = default;
    virtual void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) = 0;
};

struct TDXDrawDisplay {
    int Width = 640;
    int Height = 480;
    int BitCount = 8;
};

class TDXDraw {
public:
    // The platform outlives the display; `facePath` is the font every text uses.
    TDXDraw(IPlatform& platform, std::string facePath);
    ~TDXDraw();
    TDXDraw(const TDXDraw&) = delete;
    TDXDraw& operator=(const TDXDraw&) = delete;

    bool AutoInitialize = true;
    bool AutoSize = true;
    std::function<void()> OnInitializing;
    std::function<void()> OnInitialize;
    std::function<void()> OnFinalize;

    TDXDrawOptions Options() const { return options_; }
    void SetOptions(TDXDrawOptions value);
    TDXDrawOptions NowOptions() const { return nowOptions_; }

    const TDXDrawDisplay& Display() const { return display_; }
    void SetDisplayWidth(int value) { display_.Width = value < 0 ? 0 : value; }
    void SetDisplayHeight(int value) { display_.Height = value < 0 ? 0 : value; }
    // Only 8, 16, 24 or 32; anything else raises EDXDrawError.
    void SetDisplayBitCount(int value);

    void SetSurfaceWidth(int value) { surfaceWidth_ = value; }
    void SetSurfaceHeight(int value) { surfaceHeight_ = value; }

    void Initialize();
    void Finalize();
    bool Initialized() const { return initialized_; }
    bool CanDraw() const;
    void Flip();
    // The back surface; nullptr while not initialized.
    TDirectDrawSurface* Surface() { return surface_.get(); }

    std::array<uint32_t, 256> ColorTable{};
    std::array<uint32_t, 256> DefColorTable{};
    void UpdatePalette() {} // 32-bit surfaces have no palette to apply

    void RegisterNotifyEvent(IDXDrawListener* listener);
    void UnregisterNotifyEvent(IDXDrawListener* listener);

    TFontCache& Fonts() { return fonts_; }
    IPlatform& Platform() { return platform_; }

private:
    void Notify(TDXDrawNotifyType type);
    void ComputeNowOptions();
    void Restore();

    IPlatform& platform_;
    TFontCache fonts_;
    TDXDrawOptions options_;
    TDXDrawOptions nowOptions_;
    TDXDrawDisplay display_;
    int surfaceWidth_ = 640;
    int surfaceHeight_ = 480;
    bool initialized_ = false;
    bool busy_ = false;
    bool initStarted_ = false;
    bool initStageDone_ = false;
    bool surfaceStageDone_ = false;
    std::unique_ptr<TDirectDrawSurface> surface_;
    std::vector<IDXDrawListener*> listeners_;
};

// The form base: keeps the window placement across full-screen use.
class TDXForm {
public:
    explicit TDXForm(IPlatform& platform) : platform_(platform) {}
    void StoreWindowPlacement() { placement_ = platform_.GetPlacement(), stored_ = true; }
    // Puts the saved placement back once, when one was saved.
    void RestoreWindowPlacement() {
        if (!stored_) return;
        stored_ = false;
        platform_.SetPlacement(placement_);
    }

private:
    IPlatform& platform_;
    WindowPlacement placement_;
    bool stored_ = false;
};

} // namespace pondlark
