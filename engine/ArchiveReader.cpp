#include "engine/ArchiveReader.h"

#include "engine/ComponentStream.h"
#include "engine/Errors.h"
#include "engine/StandardColors.h"
#include "platform/Files.h"

namespace pondlark {

namespace {

[[noreturn]] void NoProperty(const std::string& name) {
    throw EStreamError(Format(kPropertyDoesNotExist, name.c_str()));
}

void ReadHolderStart(TComponentReader& r) {
    r.ReadResourceHeader();
    r.ReadSignature();
    r.ReadPrefix();
    r.ReadStr(); // class name
    r.ReadStr(); // object name
}

void ReadCollection(TComponentReader& r, const auto& readItemProperty) {
    if (r.ReadValue() != TValueType::vaCollection) throw EStreamError(kInvalidPropertyValue);
    while (!r.EndOfList()) {
        r.ReadItemStart();
        readItemProperty(nullptr); // announce a new item before its properties
        while (!r.EndOfList())
            readItemProperty(&r);
        r.ReadListEnd();
    }
    r.ReadListEnd();
}

// The holder's own properties that mean nothing for the lists.
bool SkipHolderProperty(TComponentReader& r, const std::string& name) {
    if (name != "Name" && name != "Tag") return false;
    r.SkipValue();
    return true;
}

[[noreturn]] void BadBitmap() {
    throw EInvalidGraphic("Bitmap image is not valid");
}

// The framework bitmap's data: a 32-bit size and a whole .bmp file; we keep the packed DIB.
std::span<const uint8_t> DibOfBitmapData(std::span<const uint8_t> data) {
    TByteReader in(data, &BadBitmap);
    const uint32_t size = in.U32();
    if (size == 0) return {};
    auto file = in.Bytes(size);
    if (file.size() < 14 || file[0] != 'B' || file[1] != 'M') BadBitmap();
    return file.subspan(14);
}

} // namespace

GraphicArchive ReadGraphicArchive(std::span<const uint8_t> bytes, bool copyPictures) {
    TComponentReader r(bytes);
    ReadHolderStart(r);
    GraphicArchive out;
    while (!r.EndOfList()) {
        const std::string prop = r.ReadStr();
        if (prop == "List.ColorTable") {
            auto table = r.ReadBinary();
            if (table.size() < 1024) throw EStreamError("Stream read error");
            TByteReader entries(table, [] { throw EStreamError("Stream read error"); });
            std::array<uint32_t, 256> t{};
            for (uint32_t& entry : t)
                entry = entries.U32();
            out.colorTable = t;
        } else if (prop == "List") {
            ReadCollection(r, [&](TComponentReader* pr) {
                if (!pr) {
                    out.items.emplace_back();
                    out.hasPicture.push_back(false);
                    out.dibRanges.emplace_back();
                    return;
                }
                PictureEntry& e = out.items.back();
                const std::string name = pr->ReadStr();
                if (name == "Name")
                    e.name = pr->ReadString();
                else if (name == "PatternHeight")
                    e.patternHeight = pr->ReadInteger();
                else if (name == "PatternWidth")
                    e.patternWidth = pr->ReadInteger();
                else if (name == "SkipHeight")
                    e.skipHeight = pr->ReadInteger();
                else if (name == "SkipWidth")
                    e.skipWidth = pr->ReadInteger();
                else if (name == "SystemMemory")
                    e.systemMemory = pr->ReadBoolean();
                else if (name == "Transparent")
                    e.transparent = pr->ReadBoolean();
                else if (name == "TransparentColor") {
                    if (pr->NextValue() == TValueType::vaIdent) {
                        auto c = IdentToColor(pr->ReadIdent());
                        if (!c) throw EStreamError(kInvalidPropertyValue);
                        e.transparentColor = *c;
                    } else {
                        e.transparentColor = static_cast<TColor>(pr->ReadInteger());
                    }
                } else if (name == "Picture.Data") {
                    auto data = pr->ReadBinary();
                    TByteReader in(data, [] { throw EStreamError(kInvalidStreamFormat); });
                    const uint8_t n = in.U8();
                    auto cls = in.Bytes(n);
                    const std::string className(cls.begin(), cls.end());
                    auto rest = data.subspan(in.Position());
                    e.dib.clear();
                    out.hasPicture.back() = false;
                    out.dibRanges.back() = {};
                    std::span<const uint8_t> dib;
                    if (className == "TDIB") {
                        dib = rest;
                        out.hasPicture.back() = true;
                    } else if (className == "TBitmap") {
                        dib = DibOfBitmapData(rest);
                        out.hasPicture.back() = true;
                    }
                    if (!dib.empty()) {
                        out.dibRanges.back() = {static_cast<size_t>(dib.data() - bytes.data()),
                                                dib.size()};
                        if (copyPictures) e.dib.assign(dib.begin(), dib.end());
                    }
                } else {
                    NoProperty(name);
                }
            });
        } else if (!SkipHolderProperty(r, prop)) {
            NoProperty(prop);
        }
    }
    r.ReadListEnd(); // properties
    r.ReadListEnd(); // children: we write none and accept none
    return out;
}

std::vector<WaveEntry> ReadSoundArchive(std::span<const uint8_t> bytes) {
    TComponentReader r(bytes);
    ReadHolderStart(r);
    std::vector<WaveEntry> out;
    while (!r.EndOfList()) {
        const std::string prop = r.ReadStr();
        if (prop == "List") {
            ReadCollection(r, [&](TComponentReader* pr) {
                if (!pr) {
                    out.emplace_back();
                    return;
                }
                WaveEntry& e = out.back();
                const std::string name = pr->ReadStr();
                if (name == "Name")
                    e.name = pr->ReadString();
                else if (name == "Looped")
                    e.looped = pr->ReadBoolean();
                else if (name == "MaxPlayingCount")
                    e.maxPlayingCount = std::max(pr->ReadInteger(), 0);
                else if (name == "Wave.WAVE") {
                    auto w = pr->ReadBinary();
                    e.riff.assign(w.begin(), w.end());
                } else {
                    NoProperty(name);
                }
            });
        } else if (!SkipHolderProperty(r, prop)) {
            NoProperty(prop);
        }
    }
    r.ReadListEnd();
    r.ReadListEnd();
    return out;
}

namespace {
[[noreturn]] void CannotOpen(const std::string& path, const std::string& reason) {
    throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), reason.c_str()));
}
} // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path, uint64_t maxBytes) {
    TFileBytes file = ReadRegularFile(path, maxBytes);
    if (!file.ok) CannotOpen(path, file.reason);
    return std::move(file.bytes);
}

void CheckReadableFile(const std::string& path, uint64_t maxBytes) {
    const TRegularFile file(path);
    if (!file.IsOpen()) CannotOpen(path, file.Reason());
    if (file.Size() > maxBytes) CannotOpen(path, "File is larger than " + SizeInWords(maxBytes));
}

std::vector<uint8_t> ReadFileRange(const std::string& path, uint64_t wholeSize, TByteRange range) {
    TRegularFile file(path);
    if (!file.IsOpen()) CannotOpen(path, file.Reason());
    if (file.Size() != wholeSize || range.offset > wholeSize ||
        range.size > wholeSize - range.offset)
        CannotOpen(path, "The file has changed since it was read");
    std::vector<uint8_t> bytes(range.size);
    if (!file.ReadAt(range.offset, bytes.data(), bytes.size())) CannotOpen(path, file.Reason());
    return bytes;
}

} // namespace pondlark
