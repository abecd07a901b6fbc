#include "platform/SdlPlatform.h"

#include "platform/ComposeCache.h"
#include "platform/QuietStderr.h"
#include "platform/TtfFont.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowManager.h"

#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pondlark {
namespace {

constexpr int kFrameW = 800;
constexpr int kFrameH = 600;
// Smaller than this the menus' words can no longer be read.
constexpr int kMinWindowW = 320;
constexpr int kMinWindowH = 240;
// How long a window manager gets to frame the window again after full screen before the game
// checks its place, and how often it checks.
constexpr uint64_t kSettleMs = 300;
constexpr int kPlaceTries = 3;
// How long a shown window waits, unmapped, for its first frame.
constexpr uint64_t kFirstFrameWaitMs = 1000;
// A window in one of these states is not at its own place and size.
constexpr Uint32 kAsideFlags =
    SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN;

int VirtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<int>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<int>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return vk::F1 + static_cast<int>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return vk::Numpad0 + 1 + static_cast<int>(key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE:
        return vk::Back;
    case SDLK_TAB:
        return vk::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return vk::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return vk::Control;
    case SDLK_LALT:
    case SDLK_RALT:
        return vk::Menu;
    case SDLK_PAUSE:
        return vk::Pause;
    case SDLK_ESCAPE:
        return vk::Escape;
    case SDLK_SPACE:
        return vk::Space;
    case SDLK_PAGEUP:
        return vk::Prior;
    case SDLK_PAGEDOWN:
        return vk::Next;
    case SDLK_END:
        return vk::End;
    case SDLK_HOME:
        return vk::Home;
    case SDLK_LEFT:
        return vk::Left;
    case SDLK_UP:
        return vk::Up;
    case SDLK_RIGHT:
        return vk::Right;
    case SDLK_DOWN:
        return vk::Down;
    case SDLK_INSERT:
        return vk::Insert;
    case SDLK_DELETE:
        return vk::Delete;
    case SDLK_KP_0:
        return vk::Numpad0;
    case SDLK_MINUS:
        return vk::OemMinus;
    case SDLK_PERIOD:
        return vk::OemPeriod;
    default:
        return 0;
    }
}

void AudioCallback(void* user, Uint8* stream, int len) {
    auto* source = static_cast<IAudioSource*>(user);
    auto* out = reinterpret_cast<float*>(stream);
    const int frames = len / static_cast<int>(2 * sizeof(float));
    std::fill(out, out + frames * 2, 0.0f);
    if (source) source->Render(out, frames);
}

// A page's canvas holds as many pixels as the screen shows under it (three per CSS pixel on many
// phones), so the frame is scaled once, by us, and not blurred again by the browser.
#ifdef __EMSCRIPTEN__
constexpr Uint32 kPageDensity = SDL_WINDOW_ALLOW_HIGHDPI;
constexpr bool kLetterboxWholeScale = false;
#else
constexpr Uint32 kPageDensity = 0;
constexpr bool kLetterboxWholeScale = true;
#endif

// PONDLARK_PRESENT, or what stands for it. A page cannot start a probing process, and its
// canvas always has WebGL, which the browser puts on the graphics card where there is one.
const char* PresentationSetting() {
#ifdef __EMSCRIPTEN__
    return "gl";
#else
    return std::getenv("PONDLARK_PRESENT");
#endif
}

// The name desktops match the window to its desktop entry (pondlark.desktop) by: the Wayland
// app id and the X11 window class. SDL would take the program's file name, which a launcher
// or a packager may change. A name the player set in SDL's variables stays.
void NameTheApplication() {
    constexpr const char* kDesktopId = "pondlark";
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopId, 0);
    setenv("SDL_VIDEO_X11_WMCLASS", kDesktopId, 0);
}

} // namespace

