// Hostile files and folders, as a new player or a hostile neighbour would leave them: each case
// plants something in the settings folder or the data folder, starts the whole game, shows the
// high-score table, leaves it twice (two saves) and checks what the player saw and what the
// files hold afterwards. Each case prints how long it took and the process's peak memory; the
// figures are recorded, not asserted (each case runs in a process of its own under CTest).
#include "TestFolder.h"
#include "app/TMainForm.h"
#include "engine/ArchiveWriter.h"
#include "engine/DibCodec.h"
#include "engine/TDXImageList.h"
#include "http/LoopbackServer.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "persist/TextEncoding.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace pondlark;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}
void Spit(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}
unsigned ModeOf(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? static_cast<unsigned>(st.st_mode & 07777) : 0;
}
// A file of `size` bytes that takes no room on the disk.
void Sparse(const fs::path& p, uintmax_t size) {
    fs::remove(p);
    std::ofstream(p, std::ios::binary).put('x');
    fs::resize_file(p, size);
}
void Fifo(const fs::path& p) {
    fs::remove(p);
    ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0);
}
void LinkTo(const fs::path& p, const fs::path& target) {
    fs::remove(p);
    fs::create_symlink(target, p);
}

// The settings of a returning player: music off, a name, a country, a best score of 9000.
std::vector<std::string> PlayerLines() {
    THighScoreTable table = DefaultHighScores();
    table[0] = {"Pip", 9000};
    std::vector<std::string> lines;
    std::stringstream in(FormatConfig({.FullScreen = false,
                                       .Music = false,
                                       .Sound = true,
                                       .Country = "Peru",
                                       .PlayerName = "Pip",
                                       .HighScores = table}));
    for (std::string l; std::getline(in, l);)
        lines.push_back(l + "\n");
    return lines;
}
std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l;
    return out;
}

// An RLE8 picture of width x height whose codes end it at once: a dozen bytes of codes.
std::vector<uint8_t> RleBomb(int32_t width, int32_t height) {
    std::vector<uint8_t> d(40, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(height));
    d[12] = 1;                       // planes
    d[14] = 8;                       // bits
    d[16] = 1;                       // BI_RLE8
    d[32] = 1;                       // one colour
    d.insert(d.end(), {0, 0, 0, 0}); // the colour
    d.insert(d.end(), {0, 1});       // end of bitmap
    return d;
}
std::vector<uint8_t> ArchiveOf(int pictures, int32_t width, int32_t height) {
    std::vector<PictureEntry> items(static_cast<size_t>(pictures));
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].name = "bomb" + std::to_string(i);
        items[i].dib = RleBomb(width, height);
    }
    return WriteGraphicArchive(items);
}

struct Folders {
    fs::path root, game, data, outside;
    fs::path Config() const { return game / "Config.cfg"; }
};

// What a case saw.
struct Outcome {
    bool started = false;
    std::vector<std::string> reported; // standard error and, for the first, the message box
    std::vector<std::string> boxes;
    TScene scene = TScene::None;
    long textPixels = 0; // yellow pixels in the table's name column
    SongHandle song = 0;
    uint64_t frames = 0;
};

struct HostileCase {
    const char* name;
    const char* sees; // what the player sees, in words, for the printed table
    std::function<void(const Folders&, HeadlessPlatform&)> plant;
    std::function<void(const Folders&, const Outcome&)> check;
    bool limitFileSize = false; // ulimit -f 0 while the game runs
};

size_t CountContaining(const std::vector<std::string>& texts, const std::string& part) {
    return static_cast<size_t>(std::count_if(texts.begin(), texts.end(), [&](const auto& t) {
        return t.find(part) != std::string::npos;
    }));
}

long YellowPixels(const HeadlessPlatform& platform) {
    long n = 0;
    for (int y = 217; y < 217 + 37 * 10; ++y)
        for (int x = 370; x < 600; ++x) {
            const uint32_t p = platform.FramePixel(x, y);
            if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) < 80) ++n;
        }
    return n;
}

