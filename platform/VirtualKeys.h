// Windows virtual-key codes, the key numbers the game's rules are written in.
#pragma once

namespace pondlark::vk {

constexpr int Back = 0x08;
constexpr int Tab = 0x09;
constexpr int Return = 0x0D;
constexpr int Shift = 0x10;
constexpr int Control = 0x11;
constexpr int Menu = 0x12; // Alt
constexpr int Pause = 0x13;
constexpr int Escape = 0x1B;
constexpr int Space = 0x20;
constexpr int Prior = 0x21;
constexpr int Next = 0x22;
constexpr int End = 0x23;
constexpr int Home = 0x24;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int Insert = 0x2D;
constexpr int Delete = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their characters.
constexpr int Numpad0 = 0x60;
constexpr int F1 = 0x70;
constexpr int OemMinus = 0xBD;
constexpr int OemPeriod = 0xBE;
// A controller's own buttons, where a screen tells them from the keyboard's keys.
constexpr int GamepadX = 0xC5;
constexpr int GamepadY = 0xC6;
constexpr int GamepadDpadLeft = 0xCD;
constexpr int GamepadDpadRight = 0xCE;

} // namespace pondlark::vk
