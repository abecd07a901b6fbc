// Every sound effect the game plays, one row each: the name the code calls it by, the file name it
// has in the sound archive (Data/Music.dxw), whether it loops, and how many copies may play at
// once. The asset generator writes the archive from this table and the game plays from it, so a
// sound the code names is always in the archive and a misspelt one does not compile.
//
// Adding a sound: a row here (in the enum and the table, same place), and its synthesis in
// tools/assetgen/sound/Sounds.cpp (the switch there fails to compile without it).
#pragma once

#include "game/TableOrder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pondlark {

enum class TSound : uint8_t {
    ButtonUp,      // a pointer over a menu item
    ButtonDown,    // a menu item chosen
    Pause,         // the exit question opens
    AfterPause,    // the exit question closes
    PondAmbience,  // looped under the pond
    ShoreAmbience, // looped under the feast
    MidgeBuzz,
    FlyBuzz,
    MosquitoBuzz,
    SkaterBuzz,
    BeeBuzz,
    Gulp,          // an insect eaten on an empty stomach
    Coin,          // a coin taken in the pond
    ExtraLife,     // an extra life taken in the pond
    LilyBite,      // a hunter lily closes on the frog
    CrocodileSnap, // the crocodile strikes
    StorkStrike,   // the stork hits the frog
    Splash,        // the frog drowns
    FrogAppears,   // a pond begins
    Croak,         // a jump
    Bell,          // the feast's last seconds
    Tongue,        // the tongue shoots
    BottleUp,      // hunger grows
    BottleDown,    // hunger falls
};

struct TSoundRow {
    TSound Sound;
    const char* File; // its name in the archive, found ignoring case
    bool Looped;
    int32_t MostAtOnce;
};

// clang-format off
inline constexpr std::array kSoundTable{
    //        sound                  file           looped most at once
    TSoundRow{TSound::ButtonUp,      "button_up",   false, 1},
    TSoundRow{TSound::ButtonDown,    "button_down", false, 2},
    TSoundRow{TSound::Pause,         "pause",       false, 1},
    TSoundRow{TSound::AfterPause,    "after_pause", false, 1},
    TSoundRow{TSound::PondAmbience,  "fon1",        true,  1},
    TSoundRow{TSound::ShoreAmbience, "fon2",        true,  1},
    TSoundRow{TSound::MidgeBuzz,     "mushka",      true,  1},
    TSoundRow{TSound::FlyBuzz,       "muha",        true,  1},
    TSoundRow{TSound::MosquitoBuzz,  "komar",       true,  1},
    TSoundRow{TSound::SkaterBuzz,    "vodomerka",   true,  1},
    TSoundRow{TSound::BeeBuzz,       "pchel",       true,  1},
    TSoundRow{TSound::Gulp,          "food",        false, 2},
    TSoundRow{TSound::Coin,          "dollar",      false, 2},
    TSoundRow{TSound::ExtraLife,     "life",        false, 1},
    TSoundRow{TSound::LilyBite,      "kuv_eat",     false, 1},
    TSoundRow{TSound::CrocodileSnap, "kroco",       false, 1},
    TSoundRow{TSound::StorkStrike,   "aist_eat",    false, 1},
    TSoundRow{TSound::Splash,        "brizg",       false, 2},
    TSoundRow{TSound::FrogAppears,   "frog_bir",    false, 1},
    TSoundRow{TSound::Croak,         "kvak",        false, 1},
    TSoundRow{TSound::Bell,          "bell",        false, 1},
    TSoundRow{TSound::Tongue,        "iazik",       false, 1},
    TSoundRow{TSound::BottleUp,      "bottle_up",   false, 1},
    TSoundRow{TSound::BottleDown,    "bottle_down", false, 1},
};
// clang-format on

static_assert(RowsInEnumOrder<&TSoundRow::Sound>(kSoundTable, TSound::BottleDown),
              "one row per sound, in the enum's order");

constexpr const TSoundRow& SoundRow(TSound sound) {
    return kSoundTable[static_cast<size_t>(sound)];
}
constexpr const char* SoundFile(TSound sound) {
    return SoundRow(sound).File;
}

} // namespace pondlark
