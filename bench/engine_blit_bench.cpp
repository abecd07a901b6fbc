// Colour-keyed drawing and rotated drawing of the image list against SDL on the same pictures.
// The *Ratio benchmarks time both sides in one run and report `sdl_over_ours`: above 1 means
// the image list is faster than SDL. The keyed blit is compared with SDL's plain keyed blit and
// with its run-length accelerated one (SDL_RLEACCEL), which skips transparent runs as ours does.
#include "engine/TDXImageList.h"
#include "platform/HeadlessPlatform.h"

#include <SDL.h>
#include <SDL2_rotozoom.h>
#include <benchmark/benchmark.h>

#include <chrono>

using namespace pondlark;

namespace {

constexpr uint32_t kKey = 0xFF00FF;

// A sprite-like picture: a filled disc on the key colour.
TDibImage Disc(int size) {
    TDibImage img;
    img.Width = img.Height = size;
    img.BitCount = 24;
    img.Pixels.resize(static_cast<size_t>(size) * size);
    const int r = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.Pixels[static_cast<size_t>(y) * size + x] =
                (x - r) * (x - r) + (y - r) * (y - r) < r * r
                    ? static_cast<uint32_t>(x * 3 << 16 | y * 5 << 8 | 0x40)
                    : kKey;
    return img;
}

struct Scene {
    HeadlessPlatform platform;
    TDXDraw display{platform, ""};
    TDXImageList list;
    TPictureCollectionItem* item = nullptr;
    SDL_Surface* sdlDest = nullptr;
    SDL_Surface* sdlSrc = nullptr;
    SDL_Surface* sdlSrcRle = nullptr;

    explicit Scene(int size) {
        display.SetSurfaceWidth(800);
        display.SetSurfaceHeight(600);
        display.Initialize();
        list.SetDXDraw(&display);
        item = &list.Items.Add();
        item->SetTransparentColor(ColorOfPixel(kKey));
        const TDibImage img = Disc(size);
        item->SetPicture(img);
        item->Restore();
        sdlDest = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_RGB888);
        sdlSrc = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGB888);
        for (int y = 0; y < size; ++y)
            std::copy_n(img.Pixels.data() + static_cast<size_t>(y) * size, size,
                        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(sdlSrc->pixels) +
                                                    y * sdlSrc->pitch));
        SDL_SetColorKey(sdlSrc, SDL_TRUE, kKey);
        sdlSrcRle = SDL_DuplicateSurface(sdlSrc);
        SDL_SetColorKey(sdlSrcRle, SDL_TRUE, kKey);
        SDL_SetSurfaceRLE(sdlSrcRle, 1);
        // SDL encodes the runs on the first blit; ours finds its runs on the first draw.
        Sdl(0);
        SdlRle(0);
        Ours(0);
    }
    ~Scene() {
        SDL_FreeSurface(sdlSrcRle);
        SDL_FreeSurface(sdlSrc);
        SDL_FreeSurface(sdlDest);
    }
    void Ours(int i) { item->Draw(display.Surface(), (i * 37) % 700, (i * 53) % 500, 0); }
    void Sdl(int i) {
        SDL_Rect at{(i * 37) % 700, (i * 53) % 500, 0, 0};
        SDL_BlitSurface(sdlSrc, nullptr, sdlDest, &at);
    }
    void SdlRle(int i) {
        SDL_Rect at{(i * 37) % 700, (i * 53) % 500, 0, 0};
        SDL_BlitSurface(sdlSrcRle, nullptr, sdlDest, &at);
    }
    void OursRotated(int i) {
        item->DrawRotated(display.Surface(), 400, 300, item->Width(), item->Height(), 0, 0.5, 0.5,
                          i * 7);
    }
    void SdlRotated(int i) {
        SDL_Surface* turned =
            rotozoomSurface(sdlSrc, -(i * 7 % 256) * 360.0 / 256.0, 1.0, SMOOTHING_OFF);
        SDL_SetColorKey(turned, SDL_TRUE, kKey);
        SDL_Rect at{400 - turned->w / 2, 300 - turned->h / 2, 0, 0};
        SDL_BlitSurface(turned, nullptr, sdlDest, &at);
        SDL_FreeSurface(turned);
    }
};

void BM_KeyedDraw(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        scene.Ours(i++);
}
void BM_SdlKeyedBlit(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        scene.Sdl(i++);
}
void BM_SdlRleKeyedBlit(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        scene.SdlRle(i++);
}
void BM_DrawRotated(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        scene.OursRotated(i++);
}
void BM_SdlRotozoomAndBlit(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        scene.SdlRotated(i++);
}

template <void (Scene::*Ours)(int), void (Scene::*Theirs)(int)>
void Ratio(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, theirs{};
    int i = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int k = 0; k < 20; ++k)
            (scene.*Ours)(i + k);
        auto t1 = Clock::now();
        for (int k = 0; k < 20; ++k)
            (scene.*Theirs)(i + k);
        auto t2 = Clock::now();
        ours += t1 - t0;
        theirs += t2 - t1;
        i += 20;
    }
    state.counters["sdl_over_ours"] =
        std::chrono::duration<double>(theirs).count() / std::chrono::duration<double>(ours).count();
}

} // namespace

BENCHMARK(BM_KeyedDraw)->Arg(32)->Arg(64)->Arg(256);
BENCHMARK(BM_SdlKeyedBlit)->Arg(32)->Arg(64)->Arg(256);
BENCHMARK(BM_SdlRleKeyedBlit)->Arg(32)->Arg(64)->Arg(256);
BENCHMARK(BM_DrawRotated)->Arg(32)->Arg(64)->Arg(256);
BENCHMARK(BM_SdlRotozoomAndBlit)->Arg(32)->Arg(64)->Arg(256);
BENCHMARK(Ratio<&Scene::Ours, &Scene::Sdl>)->Name("KeyedDrawRatio")->Arg(32)->Arg(64)->Arg(256);
BENCHMARK(Ratio<&Scene::Ours, &Scene::SdlRle>)
    ->Name("KeyedDrawRleRatio")
    ->Arg(32)
    ->Arg(64)
    ->Arg(256);
BENCHMARK(Ratio<&Scene::OursRotated, &Scene::SdlRotated>)
    ->Name("DrawRotatedRatio")
    ->Arg(32)
    ->Arg(64)
    ->Arg(256);
