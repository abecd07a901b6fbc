// The numbers every part of the game lays out and times itself by: the screen, the depth
// layers the sprites are drawn in (lowest first), the frame and the waits.
#pragma once

#include <cstdint>

namespace pondlark {

// The play field and the display mode, in pixels.
inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;

// Depth layers shared by more than one sprite.
inline constexpr int kDepthStork = 800;     // the stork and its legs
inline constexpr int kDepthOverStork = 805; // the eating frog; in the pond, the crocodile's strike
inline constexpr int kDepthStatus = 905;    // the bottle and the plaques, over everything in play

// The frame: the frame timer's interval, and the ticks every scene moves its sprites by a frame
// whatever time has passed.
inline constexpr uint32_t kFrameIntervalMs = 30;
inline constexpr int kTicksPerFrame = 16;

// Waits of the scene timer.
inline constexpr uint32_t kIntroMs = 2000;
inline constexpr uint32_t kLevelBannerMs = 3300;
inline constexpr uint32_t kGameOverWaitMs = 5000;
// The whole game holds its breath: before a scene a player's move brought, and when a life goes.
inline constexpr uint32_t kBreathMs = 200;
inline constexpr uint32_t kLifeLostMs = 500;

// The text caret: frames of a whole blink, the first half shown.
inline constexpr uint8_t kCaretBlinkFrames = 30;

} // namespace pondlark
