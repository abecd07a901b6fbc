// Pattern layout: a picture of pw x ph is read as frames of Width x Height with gaps of
// SkipWidth x SkipHeight, so the frame stride is a = Width + SkipWidth by c = Height +
// SkipHeight. Unless the item keeps one surface (SystemMemory, or a single frame), the picture
// is cut into chunk surfaces of whole frames, at least 512 pixels a side where the picture
// allows, and each pattern addresses its frame inside one chunk. All arithmetic is 64-bit and a
// stride that is not positive builds no patterns, so hostile frame sizes cannot divide by zero.
#include "engine/TDXImageList.h"

#include "engine/ArchiveReader.h"
#include "engine/Errors.h"
#include "engine/ForEachInParallel.h"
#include "engine/StandardColors.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <system_error>
#include <thread>

namespace pondlark {

namespace {

const std::array<double, 256>& CosineTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (size_t i = 0; i < t.size(); ++i)
            t[i] = std::cos(static_cast<double>(i) * 2.0 * std::numbers::pi / 256.0);
        return t;
    }();
    return table;
}

} // namespace

// ---- item ------------------------------------------------------------------------------------

void TPictureCollectionItem::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    for (auto& s : surfaces_)
        s->SetColorKey(ColorKey());
}

uint32_t TPictureCollectionItem::ColorKey() const {
    return PixelOf(ColorToRGB(transparentColor_));
}

void TPictureCollectionItem::SetPicture(TDibImage picture, bool hasPicture) {
    // The surfaces are views of the old picture's pixels: they go with it.
    patterns_.clear();
    surfaces_.clear();
    picture_ = std::move(picture);
    hasPicture_ = hasPicture;
}

void TPictureCollectionItem::Hold() {
    if (!Held()) {
        if (!packed_.empty())
            SetPicture(DecodeDib(packed_), hasPicture_);
        else if (inFile_)
            SetPicture(DecodeDib(owner_.ReadPacked(*inFile_)), hasPicture_);
    }
    if (initialized_ && patterns_.empty()) Restore();
}

void TPictureCollectionItem::Release() {
    if ((packed_.empty() && !inFile_) || picture_.Pixels.empty()) return;
    patterns_.clear();
    surfaces_.clear();
    std::vector<uint32_t>().swap(picture_.Pixels);
}

TRect TPictureCollectionItem::PatternBox(int index) const {
    if (index < 0 || index >= PatternCount()) return {};
    return patterns_[static_cast<size_t>(index)].rect;
}

TDirectDrawSurface* TPictureCollectionItem::PatternSurface(int index) const {
    if (index < 0 || index >= PatternCount()) return nullptr;
    return patterns_[static_cast<size_t>(index)].surface;
}

void TPictureCollectionItem::Initialize() {
    Finalize();
    initialized_ = owner_.Initialized();
}

void TPictureCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    patterns_.clear();
    surfaces_.clear();
}

// `part` lies inside the picture: Restore cuts chunks at the picture's edges.
std::unique_ptr<TDirectDrawSurface> TPictureCollectionItem::MakeSurface(const TRect& part) {
    auto s = std::make_unique<TDirectDrawSurface>(
        picture_.Pixels.data() + static_cast<size_t>(part.Top) * picture_.Width + part.Left,
        picture_.Width, part.Width(), part.Height());
    s->SetColorKey(ColorKey());
    return s;
}

