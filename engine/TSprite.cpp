// Sprite tree, depth order, hit search and the pixel test.
//
// Invariants: `children_` and `paintOrder_` of a sprite hold the same sprites; `paintOrder_` is
// sorted by Z with the most recently placed sprite first among equals. Loops over children take
// the count before they start and also re-check the live size, so sprites added during a pass
// wait for the next one and a list that shrank is never read past its end.
//
// Pixel test: frames A and B are compared in A's frame coordinates. The common region is cut
// from both pattern rectangles (and clipped to their surfaces, so a pattern that hangs off its
// chunk is never read outside it); a pixel is transparent when it equals its own surface's
// colour key. A surface shared by both frames is locked once; every lock is released on return.
#include "engine/TSprite.h"

#include "engine/Errors.h"
#include "engine/TDXImageList.h"
#include "engine/TDirectDrawSurface.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pondlark {

int TruncCoord(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int>::min() / 2,
                     hi = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(std::trunc(v), lo, hi));
}

// ---- TSprite ---------------------------------------------------------------------------------

TSprite::TSprite(TSprite* parent) : parent_(parent) {
    if (!parent_) return;
    auto* root = dynamic_cast<TSpriteEngine*>(parent_);
    engine_ = root ? root : parent_->engine_;
    parent_->AddChild(this);
    if (engine_) ++engine_->spriteCount_;
}

TSprite::~TSprite() {
    Clear();
    if (!parent_) return;
    if (engine_) {
        --engine_->spriteCount_;
        auto& dead = engine_->deadList_;
        dead.erase(std::remove(dead.begin(), dead.end(), this), dead.end());
        if (engine_->hitSprite_ == this) engine_->hitSprite_ = nullptr;
    }
    parent_->RemoveChild(this);
}

void TSprite::Hit(TSprite&, bool&) {}
void TSprite::Render() {}

bool TSprite::Covers(const TRect&) const {
    return false;
}
void TSprite::Step(int) {}
bool TSprite::Touches(TSprite&) {
    return true;
}

TRect TSprite::Extent() const {
    const int left = TruncCoord(AbsX()), top = TruncCoord(AbsY());
    return {left, top, left + Width, top + Height};
}

void TSprite::AddChild(TSprite* child) {
    children_.push_back(child);
    InsertPainted(child);
}

void TSprite::InsertPainted(TSprite* child) {
    auto at = std::lower_bound(paintOrder_.begin(), paintOrder_.end(), child->z_,
                               [](const TSprite* s, int32_t z) { return s->z_ < z; });
    paintOrder_.insert(at, child);
}

void TSprite::RemoveChild(TSprite* child) {
    children_.erase(std::find(children_.begin(), children_.end(), child));
    paintOrder_.erase(std::find(paintOrder_.begin(), paintOrder_.end(), child));
    if (children_.empty()) {
        children_.shrink_to_fit();
        paintOrder_.shrink_to_fit();
    }
}

void TSprite::SetZ(int32_t z) {
    if (z == z_) return;
    z_ = z;
    if (!parent_) return;
    auto& order = parent_->paintOrder_;
    order.erase(std::find(order.begin(), order.end(), this));
    parent_->InsertPainted(this);
}

TSprite* TSprite::Child(int index) const {
    if (children_.empty())
        throw ESpriteError(Format("Index of the list exceeds the range. (%d)", index));
    if (index < 0 || index >= ChildCount())
        throw ESpriteError(Format("List index out of bounds (%d)", index));
    return children_[static_cast<size_t>(index)];
}

void TSprite::Move(int ticks) {
    if (!Movable) return;
    Step(ticks);
    const size_t n = children_.size();
    for (size_t i = 0; i < n && i < children_.size(); ++i)
        children_[i]->Move(ticks);
}

void TSprite::Draw() {
    if (!Visible) return;
    if (engine_ && OverlapRect(Extent(), engine_->surfaceRect_)) {
        Render();
        ++engine_->drawnCount_;
    }
    const size_t n = paintOrder_.size();
    for (size_t i = 0; i < n && i < paintOrder_.size(); ++i)
        paintOrder_[i]->Draw();
}

int TSprite::CheckHits() {
    if (!engine_ || dying_ || !Collidable) return 0;
    TSpriteEngine& e = *engine_;
    e.hitCount_ = 0;
    e.hitDone_ = false;
    e.hitRect_ = Extent();
    e.hitSprite_ = this;
    const size_t n = e.children_.size();
    for (size_t i = 0; i < n && i < e.children_.size() && !e.hitDone_; ++i)
        e.children_[i]->VisitForHits(*this);
    return e.hitCount_;
}

