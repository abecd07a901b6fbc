// A platform without a screen, for tests and tools.
//
// The clock moves only when told: `Sleep`, `WaitEvent` on an empty queue and `Advance` move it
// forward. Input comes from the script calls below (key presses also update the keyboard
// snapshot), presented frames are kept, and captions, cursors, message boxes and opened URLs
// are recorded. The audio device, when "open", is pulled by the test with `PullAudio`.
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <optional>

namespace pondlark {

class HeadlessPlatform final : public IPlatform {
public:
    HeadlessPlatform() = default;

    // Script side.
    void Advance(uint64_t ms) { now_ += ms; }
    void PushEvent(const PlatformEvent& event) { events_.push_back(event); }
    void KeyDown(int vk, bool alt = false, bool ctrl = false, bool shift = false);
    void KeyUp(int vk, bool alt = false, bool ctrl = false, bool shift = false);
    void MouseMove(int x, int y);
    void MouseDown(int x, int y, MouseButton button = MouseButton::Left);
    void MouseUp(int x, int y, MouseButton button = MouseButton::Left);
    void Focus(bool gained);
    void CloseBox();
    void Maximize();
    void RefuseFullScreen(bool refuse) { refuseFullScreen_ = refuse; }
    void SetAudioAvailable(bool available) { audioAvailable_ = available; }
    void SetController(const ControllerState& state) { controller_ = state; }
    // What `FallbackFacePath` answers from now on ("" = the system has no face); until this is
    // called it asks the system as the real backend does.
    void SetFallbackFace(std::string path) { fallbackFace_ = std::move(path); }
    // Renders `frames` stereo frames from the open audio source (empty when none is open).
    std::vector<float> PullAudio(int frames);

    // Records.
    const std::vector<uint32_t>& LastFrame() const { return lastFrame_; }
    uint32_t FramePixel(int x, int y) const {
        return lastFrame_.at(static_cast<size_t>(y) * 800 + x);
    }
    int PresentCount() const { return presentCount_; }
    const std::vector<std::string>& Captions() const { return captions_; }
    const std::vector<Cursor>& Cursors() const { return cursors_; }
    Cursor CurrentCursor() const { return cursors_.empty() ? Cursor::Arrow : cursors_.back(); }
    const std::vector<std::string>& MessageBoxes() const { return messageBoxes_; }
    const std::vector<std::string>& OpenedUrls() const { return openedUrls_; }
    bool Bordered() const { return bordered_; }
    bool Shown() const { return shown_; }
    size_t PendingEvents() const { return events_.size(); }

    // IPlatform.
    uint64_t Ticks() override { return now_; }
    void Sleep(uint32_t ms) override { now_ += ms; }
    void WaitEvent(uint32_t ms) override;
    bool PollEvent(PlatformEvent& event) override;
    void ShowWindow() override { shown_ = true; }
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override { return caption_; }
    void SetBorder(bool bordered) override { bordered_ = bordered; }
    bool SetFullScreen(bool on) override;
    bool IsFullScreen() const override { return fullScreen_; }
    WindowPlacement GetPlacement() const override { return placement_; }
    void SetPlacement(const WindowPlacement& placement) override { placement_ = placement; }
    void SetWindowState(WindowState state) override { placement_.state = state; }
    WindowState GetWindowState() const override { return placement_.state; }
    void SetScaling(Scaling scaling) override { scaling_ = scaling; }
    Scaling CurrentScaling() const { return scaling_; }
    bool IsForeground() const override { return foreground_; }
    void SetCursor(Cursor cursor) override { cursors_.push_back(cursor); }
    void Present(const uint32_t* pixels, int width, int height, int pitch) override;
    uint64_t FramesShown() const override { return static_cast<uint64_t>(presentCount_); }
    void KeyboardState(uint8_t keys[256]) override;
    ControllerState Controllers() override { return controller_; }
    bool OpenAudio(int sampleRate, IAudioSource* source) override;
    void CloseAudio() override { audio_ = nullptr; }
    int AudioRate() const override { return audio_ ? audioRate_ : 0; }
    void MessageBox(const std::string& title, const std::string& text) override;
    bool OpenUrl(const std::string& url) override;
    std::unique_ptr<IFont> OpenFont(const std::string& path, int points) override;
    std::string FallbackFacePath() override;

private:
    uint64_t now_ = 0;
    std::deque<PlatformEvent> events_;
    uint8_t keys_[256] = {};
    ControllerState controller_;
    std::vector<uint32_t> lastFrame_;
    int presentCount_ = 0;
    std::string caption_;
    std::vector<std::string> captions_;
    std::vector<Cursor> cursors_;
    std::vector<std::string> messageBoxes_;
    std::vector<std::string> openedUrls_;
    WindowPlacement placement_{100, 80, 800, 600, WindowState::Normal};
    Scaling scaling_ = Scaling::Sharp;
    bool bordered_ = true;
    bool shown_ = false;
    bool fullScreen_ = false;
    bool refuseFullScreen_ = false;
    bool foreground_ = true;
    bool audioAvailable_ = true;
    std::optional<std::string> fallbackFace_;
    IAudioSource* audio_ = nullptr;
    int audioRate_ = 0;
};

} // namespace pondlark
