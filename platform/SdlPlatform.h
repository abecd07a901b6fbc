// The real desktop: one SDL2 window with a software-fed streaming texture.
//
// The frame is presented with GL where that is a hardware GL, and through the window system's
// shared memory (SDL's software renderer) where GL is missing or is a software rasteriser (see
// GlProbe.h); PONDLARK_PRESENT=gl or =shm forces one. The choice is made when the window is
// first shown (or first presented to) and written once to standard error.
//
// `ShowWindow` maps the window with its first frame already drawn (or after a second without
// one). A frame equal to the one the window shows is not handed to the window system again (a menu
// at rest costs no copy); when the window system loses the picture (exposed, resized) the last
// frame is shown again from the texture. At a whole-number scale, 1:1 included, the frame is
// filtered nearest-neighbour, elsewhere linearly.
//
// The window can be resized and maximized; whatever its size, and in full screen (the desktop's
// own mode), the 800x600 frame is scaled with its aspect and letterboxed, and pointer events are
// converted to frame pixels and clamped to it. Full screen asks the window manager for it and,
// on an X display without one, covers the screen with the window itself. Leaving full screen
// puts back the window's border, size and place as they were (or as `SetPlacement` and
// `SetBorder` asked meanwhile).
//
// The close box (or Alt+F4, or a window manager's close) arrives as a `Close` event and never
// ends the program by itself. SDL installs no signal handlers, so SIGINT and SIGTERM end the
// process as usual. A missing audio device leaves the game silent.
#pragma once

#include "platform/GlProbe.h"
#include "platform/Platform.h"
#include "platform/Presenting.h"

#include <chrono>
#include <memory>
#include <stdexcept>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
struct _SDL_GameController;

namespace pondlark {

class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SdlPlatform final : public IPlatform {
public:
    // Throws PlatformError when no window can be made. The game's clock (`Ticks`) counts from
    // `started`, the start of the program's start-up, so the first frame's interval runs while
    // SDL starts and the game loads rather than after.
    explicit SdlPlatform(
        std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now());
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    uint64_t Ticks() override;
    void Sleep(uint32_t ms) override;
    void WaitEvent(uint32_t ms) override;
    bool PollEvent(PlatformEvent& event) override;
    void ShowWindow() override;
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override { return caption_; }
    void SetBorder(bool bordered) override;
    bool SetFullScreen(bool on) override;
    bool IsFullScreen() const override { return fullScreen_; }
    WindowPlacement GetPlacement() const override;
    void SetPlacement(const WindowPlacement& placement) override;
    void SetWindowState(WindowState state) override;
    WindowState GetWindowState() const override;
    void SetScaling(Scaling scaling) override;
    bool IsForeground() const override;
    void SetCursor(Cursor cursor) override;
    void Present(const uint32_t* pixels, int width, int height, int pitch) override;
    uint64_t FramesShown() const override { return framesShown_; }
    void KeyboardState(uint8_t keys[256]) override;
    ControllerState Controllers() override;
    bool OpenAudio(int sampleRate, IAudioSource* source) override;
    void CloseAudio() override;
    int AudioRate() const override { return audioRate_; }
    void MessageBox(const std::string& title, const std::string& text) override;
    bool OpenUrl(const std::string& url) override;
    std::unique_ptr<IFont> OpenFont(const std::string& path, int points) override;

    // The window's icon: `size` x `size` pixels of 0xAARRGGBB, copied. A failure leaves the
    // window with the desktop's default icon.
    void SetIcon(const uint32_t* argb, int size);

private:
    bool Translate(const void* sdlEvent, PlatformEvent& out);
    // On a high-density X desktop (Xft.dpi 192 and up) the window opens at the desktop's whole
    // scale, or the largest whole factor the work area holds.
    void OpenAtDesktopScale();
    void ToSurface(int wx, int wy, int& sx, int& sy) const;
    // The window is decorated at its own place and size: not full screen, maximized, minimized,
    // hidden, nor being put back after full screen.
    bool AtNormalPlacement() const;
    // Remembers that place and size (when the window is there), for the way back from full
    // screen.
    void NoteNormalPlacement();
    // Puts the window's border, size and place back as `normal_` and `bordered_` say; the
    // place now, or (`placeNow` false) by `SettlePlace` once the window manager is done.
    void ApplyWindowed(bool placeNow);
    void SettlePlace();
    // Has `SettlePlace` put the window at `normal_` once the window manager framed it.
    void SettleAfterMapping();
    // Makes the renderer and the frame's texture the first time they are needed.
    void EnsureRenderer();
    // The renderer of the first path of `choice`'s chain that starts, said once on standard
    // error; throws PlatformError naming each path's failure when none does.
    SDL_Renderer* CreateRenderer(const PresentationChoice& choice);
    // A renderer on `path`; null (SDL_GetError says why) when it will not start.
    SDL_Renderer* TryRenderer(PresentPath path);
    // Starts SDL's audio and opens the default device; false (audio shut again) when none opens.
    bool OpenAudioDevice(int sampleRate, IAudioSource* source);
    // Copies the texture to the window and presents it.
    void ShowTexture();
    // Maps the window (and shows the frame it has).
    void MapWindow();
    // Sharp: the largest whole factor that fits, nearest-neighbour, letterboxed (a window
    // smaller than the frame is scaled down, linear). Smooth: the frame fills what it can,
    // linear, nearest at a whole-number scale where both look the same.
    void ChooseFiltering();
    // The software renderer's texture: copies the rows of the frame that differ from what it
    // holds; false when none does.
    bool CopyChangedRows(const uint32_t* pixels, int pitch);

    SDL_Window* window_ = nullptr;
    std::unique_ptr<GlProbe> probe_; // until the renderer is made
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    // The frame shown, where the renderer's texture cannot tell it: the software renderer's
    // texture keeps its pixels in memory as last written, so it needs no second copy.
    TFrameMemo shown_;
    bool textureInMemory_ = false;
    uint64_t framesShown_ = 0;
    bool textureFilled_ = false;
    uint64_t showAt_ = 0; // asked to show: maps with the first frame, or at this time
    SDL_Cursor* cursors_[3] = {};
    std::vector<_SDL_GameController*> controllers_;
    bool controllersStarted_ = false;
    std::string caption_;
    bool fullScreen_ = false;
    // Full screen made by covering the screen with the window, with no window manager to ask.
    bool coverScreen_ = false;
    bool bordered_ = true;
    Scaling scaling_ = Scaling::Sharp;
    WindowPlacement normal_;
    int placeTries_ = 0;
    bool placeOnMap_ = false; // a place set before the window was shown
    uint64_t placeAt_ = 0;
    uint32_t audioDevice_ = 0;
    int audioRate_ = 0;
    bool toldSilent_ = false; // "no sound device" is said once however often opening fails
    std::chrono::steady_clock::time_point started_;
};

} // namespace pondlark
