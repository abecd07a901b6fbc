#include "engine/TDXDraw.h"

#include "engine/Errors.h"

#include <algorithm>

namespace pondlark {

TDXDraw::TDXDraw(IPlatform& platform, std::string facePath)
    : platform_(platform), fonts_(platform, std::move(facePath)) {
    ComputeNowOptions();
}

TDXDraw::~TDXDraw() {
    Finalize();
    Notify(TDXDrawNotifyType::Destroying);
}

void TDXDraw::SetDisplayBitCount(int value) {
    if (value != 8 && value != 16 && value != 24 && value != 32)
        throw EDXDrawError("It should be either of 8 or 16 or 24 or 32");
    display_.BitCount = value;
}

void TDXDraw::ComputeNowOptions() {
    TDXDrawOptions o = options_;
    if (!o.Has(doFullScreen))
        for (auto x : {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip})
            o.Remove(x);
    if (!o.Has(do3D))
        for (auto x : {doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer})
            o.Remove(x);
    if (o.Has(doSystemMemory)) o.Remove(doFlip);
    if (o.Has(doDirectX7Mode)) o.Remove(doRetainedMode);
    o.Remove(doHardware);
    nowOptions_ = o;
}

void TDXDraw::SetOptions(TDXDrawOptions value) {
    options_ = value;
    if (!initialized_) {
        ComputeNowOptions();
        return;
    }
    // While running only the presentation options change at once.
    for (auto x : {doWaitVBlank, doStretch, doCenter}) {
        if (value.Has(x))
            nowOptions_.Add(x);
        else
            nowOptions_.Remove(x);
    }
    if (!nowOptions_.Has(do3D))
        for (auto x : {doRetainedMode, doHardware, doSelectDriver, doZBuffer})
            nowOptions_.Remove(x);
}

void TDXDraw::RegisterNotifyEvent(IDXDrawListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TDXDraw::UnregisterNotifyEvent(IDXDrawListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TDXDraw::Notify(TDXDrawNotifyType type) {
    // A listener may unregister while being told; walk a copy.
    auto copy = listeners_;
    for (IDXDrawListener* l : copy)
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
            l->DXDrawNotify(*this, type);
}

void TDXDraw::Initialize() {
    busy_ = true;
    try {
        Finalize();
        initStarted_ = true;
        ComputeNowOptions();
        if (OnInitializing) OnInitializing();
        Notify(TDXDrawNotifyType::Initializing);

        const bool full = nowOptions_.Has(doFullScreen);
        if (!platform_.SetFullScreen(full))
            throw EDXDrawError(Format("Display mode cannot be changed (%dx%d %dbit)",
                                      display_.Width, display_.Height, display_.BitCount));
        const int w = full ? display_.Width : surfaceWidth_;
        const int h = full ? display_.Height : surfaceHeight_;
        if (w <= 0 || h <= 0) throw EDXDrawError(Format("%s cannot be made", "Primary Surface"));
        surface_ = std::make_unique<TDirectDrawSurface>(w, h, &fonts_);
        if (AutoSize) {
            surfaceWidth_ = w;
            surfaceHeight_ = h;
        }
        initialized_ = true;
    } catch (...) {
        busy_ = false;
        Finalize();
        throw;
    }
    busy_ = false;
    Notify(TDXDrawNotifyType::SetSurfaceSize);
    Notify(TDXDrawNotifyType::Initialize);
    initStageDone_ = true;
    if (OnInitialize) OnInitialize();
    Notify(TDXDrawNotifyType::InitializeSurface);
    surfaceStageDone_ = true;
    Restore();
}

void TDXDraw::Restore() {
    if (!surface_) return;
    surface_->Fill(0);
    Notify(TDXDrawNotifyType::Restore);
}

void TDXDraw::Finalize() {
    if (!initStarted_) return;
    const bool wasBusy = busy_;
    busy_ = true;
    // Each stage's notification is sent even when its event raised.
    std::exception_ptr error;
    if (surfaceStageDone_) {
        surfaceStageDone_ = false;
        Notify(TDXDrawNotifyType::FinalizeSurface);
    }
    if (initStageDone_) {
        initStageDone_ = false;
        try {
            if (OnFinalize) OnFinalize();
        } catch (...) {
            error = std::current_exception();
        }
        Notify(TDXDrawNotifyType::Finalize);
    }
    initialized_ = false;
    initStarted_ = false;
    ComputeNowOptions();
    surface_.reset();
    busy_ = wasBusy;
    if (error) std::rethrow_exception(error);
}

bool TDXDraw::CanDraw() const {
    return initialized_ && !busy_ && surface_ != nullptr;
}

void TDXDraw::Flip() {
    if (!CanDraw()) return;
    // In full screen a window in the background shows nothing new.
    if (nowOptions_.Has(doFullScreen) && !platform_.IsForeground()) return;
    platform_.Present(surface_->Pixels(), surface_->Width(), surface_->Height(), surface_->Pitch());
}

} // namespace pondlark
