// The platform as the game sees it, recorded or played back.
//
// `TReplaySeam` stands between the game and a real platform (the window or the headless twin).
// Live, it passes every call through. While a game is recorded, the game reads the machine once
// a pass of its loop: `BeginPass` takes the clock, the events waiting, the keyboard, the
// controllers and the focus, and every read during the pass answers from that picture (a rule's
// pause moves the pass's clock on by exactly the pause). So the window and the headless twin
// give the game the same kind of input, and one pass record (platform/Replay.h) holds all the
// game read: what changed since the last pass, and what the calls with an answer (a seed taken,
// the window state, a full-screen switch) answered. The events come first; the keyboard, the
// controllers and the focus are taken when the loop has polled the last event of the pass, as
// the game would have read them live. Playing back, the seam answers the same from
// a recorded stream; calls that only show or sound (frames, captions, the audio device) still
// reach the platform beneath, so a replay can be watched.
//
// A playback that asks for something the recording does not hold (another build's rules, a
// forged stream) is a mismatch: the seam answers something harmless, notes it, and the player
// stops. Not thread-safe: the game's one thread only.
#pragma once

#include "platform/Platform.h"
#include "platform/Replay.h"

#include <array>
#include <deque>
#include <memory>
#include <optional>

namespace pondlark {

class TReplaySeam final : public IPlatform {
public:
    // `inner` outlives the seam.
    explicit TReplaySeam(IPlatform& inner) : inner_(inner) {}

    enum class Mode { Live, Recording, Playback, Ended };
    Mode CurrentMode() const { return mode_; }
    IPlatform& Inner() { return inner_; }

    // The game loop's pass begins: recording closes the last pass record and takes the new
    // picture; playback reads the next record (a mismatch when there is none).
    void BeginPass();

    // Whether a step or a timer of the game is due in the pass under way. A recorded pass that
    // is not, and reads nothing new (no event, no change, no answer, no controller button
    // held), changes nothing in the game: it is left out, its time going to the next record.
    void SetPassDue(bool due) { passDue_ = due; }

    // Recording starts inside the pass under way: its picture is taken now, and the events
    // the loop has not polled yet are the first record's.
    void StartRecording();
    // Ends the recording with the pass under way; the input stream (empty when none ran).
    std::vector<uint8_t> StopRecording();

    // Playback of `inputs` (checked by ParseReplay). The first pass is read at once, so the
    // game can set itself up at its clock; the next `BeginPass` keeps it. The clock the game
    // reads starts at the recorded one, or later when the live clock is past it already.
    void StartPlayback(std::vector<uint8_t> inputs);
    // The recorded passes are all read (the last one's pass may still be under way).
    bool Exhausted() const;
    bool Mismatch() const { return mismatchSeen_; }
    // The game's recording ended here: from now on the seam answers live again, with the clock
    // going on from the recorded one.
    void EndPlayback();
    // The clock the played game reads, and the passes played.
    uint64_t PlaybackClock() const { return now_; }
    uint64_t PassesPlayed() const { return passes_; }

    // Held, live events stay with the platform beneath for its owner to poll (a replay's
    // viewer, whose keys are not the played game's).
    void HoldEvents(bool hold) { holdEvents_ = hold; }

    // A seed the game takes: recorded, or answered from the recording.
    uint32_t TakeSeed(uint32_t seed);

    // IPlatform.
    uint64_t Ticks() override;
    void Sleep(uint32_t ms) override;
    void WaitEvent(uint32_t ms) override;
    bool PollEvent(PlatformEvent& event) override;
    void ShowWindow() override { inner_.ShowWindow(); }
    void SetCaption(const std::string& caption) override { inner_.SetCaption(caption); }
    std::string Caption() const override { return inner_.Caption(); }
    void SetBorder(bool bordered) override { inner_.SetBorder(bordered); }
    bool SetFullScreen(bool on) override;
    bool IsFullScreen() const override { return inner_.IsFullScreen(); }
    WindowPlacement GetPlacement() const override { return inner_.GetPlacement(); }
    void SetPlacement(const WindowPlacement& placement) override { inner_.SetPlacement(placement); }
    void SetWindowState(WindowState state) override { inner_.SetWindowState(state); }
    WindowState GetWindowState() const override;
    void SetScaling(Scaling scaling) override { inner_.SetScaling(scaling); }
    bool IsForeground() const override;
    void SetCursor(Cursor cursor) override { inner_.SetCursor(cursor); }
    void Present(const uint32_t* pixels, int width, int height, int pitch) override {
        inner_.Present(pixels, width, height, pitch);
    }
    uint64_t FramesShown() const override { return inner_.FramesShown(); }
    void KeyboardState(uint8_t keys[256]) override;
    ControllerState Controllers() override;
    bool OpenAudio(int sampleRate, IAudioSource* source) override {
        return inner_.OpenAudio(sampleRate, source);
    }
    void CloseAudio() override { inner_.CloseAudio(); }
    int AudioRate() const override { return inner_.AudioRate(); }
    void MessageBox(const std::string& title, const std::string& text) override {
        inner_.MessageBox(title, text);
    }
    bool OpenUrl(const std::string& url) override { return inner_.OpenUrl(url); }
    std::unique_ptr<IFont> OpenFont(const std::string& path, int points) override {
        return inner_.OpenFont(path, points);
    }
    std::string FallbackFacePath() override { return inner_.FallbackFacePath(); }

private:
    // Recording: the keyboard, controllers and focus now, and what changed since the last.
    void TakePicture();
    // Playback: the recorded changes of the open pass.
    void ApplyPicture();
    void CloseRecordedPass();
    void PlayNextPass();
    // Playback: the next recorded answer of `kind`, or a mismatch.
    std::optional<uint32_t> Answer(TReplayCallKind kind) const;

    IPlatform& inner_;
    Mode mode_ = Mode::Live;
    uint64_t now_ = 0;
    std::deque<PlatformEvent> events_;
    std::array<uint8_t, 256> keys_{};
    uint16_t pad_ = 0;
    bool foreground_ = true;
    // Recording.
    mutable std::optional<TReplayPass> pass_;
    // Events the recording's wait held back: pointer moves wait for the next pass that has
    // more to do, so a moving mouse costs no pass of its own.
    std::deque<PlatformEvent> held_;
    bool pictureTaken_ = false;
    bool holdEvents_ = false;
    bool passDue_ = true;
    bool firstPass_ = false;
    uint64_t passClock_ = 0; // the clock the last record's pass ended at, its pauses included
    uint64_t passStart_ = 0; // the clock the open pass began at
    TReplayPassWriter writer_;
    // Playback.
    std::vector<uint8_t> inputs_;
    std::unique_ptr<TReplayPassReader> reader_;
    mutable std::deque<TReplayCall> calls_;
    mutable bool mismatchSeen_ = false;
    TReplayPass played_; // the open pass of the playback
    bool keepPass_ = false;
    uint64_t passes_ = 0;
};

} // namespace pondlark