void TPictureCollectionItem::Restore() {
    if (!HasPicture()) return;
    if (!initialized_ && owner_.Initialized()) Initialize();
    if (!initialized_) return;
    patterns_.clear();
    surfaces_.clear();

    const int64_t pw = picture_.Width, ph = picture_.Height;
    // The surfaces look straight into the pixels: a picture short of them gets none.
    if (picture_.Pixels.size() < static_cast<uint64_t>(pw * ph)) return;
    const int64_t w = Width(), h = Height();
    const int64_t a = w + SkipWidth, c = h + SkipHeight;
    const TRect whole{0, 0, picture_.Width, picture_.Height};
    if (w == pw && h == ph) {
        surfaces_.push_back(MakeSurface(whole));
        patterns_.push_back({whole, surfaces_.back().get()});
        return;
    }
    if (a <= 0 || c <= 0) return;
    const int64_t columns = std::max<int64_t>((pw + SkipWidth) / a, 0);
    const int64_t rows = std::max<int64_t>((ph + SkipHeight) / c, 0);
    auto pattern = [&](int64_t x, int64_t y, TDirectDrawSurface* s) {
        patterns_.push_back({Bounds(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                                    static_cast<int>(h)),
                             s});
    };
    if (SystemMemory) {
        surfaces_.push_back(MakeSurface(whole));
        for (int64_t r = 0; r < rows; ++r)
            for (int64_t k = 0; k < columns; ++k)
                pattern(a * k, c * r, surfaces_.back().get());
        return;
    }
    const int64_t f = std::min(a * ((512 + a - 1) / a), a * columns);
    const int64_t g = std::min(c * ((512 + c - 1) / c), c * rows);
    if (f <= 0 || g <= 0) return;
    const int64_t chunkColumns = (pw + f - 1) / f, chunkRows = (ph + g - 1) / g;
    for (int64_t l = 0; l < chunkRows; ++l)
        for (int64_t m = 0; m < chunkColumns; ++m) {
            const int64_t cw = std::min(f, pw - f * m), chh = std::min(g, ph - g * l);
            surfaces_.push_back(MakeSurface(Bounds(static_cast<int>(f * m), static_cast<int>(g * l),
                                                   static_cast<int>(cw <= 0 ? f : cw),
                                                   static_cast<int>(chh <= 0 ? g : chh))));
        }
    for (int64_t r = 0; r < rows; ++r)
        for (int64_t k = 0; k < columns; ++k) {
            const int64_t chunk = (a * k) / f + chunkColumns * ((c * r) / g);
            pattern((a * k) % f, (c * r) % g, surfaces_[static_cast<size_t>(chunk)].get());
        }
}

bool TPictureCollectionItem::Opaque(int index, const TRect& part) const {
    if (!initialized_ || index < 0 || index >= PatternCount() || part.Empty()) return false;
    const Pattern& p = patterns_[static_cast<size_t>(index)];
    const TRect r{p.rect.Left + part.Left, p.rect.Top + part.Top, p.rect.Left + part.Right,
                  p.rect.Top + part.Bottom};
    // Draw clips the pattern to its surface, so the part must lie inside both.
    if (IntersectRect(r, p.rect) != r || IntersectRect(r, p.surface->ClientRect()) != r)
        return false;
    return !Transparent || p.surface->Opaque(r);
}

void TPictureCollectionItem::Draw(TDirectDrawSurface* dest, int x, int y, int index) const {
    if (!initialized_ || !dest || index < 0 || index >= PatternCount()) return;
    const Pattern& p = patterns_[static_cast<size_t>(index)];
    dest->Draw(x, y, *p.surface, p.rect, Transparent);
}

