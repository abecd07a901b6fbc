#include "app/ReplayPlayer.h"

#include "app/TMainForm.h"
#include "game/RulesVersion.h"
#include "platform/Files.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pondlark {

namespace {

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

TPlayedReplay ShowReplay(IPlatform& machine, const TReplay& replay, const std::string& dataDir,
                         bool stayAtEnd, const TReplayWatcher& watcher) {
    TPlayedReplay out;
    TTempHome home;
    if (home.Path().empty()) {
        out.Problem = "no temporary folder";
        return out;
    }
    TMainForm form(machine, home.Path(), dataDir);
    form.RecordGames = false;
    // The viewer's keys are the viewer's, from the first.
    form.Seam().HoldEvents(true);
    if (!form.Start()) {
        out.Problem = "the game would not start";
        return out;
    }
    FinishStartUp(form, nullptr);
    if (!form.BeginReplay(replay)) {
        out.Problem = "damaged replay";
        return out;
    }
    TReplaySeam& seam = form.Seam();
    // Real time runs from here; a pause holds the replay's clock back by its length.
    uint64_t realBase = machine.Ticks();
    const uint64_t clockBase = seam.PlaybackClock();
    bool paused = false, leave = false;
    const std::string caption = machine.Caption();
    while (!leave) {
        for (PlatformEvent e; machine.PollEvent(e);) {
            if (e.type == PlatformEvent::Type::Close || e.type == PlatformEvent::Type::Quit ||
                (e.type == PlatformEvent::Type::KeyDown && e.key == vk::Escape))
                leave = true;
            if (e.type == PlatformEvent::Type::KeyDown && e.key == 'P') {
                paused = !paused;
                machine.SetCaption(paused ? "PONDLARK [Replay paused]" : caption);
            }
        }
        const bool over = form.ReplayEnd() != TReplayEnd::None || seam.Mismatch() ||
                          seam.Exhausted() || form.Terminated();
        if (watcher) watcher({form.State(), form.ReplaySteps(), paused, over});
        if (leave || (over && !stayAtEnd)) break;
        if (paused || over) {
            if (over) machine.SetCaption("PONDLARK [Replay over]");
            const uint64_t before = machine.Ticks();
            machine.WaitEvent(50);
            realBase += paused ? machine.Ticks() - before : 0;
            continue;
        }
        const uint64_t due = realBase + (seam.PlaybackClock() - clockBase);
        const uint64_t now = machine.Ticks();
        if (now < due) {
            machine.WaitEvent(static_cast<uint32_t>(std::min<uint64_t>(due - now, 50)));
            continue;
        }
        form.Pump();
    }
    out.End = form.ReplayEnd();
    out.Score = form.State().Score;
    out.Level = form.State().Level;
    out.Steps = form.ReplaySteps();
    out.GameMs = seam.PlaybackClock() - clockBase;
    out.Played = out.End != TReplayEnd::None && !seam.Mismatch();
    if (seam.Mismatch()) out.Problem = "the replay does not fit the game";
    return out;
}

} // namespace pondlark
