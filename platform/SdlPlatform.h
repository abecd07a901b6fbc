// The real desktop: one SDL2 window with a software-fed streaming texture.
//
// Full screen is the desktop's own mode with the 800x600 frame letterboxed; pointer events are
// converted to frame pixels and clamped to it. SDL installs no signal handlers, so SIGINT and
// SIGTERM end the process as usual. A missing audio device leaves the game silent.
#pragma once

#include "platform/Platform.h"

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
    // Throws PlatformError when no window can be made.
    SdlPlatform();
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
    bool IsForeground() const override;
    void SetCursor(Cursor cursor) override;
    void Present(const uint32_t* pixels, int width, int height, int pitch) override;
    void KeyboardState(uint8_t keys[256]) override;
    ControllerState Controllers() override;
    bool OpenAudio(int sampleRate, IAudioSource* source) override;
    void CloseAudio() override;
    int AudioRate() const override { return audioRate_; }
    void MessageBox(const std::string& title, const std::string& text) override;
    bool OpenUrl(const std::string& url) override;
    std::unique_ptr<IFont> OpenFont(const std::string& path, int points) override;

private:
    bool Translate(const void* sdlEvent, PlatformEvent& out);
    void ToSurface(int wx, int wy, int& sx, int& sy) const;

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Cursor* cursors_[3] = {};
    std::vector<_SDL_GameController*> controllers_;
    std::string caption_;
    bool fullScreen_ = false;
    uint32_t audioDevice_ = 0;
    int audioRate_ = 0;
    uint64_t start_ = 0;
};

} // namespace pondlark
