#include "engine/TDXSpriteEngine.h"

namespace pondlark {

void TDXSpriteEngine::SetDXDraw(TDXDraw* dxdraw) {
    if (dxdraw_ == dxdraw) return;
    if (dxdraw_) dxdraw_->UnregisterNotifyEvent(this);
    dxdraw_ = dxdraw;
    if (!dxdraw_) return;
    dxdraw_->RegisterNotifyEvent(this);
    if (dxdraw_->Initialized()) Engine.SetSurface(dxdraw_->Surface());
}

void TDXSpriteEngine::Draw() {
    if (dxdraw_ && dxdraw_->Initialized()) Engine.Draw();
}

void TDXSpriteEngine::DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) {
    switch (type) {
    case TDXDrawNotifyType::Destroying:
        Engine.SetSurface(nullptr);
        sender.UnregisterNotifyEvent(this);
        dxdraw_ = nullptr;
        break;
    case TDXDrawNotifyType::Initialize:
        Engine.SetSurface(sender.Surface());
        break;
    case TDXDrawNotifyType::Finalize:
        Engine.SetSurface(nullptr);
        break;
    default:
        break;
    }
}

} // namespace pondlark
