#include "app/ReplayPlayer.h"

#include "app/TMainForm.h"
#include "game/RulesVersion.h"
#include "platform/Files.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace pondlark {

// A fresh private folder for the played game's Config.cfg, removed with the object.
class TTempHome {
public:
    TTempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pondlark-replay-XXXXXX");
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TTempHome() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TTempHome(const TTempHome&) = delete;
    TTempHome& operator=(const TTempHome&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

namespace {

// The window of a game played inside another game's: frames, the pointer's shape, the clock
// and fonts are the real window's; what would change the window itself, its sound or its
// events stays here, answered as a window that does as it is told.
class TGuestWindow final : public IPlatform {
public:
    explicit TGuestWindow(IPlatform& host) : host_(host) {}

    uint64_t Ticks() override { return host_.Ticks(); }
    void Sleep(uint32_t ms) override { host_.Sleep(ms); }
    // No event ever comes to it, so a wait lasts its whole length (the real window's queue
    // is its owner's, and would cut it short).
    void WaitEvent(uint32_t ms) override { host_.Sleep(ms); }
    bool PollEvent(PlatformEvent&) override { return false; }
    void ShowWindow() override {}
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void SetBorder(bool) override {}
    bool SetFullScreen(bool on) override {
        fullScreen_ = on;
        return true;
    }
    bool IsFullScreen() const override { return fullScreen_; }
    WindowPlacement GetPlacement() const override { return placement_; }
    void SetPlacement(const WindowPlacement& placement) override { placement_ = placement; }
    void SetWindowState(WindowState state) override { placement_.state = state; }
    WindowState GetWindowState() const override { return placement_.state; }
    void SetScaling(Scaling) override {}
    bool IsForeground() const override { return host_.IsForeground(); }
    void SetCursor(Cursor cursor) override { host_.SetCursor(cursor); }
    void Present(const uint32_t* pixels, int width, int height, int pitch) override {
        host_.Present(pixels, width, height, pitch);
    }
    uint64_t FramesShown() const override { return host_.FramesShown(); }
    void KeyboardState(uint8_t keys[256]) override { std::fill(keys, keys + 256, uint8_t{0}); }
    ControllerState Controllers() override { return {}; }
    bool OpenAudio(int, IAudioSource*) override { return false; }
    void CloseAudio() override {}
    int AudioRate() const override { return 0; }
    void MessageBox(const std::string& title, const std::string& text) override {
        host_.MessageBox(title, text);
    }
    bool OpenUrl(const std::string&) override { return false; }
    std::unique_ptr<IFont> OpenFont(const std::string& path, int points) override {
        return host_.OpenFont(path, points);
    }
    std::string FallbackFacePath() override { return host_.FallbackFacePath(); }

private:
    IPlatform& host_;
    std::string caption_;
    bool fullScreen_ = false;
    WindowPlacement placement_;
};

// Runs the started form until its first frame is shown and the rest of start-up is done, so
// nothing of start-up is left to happen inside the played game.
void FinishStartUp(TMainForm& form, HeadlessPlatform* headless) {
    for (int ms = 0; ms < 1000 && form.FrameCount() == 0 && !form.Terminated(); ++ms) {
        form.Pump();
        if (form.FrameCount() == 0) {
            if (headless)
                headless->Advance(1);
            else
                form.Platform().WaitEvent(1);
        }
    }
    form.Pump();
}

constexpr const char* kReplayCaption = "PONDLARK [Replay]";

const char* EndWords(TReplayEnd end) {
    return end == TReplayEnd::GameOver ? "game over" : end == TReplayEnd::Quit ? "quit" : "none";
}

} // namespace

std::optional<TReplay> ReadReplayFile(const std::string& path, std::string& error) {
    const TFileBytes file = ReadRegularFile(path, kReplayMaxBytes);
    if (!file.ok) {
        error = "cannot read the replay " + path + ": " + file.reason;
        return std::nullopt;
    }
    try {
        TReplay replay = ParseReplay(file.bytes);
        if (replay.RulesVersion == kRulesVersion) return replay;
        error = path + ": another rules version";
    } catch (const EReplayFormat& e) {
        error = path + ": " + e.what();
    }
    return std::nullopt;
}

TPlayedReplay PlayReplayHeadless(const TReplay& replay, const std::string& dataDir, bool draw,
                                 uint64_t budgetMs) {
    TPlayedReplay out;
    TTempHome home;
    if (home.Path().empty()) {
        out.Problem = "no temporary folder";
        return out;
    }
    HeadlessPlatform platform;
    platform.SetAudioAvailable(false);
    TMainForm form(platform, home.Path(), dataDir);
    form.RecordGames = false;
    form.DrawFrames = draw;
    if (!form.Start() || form.StartFailed()) {
        out.Problem = "the game would not start";
        return out;
    }
    FinishStartUp(form, &platform);
    if (!form.BeginReplay(replay)) {
        out.Problem = "damaged replay";
        return out;
    }
    TReplaySeam& seam = form.Seam();
    const uint64_t startClock = seam.PlaybackClock();
    while (form.ReplayEnd() == TReplayEnd::None && !seam.Mismatch() && !form.Terminated()) {
        if (seam.Exhausted()) break;
        if (seam.PlaybackClock() - startClock > budgetMs) {
            out.Problem = "over the " + std::to_string(budgetMs / 60000) + "-minute budget";
            break;
        }
        form.Pump();
    }
    const TGameState& s = form.State();
    out.End = form.ReplayEnd();
    out.Score = s.Score;
    out.Level = s.Level;
    out.Steps = form.ReplaySteps();
    out.GameMs = seam.PlaybackClock() - startClock;
    if (!out.Problem.empty()) return out;
    if (seam.Mismatch())
        out.Problem = "the replay does not fit the game";
    else if (out.End == TReplayEnd::None)
        out.Problem = "the replay stops before the game ends";
    else if (!seam.Exhausted())
        out.Problem = "the game ends before the replay";
    else
        out.Played = true;
    return out;
}

TReplayVerdict VerifyReplay(std::span<const uint8_t> bytes, const TReplayClaim& claim,
                            const std::string& dataDir) {
    TReplayVerdict v;
    TReplay replay;
    try {
        replay = ParseReplay(bytes);
    } catch (const EReplayFormat& e) {
        v.Reason = e.what();
        return v;
    }
    if (replay.RulesVersion != kRulesVersion) {
        v.Reason = "another rules version";
        return v;
    }
    // What the trailer says must be what is claimed before any time goes into playing it.
    if (replay.Token != claim.Token) {
        v.Reason = "another token";
        return v;
    }
    if (replay.Name != claim.Name) {
        v.Reason = "another name";
        return v;
    }
    if (replay.Country != claim.Country) {
        v.Reason = "another country";
        return v;
    }
    if (replay.Score != claim.Score) {
        v.Reason = "score differs (claimed " + std::to_string(claim.Score) + ", replay says " +
                   std::to_string(replay.Score) + ")";
        return v;
    }
    if (replay.DurationMs > kReplayBudgetMs) {
        v.Reason = "over the 60-minute budget";
        return v;
    }
    const TPlayedReplay played = PlayReplayHeadless(replay, dataDir);
    v.Score = played.Score;
    v.Level = played.Level;
    v.Frames = played.Steps;
    if (!played.Played) {
        v.Reason = played.Problem;
    } else if (played.End != replay.End) {
        v.Reason = std::string("another end (claimed ") + EndWords(replay.End) + ", played " +
                   EndWords(played.End) + ")";
    } else if (played.Score != claim.Score) {
        v.Reason = "score differs (claimed " + std::to_string(claim.Score) + ", played " +
                   std::to_string(played.Score) + ")";
    } else if (played.Level != replay.Level) {
        v.Reason = "level differs (claimed " + std::to_string(replay.Level) + ", played " +
                   std::to_string(played.Level) + ")";
    } else if (played.Steps != replay.Steps) {
        v.Reason = "steps differ (claimed " + std::to_string(replay.Steps) + ", played " +
                   std::to_string(played.Steps) + ")";
    } else {
        v.Verified = true;
    }
    return v;
}

TReplayViewer::TReplayViewer(IPlatform& machine, const std::string& dataDir, bool guest)
    : machine_(machine), guest_(guest ? std::make_unique<TGuestWindow>(machine) : nullptr),
      home_(std::make_unique<TTempHome>()), dataDir_(dataDir), caption_(machine.Caption()) {}

TReplayViewer::~TReplayViewer() {
    form_.reset();
    machine_.SetCaption(caption_);
}

bool TReplayViewer::Begin(const TReplay& replay) {
    if (home_->Path().empty()) {
        problem_ = "no temporary folder";
        return false;
    }
    form_ = std::make_unique<TMainForm>(guest_ ? *guest_ : machine_, home_->Path(), dataDir_);
    form_->RecordGames = false;
    form_->SoundsMayComeLater = SoundsMayComeLater;
    // The viewer's keys are the viewer's, from the first.
    form_->Seam().HoldEvents(true);
    if (!form_->Start()) {
        problem_ = "the game would not start";
        return false;
    }
    FinishStartUp(*form_, nullptr);
    if (!form_->BeginReplay(replay)) {
        problem_ = "damaged replay";
        return false;
    }
    realBase_ = machine_.Ticks();
    clockBase_ = form_->Seam().PlaybackClock();
    machine_.SetCaption(kReplayCaption);
    return true;
}

void TReplayViewer::TogglePause() {
    if (!form_) return;
    paused_ = !paused_;
    // A pause holds the replay's clock back by its length.
    if (paused_)
        pausedAt_ = machine_.Ticks();
    else
        realBase_ += machine_.Ticks() - pausedAt_;
    if (!overSaid_) machine_.SetCaption(paused_ ? "PONDLARK [Replay paused]" : kReplayCaption);
}

bool TReplayViewer::Over() {
    if (!form_) return true;
    TReplaySeam& seam = form_->Seam();
    return form_->ReplayEnd() != TReplayEnd::None || seam.Mismatch() || seam.Exhausted() ||
           form_->Terminated();
}

uint32_t TReplayViewer::Pass() {
    constexpr uint64_t kLongestWait = 50;
    if (Over()) {
        if (form_ && !overSaid_) machine_.SetCaption("PONDLARK [Replay over]");
        overSaid_ = true;
        return kLongestWait;
    }
    if (paused_) return kLongestWait;
    const uint64_t due = realBase_ + (form_->Seam().PlaybackClock() - clockBase_);
    const uint64_t now = machine_.Ticks();
    if (now < due) return static_cast<uint32_t>(std::min(due - now, kLongestWait));
    form_->Pump();
    return 0;
}

TPlayedReplay TReplayViewer::Result() {
    TPlayedReplay out;
    out.Problem = problem_;
    if (!form_) return out;
    TReplaySeam& seam = form_->Seam();
    out.End = form_->ReplayEnd();
    out.Score = form_->State().Score;
    out.Level = form_->State().Level;
    out.Steps = form_->ReplaySteps();
    out.GameMs = seam.PlaybackClock() - clockBase_;
    out.Played = out.End != TReplayEnd::None && !seam.Mismatch();
    if (seam.Mismatch()) out.Problem = "the replay does not fit the game";
    return out;
}

TPlayedReplay ShowReplay(IPlatform& machine, const TReplay& replay, const std::string& dataDir,
                         bool stayAtEnd, const TReplayWatcher& watcher, bool soundsMayComeLater) {
    TReplayViewer viewer(machine, dataDir, false);
    viewer.SoundsMayComeLater = soundsMayComeLater;
    if (!viewer.Begin(replay)) return viewer.Result();
    for (bool leave = false; !leave;) {
        for (PlatformEvent e; machine.PollEvent(e);) {
            if (e.type == PlatformEvent::Type::Close || e.type == PlatformEvent::Type::Quit ||
                (e.type == PlatformEvent::Type::KeyDown && e.key == vk::Escape))
                leave = true;
            if (e.type == PlatformEvent::Type::KeyDown && e.key == 'P') viewer.TogglePause();
        }
        const bool over = viewer.Over();
        if (watcher && viewer.Game())
            watcher({viewer.Game()->State(), viewer.Game()->ReplaySteps(), viewer.Paused(), over});
        if (leave || (over && !stayAtEnd)) break;
        if (const uint32_t wait = viewer.Pass(); wait > 0) machine.WaitEvent(wait);
    }
    return viewer.Result();
}

} // namespace pondlark