// Expectations shared by many cases.
void ReadsBackAsPlayerSettings(const Folders& f) {
    const auto v = ReadConfig(f.Config().string(), DefaultHighScores());
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->Music);
    EXPECT_EQ(v->Country, "Peru");
    EXPECT_EQ(v->HighScores[0], (THighScore{"Pip", 9000}));
}
void RunsWithoutReports(const Outcome& o) {
    EXPECT_TRUE(o.started);
    EXPECT_TRUE(o.reported.empty()) << o.reported.front();
    EXPECT_GT(o.textPixels, 0) << "the table's names are drawn";
}
void RefusesToStart(const Outcome& o, const std::string& file, const std::string& reason) {
    EXPECT_FALSE(o.started);
    ASSERT_EQ(o.boxes.size(), 1u);
    EXPECT_NE(o.boxes[0].find(file), std::string::npos) << o.boxes[0];
    EXPECT_NE(o.boxes[0].find(reason), std::string::npos) << o.boxes[0];
}
void StaysSilent(const Outcome& o) {
    EXPECT_TRUE(o.started);
    EXPECT_EQ(o.song, 0u) << "no song plays";
    EXPECT_TRUE(o.reported.empty()) << "a refused song is no error box";
    EXPECT_GT(o.frames, 10u) << "the game goes on";
}
void FaceStandsIn(const Outcome& o) {
    EXPECT_TRUE(o.started);
    ASSERT_EQ(o.reported.size(), 1u);
    EXPECT_EQ(o.boxes, std::vector<std::string>{"PONDLARK: " + o.reported[0]});
    EXPECT_NE(o.reported[0].find("GameFont.otf"), std::string::npos) << o.reported[0];
    EXPECT_NE(o.reported[0].find("instead"), std::string::npos) << o.reported[0];
    EXPECT_GT(o.textPixels, 0) << "texts are drawn with the stand-in";
}

