// dxarchive: lists, extracts and packs the game's graphic (.dxg) and sound (.dxw) archives.
//
//   dxarchive list FILE
//   dxarchive extract FILE DIR
//   dxarchive pack MANIFEST OUT
//
// Manifest: one item per line, fields separated by TABs (names may contain spaces); blank
// lines and lines starting with '#' are ignored; files are relative to the manifest's folder.
// All lines of one manifest are of one kind:
//   picture <TAB> NAME <TAB> FILE.png <TAB> FRAME <TAB> KEY
//       FRAME: WxH frame size, or "-" for the whole picture; KEY: #RRGGBB transparent colour,
//       or "-" for an opaque picture. Pixels with alpha below 128 become the key colour.
//   sound <TAB> NAME <TAB> FILE.wav <TAB> LOOPED <TAB> MAXCOUNT
//       LOOPED: yes or no; MAXCOUNT: most simultaneous plays, 0 = unlimited.
// The archive is written to a temporary file and renamed into place, so a failed pack never
// leaves a half archive.
#include "engine/ArchiveReader.h"
#include "engine/ArchiveWriter.h"
#include "engine/DibCodec.h"
#include "engine/Errors.h"
#include "engine/StandardColors.h"
#include "engine/TWave.h"

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace pondlark;
namespace fs = std::filesystem;

namespace {

struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A sound read as the game reads it; an entry without bytes is an empty wave.
TWave ReadWave(const WaveEntry& e) {
    TWave wave;
    if (!e.riff.empty()) wave.LoadFromBytes(e.riff);
    return wave;
}

std::string SafeFileName(const std::string& name) {
    std::string out = name.empty() ? "_" : name;
    for (char& c : out)
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    if (out == "." || out == "..") out = "_";
    return out;
}

int PatternCountOf(const PictureEntry& e, const TDibImage& img) {
    if (img.Empty()) return 0;
    const int64_t w = e.patternWidth > 0 ? e.patternWidth : img.Width;
    const int64_t h = e.patternHeight > 0 ? e.patternHeight : img.Height;
    if (w == img.Width && h == img.Height) return 1;
    const int64_t a = w + e.skipWidth, c = h + e.skipHeight;
    if (a <= 0 || c <= 0) return 0;
    return static_cast<int>(std::max<int64_t>((img.Width + e.skipWidth) / a, 0) *
                            std::max<int64_t>((img.Height + e.skipHeight) / c, 0));
}

std::string KeyText(const PictureEntry& e) {
    if (!e.transparent) return "-";
    const uint32_t p = PixelOf(ColorToRGB(e.transparentColor));
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", p);
    return buf;
}

bool LoadArchive(const std::vector<uint8_t>& bytes, GraphicArchive& pictures,
                 std::vector<WaveEntry>& sounds) {
    try {
        pictures = ReadGraphicArchive(bytes);
        return true;
    } catch (const EStreamError& first) {
        try {
            sounds = ReadSoundArchive(bytes);
            return false;
        } catch (const EStreamError&) {
            throw first;
        }
    }
}

void List(const std::string& file) {
    GraphicArchive pictures;
    std::vector<WaveEntry> sounds;
    if (LoadArchive(ReadWholeFile(file), pictures, sounds)) {
        std::cout << "index\tname\tpicture\tframe\tpatterns\tbits\tkey\n";
        for (size_t i = 0; i < pictures.items.size(); ++i) {
            const PictureEntry& e = pictures.items[i];
            const TDibImage img = DecodeDib(e.dib);
            const int fw = e.patternWidth > 0 ? e.patternWidth : img.Width;
            const int fh = e.patternHeight > 0 ? e.patternHeight : img.Height;
            std::cout << i << '\t' << e.name << '\t' << img.Width << 'x' << img.Height << '\t' << fw
                      << 'x' << fh << '\t' << PatternCountOf(e, img) << '\t' << img.BitCount << '\t'
                      << KeyText(e) << '\n';
        }
        return;
    }
    std::cout << "index\tname\tlooped\tmaxcount\tchannels\trate\tbits\tseconds\n";
    for (size_t i = 0; i < sounds.size(); ++i) {
        const WaveEntry& e = sounds[i];
        const TWave wave = ReadWave(e);
        const TWaveFormat& w = wave.Format();
        const double bytesPerSecond = double(w.samplesPerSec) * w.channels * w.bitsPerSample / 8.0;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f",
                      bytesPerSecond > 0 ? double(wave.Data().size()) / bytesPerSecond : 0.0);
        std::cout << i << '\t' << e.name << '\t' << (e.looped ? "yes" : "no") << '\t'
                  << e.maxPlayingCount << '\t' << w.channels << '\t' << w.samplesPerSec << '\t'
                  << w.bitsPerSample << '\t' << seconds << '\n';
    }
}

void WritePng(const TDibImage& img, const PictureEntry& e, const fs::path& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.Width, img.Height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw ToolError("cannot make a picture of " + e.name);
    }
    cairo_surface_flush(s);
    const int stride = cairo_image_surface_get_stride(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const uint32_t key = PixelOf(ColorToRGB(e.transparentColor));
    for (int y = 0; y < img.Height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < img.Width; ++x) {
            const uint32_t p = img.Pixels[static_cast<size_t>(y) * img.Width + x];
            row[x] = (e.transparent && p == key) ? 0u : (0xFF000000u | p);
        }
    }
    cairo_surface_mark_dirty(s);
    const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS)
        throw ToolError("cannot write " + path.string() + ": " + cairo_status_to_string(st));
}

