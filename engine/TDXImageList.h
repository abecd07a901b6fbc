// The image list: every picture of the game, cut into equal frames (patterns) on surfaces while
// the display is up.
//
// Ownership: `TDXImageList` owns its `Items`; the collection owns its items and the packed
// pictures of the archive it loaded; an item owns its decoded picture and the surfaces made from
// it. The surfaces are views of the picture's own pixels, so each picture is held once;
// `SetPicture` drops them with the old picture. Surfaces and pattern rectangles exist only while
// the picture's pixels are held, between the display's restore and finalize notifications (or
// the next `SetPicture`); references to items stay valid until the collection is cleared or
// reloaded.
//
// Memory: a picture loaded from an archive is held decoded only while the running scene uses it.
// `Use` marks it used by the scene (decoding it again when it was released), and `ReleaseUnused`
// drops the pixels and surfaces of every picture the scene did not use; its size and palette
// stay, so a later `Use` gives the same pixels back. The packed pictures of an archive loaded
// from memory stay in memory; those of an archive loaded early from its file (below) are read
// from the file again when a scene takes one up, so no copy of the archive stays in memory.
//
// Failures: a missing file raises EFOpenError; a bad archive EStreamError; bad pixels
// EInvalidGraphic "DIB is invalid"; an unknown name EPictureCollectionError "Image '%s' not
// found". Drawing before restore or with an index outside the patterns draws nothing.
#pragma once

#include "engine/ArchiveReader.h"
#include "engine/DibCodec.h"
#include "engine/Geometry.h"
#include "engine/TDXDraw.h"
#include "engine/TDirectDrawSurface.h"
#include "engine/THashCollection.h"

#include <array>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pondlark {

struct GraphicArchive;
class TPictureCollection;
class TDXImageList;

class TPictureCollectionItem : public THashCollectionItem {
public:
    explicit TPictureCollectionItem(TPictureCollection& owner) : owner_(owner) {}

    // Archive fields. Changing the frame layout takes effect at the next `Restore`.
    int32_t PatternWidth = 0;  // <= 0: the whole picture width
    int32_t PatternHeight = 0; // <= 0: the whole picture height
    int32_t SkipWidth = 0;
    int32_t SkipHeight = 0;
    bool SystemMemory = false;
    bool Transparent = true;

    TColor TransparentColor() const { return transparentColor_; }
    // Also re-keys the surfaces already made.
    void SetTransparentColor(TColor color);

    // The source picture. `hasPicture` false means the archive named a graphic class we do not
    // read: such an item never gets surfaces.
    void SetPicture(TDibImage picture, bool hasPicture = true);
    const TDibImage& Picture() const { return picture_; }
    bool HasPicture() const { return hasPicture_ && !picture_.Empty(); }

    // The packed picture this item can be decoded from again; it must outlive the item (the
    // collection keeps its archive's, or reads it again from the archive's file). An item
    // without one is never released.
    void SetPacked(std::span<const uint8_t> packed) { packed_ = packed; }
    // True while the pixels are in memory, or when there is no picture to hold.
    bool Held() const { return !HasPicture() || !picture_.Pixels.empty(); }
    // Decodes a released picture again, with surfaces when the display is up. A packed picture
    // that cannot be read again (its file gone or changed) or decoded raises that error and the
    // item stays released.
    void Hold();
    // Drops the pixels and surfaces of a picture that can be decoded again; its size, bit count
    // and palette stay. No effect on an item without a packed picture.
    void Release();

    int Width() const { return PatternWidth > 0 ? PatternWidth : picture_.Width; }
    int Height() const { return PatternHeight > 0 ? PatternHeight : picture_.Height; }
    int PatternCount() const { return static_cast<int>(patterns_.size()); }
    // (0, 0, 0, 0) / nullptr when `index` is outside 0 .. PatternCount() - 1.
    TRect PatternBox(int index) const;
    TDirectDrawSurface* PatternSurface(int index) const;
    // The pixel value transparent pixels have on this item's surfaces.
    uint32_t ColorKey() const;

