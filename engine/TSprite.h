// The sprite engine: every visible object is a sprite in a tree rooted in one TSpriteEngine.
//
// Ownership: a sprite made with a parent belongs to that parent from its constructor on. Make
// sprites with `new TFoo(parent)` and never keep them on the stack; the parent destroys its
// children when it is destroyed or cleared, and `delete` on a sprite unlinks it first. Raw
// pointers to a sprite stay valid until it is destroyed. The engine's dead list does not own.
//
// Re-entrancy: `Step` and `Hit` overrides may create sprites (they join at the end of their
// parent's children and are not visited until the next pass) and may `MarkDead` any sprite, but
// must not destroy sprites while `Move` or `CheckHits` runs: `Sweep` frees the dead afterwards.
//
// Class identity: test with `dynamic_cast<TFoo*>(&other)` (see `IsA`).
#pragma once

#include "engine/Geometry.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace pondlark {

class TSpriteEngine;
class TPictureCollectionItem;
class TDirectDrawSurface;

// Trunc of a coordinate, clamped to the int range so that wild positions stay defined.
int TruncCoord(double v);
// A coordinate or frame position rounded half to even, as the game's drawing rounds.
inline int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

class TSprite {
public:
    // `parent` may be null only for an engine (or a detached sprite that is never drawn).
    explicit TSprite(TSprite* parent);
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Called on the testing sprite for each sprite it hits; set `done` to stop the search.
    virtual void Hit(TSprite& other, bool& done);
    // Draws this sprite alone.
    virtual void Render();
    // Per-frame behaviour.
    virtual void Step(int ticks);
    // Bounding rectangle in surface coordinates.
    virtual TRect Extent() const;
    // Fine test after the rectangles overlap.
    virtual bool Touches(TSprite& other);
    // True only when this sprite's own `Render` writes every pixel of `area` (surface
    // coordinates); false whenever that is not certain.
    virtual bool Covers(const TRect& area) const;

    bool Collidable = true;
    bool Movable = true;
    bool Visible = true;
    double X = 0, Y = 0; // relative to the parent
    int32_t Width = 0, Height = 0;

    int32_t Z() const { return z_; }
    // Re-sorts the sprite among its siblings (last set stands first among equals).
    void SetZ(int32_t z);

    TSpriteEngine* Engine() const { return engine_; }
    bool Dying() const { return dying_; }
    double AbsX() const { return parent_ ? X + parent_->AbsX() : X; }
    double AbsY() const { return parent_ ? Y + parent_->AbsY() : Y; }

    // Steps this sprite, then its children (those present when the pass began).
    void Move(int ticks);
    // Renders this sprite when on screen, then its children in depth order.
    virtual void Draw();
    // Tests this sprite against the whole tree; returns the number of hits.
    int CheckHits();
    // Puts the sprite on the engine's dead list once; it stays fully active until swept.
    void MarkDead();
    // Destroys all children, last first.
    void Clear();
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // Raises ESpriteError for an index outside the children.
    TSprite* Child(int index) const;

    template <class T> bool IsA() const { return dynamic_cast<const T*>(this) != nullptr; }

private:
    friend class TSpriteEngine;
    void AddChild(TSprite* child);
    void RemoveChild(TSprite* child);
    void InsertPainted(TSprite* child);
    void VisitForHits(TSprite& testing);

    TSpriteEngine* engine_ = nullptr;
    TSprite* parent_ = nullptr;
    std::vector<TSprite*> children_;   // owned, insertion order
    std::vector<TSprite*> paintOrder_; // the same, by Z ascending
    bool dying_ = false;
    int32_t z_ = 0;
};

// Calls `f` on every child of `root` of class T, dying ones too, in child order. Children that
// `f` adds are visited as well.
template <class T, class F> void ForEachChild(TSprite& root, F&& f) {
    for (int i = 0; i < root.ChildCount(); ++i)
        if (auto* s = dynamic_cast<T*>(root.Child(i))) f(*s);
}

// Marks every child of `root` of class T dead.
template <class T> void MarkAllDead(TSprite& root) {
    ForEachChild<T>(root, [](T& s) { s.MarkDead(); });
}

class TImageSprite : public TSprite {
public:
    explicit TImageSprite(TSprite* parent) : TSprite(parent) {}

    int32_t FrameCount = 0;
    bool FrameLoop = false;
    double FramePos = 0;
    double FrameSpeed = 0; // frames per tick
    int32_t FrameStart = 0;
    TPictureCollectionItem* Image = nullptr; // not owned; lives in the image list
    bool PixelExact = false;

    // Shows `image` (which outlives the sprite), sized to one of its frames.
    void SetImage(TPictureCollectionItem& image);
    int FrameIndex() const { return TruncCoord(FramePos) + FrameStart; }
    // Extent, centred for an image of another size.
    TRect DrawRect() const;

    void Render() override;
    void Step(int ticks) override;
    TRect Extent() const override;
    bool Touches(TSprite& other) override;
    bool Covers(const TRect& area) const override;
};

// Pixel-exact overlap of two image sprites' current frames (see TSprite.cpp).
bool PixelsOverlap(const TImageSprite& a, const TImageSprite& b);

class TBackgroundSprite : public TSprite {
public:
    explicit TBackgroundSprite(TSprite* parent);
    ~TBackgroundSprite() override;

    TPictureCollectionItem* Image = nullptr; // not owned
    bool Tiled = false;

    // New cells are pattern 0 and solid; a size <= 0 on either side empties the map. A map of
    // more than 2^24 cells raises ESpriteError.
    void SetMapSize(int cols, int rows);
    int Cell(int col, int row) const;     // -1 outside the map
    bool IsSolid(int col, int row) const; // false outside the map
    void SetSolid(int col, int row, bool solid);

    void Render() override;
    TRect Extent() const override;
    bool Touches(TSprite& other) override;
    bool Covers(const TRect& area) const override;

private:
    int cols_ = 0, rows_ = 0;
    std::vector<int32_t> cells_;
    std::vector<uint8_t> solid_;
};

class TSpriteEngine : public TSprite {
public:
    TSpriteEngine() : TSprite(nullptr) {}
    ~TSpriteEngine() override;

    void Draw() override; // zeroes DrawnCount first
    // True when the first sprite `Draw` paints writes the whole surface, so that clearing the
    // surface before `Draw` would be painted over.
    bool SurfaceCovered() const;
    // Destroys the dead sprites, last marked first.
    void Sweep();
    // The surface must outlive the binding; null unbinds and keeps the old SurfaceRect.
    void SetSurface(TDirectDrawSurface* surface);
    TDirectDrawSurface* Surface() const { return surface_; }
    TRect SurfaceRect() const { return surfaceRect_; }

    int SpriteCount() const { return spriteCount_; }
    int DrawnCount() const { return drawnCount_; }
    const std::vector<TSprite*>& DeadList() const { return deadList_; }

private:
    friend class TSprite;
    TDirectDrawSurface* surface_ = nullptr;
    TRect surfaceRect_;
    int spriteCount_ = 0;
    int drawnCount_ = 0;
    int hitCount_ = 0;
    bool hitDone_ = false;
    TRect hitRect_;
    TSprite* hitSprite_ = nullptr;
    std::vector<TSprite*> deadList_;
};

} // namespace pondlark