SdlPlatform::SdlPlatform(std::chrono::steady_clock::time_point started) : started_(started) {
    // The probe forks, so it starts before SDL does; it runs while the game loads its data.
    // Without a graphics device its answer could only be "no GL" or a software rasteriser.
    if (!PresentationForced(PresentationSetting()) && GraphicsDevicePresent())
        probe_ = std::make_unique<GlProbe>();
    NameTheApplication();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window is a request the game answers itself (it may ask whether to quit).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    {
#ifndef __EMSCRIPTEN__
        // The input method X opens with the video system reads its compose table from there.
        const TComposeCacheScope composeCache;
#endif
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0)
            throw PlatformError(std::string("Cannot start the video system: ") + SDL_GetError());
    }
    window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kFrameW, kFrameH,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | kPageDensity);
    if (!window_) throw PlatformError(std::string("Cannot open the window: ") + SDL_GetError());
    SDL_SetWindowMinimumSize(window_, kMinWindowW, kMinWindowH);
    OpenAtDesktopScale();
    // The window's first place, for a game that starts in full screen before it is shown.
    SDL_GetWindowPosition(window_, &normal_.x, &normal_.y);
    SDL_GetWindowSize(window_, &normal_.width, &normal_.height);
}

void SdlPlatform::OpenAtDesktopScale() {
    const int scale = DesktopScaleFromResources(DesktopResources(window_));
    SDL_Rect work;
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (scale <= 1 || display < 0 || SDL_GetDisplayUsableBounds(display, &work) != 0) return;
    const int factor = OpeningFactor(scale, work.w, work.h, kFrameW, kFrameH);
    if (factor <= 1) return;
    SDL_SetWindowSize(window_, kFrameW * factor, kFrameH * factor);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

SdlPlatform::~SdlPlatform() {
    CloseAudio();
    for (SDL_GameController* c : controllers_)
        SDL_GameControllerClose(c);
    for (SDL_Cursor* c : cursors_)
        if (c) SDL_FreeCursor(c);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

uint64_t SdlPlatform::Ticks() {
    const auto elapsed = std::chrono::steady_clock::now() - started_;
    return static_cast<uint64_t>(std::max<int64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 0));
}

#ifdef __EMSCRIPTEN__
// A page must hand the browser its thread back to be drawn and to receive input: waiting
// suspends the program (its stack saved aside) and the browser resumes it later.
void SdlPlatform::Sleep(uint32_t ms) {
    emscripten_sleep(ms);
}

void SdlPlatform::WaitEvent(uint32_t ms) {
    if (ms == 0 || SDL_PollEvent(nullptr)) return;
    emscripten_sleep(ms);
}
#else
void SdlPlatform::Sleep(uint32_t ms) {
    SDL_Delay(ms);
}

void SdlPlatform::WaitEvent(uint32_t ms) {
    if (ms == 0) return;
    SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
}
#endif

void SdlPlatform::ToSurface(int wx, int wy, int& sx, int& sy) const {
#ifdef __EMSCRIPTEN__
    // On a page the pointer is measured against the canvas by the page itself: the library's
    // own placing is off on screens of several pixels per CSS pixel.
    if (EM_ASM_INT({ return Module.pondlarkPointer ? 1 : 0; })) {
        wx = EM_ASM_INT({ return Module.pondlarkPointer.x; });
        wy = EM_ASM_INT({ return Module.pondlarkPointer.y; });
    }
#endif
    // Events already carry logical (frame) coordinates; the letterbox bars give values outside
    // the frame, which are clamped onto its edge.
    sx = std::clamp(wx, 0, kFrameW - 1);
    sy = std::clamp(wy, 0, kFrameH - 1);
}

bool SdlPlatform::Translate(const void* raw, PlatformEvent& out) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
    out = PlatformEvent{};
    switch (e.type) {
    case SDL_QUIT:
        out.type = PlatformEvent::Type::Quit;
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        out.type =
            e.type == SDL_KEYDOWN ? PlatformEvent::Type::KeyDown : PlatformEvent::Type::KeyUp;
        out.key = VirtualKeyOf(e.key.keysym.sym);
        out.alt = (e.key.keysym.mod & KMOD_ALT) != 0;
        out.ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
        out.shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
        return out.key != 0;
    }
    case SDL_MOUSEMOTION:
        out.type = PlatformEvent::Type::MouseMove;
        ToSurface(e.motion.x, e.motion.y, out.x, out.y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out.type = e.type == SDL_MOUSEBUTTONDOWN ? PlatformEvent::Type::MouseDown
                                                 : PlatformEvent::Type::MouseUp;
        ToSurface(e.button.x, e.button.y, out.x, out.y);
        out.button = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                     : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                                                           : MouseButton::Middle;
        return true;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.type = PlatformEvent::Type::FocusGained;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.type = PlatformEvent::Type::FocusLost;
            return true;
        case SDL_WINDOWEVENT_CLOSE:
            out.type = PlatformEvent::Type::Close;
            return true;
        case SDL_WINDOWEVENT_MOVED:
            NoteNormalPlacement();
            return false;
        case SDL_WINDOWEVENT_EXPOSED:
            // The window system lost the picture; a menu at rest would not send it again.
            if (textureFilled_) ShowTexture();
            return false;
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            NoteNormalPlacement();
            ChooseFiltering();
            if (textureFilled_) ShowTexture();
            out.type = PlatformEvent::Type::Resize;
            return true;
        default:
            return false;
        }
    case SDL_CONTROLLERDEVICEADDED:
        if (SDL_IsGameController(e.cdevice.which))
            if (SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which))
                controllers_.push_back(c);
        return false;
    case SDL_CONTROLLERDEVICEREMOVED:
        for (auto it = controllers_.begin(); it != controllers_.end(); ++it) {
            if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*it)) == e.cdevice.which) {
                SDL_GameControllerClose(*it);
                controllers_.erase(it);
                break;
            }
        }
        return false;
    default:
        return false;
    }
}

