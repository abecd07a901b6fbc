#include "audio/TMusicPlayer.h"

#include "platform/Files.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace pondlark {

TMusicPlayer::TMusicPlayer(TSoundMixer& mixer) : mixer_(mixer) {
    mixer_.SetMusicSource(this);
}

TMusicPlayer::~TMusicPlayer() {
    mixer_.SetMusicSource(nullptr); // after this the audio thread never calls Render again
    for (auto& [handle, song] : songs_)
        openmpt_module_destroy(song->module);
}

SongHandle TMusicPlayer::SongLoadFromFile(const std::string& path) {
    TFileBytes file = ReadRegularFile(path, kMaxSongBytes);
    if (!file.ok) {
        // A missing song is the quiet way to play without music; anything else that stands in
        // its place is said once, so a player can tell why the game stays silent.
        if (!file.missing && refused_.insert(path).second)
            std::fprintf(stderr, "pondlark: song \"%s\" is not played. %s\n", path.c_str(),
                         file.reason.c_str());
        return 0;
    }
    const std::vector<uint8_t>& bytes = file.bytes;
    openmpt_module* module =
        openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!module) return 0;
    openmpt_module_set_repeat_count(module, -1);
    auto song = std::make_unique<Song>();
    song->module = module;
    std::lock_guard lock(mutex_);
    const SongHandle handle = nextHandle_++;
    songs_.emplace(handle, std::move(song));
    return handle;
}

void TMusicPlayer::SongPlay(SongHandle handle) {
    rate_ = mixer_.OutputRate(); // read here: the mixer's lock is never taken inside Render
    std::lock_guard lock(mutex_);
    auto it = songs_.find(handle);
    if (it != songs_.end()) it->second->playing = true;
}

void TMusicPlayer::SongFree(SongHandle handle) {
    std::unique_ptr<Song> song;
    {
        std::lock_guard lock(mutex_);
        auto it = songs_.find(handle);
        if (it == songs_.end()) return;
        song = std::move(it->second);
        songs_.erase(it);
    }
    openmpt_module_destroy(song->module);
}

int32_t TMusicPlayer::SongGetOrder(SongHandle handle) const {
    // No lock: only the game thread changes the song table, and the audio thread only reads
    // it, so this read cannot race; the order itself is atomic.
    auto it = songs_.find(handle);
    return it == songs_.end() ? 0 : it->second->order.load();
}

void TMusicPlayer::Render(float* stereo, int frames) {
    const size_t n = static_cast<size_t>(std::max(frames, 0));
    std::fill(stereo, stereo + 2 * n, 0.0f);
    std::lock_guard lock(mutex_);
    bool first = true;
    std::vector<float> extra; // only when two songs play at once, which the game never does
    for (auto& [handle, song] : songs_) {
        if (!song->playing) continue;
        float* target = stereo;
        if (!first) {
            extra.assign(2 * n, 0.0f);
            target = extra.data();
        }
        openmpt_module_read_interleaved_float_stereo(song->module, rate_.load(), n, target);
        if (!first)
            for (size_t i = 0; i < 2 * n; ++i)
                stereo[i] += extra[i];
        first = false;
        song->order = openmpt_module_get_current_order(song->module);
    }
}

} // namespace pondlark
