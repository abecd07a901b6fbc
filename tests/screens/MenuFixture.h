// A game opened at the main menu, with the effects and songs it starts recorded and the
// pointer, keys and sprite counts at hand.
#pragma once

#include "app/GameFixture.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuSprites.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pondlark {

struct Menus : GameFixture {
    std::vector<std::string> sounds, songs;

    void Open(uint32_t seed = 1) {
        ASSERT_TRUE(StartShown(seed));
        form->OnSoundStarted = [this](const std::string& s) { sounds.push_back(s); };
        form->OnSongStarted = [this](const std::string& s) { songs.push_back(s); };
        Key(vk::Escape); // intro -> menu
        ASSERT_EQ(form->State().Scene, TScene::MainMenu);
    }
    void Move(int x, int y) {
        platform.MouseMove(x, y);
        form->Pump();
    }
    void Click(int x, int y, MouseButton b = MouseButton::Left) {
        platform.MouseMove(x, y);
        platform.MouseDown(x, y, b);
        form->Pump();
        platform.MouseUp(x, y, b);
        form->Pump();
    }
    int Count(const std::string& sound) const {
        return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound));
    }
    template <class T> int Live() {
        int n = 0;
        for (int i = 0; i < form->Engine().ChildCount(); ++i) {
            TSprite* s = form->Engine().Child(i);
            n += s->IsA<T>() && !s->Dying();
        }
        return n;
    }
    void Type(const std::string& keys) {
        for (char c : keys)
            Key(c);
    }
};

} // namespace pondlark
