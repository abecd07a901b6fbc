#include "TestFolder.h"
#include "engine/ArchiveReader.h"
#include "engine/ArchiveWriter.h"
#include "engine/ComponentStream.h"
#include "engine/DibCodec.h"
#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pondlark;

namespace {

std::vector<uint32_t> Gradient(int w, int h) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[static_cast<size_t>(y) * w + x] =
                static_cast<uint32_t>((x * 40) << 16 | (y * 50) << 8 | ((x + y) * 8));
    return px;
}

std::vector<PictureEntry> SamplePictures() {
    PictureEntry a;
    a.name = "menu";
    a.patternWidth = 3;
    a.patternHeight = 2;
    a.skipWidth = 1;
    a.transparentColor = 0xFF00FF;
    a.dib = EncodeDib(Gradient(5, 4).data(), 5, 4, 24);
    PictureEntry b;
    b.name = std::string(300, 'x'); // a long string value
    b.systemMemory = true;
    b.transparent = false;
    b.patternWidth = -70000; // needs the 32-bit tag
    b.transparentColor = 0x80000005;
    return {a, b};
}

std::vector<uint8_t> SampleGraphicArchive() {
    std::array<uint32_t, 256> table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<uint32_t>(i * 0x010203);
    return WriteGraphicArchive(SamplePictures(), &table);
}

} // namespace

TEST(GraphicArchive, ReadsWhatTheWriterWrites) {
    const auto bytes = SampleGraphicArchive();
    const GraphicArchive a = ReadGraphicArchive(bytes);
    const auto expected = SamplePictures();
    ASSERT_EQ(a.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const PictureEntry &got = a.items[i], &want = expected[i];
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.patternWidth, want.patternWidth);
        EXPECT_EQ(got.patternHeight, want.patternHeight);
        EXPECT_EQ(got.skipWidth, want.skipWidth);
        EXPECT_EQ(got.skipHeight, want.skipHeight);
        EXPECT_EQ(got.systemMemory, want.systemMemory);
        EXPECT_EQ(got.transparent, want.transparent);
        EXPECT_EQ(got.transparentColor, want.transparentColor);
        EXPECT_EQ(got.dib, want.dib);
        EXPECT_TRUE(a.hasPicture[i]);
    }
    ASSERT_TRUE(a.colorTable.has_value());
    EXPECT_EQ((*a.colorTable)[255], 255u * 0x010203u);
}

TEST(SoundArchive, ReadsWhatTheWriterWrites) {
    std::vector<WaveEntry> in(2);
    in[0].name = "food";
    in[0].maxPlayingCount = 2;
    in[0].riff = {'R', 'I', 'F', 'F', 1, 2, 3};
    in[1].name = "fon1";
    in[1].looped = true;
    const auto out = ReadSoundArchive(WriteSoundArchive(in));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].name, "food");
    EXPECT_EQ(out[0].maxPlayingCount, 2);
    EXPECT_FALSE(out[0].looped);
    EXPECT_EQ(out[0].riff, in[0].riff);
    EXPECT_EQ(out[1].name, "fon1");
    EXPECT_TRUE(out[1].looped);
}

TEST(GraphicArchive, EveryTruncationIsAStreamErrorNeverACrash) {
    const auto bytes = SampleGraphicArchive();
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::span<const uint8_t> cut(bytes.data(), n);
        try {
            ReadGraphicArchive(cut);
            ADD_FAILURE() << "a " << n << "-byte prefix was accepted";
        } catch (const EStreamError&) {
        }
    }
}

