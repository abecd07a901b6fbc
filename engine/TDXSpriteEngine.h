// The component the main window owns: one sprite engine bound to the display's back surface.
//
// It follows the display's notifications: on initialize the engine draws onto the new back
// surface, on finalize it lets go of it, and when the display is destroyed the binding ends.
// The display must outlive the binding or send its destroying notification.
#pragma once

#include "engine/TDXDraw.h"
#include "engine/TSprite.h"

namespace pondlark {

class TDXSpriteEngine final : public IDXDrawListener {
public:
    TDXSpriteEngine() = default;
    ~TDXSpriteEngine() override { SetDXDraw(nullptr); }
    TDXSpriteEngine(const TDXSpriteEngine&) = delete;
    TDXSpriteEngine& operator=(const TDXSpriteEngine&) = delete;

    // The root of the scene; lives as long as the component.
    TSpriteEngine Engine;

    TDXDraw* DXDraw() const { return dxdraw_; }
    // Binding to a display that is already up takes its back surface at once.
    void SetDXDraw(TDXDraw* dxdraw);

    void Move(int ticks) { Engine.Move(ticks); }
    void Sweep() { Engine.Sweep(); }
    // Draws only while bound to an initialized display.
    void Draw();

    void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) override;

private:
    TDXDraw* dxdraw_ = nullptr;
};

} // namespace pondlark
