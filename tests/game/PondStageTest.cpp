// The pond stage played through the real game: keys in, frames out, state checked.
#include "game/PondStage.h"
#include "app/GameFixture.h"
#include "game/Lilies.h"
#include "game/PondEffects.h"
#include "game/PondFrog.h"
#include "game/PondSprites.h"
#include "game/StatusSprites.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuSprites.h"

#include <functional>
#include <vector>

namespace pondlark {
namespace {

struct CellAt {
    int row, column;
    uint8_t kind, bonus = kBonusNone;
};

struct PondStage : GameFixture {
    TGameState& S() { return form->State(); }
    TPondState& Pond() { return form->State().Pond; }
    TSprite& Root() { return form->Engine(); }

    // From the intro through the main menu into a level-1 pond.
    void EnterPond() {
        ASSERT_TRUE(Start(7));
        Key(vk::Return);
        Key(vk::Return);
        ASSERT_EQ(S().Scene, TScene::Pond);
    }

    template <class T> std::vector<T*> All() {
        std::vector<T*> found;
        for (int i = 0; i < Root().ChildCount(); ++i)
            if (auto* s = dynamic_cast<T*>(Root().Child(i)); s && !s->Dying()) found.push_back(s);
        return found;
    }
    TPondFrog* Frog() {
        auto frogs = All<TPondFrog>();
        return frogs.empty() ? nullptr : frogs.front();
    }
    TLily* LilyAt(int row, int column) {
        for (TLily* lily : All<TLily>())
            if (lily->Row == row && lily->Column == column) return lily;
        return nullptr;
    }

