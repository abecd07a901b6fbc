// The peer the real window is measured against: the least an SDL2 game of this kind does. An
// 800x600 window that shows a frame drawn on the CPU every 30 ms through SDL's software
// renderer, stepping on a clock that keeps its phase, and nothing else (no data, no sound, no
// fonts, no controllers). scripts/bench-table runs it beside the game in the same X server.
//
//   pondlark-peer [--seconds N]   ends after N seconds (default: when the window is closed)
//
// At its end it writes the line the game writes with PONDLARK_STATS=1:
//   stats: steps N presented M elapsed_ms T
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    constexpr int kW = 800, kH = 600;
    constexpr uint64_t kStepMs = 30;
    constexpr uint64_t kMaxBehindMs = 5 * kStepMs;
    uint64_t seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::strtoull(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: pondlark-peer [--seconds N]\n");
            return 2;
        }
    }
    // The software renderer's window surface goes to the window system's shared memory, not
    // through a GL texture (which on a software GL would cost more than the frame).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "pondlark-peer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window =
        SDL_CreateWindow("peer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kW, kH, 0);
    SDL_Renderer* renderer =
        window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                                        SDL_TEXTUREACCESS_STREAMING, kW, kH)
                                    : nullptr;
    if (!texture) {
        std::fprintf(stderr, "pondlark-peer: %s\n", SDL_GetError());
        return 1;
    }
    std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH);
    uint64_t steps = 0, presented = 0;
    const uint64_t start = SDL_GetTicks64();
    uint64_t due = start;
    bool running = true;
    while (running) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) running = false;
        const uint64_t now = SDL_GetTicks64();
        if (seconds && now - start >= seconds * 1000) break;
        if (now < due) {
            SDL_WaitEventTimeout(nullptr, static_cast<int>(due - now));
            continue;
        }
        // One step: a band that moves down the frame, on a backdrop that is never black.
        due = now - due > kMaxBehindMs ? now + kStepMs : due + kStepMs;
        ++steps;
        const int band = static_cast<int>(steps % kH);
        for (int y = 0; y < kH; ++y) {
            const uint32_t c =
                (y >= band && y < band + 20) ? 0xffffffu : 0x204060u + static_cast<uint32_t>(y / 4);
            std::fill(frame.begin() + y * kW, frame.begin() + (y + 1) * kW, c);
        }
        SDL_UpdateTexture(texture, nullptr, frame.data(), kW * 4);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        ++presented;
    }
    std::fprintf(stderr, "stats: steps %llu presented %llu elapsed_ms %llu\n",
                 static_cast<unsigned long long>(steps), static_cast<unsigned long long>(presented),
                 static_cast<unsigned long long>(SDL_GetTicks64() - start));
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
