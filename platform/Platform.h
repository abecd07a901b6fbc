// The one seam between the game and the operating system.
//
// Everything the game needs from the machine -- time, the window, input events, the keyboard,
// the audio device, message boxes, the desktop's "open" and font rasterising -- goes through
// `IPlatform`. Two backends implement it: `SdlPlatform` (the real window) and `HeadlessPlatform`
// (a manual clock and scripted input, used by tests and tools). No other folder includes SDL.
//
// Threads: every call is made from the game's one thread, except `IAudioSource::Render`, which
// the backend calls from its audio thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pondlark {

enum class Cursor { Hidden, Arrow, Hand, IBeam };
enum class MouseButton { Left, Right, Middle };
enum class WindowState { Normal, Maximized };
// How the 800x600 frame fills a larger window or screen: Sharp scales by the largest whole
// number that fits, nearest-neighbour, centred in black bars; Smooth fills the most it can at the
// frame's aspect, filtered linearly.
enum class Scaling { Sharp, Smooth };

struct PlatformEvent {
    enum class Type {
        KeyDown, // key: Windows virtual-key code; alt/ctrl/shift: modifiers
        KeyUp,
        MouseMove, // x, y: surface pixels 0..799, 0..599
        MouseDown, // x, y, button
        MouseUp,
        FocusGained,
        FocusLost,
        Close,  // the window's close box, system menu or Alt+F4
        Resize, // size or maximized state changed
        Quit    // the process is asked to end (signal or session end)
    };
    Type type = Type::Quit;
    int key = 0;
    bool alt = false, ctrl = false, shift = false;
    int x = 0, y = 0;
    MouseButton button = MouseButton::Left;
};

struct WindowPlacement {
    int x = 0, y = 0, width = 800, height = 600;
    WindowState state = WindowState::Normal;
};

// What the connected game controllers hold down, joined over all of them. The directions are
// the d-pad and the left stick past its dead zone; up and down also the right stick's.
struct ControllerState {
    bool up = false, down = false, left = false, right = false;
    bool south = false; // the bottom face button (A)
    bool east = false;  // the right face button (B)
    bool west = false;  // the left face button (X)
    bool north = false; // the top face button (Y)
    bool start = false;
    bool back = false; // Back or Select
};

// A line of text rasterised as 8-bit coverage, one byte a pixel, `width` bytes a row.
struct TextBitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;
};

class IFont {
public:
    virtual ~IFont() = default;
    // Text is 8-bit Windows-1252, the game's own character set.
    virtual TextBitmap Render(const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int LineHeight() const = 0;
};

// Pulls interleaved stereo float samples. Called on the audio thread: implementations guard
// their own state.
class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    virtual void Render(float* stereo, int frames) = 0;
};

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // Milliseconds since the platform was created; never goes backwards.
    virtual uint64_t Ticks() = 0;
    // Blocks the game thread (a headless clock just moves on).
    virtual void Sleep(uint32_t ms) = 0;
    // Waits up to `ms` for an event to arrive; returns early when one is queued.
    virtual void WaitEvent(uint32_t ms) = 0;
    virtual bool PollEvent(PlatformEvent& event) = 0;

    // Window. The window always shows an 800x600 frame; `SetFullScreen` returns false when the
    // system refuses the mode, and the window then stays as it was.
    virtual void ShowWindow() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetBorder(bool bordered) = 0;
    virtual bool SetFullScreen(bool on) = 0;
    virtual bool IsFullScreen() const = 0;
    virtual WindowPlacement GetPlacement() const = 0;
    virtual void SetPlacement(const WindowPlacement& placement) = 0;
    virtual void SetWindowState(WindowState state) = 0;
    virtual WindowState GetWindowState() const = 0;
    virtual void SetScaling(Scaling scaling) = 0;
    virtual bool IsForeground() const = 0;
    virtual void SetCursor(Cursor cursor) = 0;
    // Presents one frame of 32-bit 0x00RRGGBB pixels; `pitch` counts pixels.
    virtual void Present(const uint32_t* pixels, int width, int height, int pitch) = 0;
    // Frames handed to the window system so far. A backend may leave out a frame equal to the
    // one the window shows already.
    virtual uint64_t FramesShown() const = 0;

    // Keyboard: 256 flags by virtual-key code, bit 7 set = down.
    virtual void KeyboardState(uint8_t keys[256]) = 0;
    // Game controllers come and go while the game runs; none connected reads all false.
    virtual ControllerState Controllers() = 0;

    // Audio: false when no device could be opened (the game then stays silent).
    virtual bool OpenAudio(int sampleRate, IAudioSource* source) = 0;
    virtual void CloseAudio() = 0;
    virtual int AudioRate() const = 0;

    // Desktop services.
    virtual void MessageBox(const std::string& title, const std::string& text) = 0;
    virtual bool OpenUrl(const std::string& url) = 0;

    // Fonts: a face file at a size in points at 96 dpi; nullptr when it cannot be opened.
    virtual std::unique_ptr<IFont> OpenFont(const std::string& path, int points) = 0;
    // A face file of the system to use when the game's own cannot be opened; empty when there
    // is none. Both backends share the system's lookup (fontconfig); the headless one can be
    // told otherwise.
    virtual std::string FallbackFacePath();
};

} // namespace pondlark