void TSprite::VisitForHits(TSprite& s) {
    if (!Collidable) return;
    TSpriteEngine& e = *s.engine_;
    if (this != &s && OverlapRect(Extent(), e.hitRect_) && s.Touches(*this) && Touches(s)) {
        ++e.hitCount_;
        s.Hit(*this, e.hitDone_);
        if (!s.Collidable || s.dying_) e.hitDone_ = true;
    }
    if (e.hitDone_) return;
    const size_t n = children_.size();
    for (size_t i = 0; i < n && i < children_.size() && !e.hitDone_; ++i)
        children_[i]->VisitForHits(s);
}

void TSprite::MarkDead() {
    if (!engine_ || dying_) return;
    dying_ = true;
    engine_->deadList_.push_back(this);
}

void TSprite::Clear() {
    while (!children_.empty())
        delete children_.back();
}

// ---- TImageSprite ----------------------------------------------------------------------------

TRect TImageSprite::Extent() const {
    return TSprite::Extent();
}

TRect TImageSprite::DrawRect() const {
    TRect r = Extent();
    if (!Image) return r;
    const int dx = (Width - Image->Width()) / 2, dy = (Height - Image->Height()) / 2;
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void TImageSprite::SetImage(TPictureCollectionItem& image) {
    Image = &image;
    Width = image.Width();
    Height = image.Height();
}

void TImageSprite::Render() {
    if (!Image || !Engine()) return;
    const TRect r = DrawRect();
    Image->Draw(Engine()->Surface(), r.Left, r.Top, FrameIndex());
}

bool TImageSprite::Covers(const TRect& area) const {
    if (!Image || !Engine() || area.Empty()) return false;
    const TRect r = DrawRect();
    if (IntersectRect(area, r) != area || !OverlapRect(Extent(), area)) return false;
    return Image->Opaque(FrameIndex(), {area.Left - r.Left, area.Top - r.Top, area.Right - r.Left,
                                        area.Bottom - r.Top});
}

void TImageSprite::Step(int ticks) {
    FramePos += FrameSpeed * ticks;
    if (FrameLoop) {
        if (FrameCount > 0) {
            const double n = FrameCount;
            FramePos -= std::trunc(FramePos / n) * n;
            if (FramePos < 0) FramePos += n;
        } else {
            FramePos = 0;
        }
    } else {
        if (FramePos >= FrameCount) {
            FramePos = FrameCount - 1;
            FrameSpeed = 0;
        }
        if (FramePos < 0) {
            FramePos = 0;
            FrameSpeed = 0;
        }
    }
}

bool TImageSprite::Touches(TSprite& other) {
    auto* b = dynamic_cast<TImageSprite*>(&other);
    if (!b || !PixelExact) return true;
    return PixelsOverlap(*this, *b);
}

bool PixelsOverlap(const TImageSprite& A, const TImageSprite& B) {
    const int fa = A.FrameIndex(), fb = B.FrameIndex();
    const TRect ra = A.Image ? A.Image->PatternBox(fa) : TRect{};
    const TRect rb = B.Image ? B.Image->PatternBox(fb) : TRect{};
    TDirectDrawSurface* sa = A.Image ? A.Image->PatternSurface(fa) : nullptr;
    TDirectDrawSurface* sb = B.Image ? B.Image->PatternSurface(fb) : nullptr;
    const TRect da = A.DrawRect(), db = B.DrawRect();
    const int64_t bx = int64_t{db.Left} - da.Left, by = int64_t{db.Top} - da.Top;

    // Step 2: B in A's frame coordinates.
    const int64_t wA = ra.Width(), hA = ra.Height(), wB = rb.Width(), hB = rb.Height();
    if (!(0 < bx + wB && wA > bx && 0 < by + hB && hA > by)) return false;
    if (!sa || !sb) return true;

    // Step 4: the common region in each frame's own coordinates.
    const int64_t axo = std::max<int64_t>(bx, 0), ayo = std::max<int64_t>(by, 0);
    const int64_t bxo = std::max<int64_t>(-bx, 0), byo = std::max<int64_t>(-by, 0);
    int64_t w = std::min(wA - axo, wB - bxo), h = std::min(hA - ayo, hB - byo);
    // Stay on the surfaces even if a pattern hangs off its chunk.
    const int64_t ax = ra.Left + axo, ay = ra.Top + ayo, bx0 = rb.Left + bxo, by0 = rb.Top + byo;
    if (ax < 0 || ay < 0 || bx0 < 0 || by0 < 0) return false;
    w = std::min({w, sa->Width() - ax, sb->Width() - bx0});
    h = std::min({h, sa->Height() - ay, sb->Height() - by0});
    if (w <= 0 || h <= 0) return false;

    // Step 5: lock; a shared surface once.
    uint32_t* baseA = sa->Lock(sa->ClientRect());
    if (!baseA) return false;
    uint32_t* baseB = baseA;
    if (sb != sa) {
        baseB = sb->Lock(sb->ClientRect());
        if (!baseB) {
            sa->UnlockUnchanged();
            return false;
        }
    }
    // The test only reads: the surfaces keep their runs for the next transparent draw.
    auto unlock = [&] {
        sa->UnlockUnchanged();
        if (sb != sa) sb->UnlockUnchanged();
    };
    if (sa->BitCount() != sb->BitCount()) {
        unlock();
        return true;
    }
    const auto keyA = sa->ColorKey(), keyB = sb->ColorKey();
    const size_t pitchA = static_cast<size_t>(sa->Pitch()),
                 pitchB = static_cast<size_t>(sb->Pitch());
    bool hit = false;
    for (int64_t row = 0; row < h && !hit; ++row) {
        const uint32_t* pa =
            baseA + static_cast<size_t>(ay + row) * pitchA + static_cast<size_t>(ax);
        const uint32_t* pb =
            baseB + static_cast<size_t>(by0 + row) * pitchB + static_cast<size_t>(bx0);
        for (int64_t col = 0; col < w; ++col) {
            const uint32_t va = pa[col] & 0xFFFFFF, vb = pb[col] & 0xFFFFFF;
            if (keyA && va == *keyA) continue;
            if (keyB && vb == *keyB) continue;
            hit = true;
            break;
        }
    }
    unlock();
    return hit;
}

// ---- TBackgroundSprite -----------------------------------------------------------------------

namespace {
int PositiveMod(int64_t v, int64_t n) {
    int64_t r = v % n;
    return static_cast<int>(r < 0 ? r + n : r);
}
} // namespace

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) {
    Collidable = false;
}