ControllerState SdlPlatform::Controllers() {
    // Controllers are optional: without the subsystem the game simply has none. Starting it
    // reads the controller database and scans the devices, which the first frame need not
    // wait for; the pads already there arrive as events of the next passes.
    if (!controllersStarted_ && framesShown_ > 0) {
        controllersStarted_ = true;
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    // Half of the stick's travel counts as a press, well clear of a worn stick's drift.
    constexpr Sint16 kThreshold = 16384;
    ControllerState s;
    for (SDL_GameController* c : controllers_) {
        auto button = [c](SDL_GameControllerButton b) {
            return SDL_GameControllerGetButton(c, b) != 0;
        };
        const Sint16 x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        const Sint16 y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        // The right stick aims the tongue up and down, as the up and down arrows do.
        const Sint16 aim = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY);
        s.up |= button(SDL_CONTROLLER_BUTTON_DPAD_UP) || y <= -kThreshold || aim <= -kThreshold;
        s.down |= button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || y >= kThreshold || aim >= kThreshold;
        s.left |= button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || x <= -kThreshold;
        s.right |= button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || x >= kThreshold;
        s.south |= button(SDL_CONTROLLER_BUTTON_A);
        s.east |= button(SDL_CONTROLLER_BUTTON_B);
        s.west |= button(SDL_CONTROLLER_BUTTON_X);
        s.north |= button(SDL_CONTROLLER_BUTTON_Y);
        s.start |= button(SDL_CONTROLLER_BUTTON_START);
        s.back |= button(SDL_CONTROLLER_BUTTON_BACK);
    }
    return s;
}

bool SdlPlatform::PollEvent(PlatformEvent& event) {
    SettlePlace();
    // A game that draws no frame for so long still shows its window.
    if (showAt_ && SDL_GetTicks64() >= showAt_) MapWindow();
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (Translate(&e, event)) return true;
    return false;
}

void SdlPlatform::EnsureRenderer() {
    if (renderer_) return;
    // Three seconds is far more than any GL takes to start; a probe that slow gets no GL.
    const PresentationChoice choice =
        ChoosePresentation(PresentationSetting(), probe_ ? probe_->Renderer(3000) : std::nullopt);
    probe_.reset();
    renderer_ = CreateRenderer(choice);
    SDL_RenderSetLogicalSize(renderer_, kFrameW, kFrameH);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 kFrameW, kFrameH);
    if (!texture_) throw PlatformError(std::string("Cannot make the frame: ") + SDL_GetError());
    SDL_RendererInfo info{};
    textureInMemory_ = SDL_GetRendererInfo(renderer_, &info) == 0 && info.name &&
                       std::strcmp(info.name, "software") == 0;
    ChooseFiltering();
}