    // True when `Draw` of pattern `index` writes every pixel of `part` (in the pattern's own
    // coordinates, (0, 0) its top-left); false for a part outside the pattern.
    bool Opaque(int index, const TRect& part) const;
    // Copies pattern `index` to `dest` with its top-left at (x, y), clipped; skips keyed pixels
    // when `Transparent`.
    void Draw(TDirectDrawSurface* dest, int x, int y, int index) const;
    // Scales pattern `index` to a w x h box whose pivot (centerX * w, centerY * h) lands on
    // (x, y), turned clockwise by angle * 360 / 256 degrees (only the low 8 bits count).
    void DrawRotated(TDirectDrawSurface* dest, int x, int y, int w, int h, int index,
                     double centerX, double centerY, int angle) const;

    bool Initialized() const { return initialized_; }
    void Initialize();
    void Finalize();
    void Restore();

private:
    struct Pattern {
        TRect rect;
        TDirectDrawSurface* surface;
    };
    std::unique_ptr<TDirectDrawSurface> MakeSurface(const TRect& part);

    friend class TPictureCollection;

    TPictureCollection& owner_;
    std::span<const uint8_t> packed_;
    std::optional<TByteRange> inFile_; // where the packed picture lies in the archive's file
    uint64_t usedInScene_ = 0;         // the collection's scene that last used it
    TColor transparentColor_ = 0;
    TDibImage picture_;
    bool hasPicture_ = false;
    bool initialized_ = false;
    std::vector<Pattern> patterns_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
};

// The pixels one graphic archive may hold in all. The game's own hold 4.6 million; seven times
// that leaves room for a richer re-skin, while an archive of many pictures at the size cap of
// one (kMaxDibPixels) is refused before it is decoded.
inline constexpr int64_t kMaxArchivePixels = int64_t{1} << 25;

struct TPreparedPictures;

// A picture archive read, checked and partly decoded on a thread of its own, begun before the
// collection that takes it exists: the program reads its first pictures while the window system
// is still opening the window. `TPictureCollection::LoadFromFile(TEarlyPictures&)` waits for it
// and raises what the plain load would have raised. Destroying it unused waits for the thread.
class TEarlyPictures {
public:
    // Reads `path` and decodes the pictures named in `first` (a thread that cannot start leaves
    // the work to the load that takes it).
    TEarlyPictures(std::string path, std::vector<std::string> first);
    ~TEarlyPictures();
    TEarlyPictures(const TEarlyPictures&) = delete;
    TEarlyPictures& operator=(const TEarlyPictures&) = delete;

    const std::string& Path() const { return path_; }

private:
    friend class TPictureCollection;
    std::string path_;
    std::future<std::unique_ptr<TPreparedPictures>> prepared_;
};

class TPictureCollection : public THashCollection {
public:
    TPictureCollection();
    ~TPictureCollection() override;

    TPictureCollectionItem& Add();
    TPictureCollectionItem& Items(int index) const {
        return static_cast<TPictureCollectionItem&>(ItemAt(index));
    }
    TPictureCollectionItem& operator[](int index) const { return Items(index); }
    // Raises EPictureCollectionError "Image '%s' not found" when absent.
    TPictureCollectionItem& Find(std::string_view name) const;

    // The pictures of a scene. `Use` finds a picture as `Find` does and marks it used by the
    // running scene, decoding it again when it was released (while the archive is still
    // `Loading`, a picture not decoded yet is decoded by `FinishLoading` instead). `BeginScene`
    // starts a new scene with no picture used; `ReleaseUnused` releases every picture the
    // running scene has not used (nothing while `Loading`). With `KeepDecoded` every picture
    // stays decoded.
    TPictureCollectionItem& Use(std::string_view name);
    void BeginScene() { ++scene_; }
    void ReleaseUnused();
    bool KeepDecoded = false;