TBackgroundSprite::~TBackgroundSprite() {
    SetMapSize(0, 0);
}

void TBackgroundSprite::SetMapSize(int cols, int rows) {
    if (cols == cols_ && rows == rows_) return;
    if (cols <= 0 || rows <= 0) cols = rows = 0;
    const int64_t n = int64_t{cols} * rows;
    if (n > (int64_t{1} << 24)) throw ESpriteError(Format("Map too large (%dx%d)", cols, rows));
    cols_ = cols;
    rows_ = rows;
    cells_.assign(static_cast<size_t>(n), 0);
    solid_.assign(static_cast<size_t>(n), 1);
}

int TBackgroundSprite::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return -1;
    return cells_[static_cast<size_t>(row) * cols_ + col];
}

bool TBackgroundSprite::IsSolid(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return false;
    return solid_[static_cast<size_t>(row) * cols_ + col] != 0;
}

void TBackgroundSprite::SetSolid(int col, int row, bool solid) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    solid_[static_cast<size_t>(row) * cols_ + col] = solid ? 1 : 0;
}

TRect TBackgroundSprite::Extent() const {
    if (Tiled) return Engine() ? Engine()->SurfaceRect() : TRect{};
    if (!Image) return {};
    const int x = TruncCoord(AbsX()), y = TruncCoord(AbsY());
    const int64_t w = int64_t{Image->Width()} * cols_, h = int64_t{Image->Height()} * rows_;
    return {x, y, static_cast<int>(std::min<int64_t>(x + w, std::numeric_limits<int>::max())),
            static_cast<int>(std::min<int64_t>(y + h, std::numeric_limits<int>::max()))};
}

