#include "platform/ReplaySeam.h"

#include <algorithm>

namespace pondlark {

namespace {
bool Recorded(TReplaySeam::Mode m) {
    return m == TReplaySeam::Mode::Recording;
}
bool Played(TReplaySeam::Mode m) {
    return m == TReplaySeam::Mode::Playback || m == TReplaySeam::Mode::Ended;
}
} // namespace

void TReplaySeam::StartRecording() {
    mode_ = Mode::Recording;
    writer_ = TReplayPassWriter{};
    keys_.fill(0);
    pad_ = 0;
    foreground_ = true;
    now_ = inner_.Ticks();
    passClock_ = 0; // the first record's advance is the clock itself
    passStart_ = now_;
    pass_.emplace();
    pictureTaken_ = false;
    firstPass_ = true;
}

void TReplaySeam::CloseRecordedPass() {
    if (!pass_) return;
    // A pass that ended before its loop polled the last event still records what it read.
    if (!pictureTaken_) TakePicture();
    const TReplayPass& p = *pass_;
    if (!firstPass_ && !passDue_ && p.Events.empty() && p.KeyChanges.empty() && !p.PadChanged &&
        !p.FocusFlipped && p.Calls.empty() && pad_ == 0) {
        pass_.reset();
        return;
    }
    firstPass_ = false;
    // A record's advance takes the played clock from where the last pass ended (its pauses
    // included, which the playback adds again as it runs them) to where this one began.
    pass_->ClockAdvance = passStart_ - passClock_;
    writer_.Write(*pass_);
    passClock_ = now_;
    pass_.reset();
}

std::vector<uint8_t> TReplaySeam::StopRecording() {
    if (!Recorded(mode_)) return {};
    passDue_ = true; // the pass the game ended in
    CloseRecordedPass();
    mode_ = Mode::Live;
    // Events held back for the next pass go to the game live.
    std::vector<uint8_t> bytes = std::move(writer_.Bytes());
    writer_ = TReplayPassWriter{};
    return bytes;
}

void TReplaySeam::TakePicture() {
    pictureTaken_ = true;
    uint8_t keys[256] = {};
    inner_.KeyboardState(keys);
    for (int k = 0; k < 256; ++k)
        if (keys[k] != keys_[static_cast<size_t>(k)]) {
            keys_[static_cast<size_t>(k)] = keys[k];
            pass_->KeyChanges.emplace_back(static_cast<uint8_t>(k), keys[k]);
        }
    const uint16_t pad = PadBits(inner_.Controllers());
    if (pad != pad_) pass_->PadChanged = true, pass_->Pad = pad_ = pad;
    const bool foreground = inner_.IsForeground();
    if (foreground != foreground_) pass_->FocusFlipped = true, foreground_ = foreground;
}

void TReplaySeam::StartPlayback(std::vector<uint8_t> inputs) {
    mode_ = Mode::Playback;
    inputs_ = std::move(inputs);
    reader_ = std::make_unique<TReplayPassReader>(inputs_);
    keys_.fill(0);
    pad_ = 0;
    foreground_ = true;
    events_.clear();
    calls_.clear();
    mismatchSeen_ = false;
    passes_ = 0;
    now_ = 0;
    PlayNextPass();
    // A live clock already past the recorded start: the game's clocks only go forwards.
    now_ = std::max(now_, inner_.Ticks());
    keepPass_ = true;
}

bool TReplaySeam::Exhausted() const {
    return mode_ != Mode::Playback || !reader_ || reader_->AtEnd();
}

void TReplaySeam::PlayNextPass() {
    // Answers recorded for the last pass that the game did not ask for: it went elsewhere.
    if (!calls_.empty()) mismatchSeen_ = true;
    calls_.clear();
    events_.clear();
    if (!reader_ || reader_->AtEnd()) {
        mismatchSeen_ = true;
        played_ = TReplayPass{};
        pictureTaken_ = true;
        return;
    }
    try {
        played_ = reader_->Next();
    } catch (const EReplayFormat&) {
        mismatchSeen_ = true;
        reader_.reset();
        played_ = TReplayPass{};
        pictureTaken_ = true;
        return;
    }
    ++passes_;
    now_ += played_.ClockAdvance;
    events_.assign(played_.Events.begin(), played_.Events.end());
    calls_.assign(played_.Calls.begin(), played_.Calls.end());
    pictureTaken_ = false;
}

void TReplaySeam::ApplyPicture() {
    pictureTaken_ = true;
    for (const auto& [key, flags] : played_.KeyChanges)
        keys_[key] = flags;
    if (played_.PadChanged) pad_ = played_.Pad;
    if (played_.FocusFlipped) foreground_ = !foreground_;
}

void TReplaySeam::EndPlayback() {
    if (mode_ != Mode::Playback) return;
    mode_ = Mode::Ended;
    calls_.clear();
    events_.clear();
}

void TReplaySeam::BeginPass() {
    if (Recorded(mode_)) {
        CloseRecordedPass();
        now_ = std::max(now_, inner_.Ticks());
        passStart_ = now_;
        pass_.emplace();
        pictureTaken_ = false;
    } else if (mode_ == Mode::Playback) {
        if (keepPass_)
            keepPass_ = false;
        else
            PlayNextPass();
    }
}

uint64_t TReplaySeam::Ticks() {
    return mode_ == Mode::Live ? inner_.Ticks() : now_;
}

void TReplaySeam::Sleep(uint32_t ms) {
    // A rule's pause lasts exactly its length in the game's time, however long the machine
    // took; the recorded pass goes on from there.
    if (mode_ != Mode::Live) now_ += ms;
    if (!Played(mode_)) inner_.Sleep(ms);
}

void TReplaySeam::WaitEvent(uint32_t ms) {
    if (Played(mode_)) return; // the player paces the passes
    if (!Recorded(mode_)) {
        inner_.WaitEvent(ms);
        return;
    }
    // Pointer moves alone do not end the wait: they are handed over, the last of a row only,
    // with the next pass that is due anyway or has a key, a button or the window's news.
    const uint64_t deadline = inner_.Ticks() + ms;
    for (;;) {
        const uint64_t now = inner_.Ticks();
        if (now >= deadline) return;
        inner_.WaitEvent(static_cast<uint32_t>(deadline - now));
        bool news = false;
        for (PlatformEvent e; inner_.PollEvent(e);) {
            if (e.type == PlatformEvent::Type::MouseMove && !held_.empty() &&
                held_.back().type == PlatformEvent::Type::MouseMove)
                held_.back() = e;
            else
                held_.push_back(e);
            news = news || e.type != PlatformEvent::Type::MouseMove;
        }
        if (news) return;
    }
}

bool TReplaySeam::PollEvent(PlatformEvent& event) {
    if (mode_ == Mode::Live) {
        if (holdEvents_) return false;
        if (!held_.empty()) {
            event = held_.front();
            held_.pop_front();
            return true;
        }
        return inner_.PollEvent(event);
    }
    if (Recorded(mode_)) {
        bool got = false;
        if (!held_.empty()) {
            event = held_.front();
            held_.pop_front();
            got = true;
        } else {
            got = inner_.PollEvent(event);
        }
        if (got) {
            if (pictureTaken_) {
                // An event that came after the picture (the pass polls again): the next pass's.
                held_.push_front(event);
                return false;
            }
            pass_->Events.push_back(event);
            return true;
        }
        if (!pictureTaken_) TakePicture();
        return false;
    }
    if (!events_.empty() && !pictureTaken_) {
        event = events_.front();
        events_.pop_front();
        return true;
    }
    if (!pictureTaken_) ApplyPicture();
    return false;
}

std::optional<uint32_t> TReplaySeam::Answer(TReplayCallKind kind) const {
    if (mode_ != Mode::Playback) return std::nullopt;
    if (calls_.empty() || calls_.front().Kind != kind) {
        mismatchSeen_ = true;
        return std::nullopt;
    }
    const uint32_t value = calls_.front().Value;
    calls_.pop_front();
    return value;
}

uint32_t TReplaySeam::TakeSeed(uint32_t seed) {
    if (Recorded(mode_)) pass_->Calls.push_back({TReplayCallKind::Seed, seed});
    if (Played(mode_)) return Answer(TReplayCallKind::Seed).value_or(seed);
    return seed;
}

bool TReplaySeam::SetFullScreen(bool on) {
    if (Played(mode_)) return Answer(TReplayCallKind::FullScreen).value_or(1) != 0;
    const bool done = inner_.SetFullScreen(on);
    if (Recorded(mode_)) pass_->Calls.push_back({TReplayCallKind::FullScreen, done ? 1u : 0u});
    return done;
}

WindowState TReplaySeam::GetWindowState() const {
    if (Played(mode_))
        return Answer(TReplayCallKind::WindowState).value_or(0) != 0 ? WindowState::Maximized
                                                                     : WindowState::Normal;
    const WindowState state = inner_.GetWindowState();
    if (Recorded(mode_))
        pass_->Calls.push_back(
            {TReplayCallKind::WindowState, state == WindowState::Maximized ? 1u : 0u});
    return state;
}

bool TReplaySeam::IsForeground() const {
    return mode_ == Mode::Live ? inner_.IsForeground() : foreground_;
}

void TReplaySeam::KeyboardState(uint8_t keys[256]) {
    if (mode_ == Mode::Live) {
        inner_.KeyboardState(keys);
        return;
    }
    std::copy(keys_.begin(), keys_.end(), keys);
}

ControllerState TReplaySeam::Controllers() {
    return mode_ == Mode::Live ? inner_.Controllers() : PadFromBits(pad_);
}

} // namespace pondlark
