#include "game/PondEffects.h"

#include "app/TMainForm.h"
#include "game/PondFrog.h"

#include <cmath>
#include <string>

namespace pondlark {

TPondBonus::TPondBonus(TMainForm& form, const char* image, int row, int column)
    : TImageSprite(&form.Engine()), Row(row), Column(column), form_(form) {
    Image = &form.Image(image);
    Width = Image->Width();
    Height = Image->Height();
    X = SpotX(column) - Width / 2.0;
    Y = SpotY(row) - Height;
    SetZ(4);
}

void TPondBonus::Step(int ticks) {
    TImageSprite::Step(ticks);
    CheckHits();
    Y += form_.State.Pond.ScrollStep();
}

void TPondBonus::Hit(TSprite& other, bool&) {
    if (!other.IsA<TPlayerSprite>() || Dying()) return;
    Collect();
    MarkDead();
    form_.State.Pond.Grid.At(Row, Column).Bonus = kBonusNone;
}

void TDollar::Collect() {
    form_.State.Score += 100;
    form_.PlaySound("dollar");
}

void TLife::Collect() {
    form_.State.Lives += 1;
    form_.PlaySound("life");
}

void RemoveBonuses(TSprite& root, int row, int column) {
    ForEachChild<TPondBonus>(root, [&](TPondBonus& b) {
        if (b.Row == row && b.Column == column) b.MarkDead();
    });
}

// ---------------------------------------------------------------------------------------------

TPondEffect::TPondEffect(TMainForm& form, const char* image, int z)
    : TImageSprite(&form.Engine()), form_(form) {
    Image = &form.Image(image);
    Width = Image->Width();
    Height = Image->Height();
    SetZ(z);
    PixelExact = true;
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = false;
    FrameSpeed = 0.01;
}

void TPondEffect::Render() {
    Image->Draw(Engine()->Surface(), RoundEven(X), RoundEven(Y), RoundEven(FramePos));
}

TRazvod::TRazvod(TMainForm& form, int column, int variant)
    : TPondEffect(form, ("razvod" + std::to_string(variant)).c_str(), 2) {
    X = SpotX(column) - Width / 2.0 - 2;
    Y = SpotY(4) - Height + (variant == 2 ? 53 : 63);
}

void TRazvod::Step(int ticks) {
    TImageSprite::Step(ticks);
    if (RoundEven(FramePos) > Image->PatternCount() - 1) MarkDead();
    Y += form_.State.Pond.ScrollStep();
}

TBrizgi::TBrizgi(TMainForm& form) : TPondEffect(form, "brizgi", 10) {
    const int column = form.State.Pond.FrogColumn + 1;
    X = SpotX(column) - Width / 2.0;
    Y = SpotY(4) - Height + 30;
    form.PlaySound("brizg");
}

void TBrizgi::Step(int ticks) {
    TImageSprite::Step(ticks);
    if (lastRounded_ > Image->PatternCount() - 1) {
        MarkDead();
        form_.State.FrogLost = true;
    }
    lastRounded_ = static_cast<uint8_t>(RoundEven(FramePos));
    Y += form_.State.Pond.ScrollStep();
}

} // namespace pondlark
