// How frames reach the screen, and the probe that decides it.
//
// A hardware GL presents the frame as one streaming texture almost for free. A GL that is a
// software rasteriser (llvmpipe, softpipe, swrast) costs more to present that one texture than
// the whole frame costs to compose, and loading it adds tens of MiB to the process; there, and
// where GL is missing, SDL's software renderer presents through the window system's shared
// memory instead. Both keep the letterboxed scaling of a resized window and of full screen.
//
// The probe asks GL for its renderer's name in a child process, so a software GL driver never
// lands in the game's own memory.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace pondlark {

enum class Presentation { HardwareGl, SharedMemory };

struct PresentationChoice {
    Presentation presentation = Presentation::SharedMemory;
    std::string reason; // for the start-up log line
};

// The ways a frame can reach the window, in the order they are tried: a player is never left
// without a picture because one of them will not start (SDL's Wayland driver, for one, has no
// shared-memory surface for its software renderer).
enum class PresentPath {
    SharedMemory,  // SDL's software renderer on the window system's shared memory
    Gl,            // an accelerated (GL) renderer
    WindowSurface, // SDL's software renderer on the window surface SDL makes as it can
};
// The chosen path, then the other (shared memory <-> GL), then SDL's window surface.
std::array<PresentPath, 3> PresentationChain(Presentation chosen);
// The log line's words for a path ("presenting with GL", ...).
const char* PathName(PresentPath path);

// True for the names Mesa's software rasterisers report as GL_RENDERER.
bool IsSoftwareRasteriser(std::string_view glRenderer);

// `forced`: the value of PONDLARK_PRESENT ("gl", "shm"; null, empty or "auto" lets the probe
// decide); an unknown value is treated as "auto". `glRenderer`: the probe's answer, nullopt
// when GL is missing or the probe failed.
PresentationChoice ChoosePresentation(const char* forced,
                                      const std::optional<std::string>& glRenderer);

// True when `forced` settles the choice without a probe.
bool PresentationForced(const char* forced);

// Whether the machine has a graphics device a hardware GL could run on (a DRM node, or
// NVIDIA's own). Without one GL can only be a software rasteriser, and the probe (a process
// that loads the GL driver, a good part of start-up on a small machine) is not worth starting.
bool GraphicsDevicePresent();

// One line for the log, naming the choice and why.
std::string Describe(const PresentationChoice& choice);

class GlProbe {
public:
    // Starts the child. Call before SDL is initialized, while the process has one thread (the
    // child uses SDL from a fresh start). A failed fork leaves a probe that answers nullopt.
    GlProbe();
    // Ends and reaps a child that is still running.
    ~GlProbe();
    GlProbe(const GlProbe&) = delete;
    GlProbe& operator=(const GlProbe&) = delete;

    // The GL_RENDERER string, waiting up to `timeoutMs` for it; nullopt when GL is missing, the
    // probe failed or did not answer in time. Asked once; later calls return the same answer.
    std::optional<std::string> Renderer(int timeoutMs);

private:
    pid_t child_ = -1;
    int fd_ = -1;
    bool asked_ = false;
    std::optional<std::string> answer_;
};

} // namespace pondlark