bool SdlPlatform::CopyChangedRows(const uint32_t* pixels, int pitch) {
    void* locked = nullptr;
    int lockedPitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &locked, &lockedPitch) != 0) {
        SDL_UpdateTexture(texture_, nullptr, pixels, pitch * static_cast<int>(sizeof(uint32_t)));
        return true;
    }
    constexpr size_t rowBytes = kFrameW * sizeof(uint32_t);
    bool changed = false;
    for (int y = 0; y < kFrameH; ++y) {
        const uint32_t* from = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        void* to = static_cast<uint8_t*>(locked) +
                   static_cast<size_t>(y) * static_cast<size_t>(lockedPitch);
        // Before the first frame the texture holds nothing worth keeping.
        if (textureFilled_ && std::memcmp(to, from, rowBytes) == 0) continue;
        std::memcpy(to, from, rowBytes);
        changed = true;
    }
    SDL_UnlockTexture(texture_);
    return changed;
}

SDL_Renderer* SdlPlatform::TryRenderer(PresentPath path) {
    // The software renderer's window surface goes to the window system's shared memory
    // directly instead of through a GL texture; the other paths leave SDL its own way.
    if (path == PresentPath::SharedMemory)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    else
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    return SDL_CreateRenderer(
        window_, -1, path == PresentPath::Gl ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE);
}

SDL_Renderer* SdlPlatform::CreateRenderer(const PresentationChoice& choice) {
    std::string failed; // the paths that would not start, and why
    for (const PresentPath path : PresentationChain(choice.presentation)) {
        SDL_Renderer* renderer = TryRenderer(path);
        if (!renderer) {
            failed += std::string(failed.empty() ? "" : "; ") + PathName(path) +
                      " would not start: " + SDL_GetError();
            continue;
        }
#ifndef __EMSCRIPTEN__ // a page always presents through WebGL: nothing for its console
        // The log says what really presents, also when the choice would not start.
        std::fprintf(stderr, "pondlark: %s\n",
                     failed.empty() ? Describe(choice).c_str()
                                    : (std::string(PathName(path)) + " (" + failed + ")").c_str());
#endif
        return renderer;
    }
    throw PlatformError("Cannot draw into the window: " + failed);
}

void SdlPlatform::ChooseFiltering() {
    if (!texture_) return;
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0) return;
    // SDL's whole-number scaling never goes below 1:1 and would crop a smaller window. A page
    // sizes its canvas to the frame's shape itself (at the screen's density): there it would only
    // shrink the frame inside the canvas, so the frame always fills it.
    const bool whole =
        kLetterboxWholeScale && scaling_ == Scaling::Sharp && w >= kFrameW && h >= kFrameH;
    SDL_RenderSetIntegerScale(renderer_, whole ? SDL_TRUE : SDL_FALSE);
    SDL_SetTextureScaleMode(texture_, whole || WholeNumberScale(w, h, kFrameW, kFrameH)
                                          ? SDL_ScaleModeNearest
                                          : SDL_ScaleModeLinear);
}

void SdlPlatform::SetScaling(Scaling scaling) {
    scaling_ = scaling;
    ChooseFiltering();
    if (textureFilled_) ShowTexture();
}

void SdlPlatform::ShowTexture() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    ++framesShown_;
}

void SdlPlatform::ShowWindow() {
    EnsureRenderer();
    // The window maps with its first frame: an empty window would only flash black first.
    if (textureFilled_)
        MapWindow();
    else if (!showAt_)
        showAt_ = SDL_GetTicks64() + kFirstFrameWaitMs;
}

void SdlPlatform::MapWindow() {
    showAt_ = 0;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    if (std::exchange(placeOnMap_, false)) SettleAfterMapping();
    NoteNormalPlacement();
    if (textureFilled_) ShowTexture();
}

bool SdlPlatform::AtNormalPlacement() const {
    return !fullScreen_ && bordered_ && placeTries_ == 0 &&
           !(SDL_GetWindowFlags(window_) & kAsideFlags);
}

void SdlPlatform::NoteNormalPlacement() {
    if (!AtNormalPlacement()) return;
    SDL_GetWindowPosition(window_, &normal_.x, &normal_.y);
    SDL_GetWindowSize(window_, &normal_.width, &normal_.height);
}