void TPictureCollectionItem::DrawRotated(TDirectDrawSurface* dest, int x, int y, int w, int h,
                                         int index, double centerX, double centerY,
                                         int angle) const {
    if (!initialized_ || !dest || index < 0 || index >= PatternCount()) return;
    if (w <= 0 || h <= 0 || dest->Width() == 0 || dest->Height() == 0) return;
    const Pattern& p = patterns_[static_cast<size_t>(index)];
    const TRect src = IntersectRect(p.rect, p.surface->ClientRect());
    if (src.Empty() || !std::isfinite(centerX) || !std::isfinite(centerY)) return;

    const auto& table = CosineTable();
    const double cs = table[static_cast<size_t>(angle & 255)];
    const double sn = table[static_cast<size_t>((angle + 192) & 255)];
    // The box edges relative to the pivot, truncated as the corner rule truncates them.
    const double u0 = std::trunc(-w * centerX), u1 = std::trunc(w - w * centerX);
    const double v0 = std::trunc(-h * centerY), v1 = std::trunc(h - h * centerY);
    if (u1 - u0 <= 0 || v1 - v0 <= 0 || std::abs(u0) > 1e7 || std::abs(v0) > 1e7 ||
        std::abs(u1) > 1e7 || std::abs(v1) > 1e7)
        return;

    // Bounding box of the turned corners, clipped to the destination.
    double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
    for (double du : {u0, u1})
        for (double dv : {v0, v1}) {
            const double cx = x + std::trunc(du * cs - dv * sn);
            const double cy = y + std::trunc(du * sn + dv * cs);
            minX = std::min(minX, cx), maxX = std::max(maxX, cx);
            minY = std::min(minY, cy), maxY = std::max(maxY, cy);
        }
    const int left = static_cast<int>(std::max(minX, 0.0));
    const int top = static_cast<int>(std::max(minY, 0.0));
    const int right = static_cast<int>(std::min(maxX + 1, static_cast<double>(dest->Width())));
    const int bottom = static_cast<int>(std::min(maxY + 1, static_cast<double>(dest->Height())));
    if (left >= right || top >= bottom) return;

    // Each destination pixel centre is turned back into the box and scaled into the pattern;
    // source coordinates walk in 16.16 fixed point along a row.
    const int sw = src.Width(), sh = src.Height();
    const double scaleU = sw / (u1 - u0), scaleV = sh / (v1 - v0);
    constexpr double kOne = 65536.0;
    const int64_t stepU = std::llround(cs * scaleU * kOne);
    const int64_t stepV = std::llround(-sn * scaleV * kOne);
    const bool keyed = Transparent && p.surface->ColorKey().has_value();
    const uint32_t key = p.surface->ColorKey().value_or(0);
    const TDirectDrawSurface& source = *p.surface;
    const uint32_t* srcPixels =
        source.Pixels() + static_cast<size_t>(src.Top) * p.surface->Pitch() + src.Left;
    const size_t srcPitch = static_cast<size_t>(p.surface->Pitch());
    dest->Changed();
    for (int py = top; py < bottom; ++py) {
        const double ry = py + 0.5 - y, rx = left + 0.5 - x;
        int64_t su = std::llround(((rx * cs + ry * sn) - u0) * scaleU * kOne);
        int64_t sv = std::llround(((-rx * sn + ry * cs) - v0) * scaleV * kOne);
        uint32_t* to = dest->Pixels() + static_cast<size_t>(py) * dest->Pitch();
        for (int px = left; px < right; ++px, su += stepU, sv += stepV) {
            if (su < 0 || sv < 0) continue;
            const int64_t iu = su >> 16, iv = sv >> 16;
            if (iu >= sw || iv >= sh) continue;
            const uint32_t pixel =
                srcPixels[static_cast<size_t>(iv) * srcPitch + static_cast<size_t>(iu)];
            if (keyed && pixel == key) continue;
            to[px] = pixel;
        }
    }
}

// ---- collection ------------------------------------------------------------------------------

TPictureCollectionItem& TPictureCollection::Add() {
    return static_cast<TPictureCollectionItem&>(
        AddItem(std::make_unique<TPictureCollectionItem>(*this)));
}

TPictureCollectionItem& TPictureCollection::Find(std::string_view name) const {
    if (auto* item = FindItem(name)) return static_cast<TPictureCollectionItem&>(*item);
    throw EPictureCollectionError(Format("Image '%s' not found", std::string(name).c_str()));
}

TPictureCollectionItem& TPictureCollection::Use(std::string_view name) {
    TPictureCollectionItem& item = Find(name);
    item.usedInScene_ = scene_;
    item.Hold();
    return item;
}

void TPictureCollection::ReleaseUnused() {
    // Scenes passed through while the archive loads (the start's own) release nothing: what the
    // first scene decoded would only be decoded again.
    if (KeepDecoded || Loading()) return;
    for (int i = 0; i < Count(); ++i)
        if (Items(i).usedInScene_ != scene_) Items(i).Release();
}

// A load whose pictures are still being checked. The decoder thread writes only `pictures` and
// `error`; the owner reads them after joining it. Each picture is decoded to check it and to
// learn its size and palette; its pixels are let go at once unless `keepPixels`, so checking
// every picture never holds them all.
struct TPictureCollection::PendingPictures {
    std::shared_ptr<const std::vector<uint8_t>> bytes; // the archive's file
    std::shared_ptr<const GraphicArchive> archive;
    std::vector<size_t> items;       // archive positions still to decode
    std::vector<TDibImage> pictures; // by position in `items`
    bool keepPixels = false;
    std::exception_ptr error;
    std::thread decoder; // not started where the system runs one thread only

    void Decode(size_t threads) {
        try {
            ForEachInParallel(
                items.size(),
                [&](size_t k) {
                    pictures[k] = DecodeDib(archive->dibRanges[items[k]].In(*bytes));
                    if (!keepPixels) std::vector<uint32_t>().swap(pictures[k].Pixels);
                },
                threads);
        } catch (...) {
            error = std::current_exception();
        }
    }
};