const HostileCase kCases[] = {
    {"LongPlayerNameLine", "the name is empty; line 5 named on standard error",
     [](const Folders& f, HeadlessPlatform&) {
         auto lines = PlayerLines();
         lines[4] = std::string(8 << 20, 'B') + "\r\n"; // 8 MB of symbols
         Spit(f.Config(), Join(lines));
     },
     [](const Folders& f, const Outcome& o) {
         RunsWithoutReports(o);
         ReadsBackAsPlayerSettings(f);
         EXPECT_EQ(ReadConfig(f.Config().string(), {})->PlayerName, "");
         EXPECT_LT(fs::file_size(f.Config()), 2000u) << "the long line is not written back";
     }},
    {"MillionCharacterTableName", "\"Anonymous\" in first place",
     [](const Folders& f, HeadlessPlatform&) {
         auto lines = PlayerLines();
         lines[5] = EncodeLine(PadValue(std::string(1'000'000, 'W'))) + "\r\n";
         Spit(f.Config(), Join(lines));
     },
     [](const Folders& f, const Outcome& o) {
         RunsWithoutReports(o);
         const auto v = ReadConfig(f.Config().string(), {});
         EXPECT_EQ(v->HighScores[0], (THighScore{"Anonymous", 9000}));
         EXPECT_LT(fs::file_size(f.Config()), 2000u);
     }},
    {"NameLongerThanTheEntryAllows", "the first ten characters",
     [](const Folders& f, HeadlessPlatform&) {
         auto lines = PlayerLines();
         lines[4] = EncodeLine(PadValue("Bartholomew the Great")) + "\r\n";
         Spit(f.Config(), Join(lines));
     },
     [](const Folders& f, const Outcome& o) {
         RunsWithoutReports(o);
         EXPECT_EQ(ReadConfig(f.Config().string(), {})->PlayerName, "Bartholome");
     }},
    {"SymlinkPlantedAsTheTemporaryFile", "nothing; the save takes another name",
     [](const Folders& f, HeadlessPlatform&) {
         Spit(f.Config(), Join(PlayerLines()));
         Spit(f.outside / "victim.txt", "precious");
         fs::create_symlink(f.outside / "victim.txt", f.game / "Config.cfg.new");
     },
     [](const Folders& f, const Outcome& o) {
         RunsWithoutReports(o);
         EXPECT_EQ(Slurp(f.outside / "victim.txt"), "precious") << "nothing written outside";
         EXPECT_TRUE(fs::is_symlink(f.game / "Config.cfg.new")) << "the plant is left alone";
         EXPECT_FALSE(fs::is_symlink(f.Config()));
         ReadsBackAsPlayerSettings(f);
         EXPECT_EQ(std::distance(fs::directory_iterator(f.game), {}), 2) << "no temporary left";
     }},
    {"PrivateConfigKeepsItsMode", "nothing; the file stays 0600",
     [](const Folders& f, HeadlessPlatform&) {
         Spit(f.Config(), Join(PlayerLines()));
         fs::permissions(f.Config(), fs::perms::owner_read | fs::perms::owner_write);
     },
     [](const Folders& f, const Outcome& o) {
         RunsWithoutReports(o);
         EXPECT_EQ(ModeOf(f.Config()), 0600u);
         ReadsBackAsPlayerSettings(f);
     }},
    {"ReadOnlyConfig", "one message: read-only, it stays as it is",
     [](const Folders& f, HeadlessPlatform&) {
         Spit(f.Config(), Join(PlayerLines()));
         fs::permissions(f.Config(),
                         fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
     },
     [](const Folders& f, const Outcome& o) {
         EXPECT_TRUE(o.started);
         EXPECT_EQ(CountContaining(o.reported, "read-only"), 1u) << "three saves, one report";
         EXPECT_EQ(o.boxes.size(), 1u);
         EXPECT_EQ(Slurp(f.Config()), Join(PlayerLines())) << "left as it is";
         EXPECT_EQ(ModeOf(f.Config()), 0444u);
         EXPECT_EQ(std::distance(fs::directory_iterator(f.game), {}), 1) << "no temporary left";
     }},
    {"FileSizeLimitZero", "one message: File too large; the game goes on",
     [](const Folders& f, HeadlessPlatform&) { Spit(f.Config(), Join(PlayerLines())); },
     [](const Folders& f, const Outcome& o) {
         EXPECT_TRUE(o.started) << "SIGXFSZ did not end the game";
         EXPECT_EQ(CountContaining(o.reported, "File too large"), 1u);
         EXPECT_EQ(Slurp(f.Config()), Join(PlayerLines())) << "the old file stays";
         EXPECT_EQ(std::distance(fs::directory_iterator(f.game), {}), 1) << "no temporary left";
     },
     true},
    {"ConfigIsAFifo", "one message: not a regular file; defaults, then a real file",
     [](const Folders& f, HeadlessPlatform&) { Fifo(f.Config()); },
     [](const Folders& f, const Outcome& o) {
         EXPECT_TRUE(o.started);
         EXPECT_EQ(CountContaining(o.reported, "Not a regular file"), 1u);
         EXPECT_TRUE(fs::is_regular_file(f.Config())) << "the save put a file in its place";
         EXPECT_EQ(ReadConfig(f.Config().string(), {})->HighScores, DefaultHighScores());
     }},
    {"ConfigOf300MBOfZeros", "the defaults; line 1 named on standard error",
     [](const Folders& f, HeadlessPlatform&) { Sparse(f.Config(), uintmax_t{300} << 20); },
     [](const Folders& f, const Outcome& o) {
         RunsWithoutReports(o);
         EXPECT_EQ(ReadConfig(f.Config().string(), {})->HighScores, DefaultHighScores());
         EXPECT_LT(fs::file_size(f.Config()), 2000u) << "replaced by the defaults";
     }},
    {"ConfigIsDevZero", "one message: not a regular file; defaults",
     [](const Folders& f, HeadlessPlatform&) { LinkTo(f.Config(), "/dev/zero"); },
     [](const Folders& f, const Outcome& o) {
         EXPECT_TRUE(o.started);
         EXPECT_EQ(CountContaining(o.reported, "Not a regular file"), 1u);
         EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(f.Config())))
             << "the link is replaced by a file; /dev/zero is untouched";
     }},
    {"ConfigIsAFolder", "a message: is a directory; defaults; the folder stays",
     [](const Folders& f, HeadlessPlatform&) { fs::create_directories(f.Config() / "inside"); },
     [](const Folders& f, const Outcome& o) {
         EXPECT_TRUE(o.started);
         EXPECT_GE(CountContaining(o.reported, "Is a directory"), 1u);
         EXPECT_TRUE(fs::is_directory(f.Config() / "inside"));
         EXPECT_EQ(std::distance(fs::directory_iterator(f.game), {}), 1) << "no temporary left";
     }},
    {"FaceMissing", "one message naming the stand-in face; every text drawn",
     [](const Folders& f, HeadlessPlatform&) { fs::remove(f.data / "Data/GameFont.otf"); },
     [](const Folders&, const Outcome& o) { FaceStandsIn(o); }},
    {"FaceDamaged", "one message naming the stand-in face; every text drawn",
     [](const Folders& f, HeadlessPlatform&) {
         fs::remove(f.data / "Data/GameFont.otf");
         Spit(f.data / "Data/GameFont.otf", std::string(4096, '\x5A'));
     },
     [](const Folders&, const Outcome& o) { FaceStandsIn(o); }},
    {"FaceIsAFifo", "one message naming the stand-in face; every text drawn",
     [](const Folders& f, HeadlessPlatform&) { Fifo(f.data / "Data/GameFont.otf"); },
     [](const Folders&, const Outcome& o) {
         FaceStandsIn(o);
         EXPECT_NE(o.reported[0].find("Not a regular file"), std::string::npos);
     }},
    {"NoFaceAnywhere", "one message: texts cannot be drawn; the game runs",
     [](const Folders& f, HeadlessPlatform& platform) {
         fs::remove(f.data / "Data/GameFont.otf");
         platform.SetFallbackFace("");
     },
     [](const Folders&, const Outcome& o) {
         EXPECT_TRUE(o.started);
         EXPECT_EQ(CountContaining(o.reported, "texts cannot be drawn"), 1u);
         EXPECT_EQ(o.boxes.size(), 1u);
         EXPECT_GT(o.frames, 10u);
     }},
    {"GraphicArchiveIsAFifo", "the message: not a regular file; the game ends",
     [](const Folders& f, HeadlessPlatform&) { Fifo(f.data / "Data/Graphic.dxg"); },
     [](const Folders&, const Outcome& o) {
         RefusesToStart(o, "Graphic.dxg", "Not a regular file");
     }},
    {"GraphicArchiveIsDevZero", "the message: not a regular file; the game ends",
     [](const Folders& f, HeadlessPlatform&) { LinkTo(f.data / "Data/Graphic.dxg", "/dev/zero"); },
     [](const Folders&, const Outcome& o) {
         RefusesToStart(o, "Graphic.dxg", "Not a regular file");
     }},
    {"GraphicArchiveIsAFolder", "the message: is a directory; the game ends",
     [](const Folders& f, HeadlessPlatform&) {
         fs::remove(f.data / "Data/Graphic.dxg");
         fs::create_directory(f.data / "Data/Graphic.dxg");
     },
     [](const Folders&, const Outcome& o) { RefusesToStart(o, "Graphic.dxg", "Is a directory"); }},
    {"GraphicArchiveOf100MB", "the message: larger than 64 MB; the game ends",
     [](const Folders& f, HeadlessPlatform&) { Sparse(f.data / "Data/Graphic.dxg", 100 << 20); },
     [](const Folders&, const Outcome& o) {
         RefusesToStart(o, "Graphic.dxg", "larger than 64 MB");
     }},
    {"SoundArchiveIsDevZero", "the message: not a regular file; the game ends",
     [](const Folders& f, HeadlessPlatform&) { LinkTo(f.data / "Data/Music.dxw", "/dev/zero"); },
     [](const Folders&, const Outcome& o) {
         RefusesToStart(o, "Music.dxw", "Not a regular file");
     }},
    {"RlePictureBomb", "the message: DIB is invalid; the game ends",
     [](const Folders& f, HeadlessPlatform&) {
         fs::remove(f.data / "Data/Graphic.dxg");
         WriteFileAtomically((f.data / "Data/Graphic.dxg").string(), ArchiveOf(1, 4096, 4096));
     },
     [](const Folders& f, const Outcome& o) {
         EXPECT_LT(fs::file_size(f.data / "Data/Graphic.dxg"), 1024u) << "a small file";
         RefusesToStart(o, "", "DIB is invalid");
     }},
    {"ArchiveOfManyLargePictures", "the message: more pixels than allowed; the game ends",
     [](const Folders& f, HeadlessPlatform&) {
         fs::remove(f.data / "Data/Graphic.dxg");
         const int count = static_cast<int>(kMaxArchivePixels / kMaxDibPixels) + 1;
         WriteFileAtomically((f.data / "Data/Graphic.dxg").string(), ArchiveOf(count, 2048, 2048));
     },
     [](const Folders&, const Outcome& o) {
         RefusesToStart(o, "", std::to_string(kMaxArchivePixels) + " pixels");
     }},
    {"SongIsDevZero", "silence, as without the song",
     [](const Folders& f, HeadlessPlatform&) { LinkTo(f.data / "Music/1.xm", "/dev/zero"); },
     [](const Folders&, const Outcome& o) { StaysSilent(o); }},
    {"SongIsAFifo", "silence, as without the song",
     [](const Folders& f, HeadlessPlatform&) { Fifo(f.data / "Music/1.xm"); },
     [](const Folders&, const Outcome& o) { StaysSilent(o); }},
    {"SongWith300MBAppended", "silence, as without the song",
     [](const Folders& f, HeadlessPlatform&) {
         const fs::path song = f.data / "Music/1.xm";
         const std::string bytes = Slurp(fs::read_symlink(song));
         fs::remove(song);
         Spit(song, bytes);
         fs::resize_file(song, bytes.size() + (uintmax_t{300} << 20));
     },
     [](const Folders&, const Outcome& o) { StaysSilent(o); }},
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

