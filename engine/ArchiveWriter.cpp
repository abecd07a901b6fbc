#include "engine/ArchiveWriter.h"

#include "engine/ComponentStream.h"
#include "engine/Errors.h"
#include "platform/Files.h"

namespace pondlark {

namespace {

void WriteHolderStart(TComponentWriter& w, std::string_view className,
                      std::string_view objectName) {
    std::string upper(className);
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    w.WriteResourceHeader(upper);
    w.WriteSignature();
    w.WriteStr(className);
    w.WriteStr(objectName);
}

} // namespace

std::vector<uint8_t> WriteGraphicArchive(const std::vector<PictureEntry>& items,
                                         const std::array<uint32_t, 256>* colorTable) {
    TComponentWriter w;
    WriteHolderStart(w, "TDXImageList", "ImageList");
    if (colorTable) {
        TByteWriter table;
        for (uint32_t entry : *colorTable) // blue, green, red, 0
            table.U32(entry);
        w.WriteStr("List.ColorTable");
        w.WriteBinary(table.Data());
    }
    w.WriteStr("List");
    w.WriteValue(TValueType::vaCollection);
    for (const PictureEntry& e : items) {
        w.WriteValue(TValueType::vaList);
        w.WriteStr("Name");
        w.WriteString(e.name);
        w.WriteStr("PatternHeight");
        w.WriteInteger(e.patternHeight);
        w.WriteStr("PatternWidth");
        w.WriteInteger(e.patternWidth);
        std::vector<uint8_t> data;
        data.reserve(5 + e.dib.size());
        data.push_back(4);
        data.insert(data.end(), {'T', 'D', 'I', 'B'});
        data.insert(data.end(), e.dib.begin(), e.dib.end());
        w.WriteStr("Picture.Data");
        w.WriteBinary(data);
        w.WriteStr("SkipHeight");
        w.WriteInteger(e.skipHeight);
        w.WriteStr("SkipWidth");
        w.WriteInteger(e.skipWidth);
        w.WriteStr("SystemMemory");
        w.WriteBoolean(e.systemMemory);
        w.WriteStr("Transparent");
        w.WriteBoolean(e.transparent);
        w.WriteStr("TransparentColor");
        w.WriteInteger(static_cast<int32_t>(e.transparentColor));
        w.WriteListEnd();
    }
    w.WriteListEnd(); // collection
    w.WriteListEnd(); // properties
    w.WriteListEnd(); // children
    return w.Finish();
}

std::vector<uint8_t> WriteSoundArchive(const std::vector<WaveEntry>& items) {
    TComponentWriter w;
    WriteHolderStart(w, "TDXWaveList", "WaveList");
    w.WriteStr("List");
    w.WriteValue(TValueType::vaCollection);
    for (const WaveEntry& e : items) {
        w.WriteValue(TValueType::vaList);
        w.WriteStr("Name");
        w.WriteString(e.name);
        w.WriteStr("Looped");
        w.WriteBoolean(e.looped);
        w.WriteStr("MaxPlayingCount");
        w.WriteInteger(e.maxPlayingCount);
        w.WriteStr("Wave.WAVE");
        w.WriteBinary(e.riff);
        w.WriteListEnd();
    }
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    return w.Finish();
}

void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    if (std::string error = ReplaceFile(path, bytes.data(), bytes.size()); !error.empty())
        throw EFOpenError(error);
}

} // namespace pondlark