void SdlPlatform::ApplyWindowed(bool placeNow) {
    SDL_SetWindowBordered(window_, bordered_ ? SDL_TRUE : SDL_FALSE);
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window_);
    SDL_SetWindowSize(window_, normal_.width, normal_.height);
    if (placeNow) {
        placeTries_ = 0;
        // SDL waits for the window manager to move a window (10 ms or more on every start);
        // a window not shown yet is moved at once, the place put right once it maps.
        const bool unshown = (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) != 0;
        if (!unshown || !MoveUnshownWindow(window_, normal_.x, normal_.y))
            SDL_SetWindowPosition(window_, normal_.x, normal_.y);
    } else {
        placeTries_ = kPlaceTries;
        placeAt_ = SDL_GetTicks64() + kSettleMs;
    }
}

void SdlPlatform::SettleAfterMapping() {
    placeTries_ = kPlaceTries;
    placeAt_ = SDL_GetTicks64() + kSettleMs;
}

void SdlPlatform::SettlePlace() {
    if (placeTries_ == 0 || SDL_GetTicks64() < placeAt_) return;
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    if (fullScreen_ || (x == normal_.x && y == normal_.y)) {
        placeTries_ = 0;
        return;
    }
    // By now SDL knows the frame's size again and can place the window inside it.
    SDL_SetWindowPosition(window_, normal_.x, normal_.y);
    --placeTries_;
    placeAt_ = SDL_GetTicks64() + kSettleMs;
}

void SdlPlatform::SetCaption(const std::string& caption) {
    caption_ = caption;
    SDL_SetWindowTitle(window_, caption.c_str());
}

void SdlPlatform::SetBorder(bool bordered) {
    // SDL ignores a border change in full screen; the window's border waits for the way back.
    if (!fullScreen_) {
        NoteNormalPlacement();
        SDL_SetWindowBordered(window_, bordered ? SDL_TRUE : SDL_FALSE);
    }
    bordered_ = bordered;
}

bool SdlPlatform::SetFullScreen(bool on) {
    if (on == fullScreen_) return true;
    if (on) {
        NoteNormalPlacement();
        if (WithoutWindowManager(window_)) {
            // Nobody would act on a full-screen request: the window covers its screen itself.
            SDL_Rect screen;
            const int display = SDL_GetWindowDisplayIndex(window_);
            if (display < 0 || SDL_GetDisplayBounds(display, &screen) != 0) return false;
            SDL_SetWindowBordered(window_, SDL_FALSE);
            SDL_SetWindowPosition(window_, screen.x, screen.y);
            SDL_SetWindowSize(window_, screen.w, screen.h);
            SDL_RaiseWindow(window_);
            coverScreen_ = true;
        } else if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            return false;
        }
        fullScreen_ = true;
        return true;
    }
    const bool managed = !coverScreen_;
    if (managed && SDL_SetWindowFullscreen(window_, 0) != 0) return false;
    coverScreen_ = false;
    fullScreen_ = false;
    // A window manager frames the window again in its own time, and SDL places a framed
    // window by the frame's size: the place is put right once the frame is back.
    ApplyWindowed(!managed);
    return true;
}

WindowPlacement SdlPlatform::GetPlacement() const {
    WindowPlacement p = normal_;
    if (AtNormalPlacement()) {
        SDL_GetWindowPosition(window_, &p.x, &p.y);
        SDL_GetWindowSize(window_, &p.width, &p.height);
    }
    p.state = GetWindowState();
    return p;
}

void SdlPlatform::SetPlacement(const WindowPlacement& p) {
    normal_ = p;
    normal_.state = WindowState::Normal;
    // In full screen the place waits for the way back; a maximized window there would only
    // switch to full screen again.
    if (fullScreen_) return;
    ApplyWindowed(true);
    // A window not yet shown has no frame; the window manager puts the frame, not the window,
    // where it was asked, so the place is put right once the frame is there.
    placeOnMap_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) != 0;
    if (p.state == WindowState::Maximized) SDL_MaximizeWindow(window_);
}

