#include "platform/GlProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace pondlark;

TEST(Presentation, SoftwareGlAndMissingGlPresentThroughSharedMemory) {
    struct Case {
        const char* forced;
        std::optional<std::string> renderer;
        Presentation want;
    } cases[] = {
        {nullptr, "llvmpipe (LLVM 15.0.6, 256 bits)", Presentation::SharedMemory},
        {nullptr, "softpipe", Presentation::SharedMemory},
        {"", "Software Rasterizer", Presentation::SharedMemory},
        {"auto", "Mesa X11 swrast", Presentation::SharedMemory},
        {nullptr, std::nullopt, Presentation::SharedMemory},
        {nullptr, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", Presentation::HardwareGl},
        {"nonsense", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
         Presentation::HardwareGl},
        {"gl", "llvmpipe (LLVM 15.0.6, 256 bits)", Presentation::HardwareGl},
        {"GL", std::nullopt, Presentation::HardwareGl},
        {"shm", "NVIDIA GeForce GTX 1650/PCIe/SSE2", Presentation::SharedMemory},
    };
    for (const Case& c : cases) {
        const PresentationChoice choice = ChoosePresentation(c.forced, c.renderer);
        EXPECT_EQ(choice.presentation, c.want) << c.renderer.value_or("(no GL)");
        EXPECT_FALSE(choice.reason.empty());
        EXPECT_EQ(PresentationForced(c.forced), c.forced && (std::string_view(c.forced) == "gl" ||
                                                             std::string_view(c.forced) == "GL" ||
                                                             std::string_view(c.forced) == "shm"));
    }
    EXPECT_NE(Describe(ChoosePresentation(nullptr, "llvmpipe")).find("llvmpipe"), std::string::npos)
        << "the log names the renderer it turned down";
}

TEST(Presentation, EveryChoiceEndsInTheWindowSurfaceAfterTheOtherPath) {
    using P = PresentPath;
    const std::array<P, 3> afterShm{P::SharedMemory, P::Gl, P::WindowSurface};
    const std::array<P, 3> afterGl{P::Gl, P::SharedMemory, P::WindowSurface};
    EXPECT_EQ(PresentationChain(Presentation::SharedMemory), afterShm);
    EXPECT_EQ(PresentationChain(Presentation::HardwareGl), afterGl);
    // The log line of the first path stays what the window tests look for.
    EXPECT_EQ(Describe({Presentation::HardwareGl, "forced"}), "presenting with GL (forced)");
    EXPECT_EQ(std::string(PathName(P::WindowSurface)), "presenting through SDL's window surface");
}

TEST(GlProbe, AProbeThatCannotStartGlAnswersNoGl) {
    // SDL's dummy video driver (the suite's own) has no GL: the child must end without an
    // answer, and the parent must see that rather than wait out its time.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    GlProbe probe;
    EXPECT_EQ(probe.Renderer(60000), std::nullopt);
    EXPECT_EQ(probe.Renderer(0), std::nullopt) << "asked once";
}
