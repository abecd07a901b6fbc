#include "platform/HeadlessPlatform.h"

#include "platform/TtfFont.h"

#include <cstring>

namespace pondlark {

namespace {
PlatformEvent KeyEvent(PlatformEvent::Type type, int vk, bool alt, bool ctrl, bool shift) {
    PlatformEvent e;
    e.type = type;
    e.key = vk;
    e.alt = alt;
    e.ctrl = ctrl;
    e.shift = shift;
    return e;
}
PlatformEvent PointerEvent(PlatformEvent::Type type, int x, int y, MouseButton button) {
    PlatformEvent e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.button = button;
    return e;
}
} // namespace

void HeadlessPlatform::KeyDown(int vk, bool alt, bool ctrl, bool shift) {
    if (vk > 0 && vk < 256) keys_[vk] = 0x80;
    PushEvent(KeyEvent(PlatformEvent::Type::KeyDown, vk, alt, ctrl, shift));
}

void HeadlessPlatform::KeyUp(int vk, bool alt, bool ctrl, bool shift) {
    if (vk > 0 && vk < 256) keys_[vk] = 0;
    PushEvent(KeyEvent(PlatformEvent::Type::KeyUp, vk, alt, ctrl, shift));
}

void HeadlessPlatform::MouseMove(int x, int y) {
    PushEvent(PointerEvent(PlatformEvent::Type::MouseMove, x, y, MouseButton::Left));
}

void HeadlessPlatform::MouseDown(int x, int y, MouseButton button) {
    PushEvent(PointerEvent(PlatformEvent::Type::MouseDown, x, y, button));
}

void HeadlessPlatform::MouseUp(int x, int y, MouseButton button) {
    PushEvent(PointerEvent(PlatformEvent::Type::MouseUp, x, y, button));
}

void HeadlessPlatform::Focus(bool gained) {
    foreground_ = gained;
    PlatformEvent e;
    e.type = gained ? PlatformEvent::Type::FocusGained : PlatformEvent::Type::FocusLost;
    PushEvent(e);
}

void HeadlessPlatform::CloseBox() {
    PlatformEvent e;
    e.type = PlatformEvent::Type::Close;
    PushEvent(e);
}

void HeadlessPlatform::Maximize() {
    placement_.state = WindowState::Maximized;
    PlatformEvent e;
    e.type = PlatformEvent::Type::Resize;
    PushEvent(e);
}

std::vector<float> HeadlessPlatform::PullAudio(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2, 0.0f);
    if (audio_ && frames > 0) audio_->Render(out.data(), frames);
    return out;
}

void HeadlessPlatform::WaitEvent(uint32_t ms) {
    if (events_.empty()) now_ += ms;
}

bool HeadlessPlatform::PollEvent(PlatformEvent& event) {
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
}

void HeadlessPlatform::SetCaption(const std::string& caption) {
    if (caption != caption_) captions_.push_back(caption);
    caption_ = caption;
}

bool HeadlessPlatform::SetFullScreen(bool on) {
    if (on && refuseFullScreen_) return false;
    fullScreen_ = on;
    return true;
}

void HeadlessPlatform::Present(const uint32_t* pixels, int width, int height, int pitch) {
    // The pixels' top byte is zero by contract, so rows are copied whole.
    lastFrame_.resize(static_cast<size_t>(width) * height);
    if (pitch == width) {
        std::memcpy(lastFrame_.data(), pixels, lastFrame_.size() * sizeof(uint32_t));
    } else {
        for (int y = 0; y < height; ++y)
            std::memcpy(lastFrame_.data() + static_cast<size_t>(y) * width,
                        pixels + static_cast<size_t>(y) * pitch, width * sizeof(uint32_t));
    }
    ++presentCount_;
}

void HeadlessPlatform::KeyboardState(uint8_t keys[256]) {
    for (int i = 0; i < 256; ++i)
        keys[i] = keys_[i];
}

bool HeadlessPlatform::OpenAudio(int sampleRate, IAudioSource* source) {
    if (!audioAvailable_) return false;
    audio_ = source;
    audioRate_ = sampleRate;
    return true;
}

void HeadlessPlatform::MessageBox(const std::string& title, const std::string& text) {
    messageBoxes_.push_back(title.empty() ? text : title + ": " + text);
}

bool HeadlessPlatform::OpenUrl(const std::string& url) {
    openedUrls_.push_back(url);
    return true;
}

std::unique_ptr<IFont> HeadlessPlatform::OpenFont(const std::string& path, int points) {
    return OpenTtfFont(path, points);
}

std::string HeadlessPlatform::FallbackFacePath() {
    return fallbackFace_ ? *fallbackFace_ : IPlatform::FallbackFacePath();
}

} // namespace pondlark