TEST(GraphicArchive, HostileHeadersAndValues) {
    // Builds an archive by hand so that each case changes one thing.
    auto build = [](auto&& body) {
        TComponentWriter w;
        w.WriteResourceHeader("TDXIMAGELIST");
        w.WriteSignature();
        w.WriteStr("TDXImageList");
        w.WriteStr("ImageList");
        body(w);
        return w.Finish();
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string message;
    };
    auto good = build([](TComponentWriter& w) {
        w.WriteListEnd();
        w.WriteListEnd();
    });
    auto badMagic = good;
    badMagic[0] = 0xFE;
    auto badTen = good;
    badTen[1] = 11;
    auto badSig = good;
    badSig[good.size() - 2 - 1 - 9 - 1 - 12 - 4] = 'X'; // the "T" of TPF0
    const Case cases[] = {
        {"first byte", badMagic, "Invalid stream format"},
        {"resource type", badTen, "Invalid stream format"},
        {"signature", badSig, "Invalid stream format"},
        {"unknown property", build([](TComponentWriter& w) {
             w.WriteStr("Bogus");
             w.WriteInteger(1);
             w.WriteListEnd();
             w.WriteListEnd();
         }),
         "Property Bogus does not exist"},
        {"unknown item property", build([](TComponentWriter& w) {
             w.WriteStr("List");
             w.WriteValue(TValueType::vaCollection);
             w.WriteValue(TValueType::vaList);
             w.WriteStr("Frobnicate");
             w.WriteBoolean(true);
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
         }),
         "Property Frobnicate does not exist"},
        {"unknown colour name", build([](TComponentWriter& w) {
             w.WriteStr("List");
             w.WriteValue(TValueType::vaCollection);
             w.WriteValue(TValueType::vaList);
             w.WriteStr("TransparentColor");
             w.WriteIdent("clPlaid");
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
         }),
         "Invalid property value"},
        {"unknown tag", build([](TComponentWriter& w) {
             w.WriteStr("Tag");
             w.WriteValue(static_cast<TValueType>(0x05));
         }),
         "Invalid stream format"},
        {"deeply nested lists", build([](TComponentWriter& w) {
             w.WriteStr("Tag");
             for (int i = 0; i < 100000; ++i)
                 w.WriteValue(TValueType::vaList);
         }),
         "Invalid stream format"},
        {"binary longer than the file", build([](TComponentWriter& w) {
             w.WriteStr("List.ColorTable");
             w.WriteValue(TValueType::vaBinary);
             for (int i = 0; i < 4; ++i)
                 w.WriteValue(static_cast<TValueType>(0xFF));
         }),
         "Invalid stream format"},
        {"short colour table", build([](TComponentWriter& w) {
             std::vector<uint8_t> t(1000);
             w.WriteStr("List.ColorTable");
             w.WriteBinary(t);
             w.WriteListEnd();
             w.WriteListEnd();
         }),
         "Stream read error"},
    };
    for (const Case& c : cases) {
        try {
            ReadGraphicArchive(c.bytes);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.what(), c.message) << c.what;
        }
    }
    EXPECT_NO_THROW(ReadGraphicArchive(good));
}

TEST(GraphicArchive, ColourIdentifiersAndOtherGraphicClasses) {
    TComponentWriter w;
    w.WriteResourceHeader("X");
    w.WriteSignature();
    w.WriteValue(static_cast<TValueType>(0xF2)); // prefix with an index that is ignored
    w.WriteInteger(7);
    w.WriteStr("TDXImageList");
    w.WriteStr("ImageList");
    w.WriteStr("Tag");
    w.WriteInteger(3);
    w.WriteStr("List");
    w.WriteValue(TValueType::vaCollection);
    const std::pair<const char*, std::vector<uint8_t>> items[] = {
        {"clFuchsia", {4, 'T', 'M', 'e', 't'}}, // an unknown class: no picture
        {"CLLIME", {4, 'T', 'D', 'I', 'B'}},    // an empty picture
    };
    for (const auto& [ident, data] : items) {
        w.WriteInteger(5); // the optional item index
        w.WriteValue(TValueType::vaList);
        w.WriteStr("TransparentColor");
        w.WriteIdent(ident);
        w.WriteStr("Picture.Data");
        w.WriteBinary(data);
        w.WriteListEnd();
    }
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    const auto a = ReadGraphicArchive(w.Finish());
    ASSERT_EQ(a.items.size(), 2u);
    EXPECT_EQ(a.items[0].transparentColor, RGBColor(255, 0, 255));
    EXPECT_FALSE(a.hasPicture[0]);
    EXPECT_EQ(a.items[1].transparentColor, RGBColor(0, 255, 0));
    EXPECT_TRUE(a.hasPicture[1]);
    EXPECT_TRUE(a.items[1].dib.empty());
    EXPECT_TRUE(a.items[0].transparent) << "default when absent";
}

TEST(WriteFileAtomically, ReplacesWholeFilesAndReportsFailure) {
    const auto dir = FreshTestFolder();
    const std::string path = (dir / "a.dxg").string();
    const std::vector<uint8_t> one{1, 2, 3}, two{9};
    WriteFileAtomically(path, one);
    WriteFileAtomically(path, two);
    std::ifstream f(path, std::ios::binary);
    std::vector<uint8_t> back((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ(back, two);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "no temp left";
    EXPECT_THROW(WriteFileAtomically((dir / "missing" / "b.dxg").string(), one), EFOpenError);
    std::filesystem::remove_all(dir);
}

TEST(ReadWholeFile, ReadsFilesWithOrWithoutAKnownSizeAndRefusesFolders) {
    const auto dir = FreshTestFolder();
    const std::string path = (dir / "a.dxg").string();
    std::vector<uint8_t> bytes(70000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    WriteFileAtomically(path, bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes);
    WriteFileAtomically(path, {});
    EXPECT_TRUE(ReadWholeFile(path).empty());
    // Files of the kernel report no size but have contents.
    EXPECT_FALSE(ReadWholeFile("/proc/self/status").empty());
    // A folder would report a nonsense size; it is an error that names it.
    try {
        ReadWholeFile(dir.string());
        ADD_FAILURE() << "a folder was read";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.string()), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReadWholeFile((dir / "missing.dxg").string()), EFOpenError);
    std::filesystem::remove_all(dir);
}
