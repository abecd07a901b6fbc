// Scenarios of the eating stage and the game-over entry, played through the real game.
#include "game/EatingStage.h"
#include "app/GameFixture.h"
#include "game/EatingFrog.h"
#include "game/Insects.h"
#include "game/Stork.h"
#include "persist/HighScores.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuSprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

using namespace pondlark;

namespace {

// An insect that says when the engine has freed it: a caught insect is marked dead and swept in
// the same frame, so the test must not look at it afterwards.
template <class T> struct Watched : T {
    Watched(TMainForm& form, bool& freed) : T(form), freed_(freed) {}
    ~Watched() override { freed_ = true; }
    bool& freed_;
};

struct EatingStage : GameFixture {
    // From the menu through the pond into the eating stage of level 1.
    void Enter(uint32_t seed = 1) {
        ASSERT_TRUE(Start(seed));
        form->SwitchScene(TScene::MainMenu);
        form->SwitchScene(TScene::Pond);
        form->SwitchScene(TScene::Eating);
    }
    template <class T> std::vector<T*> All() {
        std::vector<T*> found;
        TSprite& root = form->Engine();
        for (int i = 0; i < root.ChildCount(); ++i)
            if (auto* s = dynamic_cast<T*>(root.Child(i)); s && !s->Dying()) found.push_back(s);
        return found;
    }
    template <class T> T& One() {
        auto found = All<T>();
        EXPECT_EQ(found.size(), 1u);
        return *found.at(0);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // Puts an insect where its next step lands it on the middle of the tongue's tip.
    void OnTheTip(TInsect& insect) {
        const TTongueTip& tip = One<TTongueTip>();
        const double x = tip.X + tip.Width / 2.0 - insect.Width / 2.0;
        const int y = static_cast<int>(tip.Y + tip.Height / 2.0 - insect.Height / 2.0);
        insect.X = x + (insect.FromRight ? insect.Speed : -insect.Speed);
        insect.Y = insect.BaseY = y;
        insect.Amplitude = 0;
    }
    bool Sounding(const char* name) { return form->DXWaveList.Items().Find(name).Playing(); }
};

} // namespace

TEST_F(EatingStage, OpensAtLevelOneWithItsSpritesAndLastsThirtyTicksThenLevelTwosPond) {
    Enter();
    EXPECT_EQ(form->State().Eating.TimeLeft, 29);
    EXPECT_EQ(form->State().Eating.TongueLength, 0);
    EXPECT_EQ(All<TEatingFrog>().size(), 1u);
    EXPECT_EQ(All<TTongue>().size(), 1u);
    EXPECT_EQ(All<TTongueTip>().size(), 1u);
    EXPECT_TRUE(Sounding("fon2"));
    EXPECT_TRUE(Sounding("bell"));
    form->State().Lives = 1000; // whatever the stork does, the clock decides
    form->RunFor(29'500);
    EXPECT_EQ(form->State().Scene, TScene::Eating);
    EXPECT_EQ(form->State().Eating.TimeLeft, 0);
    form->RunFor(1'000); // the 30th tick, then the next frame ends the stage
    EXPECT_EQ(form->State().Scene, TScene::Pond);
    EXPECT_EQ(form->State().Level, 2);
    EXPECT_TRUE(All<TEatingFrog>().empty());
    EXPECT_FALSE(Sounding("fon2")) << "leaving the stage stops every effect";
}

TEST_F(EatingStage, TongueShootsOutInFourteenFramesAndSnapsBackInSeven) {
    Enter();
    Frame();
    const TTongueTip& tip = One<TTongueTip>();
    const double mouthY = form->State().Eating.MouthY;
    EXPECT_DOUBLE_EQ(tip.Y, mouthY - 30) << "with the tongue in, the tip stands 30 px out";
    platform.KeyDown(vk::Space);
    Frames(13);
    EXPECT_EQ(form->State().Eating.TongueLength, 390);
    Frame();
    EXPECT_EQ(form->State().Eating.TongueLength, 400);
    Frame();
    EXPECT_EQ(form->State().Eating.TongueLength, 400) << "400 px is the limit";
    EXPECT_NEAR(tip.Y, mouthY - 430, 1e-9) << "centred aim: straight up";
    EXPECT_NEAR(tip.X, form->State().Eating.MouthX + 68, 1e-9);
    platform.KeyUp(vk::Space);
    Frames(6);
    EXPECT_EQ(form->State().Eating.TongueLength, 40);
    Frame();
    EXPECT_EQ(form->State().Eating.TongueLength, 0);
}

TEST_F(EatingStage, EachInsectCaughtByTheTipScoresAndFeeds) {
    struct Case {
        const char* kind;
        std::function<TInsect*(TMainForm&, bool&)> make;
        int points, food;
        bool gulp; // "food" on an empty stomach
    };
    const Case cases[] = {
        {"midge", [](TMainForm& f, bool& g) { return new Watched<TMidge>(f, g); }, 5, 1, true},
        {"fly", [](TMainForm& f, bool& g) { return new Watched<TFly>(f, g); }, 10, 2, true},
        {"mosquito", [](TMainForm& f, bool& g) { return new Watched<TMosquito>(f, g); }, 15, 2,
         true},
        {"pond skater", [](TMainForm& f, bool& g) { return new Watched<TPondSkater>(f, g); }, 20, 3,
         false},
        {"bee", [](TMainForm& f, bool& g) { return new Watched<TBee>(f, g); }, 25, 3, true},
    };
    Enter();
    Frame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        for (int hunger : {10, 0}) {
            form->State().Hunger = hunger;
            form->DXWaveList.Items().Find("food").Stop();
            const int score = form->State().Score;
            bool freed = false;
            OnTheTip(*c.make(*form, freed));
            Frame();
            EXPECT_TRUE(freed) << "caught, marked dead and swept";
            EXPECT_EQ(form->State().Score, score + c.points);
            EXPECT_EQ(form->State().Hunger, std::max(0, hunger - c.food)) << "never below 0";
            EXPECT_EQ(Sounding("food"), c.gulp && hunger == 0);
            Frame();
        }
    }
}

TEST_F(EatingStage, InsectsEnterOutsideTheScreenAndLeaveAtTheFarSide) {
    Enter();
    Frame();
    form->State().Hunger = 5;
    auto* midge = new TMidge(*form);
    EXPECT_EQ(midge->X, midge->FromRight ? 800 : -midge->Width);
    // Walk it to just short of the far edge, away from the tongue.
    midge->X = midge->FromRight ? midge->Speed - midge->Width : 800 - midge->Speed;
    midge->BaseY = 100;
    midge->Amplitude = 0;
    Frame();
    EXPECT_FALSE(midge->Dying()) << "still on the edge";
    Frame();
    const auto midges = All<TMidge>();
    EXPECT_EQ(std::find(midges.begin(), midges.end(), midge), midges.end());
    EXPECT_EQ(form->State().Hunger, 5) << "an escape feeds nobody";
    EXPECT_EQ(Sounding("mushka"), !midges.empty()) << "the buzz goes with the last midge";
}

TEST_F(EatingStage, TheBuzzOfAKindStopsOnlyWithItsLastInsect) {
    Enter();
    Frame();
    for (TMidge* m : All<TMidge>())
        m->MarkDead(); // none from the spawner in the way
    Frame();
    bool firstFreed = false, secondFreed = false;
    auto* first = new Watched<TMidge>(*form, firstFreed);
    auto* second = new Watched<TMidge>(*form, secondFreed);
    auto* fly = new TFly(*form);
    second->BaseY = fly->BaseY = 100; // far from the tip
    second->Amplitude = fly->Amplitude = 0;
    EXPECT_TRUE(Sounding("mushka"));
    OnTheTip(*first);
    Frame();
    ASSERT_TRUE(firstFreed);
    EXPECT_TRUE(Sounding("mushka")) << "the second midge still flies";
    OnTheTip(*second);
    Frame();
    ASSERT_TRUE(secondFreed);
    EXPECT_FALSE(Sounding("mushka"));
    EXPECT_TRUE(Sounding("muha")) << "another kind keeps its buzz";
}

TEST_F(EatingStage, StorkLegsComeOnlyInsideTheirTimeWindow) {
    struct Case {
        int timeLeft;
        bool legs;
        int lives = 3;
    };
    // At level 500 the draw always allows them; the window is 11 .. 10 * level + 8. A frame that
    // ends the game (no lives left) brings no legs into the game-over scene.
    for (const Case c : {Case{10, false}, Case{11, true}, Case{5008, true}, Case{5009, false},
                         Case{100, false, 0}}) {
        SCOPED_TRACE(testing::Message() << c.timeLeft << " s, " << c.lives << " lives");
        Enter();
        form->State().Level = 500;
        form->State().Eating.TimeLeft = c.timeLeft;
        form->State().Lives = c.lives;
        Frames(3);
        EXPECT_EQ(All<TStorkLeg>().size(), c.legs ? 2u : 0u) << "one pair at most";
        EXPECT_EQ(form->State().Eating.LegsSpawned, c.legs);
        EXPECT_EQ(form->State().Scene, c.lives > 0 ? TScene::Eating : TScene::GameOver);
        form.reset();
    }
}

TEST_F(EatingStage, TheStorkComesOnlyAfterTheLegsLandedAndOnlyOnce) {
    Enter();
    form->State().Level = 500;
    form->State().Eating.TimeLeft = 1000;
    form->State().Eating.StorkAllowed = true;
    form->State().Lives = 1000;
    int framesToLand = 0;
    while (!form->State().Eating.LegsLanded && framesToLand < 200) {
        Frame();
        ++framesToLand;
        if (!form->State().Eating.LegsLanded) {
            EXPECT_TRUE(All<TStork>().empty());
        }
    }
    ASSERT_TRUE(form->State().Eating.LegsLanded);
    for (TStorkLeg* leg : All<TStorkLeg>())
        EXPECT_EQ(leg->Y, 600 - leg->Height);
    int framesToStork = 0;
    while (All<TStork>().empty() && framesToStork < 1000) {
        Frame();
        ++framesToStork;
    }
    ASSERT_EQ(All<TStork>().size(), 1u);
    EXPECT_FALSE(form->State().Eating.StorkAllowed);
    // Two passes, then it leaves and the legs go back up and away.
    while (!All<TStork>().empty())
        Frame();
    EXPECT_TRUE(form->State().Eating.StorkLeaving);
    Frames(61);
    EXPECT_TRUE(All<TStorkLeg>().empty());
    Frames(300);
    EXPECT_TRUE(All<TStork>().empty()) << "one stork per stage";
}

TEST_F(EatingStage, EachStorkHitCostsALifeAndTheLastEndsTheGame) {
    Enter();
    Frame();
    form->State().Lives = 2;
    const TEatingFrog& frog = One<TEatingFrog>();
    auto* stork = new TStork(*form);
    // Its beak, at the bottom middle of its picture, comes down on the frog's head.
    stork->X = frog.X + frog.Width / 2.0 - stork->Width / 2.0;
    stork->Y = -30;
    Frame();
    EXPECT_EQ(form->State().Lives, 1);
    EXPECT_EQ(form->State().Scene, TScene::Eating) << "a lost life never stops the stage";
    EXPECT_TRUE(Sounding("aist_eat"));
    Frame(); // turned at the top edge, still on the frog
    EXPECT_EQ(form->State().Lives, 0);
    EXPECT_EQ(form->State().Scene, TScene::GameOver);
}

TEST_F(EatingStage, ClockStopsForPauseAndTheExitQuestionButNotForFocusLoss) {
    struct Case {
        const char* what;
        std::function<void(EatingStage&)> act;
        bool stops;
    };
    const Case cases[] = {
        {"pause", [](EatingStage& t) { t.Key('P'); }, true},
        {"exit question", [](EatingStage& t) { t.Key(vk::Escape); }, true},
        {"focus loss", [](EatingStage& t) { t.platform.Focus(false); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Enter();
        form->State().Lives = 1000;
        c.act(*this);
        auto* midge = new TMidge(*form);
        midge->BaseY = 100; // away from the tongue
        const double x = midge->X;
        form->RunFor(3000);
        EXPECT_EQ(form->State().Eating.TimeLeft, c.stops ? 29 : 26);
        EXPECT_EQ(midge->X == x, c.stops) << "insects fly only while the stage runs";
        EXPECT_EQ(form->State().Scene, TScene::Eating);
        form.reset();
    }
}

TEST_F(EatingStage, GameOverShowsTheWordsThenTheNamePanelForAQualifyingScore) {
    const int tenth = DefaultHighScores()[9].Score;
    for (const auto& [score, panel] : {std::pair{tenth, true}, std::pair{tenth - 1, false}}) {
        SCOPED_TRACE(score);
        Enter();
        form->State().Score = score;
        form->State().Lives = 0;
        Frame();
        ASSERT_EQ(form->State().Scene, TScene::GameOver);
        const TGameWord& game = One<TGameWord>();
        const TOverWord& over = One<TOverWord>();
        EXPECT_EQ(std::pair(game.X, game.Y), std::pair(149.0, 118.0));
        EXPECT_EQ(std::pair(over.X, over.Y), std::pair(164.0, 284.0));
        EXPECT_EQ(game.Z(), 1);
        EXPECT_TRUE(form->Song != 0) << "the game-over song";
        form->RunFor(4900);
        EXPECT_FALSE(form->State().Flags.GameEnterName);
        form->RunFor(200);
        EXPECT_EQ(form->State().Flags.GameEnterName, panel);
        EXPECT_EQ(All<TNamePanel>().size(), panel ? 1u : 0u);
        EXPECT_EQ(All<TGameWord>().empty(), panel) << "the panel takes the words' place";
        form.reset();
    }
}

TEST_F(EatingStage, TheSpawnerPicksTheKindByLevelAndDraw) {
    // The first k of each kind per level: midge, fly, mosquito, pond skater, bee.
    struct Row {
        int level, chance;
        std::array<int, 5> first;
    };
    const Row rows[] = {{1, 1, {0, 10, 10, 10, 10}}, {2, 2, {0, 6, 10, 10, 10}},
                        {3, 3, {0, 4, 8, 10, 10}},   {4, 4, {0, 3, 6, 8, 10}},
                        {5, 5, {0, 2, 4, 6, 8}},     {12, 5, {0, 2, 4, 6, 8}}};
    const std::function<bool(TSprite&)> isKind[] = {
        [](TSprite& s) { return s.IsA<TMidge>(); }, [](TSprite& s) { return s.IsA<TFly>(); },
        [](TSprite& s) { return s.IsA<TMosquito>(); },
        [](TSprite& s) { return s.IsA<TPondSkater>(); }, [](TSprite& s) { return s.IsA<TBee>(); }};
    Enter();
    Frame();
    for (const Row& row : rows) {
        form->State().Level = row.level;
        for (int k = 0; k < (row.level == 1 ? 1 : 10); ++k) {
            SCOPED_TRACE(testing::Message() << "level " << row.level << ", k " << k);
            // A seed whose first draws are a spawning r and this k.
            uint32_t seed = 0;
            for (;; ++seed) {
                TRandom r(seed);
                if (r.Next(100) < row.chance && (row.level == 1 || r.Next(10) == k)) break;
            }
            const size_t before = All<TSprite>().size();
            form->Random().Seed(seed);
            Frame();
            ASSERT_EQ(All<TSprite>().size(), before + 1);
            TSprite& made = *All<TSprite>().back();
            int kind = 0;
            while (kind < 4 && k >= row.first[kind + 1])
                ++kind;
            EXPECT_TRUE(isKind[kind](made)) << "expected kind " << kind;
            made.MarkDead();
        }
        // A draw at the chance spawns nothing.
        uint32_t seed = 0;
        while (TRandom(seed).Next(100) != row.chance)
            ++seed;
        const size_t before = All<TSprite>().size();
        form->Random().Seed(seed);
        Frame();
        EXPECT_EQ(All<TSprite>().size(), before);
    }
}

TEST_F(EatingStage, ASlowOrStallingMachineGetsAsManyStepsOfFeastAsAFastOne) {
    // How far the clock moves after each pass of the loop: a machine that wakes on time, one
    // that wakes only every 45 ms, one stalled for 400 ms every 300 passes (each a stall the
    // frames give up rather than race through).
    const struct {
        const char* name;
        uint64_t (*advance)(int pass);
    } machines[] = {
        {"on time", [](int) -> uint64_t { return 1; }},
        {"waking every 45 ms", [](int) -> uint64_t { return 45; }},
        {"stalling", [](int pass) -> uint64_t { return pass % 300 == 299 ? 400 : 1; }},
    };
    std::vector<uint64_t> steps;
    for (const auto& m : machines) {
        form.reset();
        Enter();
        form->State().Lives = 1000; // whatever the stork does, the clock decides
        const uint64_t before = form->FrameCount();
        for (int pass = 0; pass < 200'000 && form->State().Scene == TScene::Eating; ++pass) {
            form->Pump();
            platform.Advance(m.advance(pass));
        }
        ASSERT_EQ(form->State().Scene, TScene::Pond) << m.name;
        steps.push_back(form->FrameCount() - before);
    }
    // Thirty seconds of countdown: 1000 steps of 30 ms.
    EXPECT_NEAR(static_cast<double>(steps[0]), 1000, 2);
    for (size_t i = 1; i < steps.size(); ++i)
        EXPECT_NEAR(static_cast<double>(steps[i]), static_cast<double>(steps[0]), 2)
            << machines[i].name;
}