void SdlPlatform::SetWindowState(WindowState state) {
    if (fullScreen_) return;
    if (state == WindowState::Maximized)
        SDL_MaximizeWindow(window_);
    else if (GetWindowState() == WindowState::Maximized)
        SDL_RestoreWindow(window_);
}

WindowState SdlPlatform::GetWindowState() const {
    if (fullScreen_) return WindowState::Normal;
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) ? WindowState::Maximized
                                                                : WindowState::Normal;
}

bool SdlPlatform::IsForeground() const {
    // A window waiting to map with its first frame is not behind anything.
    return showAt_ != 0 || (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlPlatform::SetCursor(Cursor cursor) {
    if (cursor == Cursor::Hidden) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    // Made when first shown: reading the cursor theme is no work for the first frame.
    const int i = cursor == Cursor::Arrow ? 0 : cursor == Cursor::Hand ? 1 : 2;
    if (!cursors_[i])
        cursors_[i] = SDL_CreateSystemCursor(i == 0   ? SDL_SYSTEM_CURSOR_ARROW
                                             : i == 1 ? SDL_SYSTEM_CURSOR_HAND
                                                      : SDL_SYSTEM_CURSOR_IBEAM);
    if (cursors_[i]) SDL_SetCursor(cursors_[i]);
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlPlatform::Present(const uint32_t* pixels, int width, int height, int pitch) {
    if (width != kFrameW || height != kFrameH) return;
    EnsureRenderer();
    if (textureInMemory_) {
        if (!CopyChangedRows(pixels, pitch)) return;
    } else {
        if (!shown_.Differs(pixels, width, height, pitch)) return;
        SDL_UpdateTexture(texture_, nullptr, pixels, pitch * static_cast<int>(sizeof(uint32_t)));
    }
    textureFilled_ = true;
    if (showAt_)
        MapWindow(); // shows the frame as soon as the window is there
    else
        ShowTexture();
}

void SdlPlatform::KeyboardState(uint8_t keys[256]) {
    std::fill(keys, keys + 256, uint8_t{0});
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (int sc = 0; sc < count; ++sc) {
        if (!state[sc]) continue;
        int code = VirtualKeyOf(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc)));
        if (code > 0 && code < 256) keys[code] = 0x80;
    }
}

bool SdlPlatform::OpenAudio(int sampleRate, IAudioSource* source) {
    CloseAudio();
    // Without a sound device the audio libraries print their attempts; the game plays on
    // silently and says so in one line of its own.
    {
        const QuietStderr quiet;
        if (OpenAudioDevice(sampleRate, source)) return true;
    }
    if (!toldSilent_) std::fprintf(stderr, "pondlark: no sound device: playing without sound\n");
    toldSilent_ = true;
    return false;
}

bool SdlPlatform::OpenAudioDevice(int sampleRate, IAudioSource* source) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{}, have{};
    want.freq = sampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    want.userdata = source;
    audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (audioDevice_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    audioRate_ = have.freq;
    SDL_PauseAudioDevice(audioDevice_, 0);
    return true;
}

void SdlPlatform::CloseAudio() {
    if (audioDevice_ == 0) return;
    const QuietStderr quiet;
    SDL_CloseAudioDevice(audioDevice_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioDevice_ = 0;
    audioRate_ = 0;
}

void SdlPlatform::MessageBox(const std::string& title, const std::string& text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), window_);
}

bool SdlPlatform::OpenUrl(const std::string& url) {
#ifdef __EMSCRIPTEN__
    // A page's service is the host that served it, which a player may reach through https on
    // its standard port: the service's pages open relative to the page, as its requests go.
    const size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        const size_t path = url.find('/', scheme + 3);
        return SDL_OpenURL(path == std::string::npos ? "/" : url.c_str() + path) == 0;
    }
#endif
    return SDL_OpenURL(url.c_str()) == 0;
}

void SdlPlatform::SetIcon(const uint32_t* argb, int size) {
    if (!argb || size <= 0) return;
    // SDL copies the pixels into the window's property; the surface only lends them.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), size, size,
                                                           32, size * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
}

std::unique_ptr<IFont> SdlPlatform::OpenFont(const std::string& path, int points) {
    return OpenTtfFont(path, points);
}

} // namespace pondlark