class HostileFiles : public ::testing::TestWithParam<HostileCase> {};

// Holds the file size limit at 0 for its lifetime.
class FileSizeLimit {
public:
    explicit FileSizeLimit(bool on) : on_(on) {
        if (!on_) return;
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit zero = old_;
        zero.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &zero);
    }
    ~FileSizeLimit() {
        if (on_) ::setrlimit(RLIMIT_FSIZE, &old_);
    }

private:
    bool on_;
    rlimit old_{};
};

TEST_P(HostileFiles, ClearMessageOrSoundDefault) {
    const HostileCase& c = GetParam();
    Folders f;
    f.root = FreshTestFolder();
    f.game = f.root / "game";
    f.data = f.root / "data";
    f.outside = f.root / "outside";
    for (const fs::path& d : {f.game, f.data / "Data", f.data / "Music", f.outside})
        fs::create_directories(d);
    const fs::path built = PONDLARK_GAME_DIR;
    for (const char* file : {"Data/Graphic.dxg", "Data/Music.dxw", "Data/GameFont.otf",
                             "Music/1.xm", "Music/2.xm", "Music/3.xm"})
        fs::create_symlink(built / file, f.data / file);

    HeadlessPlatform platform;
    c.plant(f, platform);

    Outcome o;
    const auto begin = std::chrono::steady_clock::now();
    {
        const FileSizeLimit limit(c.limitFileSize);
        TMainForm form(platform, f.game.string(), f.data.string());
        form.FixRandomSeed(1);
        o.started = form.Start();
        if (o.started) {
            form.RunFor(300);
            // The table, then out of it and back: every leaving saves.
            for (int round = 0; round < 2; ++round) {
                form.SwitchScene(TScene::HighScores);
                form.RunFor(200);
                if (round == 0) o.textPixels = YellowPixels(platform);
                form.SwitchScene(TScene::MainMenu);
                form.RunFor(100);
            }
        }
        o.reported = form.ReportedErrors();
        o.scene = form.State().Scene;
        o.song = form.Song;
        o.frames = form.FrameCount();
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - begin)
                        .count();
    o.boxes = platform.MessageBoxes();

    c.check(f, o);

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const long peakMb = usage.ru_maxrss / 1024;
    std::printf("[ hostile  ] %-34s %5lld ms  peak %4ld MB  sees: %s\n", c.name,
                static_cast<long long>(ms), peakMb, c.sees);
    RecordProperty("duration_ms", std::to_string(ms));
    RecordProperty("peak_rss_mb", std::to_string(peakMb));
    fs::remove_all(f.root);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFiles, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
