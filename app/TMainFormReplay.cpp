// The main window's replays: a game's recording from Start Game to its end, the state it starts
// from, and the playing back of one.

#include "app/TMainForm.h"

#include "app/SceneTable.h"
#include "game/Controls.h"
#include "game/RulesVersion.h"
#include "persist/ReplayFiles.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace pondlark {

namespace {

constexpr const char* kCaption = "PONDLARK";

// A double's bits as they stand, both ways (the browser build's library has no std::bit_cast).
uint64_t BitsOf(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double DoubleOf(uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void Flags(TByteWriter& out, std::initializer_list<bool> bits) {
    uint32_t v = 0, bit = 1;
    for (bool b : bits) {
        if (b) v |= bit;
        bit <<= 1;
    }
    out.U32(v);
}

// Reads the flags written by `Flags` into `bits`; a bit past them is a bad record.
void Flags(TByteReader& in, std::initializer_list<bool*> bits) {
    const uint32_t v = in.U32();
    if (v >> bits.size()) in.Fail();
    uint32_t bit = 1;
    for (bool* b : bits) {
        *b = (v & bit) != 0;
        bit <<= 1;
    }
}

void MenuCursor(TByteWriter& out, const TMenuCursor& c) {
    out.I32(c.Item);
    Flags(out, {c.Lit, c.Shown});
}

void MenuCursor(TByteReader& in, TMenuCursor& c) {
    c.Item = in.I32();
    Flags(in, {&c.Lit, &c.Shown});
}

template <size_t N> void KeySet(TByteWriter& out, const std::bitset<N>& set) {
    out.U16(static_cast<uint16_t>(set.count()));
    for (size_t k = 0; k < N; ++k)
        if (set.test(k)) out.U8(static_cast<uint8_t>(k));
}

template <size_t N> void KeySet(TByteReader& in, std::bitset<N>& set) {
    set.reset();
    const uint16_t count = in.U16();
    if (count > N) in.Fail();
    for (uint16_t i = 0; i < count; ++i)
        set.set(in.U8());
}

[[noreturn]] void BadStart() {
    throw EReplayFormat("damaged replay");
}

} // namespace

std::vector<uint8_t> TMainForm::SaveReplayStart(uint64_t now) const {
    TByteWriter out;
    const TShellState& sh = state_.Shell;
    const TCommandFlags& f = state_.Flags;
    Flags(out,
          {f.GameFullScreen, f.GameSound, f.GameMusic, f.GameMainExit, state_.Hints.FirstGame,
           state_.Hints.Shoot, state_.GameOverPending, state_.Starved, sh.Paused, sh.AppInactive,
           sh.ResizePending, sh.ActionKey, sh.ActionTapped, sh.AimCentred, sh.MusicRestart,
           buttonPressedSinceStep_, state_.Menus.PointerOutside, state_.Menus.BackPointerOutside});
    out.I32(state_.Hunger);
    out.I32(sh.MouseX);
    out.I32(sh.MouseY);
    out.U64(BitsOf(sh.TongueAngle));
    out.U64(BitsOf(sh.TongueAngleOffset));
    for (uint8_t v :
         {sh.CaretBlink, sh.LeftKeyDelay, sh.RightKeyDelay, sh.UpKeyDelay, sh.ActionKeyDelay})
        out.U8(v);
    MenuCursor(out, state_.Menus.Cursor);
    MenuCursor(out, state_.Menus.Answer);
    KeySet(out, keysHeld_);
    KeySet(out, keysPressedSinceStep_);
    DXInput.SaveState(out);
    padKeys_.SaveState(out, now);
    DXTimer.SaveState(out, now);
    sceneTimer_.SaveState(out, now);
    LevelTimer.SaveState(out, now);
    return std::move(out.Data());
}

void TMainForm::RestoreReplayStart(std::span<const uint8_t> bytes, uint64_t now) {
    TByteReader in(bytes, BadStart);
    TShellState& sh = state_.Shell;
    TCommandFlags& f = state_.Flags;
    bool fullScreen = false;
    Flags(in, {&fullScreen, &f.GameSound, &f.GameMusic, &f.GameMainExit, &state_.Hints.FirstGame,
               &state_.Hints.Shoot, &state_.GameOverPending, &state_.Starved, &sh.Paused,
               &sh.AppInactive, &sh.ResizePending, &sh.ActionKey, &sh.ActionTapped, &sh.AimCentred,
               &sh.MusicRestart, &buttonPressedSinceStep_, &state_.Menus.PointerOutside,
               &state_.Menus.BackPointerOutside});
    state_.Hunger = in.I32();
    sh.MouseX = in.I32();
    sh.MouseY = in.I32();
    sh.TongueAngle = DoubleOf(in.U64());
    sh.TongueAngleOffset = DoubleOf(in.U64());
    for (uint8_t* v :
         {&sh.CaretBlink, &sh.LeftKeyDelay, &sh.RightKeyDelay, &sh.UpKeyDelay, &sh.ActionKeyDelay})
        *v = in.U8();
    MenuCursor(in, state_.Menus.Cursor);
    MenuCursor(in, state_.Menus.Answer);
    KeySet(in, keysHeld_);
    KeySet(in, keysPressedSinceStep_);
    DXInput.RestoreState(in);
    padKeys_.RestoreState(in, now);
    DXTimer.RestoreState(in, now);
    sceneTimer_.RestoreState(in, now);
    LevelTimer.RestoreState(in, now);
    if (!in.AtEnd()) BadStart();
}

void TMainForm::StartGameRecord() {
    finished_.reset();
    if (!RecordGames || seam_.CurrentMode() != TReplaySeam::Mode::Live) return;
    recordStart_ = SaveReplayStart(platform_.Ticks());
    seam_.StartRecording();
    recordFrom_ = frameCount_;
}

void TMainForm::EndGameRecord() {
    const TReplayEnd end =
        state_.GameOverPending || state_.Lives <= 0 ? TReplayEnd::GameOver : TReplayEnd::Quit;
    switch (seam_.CurrentMode()) {
    case TReplaySeam::Mode::Recording: {
        TReplay r;
        r.RulesVersion = kRulesVersion;
        r.Start = std::move(recordStart_);
        r.Inputs = seam_.StopRecording();
        r.End = end;
        r.Score = state_.Score;
        r.Level = state_.Level;
        r.Steps = static_cast<uint32_t>(frameCount_ - recordFrom_);
        finished_ = std::move(r);
        break;
    }
    case TReplaySeam::Mode::Playback:
        seam_.EndPlayback();
        replayEnd_ = end;
        replaySteps_ = frameCount_ - recordFrom_;
        break;
    default:
        break;
    }
}

bool TMainForm::BeginReplay(const TReplay& replay) {
    // The recorded start is tried first and the form's own put back, so a bad one changes
    // nothing.
    const std::vector<uint8_t> saved = SaveReplayStart(platform_.Ticks());
    try {
        RestoreReplayStart(replay.Start, platform_.Ticks());
    } catch (const EReplayFormat&) {
        RestoreReplayStart(saved, platform_.Ticks());
        return false;
    }
    RestoreReplayStart(saved, platform_.Ticks());
    if (state_.Scene != TScene::MainMenu) SwitchScene(TScene::MainMenu);
    const bool fullScreen = (replay.Start.size() >= 4 && (replay.Start[0] & 1) != 0);
    if (fullScreen != state_.Flags.GameFullScreen) GameFullScreenClick();
    seam_.StartPlayback(replay.Inputs);
    RestoreReplayStart(replay.Start, platform_.Ticks());
    state_.Flags.GameFullScreen = fullScreen;
    replayEnd_ = TReplayEnd::None;
    recordFrom_ = frameCount_;
    SwitchScene(TScene::Pond);
    return true;
}

std::string TMainForm::ReplaysFolder() const {
    return GamePath(kReplaysFolder);
}

void TMainForm::KeepReplay(int place) {
    if (!finished_ || place < 0 || place >= static_cast<int>(kHighScoreCount)) return;
    finished_->Name = NameEntry;
    finished_->Country = CountryEntry;
    const THighScore& entry = state_.HighScores[static_cast<size_t>(place)];
    std::string error;
    try {
        error = WriteReplayFile(ReplaysFolder(), entry, EncodeReplay(*finished_));
    } catch (const EReplayFormat& e) {
        error = e.what();
    }
    if (!error.empty()) {
        // The game goes on without it; one word of it is enough.
        if (!replayFolderFailed_)
            std::fprintf(stderr, "pondlark: replay not kept: %s\n", error.c_str());
        replayFolderFailed_ = true;
        return;
    }
    PruneReplayFiles(ReplaysFolder(), state_.HighScores);
}

std::string TMainForm::ReplayFileOf(int place) const {
    if (place < 0 || place >= static_cast<int>(kHighScoreCount)) return {};
    return ReplaysFolder() + "/" + ReplayFileName(state_.HighScores[static_cast<size_t>(place)]);
}

bool TMainForm::HasReplay(int place) {
    const std::string path = ReplayFileOf(place);
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void TMainForm::WatchReplay(int place) {
    if (viewer_ || !HasReplay(place)) return;
    const THighScore& entry = state_.HighScores[static_cast<size_t>(place)];
    const std::string whose =
        "The game of " + entry.Name + " (" + std::to_string(entry.Score) + ") cannot be shown.\n";
    std::string error;
    const std::optional<TReplay> replay = ReadReplayFile(ReplayFileOf(place), error);
    if (!replay) {
        std::fprintf(stderr, "pondlark: %s\n", error.c_str());
        platform_.MessageBox(kCaption, whose + error);
        return;
    }
    auto viewer = std::make_unique<TReplayViewer>(platform_, dataDir_, true);
    viewer->SoundsMayComeLater = SoundsMayComeLater;
    if (!viewer->Begin(*replay)) {
        const std::string problem = viewer->Result().Problem;
        viewer.reset();
        std::fprintf(stderr, "pondlark: %s: %s\n", ReplayFileOf(place).c_str(), problem.c_str());
        platform_.MessageBox(kCaption, whose + problem);
        return;
    }
    lastWatched_.reset();
    viewerWait_ = 0;
    viewer_ = std::move(viewer);
}

bool TMainForm::ViewerLeaves(int key) {
    if (IsKey(TKeyAction::Back, key)) return true;
    if (IsKey(TKeyAction::Pause, key)) {
        viewer_->TogglePause();
        return false;
    }
    return viewer_->Over() && IsKey(TKeyAction::Choose, key);
}

void TMainForm::PassViewer() {
    viewerWait_ = viewer_->Pass();
    // A replay that stops fitting the game is left at once, with word of it.
    if (const TPlayedReplay played = viewer_->Result(); !played.Problem.empty()) {
        LeaveViewer();
        platform_.MessageBox(kCaption, "The replay stopped: " + played.Problem + ".");
    }
}

void TMainForm::LeaveViewer() {
    if (!viewer_) return;
    lastWatched_ = viewer_->Result();
    viewer_.reset();
    // The time the replay took is no time of this scene's: its frames and timers go on from
    // now, and the pointer takes the shape of what it is over.
    DXTimer.StoodStill();
    sceneTimer_.StoodStill();
    LevelTimer.StoodStill();
    platform_.SetCursor(Cursor::Arrow);
    if (const auto hover = SceneRow(state_.Scene).Hover) hover(*this);
}

} // namespace pondlark
