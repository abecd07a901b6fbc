// The module player: XM songs decoded by libopenmpt and rendered inside the sound mixer's
// callback as its music source, so music and effects share one device.
//
// The four calls mirror the module-player library the game was written against: a handle of 0
// means "no song" and every call accepts it. Songs loop forever; `SongGetOrder` reports the
// order position reached by the audio rendered so far, 0 again once the song has wrapped.
//
// Threads: the game thread loads, plays, frees and asks for the order; the audio thread renders.
// libopenmpt is not thread-safe, so each module is touched only under `mutex_` (rendering holds
// it for one callback); the order is published through an atomic, so asking for it never waits
// on the audio thread. Lifetime: the mixer must outlive the player; the player detaches itself
// from the mixer when it goes, and frees every song still loaded.
#pragma once

#include "engine/TSoundMixer.h"
#include "platform/Platform.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

struct openmpt_module;

namespace pondlark {

using SongHandle = uint32_t; // 0 = none

class TMusicPlayer final : public IAudioSource {
public:
    explicit TMusicPlayer(TSoundMixer& mixer);
    ~TMusicPlayer() override;
    TMusicPlayer(const TMusicPlayer&) = delete;
    TMusicPlayer& operator=(const TMusicPlayer&) = delete;

    // The largest song file read. The game's songs are tens of kilobytes; a module of a few
    // megabytes of samples still fits, while a song with hundreds of megabytes appended (or a
    // device in its place) is refused before it costs memory or a stall.
    static constexpr uint64_t kMaxSongBytes = uint64_t{16} << 20;

    // 0 when the file cannot be read or is not a module libopenmpt accepts; nothing is raised.
    // Only regular files of at most kMaxSongBytes are read (a FIFO never blocks the call); a path
    // that exists but is refused is said once on standard error, a missing one silently.
    SongHandle SongLoadFromFile(const std::string& path);
    // Starts (or restarts from the current position) a loaded song in the background.
    void SongPlay(SongHandle song);
    // Stops and releases the song; the handle is dead afterwards.
    void SongFree(SongHandle song);
    // The current order (pattern-list position) of the song; 0 for an unknown handle.
    int32_t SongGetOrder(SongHandle song) const;

    // Audio thread.
    void Render(float* stereo, int frames) override;

private:
    struct Song {
        openmpt_module* module = nullptr;
        bool playing = false;
        std::atomic<int32_t> order{0};
    };

    TSoundMixer& mixer_;
    mutable std::mutex mutex_;
    std::map<SongHandle, std::unique_ptr<Song>> songs_;
    SongHandle nextHandle_ = 1;
    std::set<std::string> refused_; // paths already reported, game thread only
    std::atomic<int> rate_{TSoundMixer::kDefaultRate};
};

} // namespace pondlark