namespace {

// The archive's own checks, then the pixel budget, before any picture is decoded.
GraphicArchive ReadCheckedArchive(std::span<const uint8_t> bytes, bool copyPictures) {
    GraphicArchive archive = ReadGraphicArchive(bytes, copyPictures);
    int64_t pixels = 0;
    for (size_t i = 0; i < archive.items.size(); ++i) {
        if (archive.hasPicture[i]) pixels += DibPixelCount(archive.dibRanges[i].In(bytes));
        if (pixels > kMaxArchivePixels)
            throw EInvalidGraphic(Format("The pictures of the archive hold more than %lld pixels",
                                         static_cast<long long>(kMaxArchivePixels)));
    }
    return archive;
}

} // namespace

TPictureCollection::TPictureCollection() = default;

TPictureCollection::~TPictureCollection() {
    DropLoading();
}

void TPictureCollection::DropLoading() noexcept {
    if (pending_ && pending_->decoder.joinable()) pending_->decoder.join();
    pending_.reset();
    loadingBytes_.reset();
}

std::vector<uint8_t> TPictureCollection::ReadPacked(TByteRange range) const {
    if (loadingBytes_) {
        const std::span<const uint8_t> packed = range.In(*loadingBytes_);
        return {packed.begin(), packed.end()};
    }
    return ReadFileRange(packedPath_, packedFileSize_, range);
}

void TPictureCollection::LoadFromFile(const std::string& path) {
    DropLoading();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    const auto read = std::chrono::steady_clock::now() - start;
    LoadFromMemory(bytes);
    archiveTime_ += read;
}

void TPictureCollection::LoadFromMemory(std::span<const uint8_t> bytes) {
    using Clock = std::chrono::steady_clock;
    DropLoading();
    const auto start = Clock::now();
    archiveTime_ = decodeTime_ = {};
    Clear();
    // Decode everything before adding anything, so a bad archive leaves no half list behind.
    auto archive = std::make_shared<const GraphicArchive>(ReadCheckedArchive(bytes, true));
    const auto parsed = Clock::now();
    archiveTime_ = parsed - start;
    std::vector<TDibImage> pictures(archive->items.size());
    ForEachInParallel(archive->items.size(), [&](size_t i) {
        if (archive->hasPicture[i]) pictures[i] = DecodeDib(archive->items[i].dib);
    });
    decodeTime_ = Clock::now() - parsed;
    const std::vector<bool> decoded = archive->hasPicture;
    AddArchiveItems(std::move(archive), pictures, decoded, false);
}

// What a load does before it touches the collection: the archive read and checked, and the
// pictures wanted first decoded. Safe on any thread: it shares nothing.
struct TPreparedPictures {
    std::unique_ptr<TPictureCollection::PendingPictures> pending; // the others, still to decode
    std::vector<TDibImage> pictures;                              // by archive position
    std::vector<bool> decoded;
    uint64_t fileSize = 0;
    std::chrono::nanoseconds archiveTime{};
    std::chrono::nanoseconds decodeTime{};
};

std::unique_ptr<TPreparedPictures>
TPictureCollection::Prepare(const std::string& path, std::span<const std::string_view> first) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto prepared = std::make_unique<TPreparedPictures>();
    auto& pending = prepared->pending;
    pending = std::make_unique<PendingPictures>();
    pending->bytes = std::make_shared<const std::vector<uint8_t>>(ReadWholeFile(path));
    const std::vector<uint8_t>& bytes = *pending->bytes;
    // The packed pictures are not copied: they are decoded from the file's bytes while loading
    // and read from the file again later.
    pending->archive = std::make_shared<const GraphicArchive>(ReadCheckedArchive(bytes, false));
    prepared->fileSize = bytes.size();
    const GraphicArchive& archive = *pending->archive;
    const auto parsed = Clock::now();
    prepared->archiveTime = parsed - start;
    // Split the pictures into the ones wanted now and the rest.
    std::vector<size_t> now;
    prepared->decoded.assign(archive.items.size(), false);
    for (size_t i = 0; i < archive.items.size(); ++i) {
        if (!archive.hasPicture[i]) continue;
        const bool wanted = std::any_of(first.begin(), first.end(), [&](std::string_view name) {
            return SameTextIgnoringCase(name, archive.items[i].name);
        });
        (wanted ? now : pending->items).push_back(i);
        prepared->decoded[i] = wanted;
    }
    prepared->pictures.resize(archive.items.size());
    ForEachInParallel(now.size(), [&](size_t k) {
        prepared->pictures[now[k]] = DecodeDib(archive.dibRanges[now[k]].In(bytes));
    });
    prepared->decodeTime = Clock::now() - parsed;
    return prepared;
}