void Extract(const std::string& file, const fs::path& dir) {
    GraphicArchive pictures;
    std::vector<WaveEntry> sounds;
    const bool graphic = LoadArchive(ReadWholeFile(file), pictures, sounds);
    fs::create_directories(dir);
    if (graphic) {
        for (size_t i = 0; i < pictures.items.size(); ++i) {
            const PictureEntry& e = pictures.items[i];
            const TDibImage img = DecodeDib(e.dib);
            if (img.Empty()) {
                std::cerr << "skipping " << e.name << ": no picture\n";
                continue;
            }
            WritePng(img, e, dir / (SafeFileName(e.name) + ".png"));
        }
        return;
    }
    for (const WaveEntry& e : sounds)
        WriteFileAtomically((dir / (SafeFileName(e.name) + ".wav")).string(), e.riff);
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, '\t'))
        out.push_back(field);
    return out;
}

std::vector<uint8_t> DibFromPng(const fs::path& path, bool keyed, uint32_t key) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        const std::string why = cairo_status_to_string(cairo_surface_status(s));
        cairo_surface_destroy(s);
        throw ToolError("cannot read " + path.string() + ": " + why);
    }
    // Whatever PNG format, draw it into ARGB32 to read one layout.
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    cairo_surface_flush(argb);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    const int stride = cairo_image_surface_get_stride(argb);
    const unsigned char* data = cairo_image_surface_get_data(argb);
    for (int y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x], a = p >> 24;
            uint32_t rgb = 0;
            if (a > 0) { // un-premultiply
                auto ch = [&](int shift) {
                    return std::min<uint32_t>(255, ((p >> shift) & 0xFF) * 255 / a);
                };
                rgb = ch(16) << 16 | ch(8) << 8 | ch(0);
            }
            px[static_cast<size_t>(y) * w + x] = (keyed && a < 128) ? key : rgb;
        }
    }
    cairo_surface_destroy(argb);
    if (w <= 0 || h <= 0) throw ToolError(path.string() + " is empty");
    return EncodeDib(px.data(), w, h, 24);
}

void Pack(const fs::path& manifest, const std::string& out) {
    std::ifstream in(manifest);
    if (!in) throw ToolError("cannot open " + manifest.string());
    const fs::path base = manifest.parent_path();
    std::vector<PictureEntry> pictures;
    std::vector<WaveEntry> sounds;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto f = SplitTabs(line);
        auto fail = [&](const std::string& why) {
            throw ToolError(manifest.string() + ":" + std::to_string(lineNo) + ": " + why);
        };
        if (f.size() != 5) fail("expected 5 TAB-separated fields");
        try {
            if (f[0] == "picture") {
                PictureEntry e;
                e.name = f[1];
                if (f[3] != "-") {
                    char x = 0;
                    std::istringstream fs(f[3]);
                    if (!(fs >> e.patternWidth >> x >> e.patternHeight) || x != 'x' ||
                        e.patternWidth <= 0 || e.patternHeight <= 0)
                        fail("frame must be WxH or -");
                }
                uint32_t key = 0;
                e.transparent = f[4] != "-";
                if (e.transparent) {
                    if (f[4].size() != 7 || f[4][0] != '#') fail("key must be #RRGGBB or -");
                    key = static_cast<uint32_t>(std::stoul(f[4].substr(1), nullptr, 16));
                    e.transparentColor = ColorOfPixel(key);
                }
                e.dib = DibFromPng(base / f[2], e.transparent, key);
                pictures.push_back(std::move(e));
            } else if (f[0] == "sound") {
                WaveEntry e;
                e.name = f[1];
                if (f[3] != "yes" && f[3] != "no") fail("looped must be yes or no");
                e.looped = f[3] == "yes";
                e.maxPlayingCount = std::stoi(f[4]);
                if (e.maxPlayingCount < 0) fail("max count must be 0 or more");
                e.riff = ReadWholeFile((base / f[2]).string());
                ReadWave(e); // refuse what the game could not load
                sounds.push_back(std::move(e));
            } else {
                fail("unknown kind \"" + f[0] + "\" (picture or sound)");
            }
        } catch (const std::invalid_argument&) {
            fail("not a number");
        } catch (const std::out_of_range&) {
            fail("number out of range");
        } catch (const EGameError& e) {
            fail(e.what());
        }
    }
    if (!pictures.empty() && !sounds.empty())
        throw ToolError("a manifest holds pictures or sounds, not both");
    const auto bytes = sounds.empty() ? WriteGraphicArchive(pictures) : WriteSoundArchive(sounds);
    WriteFileAtomically(out, bytes);
}

int Usage() {
    std::cerr << "usage: dxarchive list FILE\n"
                 "       dxarchive extract FILE DIR\n"
                 "       dxarchive pack MANIFEST OUT\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 2 && args[0] == "list")
            List(args[1]);
        else if (args.size() == 3 && args[0] == "extract")
            Extract(args[1], args[2]);
        else if (args.size() == 3 && args[0] == "pack")
            Pack(args[1], args[2]);
        else
            return Usage();
    } catch (const std::exception& e) {
        std::cerr << "dxarchive: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