    // A known pond instead of the seed's: plain lilies everywhere but `cells`, every plain lily
    // held afloat, the frog in `frogColumn` (1..4), the banner gone.
    void Lay(int frogColumn, std::initializer_list<CellAt> cells) {
        for (int row = TLilyGrid::kFirstRow; row <= TLilyGrid::kLastRow; ++row)
            for (int column = 1; column <= 4; ++column)
                Pond().Grid.At(row, column) = {};
        for (const CellAt& c : cells)
            Pond().Grid.At(c.row, c.column) = {c.kind, c.bonus};
        MarkAllDead<TLily>(Root());
        MarkAllDead<TCrocodileEyes>(Root());
        MarkAllDead<TPondBonus>(Root());
        form->Engine().Sweep();
        Pond().FirstBuild = true;
        BuildLilies(*form);
        for (TLily* lily : All<TLily>()) {
            if (lily->KindName() != "simple") continue;
            lily->FramePos = 0;
            lily->BaseSpeed = lily->FrameSpeed = 0;
        }
        Pond().FrogColumn = static_cast<uint8_t>(frogColumn - 1);
        Frog()->X = Frog()->HomeX();
        S().Pond.LevelBanner = false;
        form->SceneTimer().SetEnabled(false);
    }

    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // Runs frames until `done` holds; false when it never did within `limit` frames.
    bool Until(const std::function<bool()>& done, int limit = 300) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }
    void FinishScroll() {
        ASSERT_TRUE(Until([&] { return !Pond().Scrolling; }, 40));
    }
};

TEST_F(PondStage, BuildsTheLevelWithItsBannerAndAPlainFrogRow) {
    EnterPond();
    EXPECT_TRUE(S().Pond.LevelBanner);
    EXPECT_TRUE(form->SceneTimer().Enabled());
    EXPECT_EQ(Pond().StoneRow, 2);
    EXPECT_EQ(S().Hunger, 0);
    ASSERT_NE(Frog(), nullptr);
    EXPECT_EQ(Frog()->Width, 34);
    EXPECT_EQ(Frog()->Height, 53);
    // The frog's row is plain, and the stone's spot has no lily.
    for (int column = 1; column <= 4; ++column) {
        EXPECT_TRUE(IsPlainLily(Pond().Grid.Get(4, column).Kind));
        EXPECT_NE(LilyAt(4, column), nullptr);
    }
    EXPECT_EQ(LilyAt(2, 1), nullptr);
    EXPECT_EQ(All<TBottle>().size(), 1u);
    EXPECT_EQ(All<TPanel>().size(), 3u);
    EXPECT_EQ(All<TStone>().front()->Y, 135);
    // The banner holds the pond still until the scene timer fires.
    const double stoneY = All<TStone>().front()->Y;
    Key(vk::Space);
    EXPECT_EQ(S().Score, 0);
    form->RunFor(3400);
    EXPECT_FALSE(S().Pond.LevelBanner);
    EXPECT_EQ(All<TStone>().front()->Y, stoneY);
}

TEST_F(PondStage, TwoForwardJumpsReachTheStoneAndTheEatingStageFollowsAfterAPause) {
    EnterPond();
    Lay(1, {});
    Key(vk::Space);
    EXPECT_EQ(Pond().StoneRow, 3);
    FinishScroll();
    // Every sprite that scrolled stands exactly on a spot of its new row.
    for (TLily* lily : All<TLily>())
        EXPECT_EQ(lily->Y, SpotY(lily->Row) - lily->Height) << lily->Row;
    EXPECT_EQ(All<TStone>().front()->Y, 285);
    EXPECT_EQ(S().Scene, TScene::Pond);

    Key(vk::Space);
    EXPECT_EQ(Pond().StoneRow, 4);
    uint64_t before = 0;
    ASSERT_TRUE(Until([&] {
        if (S().Scene != TScene::Pond) return true;
        before = platform.Ticks();
        return false;
    }));
    EXPECT_EQ(S().Scene, TScene::Eating);
    EXPECT_GE(platform.Ticks() - before, 200u);
    EXPECT_EQ(S().Score, 10);
    EXPECT_EQ(S().Level, 1);
}

TEST_F(PondStage, ADrownedFrogCostsOneLifeWhenTheSplashEnds) {
    struct Case {
        int lives;
        int livesAfter;
        TScene sceneAfter;
    };
    for (const Case c : {Case{3, 2, TScene::Pond}, Case{1, 1, TScene::GameOver}}) {
        SCOPED_TRACE(c.lives);
        EnterPond();
        S().Lives = c.lives;
        Lay(2, {});
        LilyAt(4, 2)->FramePos = 2.5; // sunk under the frog
        ASSERT_TRUE(Until([&] { return S().Pond.FrogDead; }, 5));
        ASSERT_EQ(All<TSplash>().size(), 1u);
        // The life goes only once the splash has played its last picture.
        bool splashSeen = true;
        double splashEnd = 0;
        const int pictures = All<TSplash>().front()->Image->PatternCount();
        ASSERT_TRUE(Until([&] {
            if (S().Lives != c.lives || S().Scene != TScene::Pond || !S().Pond.FrogDead)
                return true;
            const auto splashes = All<TSplash>();
            splashSeen = splashSeen && splashes.size() == 1;
            if (!splashes.empty()) splashEnd = splashes.front()->FramePos;
            return false;
        }));
        EXPECT_TRUE(splashSeen);
        EXPECT_GE(splashEnd, pictures - 0.5);
        EXPECT_EQ(S().Lives, c.livesAfter);
        EXPECT_EQ(S().Scene, c.sceneAfter);
        if (c.sceneAfter == TScene::Pond) {
            // Rebuilt from scratch, banner and all.
            EXPECT_TRUE(S().Pond.LevelBanner);
            EXPECT_FALSE(S().Pond.FrogDead);
            EXPECT_FALSE(S().Pond.FrogLost);
            EXPECT_EQ(Pond().StoneRow, 2);
            EXPECT_NE(Frog(), nullptr);
            EXPECT_TRUE(form->SceneTimer().Enabled());
            Frames(20);
            EXPECT_EQ(S().Lives, c.livesAfter);
        }
        TearDown();
        SetUp();
    }
}

TEST_F(PondStage, AHunterLilyEatsAFrogThatStaysAndSparesOneThatLeaves) {
    for (const bool leave : {false, true}) {
        SCOPED_TRACE(leave);
        EnterPond();
        Lay(2, {{4, 2, kLilyHunter}});
        if (leave) {
            Key(vk::Right);
            Key(vk::Space);
        }
        Frames(120);
        EXPECT_EQ(S().Lives, leave ? 3 : 2);
        if (leave) {
            EXPECT_FALSE(Pond().EatenByHunter);
            EXPECT_EQ(Pond().FrogColumn, 2);
            // It closed on nothing and opened again.
            EXPECT_EQ(LilyAt(4, 2)->FramePos, 0);
        }
        TearDown();
        SetUp();
    }
}

TEST_F(PondStage, AStickyLilyHoldsThreeJumpsInOneDirectionAndReleasesTheFourth) {
    EnterPond();
    Lay(2, {{4, 2, kLilySticky}});
    for (int held = 1; held <= 3; ++held) {
        Key(vk::Space);
        EXPECT_EQ(Pond().StickyCount, held);
        EXPECT_TRUE(Pond().StuckOnSticky);
        EXPECT_FALSE(Pond().Scrolling);
        ASSERT_TRUE(Until([&] { return Pond().StrandShown; }, 30));
        EXPECT_FALSE(All<TStickyStrand>().empty());
        ASSERT_TRUE(Until([&] { return !Pond().StuckOnSticky; }, 100));
        EXPECT_TRUE(All<TStickyStrand>().empty());
    }
    EXPECT_EQ(S().Score, 15);
    EXPECT_EQ(S().Hunger, 3);
    EXPECT_EQ(Pond().StoneRow, 2);
    Key(vk::Space);
    EXPECT_TRUE(Pond().Scrolling);
    EXPECT_EQ(Pond().StickyCount, 0);
    EXPECT_EQ(Pond().StoneRow, 3);
}

TEST_F(PondStage, TurningStartsTheStickyCountAfresh) {
    EnterPond();
    Lay(2, {{4, 2, kLilySticky}});
    for (int held = 1; held <= 2; ++held) {
        Key(vk::Space);
        ASSERT_TRUE(Until([&] { return !Pond().StuckOnSticky; }, 100));
    }
    EXPECT_EQ(Pond().StickyCount, 2);
    Key(vk::Left);
    EXPECT_EQ(Pond().StickyCount, 0);
    Key(vk::Space);
    EXPECT_EQ(Pond().StickyCount, 1);
    EXPECT_TRUE(Pond().StuckOnSticky);
    EXPECT_FALSE(Frog()->SlideLeft);
    EXPECT_EQ(Pond().FrogColumn, 1);
}

TEST_F(PondStage, ASpringyLilyScrollsTwoRows) {
    EnterPond();
    Lay(2, {{4, 2, kLilySpringy}, {2, 3, kLilyCrocodile}});
    ASSERT_EQ(All<TCrocodileEyes>().size(), 1u);
    Key(vk::Space);
    EXPECT_EQ(Pond().ScrollSpeed, 2);
    EXPECT_EQ(Pond().StoneRow, 4);
    EXPECT_EQ(All<TCrocodileEyes>().front()->Row, 4); // the eyes follow at once
    FinishScroll();
    EXPECT_EQ(Pond().ScrollSpeed, 1);
    EXPECT_EQ(All<TStone>().front()->Y, 135 + 300);
    EXPECT_EQ(Pond().Grid.Get(4, 3).Kind, kLilyCrocodile);
    for (TLily* lily : All<TLily>())
        EXPECT_EQ(lily->Y, SpotY(lily->Row) - lily->Height) << lily->Row;
    EXPECT_EQ(S().Scene, TScene::Pond); // column 2 does not touch the stone
}

TEST_F(PondStage, ACrocodileLilyFreezesTheFrogThenStrikes) {
    EnterPond();
    Lay(2, {{4, 2, kLilyCrocodile}});
    ASSERT_TRUE(Until([&] { return !Pond().FrogControl; }));
    EXPECT_FALSE(Pond().CrocodileAttack);
    Key(vk::Space); // frozen: no jump
    EXPECT_EQ(S().Score, 0);
    ASSERT_TRUE(Until([&] { return Pond().CrocodileAttack; }, 60));
    EXPECT_EQ(All<TCrocodile>().size(), 1u);
    EXPECT_EQ(LilyAt(4, 2), nullptr);
    EXPECT_EQ(S().Lives, 3);
    ASSERT_TRUE(Until([&] { return S().Lives == 2; }, 60));
    EXPECT_TRUE(S().Pond.LevelBanner);
}

// The eyes open by 0.002 pictures a tick while the frog stands on their lily, 16 ticks a frame:
// a change every 31.25 frames. The frog freezes in the frame of the fourth change and the
// crocodile strikes in the frame of the fifth.
TEST_F(PondStage, TheFrogFreezesAtTheFourthEyeChangeAndTheCrocodileStrikesAtTheFifth) {
    EnterPond();
    Lay(2, {{4, 2, kLilyCrocodile}});
    ASSERT_EQ(All<TCrocodileEyes>().size(), 1u);
    TCrocodileEyes* eyes = All<TCrocodileEyes>().front();
    std::vector<int> changedIn;
    int frame = 0;
    while (!Pond().CrocodileAttack && frame < 400) {
        const int before = eyes->FrameChanges;
        Frame();
        ++frame;
        if (Pond().CrocodileAttack) break; // the eyes are gone with the strike
        if (eyes->FrameChanges != before) changedIn.push_back(frame);
        EXPECT_EQ(Pond().FrogControl, eyes->FrameChanges < 4) << "frame " << frame;
    }
    EXPECT_EQ(changedIn, (std::vector<int>{32, 63, 94, 125}));
    EXPECT_EQ(frame, 157) << "the strike comes with the fifth change";
}

// The level banner holds the pond still for 3300 ms of the scene timer.
TEST_F(PondStage, TheLevelBannerStandsThePondStillFor3300Ms) {
    ASSERT_TRUE(Start(7));
    Key(vk::Return);
    ASSERT_EQ(S().Scene, TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    ASSERT_TRUE(S().Pond.LevelBanner);
    form->RunFor(3299);
    EXPECT_TRUE(S().Pond.LevelBanner);
    form->RunFor(2);
    EXPECT_FALSE(S().Pond.LevelBanner);
}

TEST_F(PondStage, TheFrogTakesTheBonusOfItsLily) {
    struct Case {
        uint8_t bonus;
        int score, lives;
    };
    for (const Case c : {Case{kBonusCoin, 100, 3}, Case{kBonusLife, 0, 4}}) {
        SCOPED_TRACE(c.bonus);
        EnterPond();
        Lay(3, {{4, 3, kLilyPlain2, c.bonus}});
        Frames(3);
        EXPECT_EQ(S().Score, c.score);
        EXPECT_EQ(S().Lives, c.lives);
        EXPECT_EQ(Pond().Grid.Get(4, 3).Bonus, kBonusNone);
        Frames(2);
        EXPECT_TRUE(All<TPondBonus>().empty());
        TearDown();
        SetUp();
    }
}

TEST_F(PondStage, ABonusOutOfReachSinksWithItsLilyAndComesBack) {
    EnterPond();
    Lay(1, {{3, 3, kLilyPlain1, kBonusCoin}});
    TLily* lily = LilyAt(3, 3);
    lily->BaseSpeed = lily->FrameSpeed = 0.01;
    // Shown, gone with the sinking lily, shown again when it surfaces.
    std::vector<size_t> seen;
    for (int i = 0; i < 200; ++i) {
        const size_t n = All<TCoin>().size();
        if (seen.empty() || seen.back() != n) seen.push_back(n);
        Frame();
    }
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ((std::vector<size_t>(seen.begin(), seen.begin() + 4)),
              (std::vector<size_t>{0, 1, 0, 1}));
    EXPECT_EQ(S().Score, 0);
    EXPECT_EQ(Pond().Grid.Get(3, 3).Bonus, kBonusCoin);
}

TEST_F(PondStage, TheBottleShowsHungerPerLevelAndAnOverflowCostsALife) {
    struct Case {
        int level, hunger, frame;
    };
    EnterPond();
    Lay(1, {});
    for (const Case c : {Case{1, 0, 0}, Case{1, 5, 5}, Case{3, 5, 1}, Case{2, 23, 11}}) {
        S().Level = c.level;
        S().Hunger = c.hunger;
        Frame();
        EXPECT_EQ(All<TBottle>().front()->BottleFrame(), c.frame) << c.level << " " << c.hunger;
        EXPECT_EQ(S().Eating.BottleEmpty, c.frame == 0);
    }
    EXPECT_EQ(S().Lives, 3);
    S().Level = 1;
    S().Hunger = 12;
    Frame();
    EXPECT_EQ(S().Lives, 2);
    EXPECT_EQ(S().Hunger, 0);
    EXPECT_FALSE(S().Starved);
}

TEST_F(PondStage, PauseTheExitQuestionAndFocusLossStandThePondStill) {
    struct Case {
        const char* name;
        std::function<void(PondStage&)> stop, go;
    };
    const Case cases[] = {
        {"pause", [](PondStage& t) { t.Key('P'); }, [](PondStage& t) { t.Key('P'); }},
        {"exit question", [](PondStage& t) { t.Key(vk::Escape); },
         [](PondStage& t) { t.Key(vk::Escape); }},
        {"focus", [](PondStage& t) { t.platform.Focus(false); },
         [](PondStage& t) { t.platform.Focus(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnterPond();
        Lay(2, {{4, 2, kLilyHunter}});
        Key(vk::Space); // a scroll under way
        Frames(3);
        c.stop(*this);
        Frame();
        const double stoneY = All<TStone>().front()->Y;
        const double hunterPos = LilyAt(4, 2)->FramePos;
        const uint64_t drawn = form->FrameCount();
        Frames(30);
        EXPECT_GT(form->FrameCount(), drawn);
        EXPECT_EQ(All<TStone>().front()->Y, stoneY);
        EXPECT_EQ(LilyAt(4, 2)->FramePos, hunterPos);
        c.go(*this);
        Frames(2);
        EXPECT_GT(All<TStone>().front()->Y, stoneY);
        TearDown();
        SetUp();
    }
}

} // namespace
} // namespace pondlark
