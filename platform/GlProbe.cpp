#include "platform/GlProbe.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pondlark {

namespace {

constexpr unsigned kGlRenderer = 0x1F01; // GL_RENDERER
constexpr size_t kMaxName = 256;

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The child's whole life: a hidden GL window, its renderer's name down the pipe, and out.
// Nothing is written when any step fails, which the parent reads as "no GL".
[[noreturn]] void ProbeInChild(int fd) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_Window* w = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        SDL_GLContext gl = w ? SDL_GL_CreateContext(w) : nullptr;
        using GetString = const unsigned char* (*)(unsigned);
        auto get = gl ? reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString")) : nullptr;
        const unsigned char* name = get ? get(kGlRenderer) : nullptr;
        if (name) {
            const size_t n = strnlen(reinterpret_cast<const char*>(name), kMaxName);
            [[maybe_unused]] ssize_t written = write(fd, name, n);
        }
    }
    // No destructors, no atexit handlers and no stdio flush of the parent's copies.
    _exit(0);
}

} // namespace

bool IsSoftwareRasteriser(std::string_view glRenderer) {
    const std::string name = Lower(glRenderer);
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (name.find(soft) != std::string::npos) return true;
    return false;
}

bool PresentationForced(const char* forced) {
    const std::string force = forced ? Lower(forced) : "";
    return force == "gl" || force == "shm";
}

bool GraphicsDevicePresent() {
    return access("/dev/dri", F_OK) == 0 || access("/dev/nvidiactl", F_OK) == 0;
}

PresentationChoice ChoosePresentation(const char* forced,
                                      const std::optional<std::string>& glRenderer) {
    const std::string force = forced ? Lower(forced) : "";
    if (force == "gl") return {Presentation::HardwareGl, "forced by PONDLARK_PRESENT"};
    if (force == "shm") return {Presentation::SharedMemory, "forced by PONDLARK_PRESENT"};
    if (!glRenderer) return {Presentation::SharedMemory, "no GL"};
    if (IsSoftwareRasteriser(*glRenderer))
        return {Presentation::SharedMemory, "GL is the software rasteriser " + *glRenderer};
    return {Presentation::HardwareGl, "GL renderer " + *glRenderer};
}

std::array<PresentPath, 3> PresentationChain(Presentation chosen) {
    if (chosen == Presentation::HardwareGl)
        return {PresentPath::Gl, PresentPath::SharedMemory, PresentPath::WindowSurface};
    return {PresentPath::SharedMemory, PresentPath::Gl, PresentPath::WindowSurface};
}

const char* PathName(PresentPath path) {
    switch (path) {
    case PresentPath::Gl:
        return "presenting with GL";
    case PresentPath::SharedMemory:
        return "presenting through the window system's shared memory";
    case PresentPath::WindowSurface:
        return "presenting through SDL's window surface";
    }
    return "presenting";
}

std::string Describe(const PresentationChoice& choice) {
    return std::string(PathName(choice.presentation == Presentation::HardwareGl
                                    ? PresentPath::Gl
                                    : PresentPath::SharedMemory)) +
           " (" + choice.reason + ")";
}

GlProbe::GlProbe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        ProbeInChild(fds[1]);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    child_ = pid;
    fd_ = fds[0];
}

GlProbe::~GlProbe() {
    if (fd_ >= 0) close(fd_);
    if (child_ > 0) {
        int status = 0;
        if (waitpid(child_, &status, WNOHANG) == 0) {
            kill(child_, SIGKILL);
            waitpid(child_, &status, 0);
        }
    }
}

std::optional<std::string> GlProbe::Renderer(int timeoutMs) {
    if (asked_) return answer_;
    asked_ = true;
    if (fd_ < 0) return std::nullopt;
    std::string name;
    char buffer[kMaxName];
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt; // too slow to be a GL worth having
        pollfd p{fd_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the child is done
        name.append(buffer, static_cast<size_t>(n));
        if (name.size() > kMaxName) return std::nullopt;
    }
    if (!name.empty()) answer_ = name;
    return answer_;
}

} // namespace pondlark
