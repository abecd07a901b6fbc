// Games played from scripts are recorded and played again headless: a replay must reach the
// same end, score, level and steps, and any change to it or to its claim must be refused.
#include "app/GameFixture.h"
#include "app/ReplayPlayer.h"
#include "app/TScriptRunner.h"
#include "game/RulesVersion.h"
#include "persist/ReplayFiles.h"
#include "platform/Files.h"
#include "platform/VirtualKeys.h"
#include "screens/HotRects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pondlark;

namespace {

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// From the intro to the first pond: the menu's Enter starts the game.
constexpr const char* kStart = "wait 300\nkey Return\nwait 100\nkey Return\n";
// The quit question in play, answered yes.
constexpr const char* kQuit = "key Escape\nwait 100\nkey y\nwait 100\n";

struct TScriptedGame {
    const char* Name;
    std::string Script;
    TReplayEnd End;
};

std::vector<TScriptedGame> ScriptedGames() {
    const std::string start = std::string("seed 5\n") + kStart;
    return {
        {"whole game: feast catches, level 2, drownings",
         FileText(PONDLARK_TEST_DATA "/replay/game.txt"), TReplayEnd::GameOver},
        {"pause",
         start +
             "wait 3500\nkeydown space\nwait 400\nkeyup space\nkey p\nwait 700\n"
             "key p\nwait 300\nkeydown space\nwait 600\nkeyup space\n" +
             kQuit,
         TReplayEnd::Quit},
        {"focus lost and back",
         start +
             "wait 3500\nkeydown space\nwait 300\nfocus out\nwait 500\nfocus in\nwait 200\n"
             "keyup space\nwait 300\nkeydown space\nwait 500\nkeyup space\n" +
             kQuit,
         TReplayEnd::Quit},
        {"Alt+Enter mid-game",
         start +
             "wait 2000\nkey alt+Return\nwait 500\nkeydown space\nwait 700\nkeyup space\n"
             "key alt+Return\nwait 300\nkeydown space\nwait 400\nkeyup space\n" +
             kQuit,
         TReplayEnd::Quit},
        {"controller",
         start + "wait 3500\npad a\nwait 200\npad a\nwait 200\npad dpleft\npad a\n"
                 "wait 300\npad start\nwait 300\npad start\nwait 200\npad a\n"
                 "wait 400\npad b\nwait 100\nkey y\nwait 100\n",
         TReplayEnd::Quit},
        {"started by a click on the menu",
         "seed 5\nwait 300\nkey Return\nwait 100\nclick 545 185\n"
         "wait 3500\nkeydown space\nwait 600\nkeyup space\n" +
             std::string(kQuit),
         TReplayEnd::Quit},
        {"started with the controller",
         "seed 5\nwait 300\nkey Return\nwait 100\npad a\n"
         "wait 3500\nkeydown space\nwait 600\nkeyup space\n" +
             std::string(kQuit),
         TReplayEnd::Quit},
        {"mouse taps",
         start +
             "wait 3500\nclick 400 300\nwait 100\nclick 400 300\nwait 500\n"
             "move 200 100\nkeydown space\nwait 900\nkeyup space\n" +
             kQuit,
         TReplayEnd::Quit},
    };
}

struct ReplayRoundTrip : GameFixture {
    // Plays `script` and returns the replay of its game (none when no game ended).
    std::optional<TReplay> Record(const std::string& script) {
        const std::vector<TScriptLine> lines = ParseScript(script);
        bool seeded = false;
        const uint32_t seed = TScriptRunner::SeedOf(lines, seeded);
        if (!Start(seeded ? seed : 1)) return std::nullopt;
        TScriptRunner(platform, *form, nullptr).Run(lines);
        return form->FinishedReplay();
    }
};

TEST_F(ReplayRoundTrip, EveryScriptedGamePlaysAgainToItsEndScoreLevelAndSteps) {
    for (const TScriptedGame& game : ScriptedGames()) {
        SCOPED_TRACE(game.Name);
        TearDown();
        SetUp();
        const std::optional<TReplay> replay = Record(game.Script);
        ASSERT_TRUE(replay);
        const TGameState& s = form->State();
        EXPECT_EQ(replay->End, game.End);
        EXPECT_EQ(replay->Score, s.Score);
        EXPECT_EQ(replay->Level, s.Level);
        EXPECT_GT(replay->Steps, 50u);
        const std::vector<uint8_t> bytes = EncodeReplay(*replay);
        const TReplayVerdict v = VerifyReplay(bytes, {"", "", "", s.Score}, PONDLARK_GAME_DIR);
        EXPECT_TRUE(v.Verified) << v.Reason;
        EXPECT_EQ(v.Score, s.Score);
        EXPECT_EQ(v.Level, s.Level);
        EXPECT_EQ(v.Frames, replay->Steps);
        // Drawing decides nothing: the game played with its pictures ends the same.
        const TPlayedReplay drawn = PlayReplayHeadless(ParseReplay(bytes), PONDLARK_GAME_DIR, true);
        EXPECT_TRUE(drawn.Played) << drawn.Problem;
        EXPECT_EQ(drawn.Score, s.Score);
        EXPECT_EQ(drawn.Steps, replay->Steps);
    }
}

// A loop that wakes late now and then runs several steps in one pass. Where the first of them
// loses a life, the rule's pause lies inside the pass: the replay must still start each pass at
// the clock the game had, not at the clock after the pause, or the steps after it differ.
TEST_F(ReplayRoundTrip, AGameOnALateWakingLoopPlaysAgainStepForStep) {
    ASSERT_TRUE(Start(9));
    TScriptRunner(platform, *form, nullptr).Run(ParseScript(kStart));
    ASSERT_EQ(form->State().Scene, TScene::Pond);
    constexpr uint32_t kLate[] = {0, 45, 0, 0, 70, 10, 0, 100, 0, 35};
    for (size_t pass = 0; !form->FinishedReplay() && platform.Ticks() < 600'000; ++pass) {
        if (pass % 400 == 0) platform.KeyDown(' ');
        if (pass % 400 == 40) platform.KeyUp(' ');
        form->Pump();
        platform.Advance(form->WaitBudget() + kLate[pass % std::size(kLate)]);
    }
    const std::optional<TReplay> replay = form->FinishedReplay();
    ASSERT_TRUE(replay);
    EXPECT_EQ(replay->End, TReplayEnd::GameOver);
    const TReplayVerdict v =
        VerifyReplay(EncodeReplay(*replay), {"", "", "", replay->Score}, PONDLARK_GAME_DIR);
    EXPECT_TRUE(v.Verified) << v.Reason;
    EXPECT_EQ(v.Frames, replay->Steps);
}

// The first press of `key` comes one step (30 ms of the clock) later than it was recorded.
std::vector<uint8_t> MoveKeyOneStep(const std::vector<uint8_t>& inputs, int key) {
    TReplayPassReader reader(inputs);
    std::vector<TReplayPass> passes;
    while (!reader.AtEnd())
        passes.push_back(reader.Next());
    for (size_t i = 1; i + 1 < passes.size(); ++i) {
        const auto& events = passes[i].Events;
        if (std::none_of(events.begin(), events.end(), [&](const PlatformEvent& e) {
                return e.type == PlatformEvent::Type::KeyDown && e.key == key;
            }))
            continue;
        size_t j = i + 1;
        for (uint64_t ms = passes[j].ClockAdvance; ms < 30 && j + 1 < passes.size();)
            ms += passes[++j].ClockAdvance;
        passes[j].Events.insert(passes[j].Events.begin(), events.begin(), events.end());
        passes[i].Events.clear();
        passes[j].KeyChanges.insert(passes[j].KeyChanges.begin(), passes[i].KeyChanges.begin(),
                                    passes[i].KeyChanges.end());
        passes[i].KeyChanges.clear();
        break;
    }
    TReplayPassWriter writer;
    for (const TReplayPass& p : passes)
        writer.Write(p);
    return writer.Bytes();
}

TEST_F(ReplayRoundTrip, AnyChangeToTheReplayOrItsClaimIsRefused) {
    std::optional<TReplay> recorded = Record(FileText(PONDLARK_TEST_DATA "/replay/game.txt"));
    ASSERT_TRUE(recorded);
    recorded->Name = "Frog";
    recorded->Country = "Wales";
    recorded->Token = "token-1";
    const TReplayClaim claim{"Frog", "Wales", "token-1", recorded->Score};
    ASSERT_TRUE(VerifyReplay(EncodeReplay(*recorded), claim, PONDLARK_GAME_DIR).Verified);

    struct TCase {
        const char* Name;
        std::function<void(TReplay&, TReplayClaim&, std::vector<uint8_t>&)> Change;
        const char* Reason; // the start of the refusal
    };
    const auto reencode = [](TReplay& r, std::vector<uint8_t>& bytes) { bytes = EncodeReplay(r); };
    const std::vector<TCase> cases = {
        {"level 2's first turn one step later",
         [&](TReplay& r, TReplayClaim&, std::vector<uint8_t>& b) {
             r.Inputs = MoveKeyOneStep(r.Inputs, vk::Right);
             reencode(r, b);
         },
         "score differs (claimed 385, played 260)"},
        {"the claimed score +5",
         [](TReplay&, TReplayClaim& c, std::vector<uint8_t>&) { c.Score += 5; }, "score differs"},
        {"the trailer's and the claim's score +5",
         [&](TReplay& r, TReplayClaim& c, std::vector<uint8_t>& b) {
             r.Score += 5, c.Score += 5;
             reencode(r, b);
         },
         "score differs"},
        {"another name", [](TReplay&, TReplayClaim& c, std::vector<uint8_t>&) { c.Name = "Toad"; },
         "another name"},
        {"the replay of another token",
         [](TReplay&, TReplayClaim& c, std::vector<uint8_t>&) { c.Token = "token-2"; },
         "another token"},
        {"truncated",
         [](TReplay&, TReplayClaim&, std::vector<uint8_t>& b) { b.resize(b.size() / 2); },
         "truncated replay"},
        {"a flipped byte",
         [](TReplay&, TReplayClaim&, std::vector<uint8_t>& b) { b[b.size() / 2] ^= 0x10; },
         "damaged replay"},
        {"another rules version",
         [&](TReplay& r, TReplayClaim&, std::vector<uint8_t>& b) {
             r.RulesVersion = kRulesVersion + 1;
             reencode(r, b);
         },
         "another rules version"},
        {"another file",
         [](TReplay&, TReplayClaim&, std::vector<uint8_t>& b) {
             b = {'G', 'I', 'F'};
         },
         "not a replay"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TReplay r = *recorded;
        TReplayClaim claimed = claim;
        std::vector<uint8_t> bytes = EncodeReplay(r);
        c.Change(r, claimed, bytes);
        const TReplayVerdict v = VerifyReplay(bytes, claimed, PONDLARK_GAME_DIR);
        EXPECT_FALSE(v.Verified);
        EXPECT_EQ(v.Reason.rfind(c.Reason, 0), 0u) << v.Reason;
    }
}

TEST_F(ReplayRoundTrip, AGameStopsAtTheBudget) {
    const std::optional<TReplay> recorded = Record(FileText(PONDLARK_TEST_DATA "/replay/game.txt"));
    ASSERT_TRUE(recorded);
    const TPlayedReplay played = PlayReplayHeadless(*recorded, PONDLARK_GAME_DIR, false, 60000);
    EXPECT_FALSE(played.Played);
    EXPECT_EQ(played.Problem, "over the 1-minute budget");
    EXPECT_LT(played.GameMs, 60100u);
}

// The entry kept in the table finds its replay beside Config.cfg; a Replays/ that cannot be
// made costs the replay, said once, and the game goes on to the table.
TEST_F(ReplayRoundTrip, TheTableKeepsTheReplayOfItsEntryOrSaysOnceItCannot) {
    const std::string script = FileText(PONDLARK_TEST_DATA "/replay/game.txt") +
                               "wait 5500\ntype Frog\nkey Return\nwait 100\n";
    for (const bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "writable" : "a file stands where the folder goes");
        TearDown();
        SetUp();
        if (!writable) std::ofstream(dir / kReplaysFolder) << "not a folder";
        testing::internal::CaptureStderr();
        const std::optional<TReplay> replay = Record(script);
        if (form) form->KeepReplay(form->State().Menus.NewEntry); // a second try: still once
        const std::string said = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(replay);
        EXPECT_EQ(form->State().Scene, TScene::HighScores);
        // The keys type capitals.
        const THighScore entry{"FROG", replay->Score};
        EXPECT_EQ(form->State().HighScores[static_cast<size_t>(form->State().Menus.NewEntry)],
                  entry);
        const TFileBytes file =
            ReadRegularFile((dir / kReplaysFolder / ReplayFileName(entry)).string(), 1 << 20);
        const size_t first = said.find("replay not kept");
        if (writable) {
            ASSERT_TRUE(file.ok) << file.reason;
            EXPECT_EQ(first, std::string::npos) << said;
            const TReplayVerdict v =
                VerifyReplay(file.bytes, {"FROG", "", "", replay->Score}, PONDLARK_GAME_DIR);
            EXPECT_TRUE(v.Verified) << v.Reason;
        } else {
            EXPECT_FALSE(file.ok);
            ASSERT_NE(first, std::string::npos) << said;
            EXPECT_EQ(said.find("replay not kept", first + 1), std::string::npos) << said;
        }
    }
}

// The high-score screen marks the entry whose game was kept and shows that game in the window,
// chosen by the keys, the controller or the pointer: it plays to the same score, P (Start)
// holds it, Esc (B) leaves at any time and Enter or a click once it is over, and the table is
// back each time.
TEST_F(ReplayRoundTrip, TheTableShowsTheKeptGameOfAnEntryAndComesBack) {
    const std::optional<TReplay> replay = Record(FileText(PONDLARK_TEST_DATA "/replay/game.txt") +
                                                 "wait 5500\ntype Frog\nkey Return\nwait 100\n");
    ASSERT_TRUE(replay);
    ASSERT_EQ(form->State().Scene, TScene::HighScores);
    const int entry = form->State().Menus.NewEntry;
    ASSERT_GE(entry, 0);
    // The default entries kept no game: only the new one is marked.
    EXPECT_EQ(form->State().Menus.ReplayRows, 1u << entry);
    const auto run = [this](const std::string& script) {
        TScriptRunner(platform, *form, nullptr).Run(ParseScript(script));
    };
    const auto [rowX, rowY] = hot::TableRow(entry).Centre();
    const std::string clickRow =
        "click " + std::to_string(rowX) + " " + std::to_string(rowY) + "\n";
    constexpr const char* kLongerThanTheGame = "wait 130000\n";
    struct TCase {
        const char* Name;
        std::string Open, Watch, Leave;
        bool Played;
    };
    const TCase cases[] = {
        {"keys: Right, Enter; Enter at the end", "key Right\nkey Return\n", kLongerThanTheGame,
         "key Return\n", true},
        {"pointer: the row; a click at the end", clickRow, kLongerThanTheGame, "click 400 300\n",
         true},
        {"controller: right, A; B midway", "pad dpright\npad a\n", "wait 3000\n", "pad b\n", false},
        {"P holds it; Esc", "key Right\nkey Return\nkey p\n", kLongerThanTheGame, "key Escape\n",
         false},
        {"Start holds it; Back", "pad dpright\npad a\npad start\n", kLongerThanTheGame,
         "pad back\n", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const size_t captions = platform.Captions().size();
        run(c.Open + c.Watch);
        // Over or not, the replay stays until it is left.
        EXPECT_TRUE(form->WatchingReplay());
        run(c.Leave);
        EXPECT_FALSE(form->WatchingReplay());
        EXPECT_EQ(form->State().Scene, TScene::HighScores);
        const std::optional<TPlayedReplay>& watched = form->LastWatched();
        ASSERT_TRUE(watched);
        EXPECT_TRUE(watched->Problem.empty()) << watched->Problem;
        EXPECT_EQ(watched->Played, c.Played);
        const std::vector<std::string> said(platform.Captions().begin() +
                                                static_cast<ptrdiff_t>(captions),
                                            platform.Captions().end());
        const bool paused =
            std::find(said.begin(), said.end(), "PONDLARK [Replay paused]") != said.end();
        if (c.Played) {
            EXPECT_EQ(watched->Score, replay->Score);
            EXPECT_EQ(watched->Level, replay->Level);
            EXPECT_EQ(watched->Steps, replay->Steps);
        } else if (paused) {
            EXPECT_LT(watched->Steps, 100u); // held within its first seconds, not 130 s on
        } else {
            EXPECT_GT(watched->Steps, 50u); // three seconds played, not the whole game
            EXPECT_LT(watched->Steps, replay->Steps);
        }
        EXPECT_EQ(paused, c.Watch == kLongerThanTheGame && !c.Played);
        // The window's caption is the game's again.
        ASSERT_FALSE(platform.Captions().empty());
        EXPECT_EQ(platform.Captions().back(), "PONDLARK");
    }

    // A row without a kept game does nothing; a damaged file is said, and the table stays.
    const size_t boxes = platform.MessageBoxes().size();
    const int other = entry == 0 ? 1 : 0;
    const auto [otherX, otherY] = hot::TableRow(other).Centre();
    run("click " + std::to_string(otherX) + " " + std::to_string(otherY) + "\nwait 100\n");
    EXPECT_FALSE(form->WatchingReplay());
    EXPECT_EQ(platform.MessageBoxes().size(), boxes);
    const std::filesystem::path file =
        dir / kReplaysFolder / ReplayFileName(form->State().HighScores[static_cast<size_t>(entry)]);
    std::vector<uint8_t> bytes = EncodeReplay(*replay);
    bytes[bytes.size() / 2] ^= 0x10;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    testing::internal::CaptureStderr();
    run(clickRow + "wait 100\n");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(form->WatchingReplay());
    EXPECT_EQ(form->State().Scene, TScene::HighScores);
    ASSERT_EQ(platform.MessageBoxes().size(), boxes + 1);
    EXPECT_NE(platform.MessageBoxes().back().find("damaged replay"), std::string::npos)
        << platform.MessageBoxes().back();
    EXPECT_NE(said.find("damaged replay"), std::string::npos) << said;
}

} // namespace

namespace {

// Shown in a window at its own pace: P pauses and P again resumes (the caption says so), Esc
// leaves at once.
TEST_F(ReplayRoundTrip, AReplayShownPausesWithPAndLeavesWithEsc) {
    const std::optional<TReplay> replay = Record(std::string("seed 3\n") + kStart +
                                                 "wait 3500\nkeydown space\nwait 900\n"
                                                 "keyup space\n" +
                                                 kQuit);
    ASSERT_TRUE(replay);
    struct TCase {
        const char* Name;
        std::vector<int> Keys;
        bool Played;
    };
    for (const TCase& c : {TCase{"P, P", {'P', 'P'}, true}, TCase{"Esc", {vk::Escape}, false}}) {
        SCOPED_TRACE(c.Name);
        HeadlessPlatform window;
        for (int key : c.Keys)
            window.KeyDown(key);
        // What a page beside the window is told each pass.
        bool toldOver = false;
        uint64_t toldSteps = 0;
        int32_t toldScore = -1;
        const TPlayedReplay shown =
            ShowReplay(window, *replay, PONDLARK_GAME_DIR, false, [&](const TReplayView& view) {
                toldOver = view.Over;
                toldSteps = view.Steps;
                toldScore = view.State.Score;
            });
        EXPECT_TRUE(shown.Problem.empty()) << shown.Problem;
        EXPECT_EQ(toldOver, c.Played);
        EXPECT_EQ(toldSteps, shown.Steps);
        EXPECT_EQ(toldScore, shown.Score);
        EXPECT_EQ(shown.Played, c.Played);
        const auto& captions = window.Captions();
        const bool paused = std::find(captions.begin(), captions.end(),
                                      "PONDLARK [Replay paused]") != captions.end();
        EXPECT_EQ(paused, c.Played);
        if (c.Played) {
            EXPECT_EQ(shown.Score, replay->Score);
            EXPECT_EQ(shown.Steps, replay->Steps);
            // At the pace it was played: the window's clock ran the game's time, but for the
            // last pass, which is read before its time has come.
            EXPECT_GE(window.Ticks() + 100, shown.GameMs);
            EXPECT_GT(window.Ticks(), shown.GameMs / 2);
            EXPECT_GT(window.PresentCount(), 100);
        } else {
            EXPECT_EQ(shown.Steps, 0u);
        }
    }
}

} // namespace