TEarlyPictures::TEarlyPictures(std::string path, std::vector<std::string> first)
    : path_(std::move(path)) {
    auto work = [path = path_, names = std::move(first)] {
        const std::vector<std::string_view> views(names.begin(), names.end());
        return TPictureCollection::Prepare(path, views);
    };
    try {
        prepared_ = std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        prepared_ = std::async(std::launch::deferred, std::move(work));
    }
}

TEarlyPictures::~TEarlyPictures() {
    if (prepared_.valid()) prepared_.wait();
}

void TPictureCollection::LoadFromFile(const std::string& path,
                                      std::span<const std::string_view> first) {
    DropLoading();
    Adopt(path, [&] { return Prepare(path, first); });
}

void TPictureCollection::LoadFromFile(TEarlyPictures& early) {
    DropLoading();
    Adopt(early.path_, [&] { return early.prepared_.get(); });
}

void TPictureCollection::Adopt(const std::string& path,
                               const std::function<std::unique_ptr<TPreparedPictures>()>& prepare) {
    std::unique_ptr<TPreparedPictures> prepared;
    try {
        prepared = prepare();
    } catch (const EFOpenError&) {
        throw;
    } catch (...) {
        Clear(); // no archive: no items
        throw;
    }
    Clear();
    std::unique_ptr<PendingPictures> pending = std::move(prepared->pending);
    pending->keepPixels = KeepDecoded;
    packedPath_ = path;
    packedFileSize_ = prepared->fileSize;
    archiveTime_ = prepared->archiveTime;
    decodeTime_ = prepared->decodeTime;
    AddArchiveItems(pending->archive, prepared->pictures, prepared->decoded, true);
    pending->pictures.resize(pending->items.size());
    if (pending->items.empty()) return;
    loadingBytes_ = pending->bytes;
    pending_ = std::move(pending);
}

void TPictureCollection::BeginChecking() {
    if (!pending_ || pending_->decoder.joinable()) return;
    // The calling thread goes on with its frames: the decoder leaves it one core. Where no
    // thread can start (one core, or a browser page), FinishLoading decodes them itself.
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores <= 1) return;
    PendingPictures* p = pending_.get();
    try {
        pending_->decoder = std::thread([p, cores] { p->Decode(cores - 1); });
    } catch (const std::system_error&) {
    }
}

void TPictureCollection::FinishLoading() {
    if (!pending_) return;
    const std::unique_ptr<PendingPictures> p = std::move(pending_);
    if (p->decoder.joinable())
        p->decoder.join();
    else
        p->Decode(1);
    // From here on the items read their packed pictures from the file again.
    const std::shared_ptr<const std::vector<uint8_t>> bytes = std::move(loadingBytes_);
    loadingBytes_.reset();
    if (p->error) std::rethrow_exception(p->error);
    // The items are the archive's own unless the collection was cleared or added to meanwhile.
    if (static_cast<size_t>(Count()) != p->archive->items.size()) return;
    // Decoded below from the bytes in hand rather than read again.
    loadingBytes_ = bytes;
    for (size_t k = 0; k < p->items.size(); ++k) {
        TPictureCollectionItem& item = Items(static_cast<int>(p->items[k]));
        item.SetPicture(std::move(p->pictures[k]));
        // Pictures the running scene asked for while they were being checked are decoded now;
        // the rest stay released until a scene uses them.
        if (KeepDecoded || item.usedInScene_ == scene_) item.Hold();
    }
    loadingBytes_.reset();
}