    // Replaces the items with the archive's. A missing file raises EFOpenError "Cannot open
    // file "%s". %s" and leaves the items alone; a bad archive leaves the collection empty. An
    // archive whose pictures hold more than kMaxArchivePixels raises EInvalidGraphic before any
    // picture is decoded.
    void LoadFromFile(const std::string& path);
    void LoadFromMemory(std::span<const uint8_t> bytes);
    // Loads as LoadFromFile does, with the same errors, but decodes only the pictures named in
    // `first` before returning (names the archive lacks are passed over). The others are checked
    // from `BeginChecking` on, one at a time, on the cores the calling thread leaves free (else
    // by `FinishLoading` itself); their items are in the collection, named and laid out, but
    // have no picture (and no surfaces) until `FinishLoading`.
    void LoadFromFile(const std::string& path, std::span<const std::string_view> first);
    // The same load, begun early; `early` is spent (a second call raises std::future_error).
    void LoadFromFile(TEarlyPictures& early);
    // Starts checking the pictures a load left for later; the program calls it once its first
    // frame is shown, so that the checking takes no time from the way there.
    void BeginChecking();
    // Waits for the pictures still being checked and gives them to their items: decoded, with
    // surfaces when the display is up, when the running scene has used them (or with
    // `KeepDecoded`), else released. A damaged picture raises its decoding error; the items then
    // keep no picture. Returns at once when nothing is loading. A new load or the collection's
    // end waits for the checking and drops it.
    void FinishLoading();
    bool Loading() const { return pending_ != nullptr; }
    // How long the last load spent reading and parsing the archive, and decoding its pictures
    // before it returned.
    std::chrono::nanoseconds ArchiveTime() const { return archiveTime_; }
    std::chrono::nanoseconds DecodeTime() const { return decodeTime_; }

    // Entries are 0x00RRGGBB (blue, green, red, 0 in memory order).
    std::array<uint32_t, 256> ColorTable{};
    void BuildColorTable();

    // Display notifications. `Initialize` raises EPictureCollectionError "%s cannot be
    // initialized" when the display is not up. The display must outlive the binding
    // (`Finalize` drops it).
    void Initialize(TDXDraw& dxdraw);
    void Finalize();
    void Restore();
    bool Initialized() const { return dxdraw_ && dxdraw_->Initialized(); }
    TDXDraw* DXDraw() const { return dxdraw_; }

private:
    struct PendingPictures;
    friend struct TPreparedPictures;
    friend class TEarlyPictures;
    // Replaces the items with the archive's; the entries whose picture is not decoded yet
    // (`pictures[i]` empty and `decoded[i]` false) get none.
    // `fromFile`: the items read their packed pictures from `packedPath_` again.
    void AddArchiveItems(std::shared_ptr<const GraphicArchive> archive,
                         std::vector<TDibImage>& pictures, const std::vector<bool>& decoded,
                         bool fromFile);
    void DropLoading() noexcept;
    // Reads and checks the archive at `path` and decodes the pictures named in `first`; shares
    // nothing, so any thread may run it.
    static std::unique_ptr<TPreparedPictures> Prepare(const std::string& path,
                                                      std::span<const std::string_view> first);
    // Takes the archive `prepare` gives as its items: the first pictures decoded, the others
    // decoded meanwhile by a thread of their own. What `prepare` raises, Adopt raises, with the
    // items left alone when the file could not be read and none when it was no archive.
    void Adopt(const std::string& path,
               const std::function<std::unique_ptr<TPreparedPictures>()>& prepare);

    TDXDraw* dxdraw_ = nullptr;
    friend class TPictureCollectionItem;
    // The packed picture at `range` of the archive's file: from the bytes read while the load is
    // still checking them, else read from the file again.
    std::vector<uint8_t> ReadPacked(TByteRange range) const;

    std::shared_ptr<const GraphicArchive> packed_; // the archive the items decode from
    std::string packedPath_;                       // an early load's file, and its size then
    uint64_t packedFileSize_ = 0;
    std::shared_ptr<const std::vector<uint8_t>> loadingBytes_;
    uint64_t scene_ = 1;
    std::chrono::nanoseconds archiveTime_{};
    std::chrono::nanoseconds decodeTime_{};
    std::unique_ptr<PendingPictures> pending_;
};

// The component the main window owns: the picture collection bound to one display.
class TDXImageList final : public IDXDrawListener {
public:
    TDXImageList() = default;
    ~TDXImageList() override { SetDXDraw(nullptr); }
    TDXImageList(const TDXImageList&) = delete;
    TDXImageList& operator=(const TDXImageList&) = delete;

    TPictureCollection Items;

    TDXDraw* DXDraw() const { return dxdraw_; }
    // Registers for the display's notifications (the display must outlive the binding or send
    // its destroying notification). Binding to a display that is already up builds the
    // surfaces at once.
    void SetDXDraw(TDXDraw* dxdraw);
    void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) override;

private:
    TDXDraw* dxdraw_ = nullptr;
};

} // namespace pondlark