bool TBackgroundSprite::Covers(const TRect& area) const {
    // A tiled map repeats over the whole surface (see Render): every cell's pattern opaque is
    // enough, wherever the map stands.
    // Big maps are not worth a walk every frame: their clear stays.
    if (!Tiled || !Image || !Engine() || area.Empty() || cols_ <= 0 || rows_ <= 0 ||
        cells_.size() > 64)
        return false;
    const TRect box = Image->PatternBox(0);
    for (int32_t pattern : cells_)
        if (Image->PatternBox(pattern).Width() != box.Width() ||
            Image->PatternBox(pattern).Height() != box.Height() ||
            !Image->Opaque(pattern, {0, 0, box.Width(), box.Height()}))
            return false;
    return true;
}

void TBackgroundSprite::Render() {
    if (!Image || !Engine() || cols_ <= 0 || rows_ <= 0) return;
    const TRect box = Image->PatternBox(0);
    const int64_t w = box.Width(), h = box.Height();
    if (w <= 0 || h <= 0) return; // nothing restored yet: no cell size to tile with
    TDirectDrawSurface* dest = Engine()->Surface();
    const TRect view = Engine()->SurfaceRect();
    const int64_t x = TruncCoord(AbsX()), y = TruncCoord(AbsY());
    const int64_t ox = x % w, oy = y % h, cx = x / w, cy = y / h;
    const int64_t cols = (view.Right + w) / w + 1, rows = (view.Bottom + h) / h + 1;
    auto draw = [&](int64_t col, int64_t row, int pattern) {
        if (pattern >= 0)
            Image->Draw(dest, static_cast<int>(col * w + ox), static_cast<int>(row * h + oy),
                        pattern);
    };
    if (Tiled) {
        for (int64_t r = -1; r <= rows; ++r)
            for (int64_t c = -1; c <= cols; ++c)
                draw(c, r, Cell(PositiveMod(c - cx, cols_), PositiveMod(r - cy, rows_)));
        return;
    }
    const int64_t sx = std::max<int64_t>(cx, 0), sy = std::max<int64_t>(cy, 0);
    const int64_t ex = std::min(sx + cols_ - std::max<int64_t>(-cx, 0), cols);
    const int64_t ey = std::min(sy + rows_ - std::max<int64_t>(-cy, 0), rows);
    for (int64_t r = sy; r < ey; ++r)
        for (int64_t c = sx; c < ex; ++c)
            draw(c, r, Cell(static_cast<int>(c - cx), static_cast<int>(r - cy)));
}

bool TBackgroundSprite::Touches(TSprite& other) {
    if (!Image || cols_ <= 0 || rows_ <= 0) return true;
    const TRect box = Image->PatternBox(0);
    const int64_t w = box.Width(), h = box.Height();
    if (w <= 0 || h <= 0) return false; // no cell size before restore: nothing solid to touch
    const TRect e0 = other.Extent();
    const TRect i0 = IntersectRect(e0, Extent());
    const int64_t dx = TruncCoord(AbsX()), dy = TruncCoord(AbsY());
    const int64_t il = i0.Left - dx, it = i0.Top - dy, ir = i0.Right - dx, ib = i0.Bottom - dy;
    const int64_t el = e0.Left - dx, et = e0.Top - dy, er = e0.Right - dx, eb = e0.Bottom - dy;
    for (int64_t r = (it - h + 1) / h; r <= ib / h; ++r)
        for (int64_t c = (il - w + 1) / w; c <= ir / w; ++c) {
            if (!IsSolid(PositiveMod(c, cols_), PositiveMod(r, rows_))) continue;
            const int64_t cl = c * w, ct = r * h;
            if (cl < er && cl + w > el && ct < eb && ct + h > et) return true;
        }
    return false;
}

// ---- TSpriteEngine ---------------------------------------------------------------------------

TSpriteEngine::~TSpriteEngine() {
    // Children reach back into the engine's lists while they go, so they go first.
    Clear();
}

void TSpriteEngine::Draw() {
    drawnCount_ = 0;
    TSprite::Draw();
}

bool TSpriteEngine::SurfaceCovered() const {
    if (!surface_ || !Visible) return false;
    // Draw paints the first visible child (in depth order) before anything else.
    for (const TSprite* s : paintOrder_)
        if (s->Visible) return s->Covers(surfaceRect_);
    return false;
}

void TSpriteEngine::Sweep() {
    while (!deadList_.empty())
        delete deadList_.back();
}

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface) {
    surface_ = surface;
    if (!surface_) return;
    surfaceRect_ = surface_->ClientRect();
    Width = surface_->Width();
    Height = surface_->Height();
}

} // namespace pondlark
