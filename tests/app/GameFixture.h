// A whole game on the headless platform, run from the built game folder.
#pragma once

#include "TestFolder.h"
#include "app/TMainForm.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

namespace pondlark {

struct GameFixture : ::testing::Test {
    HeadlessPlatform platform;
    std::unique_ptr<TMainForm> form;
    std::filesystem::path dir;

    // A private game folder, so tests never share Config.cfg; the data is read from the
    // built game folder, which the game never writes.
    void SetUp() override { dir = FreshTestFolder(); }
    void TearDown() override {
        form.reset();
        std::filesystem::remove_all(dir);
    }

    bool Start(uint32_t seed = 1) {
        form = std::make_unique<TMainForm>(platform, dir.string(), PONDLARK_GAME_DIR);
        form->FixRandomSeed(seed);
        return form->Start();
    }
    // Starts and shows the first frame; the start is then complete: the sound output is open,
    // the sounds are loaded and the first scene's song plays.
    bool StartShown(uint32_t seed = 1) {
        if (!Start(seed)) return false;
        Frame();
        form->Pump();
        return true;
    }
    // Press and release, with one frame between, as a player's quick tap.
    void Key(int vk, bool alt = false, bool ctrl = false) {
        platform.KeyDown(vk, alt, ctrl);
        Frame();
        platform.KeyUp(vk, alt, ctrl);
        form->Pump();
    }
    // Keeps drawing frames until a result being sent has come back; the transfer runs in real
    // time, so each frame also gives it a millisecond.
    void FinishSending() {
        while (form->SendingResult()) {
            Frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        form->Pump();
    }
    // The pixels of a rectangle of the next frame.
    std::vector<uint32_t> Strip(int left, int top, int right, int bottom) {
        Frame();
        std::vector<uint32_t> pixels;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                pixels.push_back(platform.FramePixel(x, y));
        return pixels;
    }
    // Runs until one more frame has been drawn (or 100 ms passed).
    void Frame() {
        const uint64_t before = form->FrameCount();
        for (int i = 0; i < 100 && form->FrameCount() == before; ++i) {
            form->Pump();
            if (form->FrameCount() == before) platform.Advance(1);
        }
    }
};

} // namespace pondlark