void TPictureCollection::AddArchiveItems(std::shared_ptr<const GraphicArchive> packed,
                                         std::vector<TDibImage>& pictures,
                                         const std::vector<bool>& decoded, bool fromFile) {
    packed_ = std::move(packed);
    const GraphicArchive& archive = *packed_;
    if (archive.colorTable) ColorTable = *archive.colorTable;
    for (size_t i = 0; i < archive.items.size(); ++i) {
        const PictureEntry& e = archive.items[i];
        TPictureCollectionItem& item = Add();
        item.SetName(e.name);
        item.PatternWidth = e.patternWidth;
        item.PatternHeight = e.patternHeight;
        item.SkipWidth = e.skipWidth;
        item.SkipHeight = e.skipHeight;
        item.SystemMemory = e.systemMemory;
        item.Transparent = e.transparent;
        item.SetTransparentColor(e.transparentColor);
        item.SetPicture(std::move(pictures[i]), decoded[i]);
        if (archive.hasPicture[i] && fromFile)
            item.inFile_ = archive.dibRanges[i];
        else if (archive.hasPicture[i])
            item.SetPacked(e.dib);
    }
    if (Initialized()) {
        Initialize(*dxdraw_);
        Restore();
    }
}

void TPictureCollection::BuildColorTable() {
    std::array<bool, 256> used{};
    ColorTable.fill(0);
    auto set = [&](size_t i, int r, int g, int b) {
        ColorTable[i] = static_cast<uint32_t>(r << 16 | g << 8 | b);
        used[i] = true;
    };
    set(0, 0, 0, 0), set(1, 128, 0, 0), set(2, 0, 128, 0), set(3, 128, 128, 0);
    set(4, 0, 0, 128), set(5, 128, 0, 128), set(6, 0, 128, 128), set(7, 192, 192, 192);
    set(248, 128, 128, 128), set(249, 255, 0, 0), set(250, 0, 255, 0), set(251, 255, 255, 0);
    set(252, 0, 0, 255), set(253, 255, 0, 255), set(254, 0, 255, 255), set(255, 255, 255, 255);
    auto add = [&](uint32_t colour) {
        for (size_t i = 0; i < 256; ++i)
            if (used[i] && ColorTable[i] == colour) return;
        for (size_t i = 0; i < 256; ++i)
            if (!used[i]) {
                ColorTable[i] = colour;
                used[i] = true;
                return;
            }
    };
    for (int i = 0; i < Count(); ++i) {
        const TPictureCollectionItem& item = Items(i);
        if (!item.HasPicture() || item.Picture().BitCount > 8) continue;
        // The full 256-entry table counts, unused entries being black.
        for (size_t k = 0; k < 256; ++k)
            add(k < item.Picture().Palette.size() ? item.Picture().Palette[k] : 0);
        if (std::all_of(used.begin(), used.end(), [](bool u) { return u; })) break;
    }
}

void TPictureCollection::Initialize(TDXDraw& dxdraw) {
    for (int i = 0; i < Count(); ++i)
        Items(i).Finalize();
    dxdraw_ = &dxdraw;
    if (!dxdraw.Initialized())
        throw EPictureCollectionError(Format("%s cannot be initialized", "TPictureCollection"));
    for (int i = 0; i < Count(); ++i)
        Items(i).Initialize();
}

void TPictureCollection::Finalize() {
    for (int i = 0; i < Count(); ++i)
        Items(i).Finalize();
    dxdraw_ = nullptr;
}

void TPictureCollection::Restore() {
    ForEachInParallel(static_cast<size_t>(Count()),
                      [&](size_t i) { Items(static_cast<int>(i)).Restore(); });
}

// ---- component -------------------------------------------------------------------------------

void TDXImageList::SetDXDraw(TDXDraw* dxdraw) {
    if (dxdraw_ == dxdraw) return;
    if (dxdraw_) {
        Items.Finalize();
        dxdraw_->UnregisterNotifyEvent(this);
    }
    dxdraw_ = dxdraw;
    if (!dxdraw_) return;
    dxdraw_->RegisterNotifyEvent(this);
    if (dxdraw_->Initialized()) {
        Items.Initialize(*dxdraw_);
        Items.Restore();
    }
}

void TDXImageList::DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) {
    switch (type) {
    case TDXDrawNotifyType::Destroying:
        Items.Finalize();
        sender.UnregisterNotifyEvent(this);
        dxdraw_ = nullptr;
        break;
    case TDXDrawNotifyType::Initialize:
        Items.Initialize(sender);
        break;
    case TDXDrawNotifyType::Restore:
        Items.Restore();
        break;
    case TDXDrawNotifyType::Finalize:
        Items.Finalize();
        break;
    default:
        break;
    }
}

} // namespace pondlark
