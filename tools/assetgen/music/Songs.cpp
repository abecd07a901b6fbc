#include "music/Songs.h"

#include "engine/ArchiveWriter.h"
#include "engine/TWave.h"
#include "music/XmWriter.h"
#include "sound/Synth.h"

#include <libopenmpt/libopenmpt.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace pondlark::assetgen {

using namespace synth;

namespace {

constexpr int kRate = 22050;

// ---- instruments ----

enum InstrumentNumber : uint8_t { kPluck = 1, kMarimba, kBass, kFlute, kKick, kSnare, kHat };

xm::Sample TunedSample(const std::string& name, Signal s, double peakDb) {
    Normalize(s, peakDb);
    const xm::Tuning tuning = xm::MiddleCTuning(kRate);
    xm::Sample sample;
    sample.name = name;
    sample.pcm = ToPcm16(s);
    sample.relativeNote = tuning.relativeNote;
    sample.finetune = tuning.finetune;
    return sample;
}

// A decaying note from partials (ratio to the fundamental, level, decay time in seconds).
Signal Partials(double seconds, std::initializer_list<std::array<double, 3>> partials) {
    const double f = xm::MiddleCTuning(kRate).fundamental;
    Signal s;
    for (const auto& [ratio, level, decay] : partials) {
        // Named first: clang-tidy's clang 14 does not let a lambda capture a structured binding.
        const double pitch = f * ratio;
        Signal p = Sweep(seconds, kRate, [=](double) { return pitch; });
        ApplyEnvelope(p, kRate, Percussive(0.002, decay));
        MixInto(s, p, 0, static_cast<float>(level));
    }
    Fade(s, kRate, 0.0, 0.05);
    return s;
}

// A sustained tone as a seamless loop: a whole number of cycles in about `seconds`, so the
// pitch is within a fraction of a cent of middle C.
xm::Sample LoopedTone(const std::string& name, double seconds,
                      const std::function<double(double)>& waveform, double peakDb) {
    const double f = xm::MiddleCTuning(kRate).fundamental;
    const double cycles = std::round(f * seconds);
    const double frames = std::round(cycles * kRate / f);
    const double exact = cycles * kRate / frames;
    Signal s(static_cast<size_t>(frames));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(waveform(exact * static_cast<double>(i) / kRate));
    xm::Sample sample = TunedSample(name, s, peakDb);
    sample.loopStart = 0;
    sample.loopLength = static_cast<uint32_t>(sample.pcm.size());
    return sample;
}

std::vector<xm::Instrument> Instruments() {
    std::vector<xm::Instrument> out(7);
    out[0].name = "plucked string";
    out[0].sample = TunedSample("pluck",
                                Partials(1.6, {{1, 1.0, 0.7},
                                               {2, 0.5, 0.45},
                                               {3, 0.3, 0.3},
                                               {4, 0.18, 0.2},
                                               {5, 0.1, 0.14},
                                               {6, 0.06, 0.1}}),
                                -2);
    out[1].name = "soft marimba";
    out[1].sample = TunedSample(
        "marimba", Partials(0.9, {{1, 1.0, 0.32}, {4, 0.25, 0.06}, {9.8, 0.06, 0.02}}), -2);
    out[2].name = "bass";
    out[2].sample = LoopedTone(
        "bass", 0.25,
        [](double t) {
            return std::sin(2 * kPi * t) + 0.35 * std::sin(4 * kPi * t) +
                   0.12 * std::sin(6 * kPi * t);
        },
        -2);
    out[2].volumeEnvelope = {{0, 0}, {2, 64}, {12, 48}, {80, 36}};
    out[2].sustainPoint = 3;
    out[2].fadeout = 0x500;
    out[3].name = "flute";
    out[3].sample = LoopedTone(
        "flute", 0.25,
        [](double t) {
            return std::sin(2 * kPi * t) + 0.12 * std::sin(4 * kPi * t) +
                   0.04 * std::sin(6 * kPi * t);
        },
        -2);
    out[3].volumeEnvelope = {{0, 0}, {5, 64}, {14, 52}};
    out[3].sustainPoint = 2;
    out[3].fadeout = 0x280;
    out[3].vibratoDepth = 3;
    out[3].vibratoRate = 12;
    out[3].vibratoSweep = 40;

    Rng rng(0x534F4E47ull);
    out[4].name = "kick";
    {
        Signal s = Sweep(0.35, kRate, [](double t) { return 45 + 120 * std::exp(-t / 0.03); });
        ApplyEnvelope(s, kRate, Percussive(0.001, 0.1));
        Fade(s, kRate, 0, 0.05);
        out[4].sample = TunedSample("kick", s, -1.5);
    }
    out[5].name = "snare";
    {
        Biquad band;
        band.BandPass(2600, 0.7, kRate);
        Signal s = Filtered(WhiteNoise(0.25, kRate, rng), band);
        ApplyEnvelope(s, kRate, Percussive(0.001, 0.06));
        Signal body = Sweep(0.25, kRate, [](double) { return 185.0; });
        ApplyEnvelope(body, kRate, Percussive(0.001, 0.04));
        MixInto(s, body, 0, 0.5f);
        Fade(s, kRate, 0, 0.04);
        out[5].sample = TunedSample("snare", s, -2);
    }
    out[6].name = "hat";
    {
        Biquad high;
        high.HighPass(7000, 0.7, kRate);
        Signal s = Filtered(WhiteNoise(0.08, kRate, rng), high);
        ApplyEnvelope(s, kRate, Percussive(0.0005, 0.015));
        Fade(s, kRate, 0, 0.02);
        out[6].sample = TunedSample("hat", s, -3);
    }
    return out;
}

// ---- score helpers ----

uint8_t Volume(int level) {
    return static_cast<uint8_t>(0x10 + level);
}

// Writes a line of tokens into one channel from `row`: "C5:4" (note, then 3 empty rows),
// "r:4" (key-off), "~:4" (nothing), "K:4"/"S:4"/"H:2" (kick, snare, hat). "|" is a bar line.
int Place(xm::Pattern& p, int channel, int row, const std::string& text, uint8_t instrument,
          int level) {
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token == "|") continue;
        const size_t colon = token.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("score token " + token);
        const std::string pitch = token.substr(0, colon);
        const int rows = std::stoi(token.substr(colon + 1));
        xm::Cell& c = p.At(row, channel);
        if (pitch == "r") {
            c.note = xm::kKeyOff;
        } else if (pitch == "K" || pitch == "S" || pitch == "H") {
            c.note = xm::NoteByte("C4");
            c.instrument = pitch == "K" ? kKick : pitch == "S" ? kSnare : kHat;
            c.volume = Volume(pitch == "H" ? level * 2 / 3 : level);
        } else if (pitch != "~") {
            c.note = xm::NoteByte(pitch);
            if (!c.note) throw std::invalid_argument("note " + pitch);
            c.instrument = instrument;
            c.volume = Volume(level);
        }
        row += rows;
        if (row > p.rows) throw std::invalid_argument("score runs past the pattern: " + text);
    }
    return row;
}

using Chord = std::vector<std::string>; // low to high

// The same note `octaves` higher (negative: lower); names end in their octave digit.
std::string Shift(std::string note, int octaves) {
    note.back() = static_cast<char>(note.back() + octaves);
    return note;
}

Chord Shift(const Chord& chord, int octaves) {
    Chord out;
    for (const std::string& n : chord)
        out.push_back(Shift(n, octaves));
    return out;
}

// Broken chord in steps of `step` rows through `order` (indices into the chord) for one bar.
void Arpeggio(xm::Pattern& p, int channel, int bar, const Chord& chord, int step,
              const std::vector<int>& order, uint8_t instrument, int level) {
    for (int r = 0, i = 0; r < 16; r += step, ++i)
        Place(p, channel, bar * 16 + r, chord[static_cast<size_t>(order[i % order.size()])] + ":1",
              instrument, level);
}

void SetTempo(xm::Pattern& p, int speedChannel, int bpmChannel, int speed, int bpm) {
    p.At(0, speedChannel).effect = 0x0F;
    p.At(0, speedChannel).param = static_cast<uint8_t>(speed);
    p.At(0, bpmChannel).effect = 0x0F;
    p.At(0, bpmChannel).param = static_cast<uint8_t>(bpm);
}

// ---- song 1: dusk on the pond (menus) ----

xm::Module MenuSong(const std::vector<xm::Instrument>& instruments) {
    xm::Module m;
    m.name = "Dusk on the Pond";
    m.channels = 6;
    m.speed = 6;
    m.bpm = 84;
    m.instruments = instruments;
    enum { kArp, kChord, kBassCh, kLead, kShaker, kEcho };
    const Chord F{"F3", "A3", "C4", "E4"}, Dm{"D3", "F3", "A3", "C4"}, Am{"A3", "C4", "E4", "G4"},
        Bb{"Bb3", "D4", "F4", "A4"}, C{"C4", "E4", "G4", "Bb4"}, Gm{"G3", "Bb3", "D4", "F4"};
    const std::vector<std::vector<Chord>> chords{
        {F, Dm, Bb, C}, {F, Am, Bb, C}, {Dm, Gm, Bb, C}, {F, Am, Bb, C}, {Bb, C, F, F}};
    const std::vector<std::string> leads{
        "r:64",
        "A5:6 G5:2 F5:4 C5:4 | E5:6 F5:2 G5:8 | F5:4 D5:4 F5:4 A5:4 | G5:12 r:4",
        "D5:4 F5:4 A5:6 G5:2 | F5:4 D5:4 Bb4:8 | D5:4 F5:4 Bb5:4 A5:4 | G5:8 E5:4 r:4",
        "C6:6 A5:2 G5:4 F5:4 | E5:4 G5:4 C6:8 | Bb5:4 A5:4 F5:4 D5:4 | E5:8 G5:4 r:4",
        "D5:4 F5:4 Bb5:8 | C6:4 Bb5:4 G5:8 | A5:16 | r:16",
    };
    for (size_t n = 0; n < chords.size(); ++n) {
        xm::Pattern p(64, m.channels);
        for (int bar = 0; bar < 4; ++bar) {
            const Chord& c = chords[n][static_cast<size_t>(bar)];
            Arpeggio(p, kArp, bar, Shift(c, 1), 2, {0, 1, 2, 3, 2, 1, 2, 1}, kMarimba, 26);
            Place(p, kBassCh, bar * 16, Shift(c[0], -1) + ":10 ~:6", kBass, 40);
            Place(p, kChord, bar * 16, c[1] + ":6 " + c[2] + ":4 " + c[3] + ":6", kPluck, 30);
            Place(p, kShaker, bar * 16, "H:4 H:2 H:2 H:4 H:2 H:2", 0, n == 0 ? 12 : 18);
        }
        Place(p, kLead, 0, leads[n], kFlute, 44);
        if (n == 2 || n == 3) // a soft echo of the tune on the marimba
            Place(p, kEcho, 2, leads[n].substr(0, leads[n].find('|')), kMarimba, 16);
        m.patterns.push_back(std::move(p));
    }
    SetTempo(m.patterns[0], kEcho, kShaker, m.speed, m.bpm);
    m.orders = {0, 1, 2, 3, 2, 4};
    return m;
}

// ---- song 2: lily hop (play) ----

xm::Module PlaySong(const std::vector<xm::Instrument>& instruments) {
    xm::Module m;
    m.name = "Lily Hop";
    m.channels = 6;
    m.speed = 6;
    m.bpm = 140;
    m.instruments = instruments;
    enum { kDrums, kHats, kBassCh, kLead, kChord, kFluteCh };
    const Chord C{"C4", "E4", "G4"}, Am{"A3", "C4", "E4"}, F{"F3", "A3", "C4"}, G{"G3", "B3", "D4"},
        Em{"E3", "G3", "B3"};
    const std::string beat = "K:4 S:4 K:2 K:2 S:4";
    const std::string fill = "K:4 S:2 S:2 S:2 S:2 S:1 S:1 S:1 S:1";
    const std::string hats = "H:2 H:2 H:2 H:2 H:2 H:2 H:2 H:2";
    struct Part {
        std::vector<Chord> chords;
        std::string lead, flute;
        bool fill;
    };
    const std::vector<Part> parts{
        {{C, Am, F, G}, "", "", false},
        {{C, Am, F, G},
         "E5:2 G5:2 C6:2 G5:2 E5:2 G5:2 C6:4 | A5:2 C6:2 E6:2 C6:2 A5:4 E5:4 | "
         "F5:2 A5:2 C6:2 A5:2 F5:2 A5:2 C6:2 D6:2 | B5:4 G5:2 D5:2 G5:4 B5:4",
         "",
         false},
        {{C, Am, F, G},
         "C6:2 B5:2 C6:2 G5:2 E5:4 G5:4 | A5:2 B5:2 C6:2 E6:2 D6:4 C6:4 | "
         "A5:2 G5:2 F5:2 A5:2 C6:4 F6:4 | D6:2 C6:2 B5:2 A5:2 G5:8",
         "",
         true},
        {{F, G, Em, Am},
         "A5:4 C6:4 F5:4 A5:4 | B5:4 D6:4 G5:4 B5:4 | G5:4 B5:4 E6:4 B5:4 | C6:4 A5:4 E5:8",
         "C6:16 | D6:16 | B5:16 | C6:12 r:4",
         false},
        {{F, G, C, C},
         "C6:2 A5:2 F5:2 A5:2 C6:4 A5:4 | D6:2 B5:2 G5:2 B5:2 D6:4 B5:4 | "
         "E6:4 D6:2 C6:2 G5:4 E5:4 | C5:16",
         "A5:16 | B5:16 | G5:8 E5:8 | C5:12 r:4",
         true},
        {{C, F, G, G}, "", "", true},
    };
    for (const Part& part : parts) {
        xm::Pattern p(64, m.channels);
        for (int bar = 0; bar < 4; ++bar) {
            const Chord& c = part.chords[static_cast<size_t>(bar)];
            Place(p, kDrums, bar * 16, part.fill && bar == 3 ? fill : beat, 0, 44);
            Place(p, kHats, bar * 16, hats, 0, 30);
            const std::string root = Shift(c[0], -1), octave = c[0], fifth = Shift(c[2], -1);
            Place(p, kBassCh, bar * 16,
                  root + ":2 r:2 " + octave + ":2 r:2 " + root + ":2 r:2 " + fifth + ":2 r:2",
                  kBass, 44);
            Place(p, kChord, bar * 16,
                  "~:2 " + c[1] + ":4 " + c[2] + ":4 " + c[1] + ":4 " + c[2] + ":2", kPluck, 26);
        }
        if (!part.lead.empty()) Place(p, kLead, 0, part.lead, kMarimba, 48);
        if (!part.flute.empty()) Place(p, kFluteCh, 0, part.flute, kFlute, 28);
        m.patterns.push_back(std::move(p));
    }
    SetTempo(m.patterns[0], kLead, kFluteCh, m.speed, m.bpm);
    m.orders = {0, 1, 2, 3, 4, 1, 2, 5, 3, 4, 1, 2};
    return m;
}

// ---- song 3: sunset (game over) ----

xm::Module GameOverSong(const std::vector<xm::Instrument>& instruments) {
    xm::Module m;
    m.name = "Sunset";
    m.channels = 4;
    m.speed = 6;
    m.bpm = 72;
    m.instruments = instruments;
    enum { kArp, kBassCh, kLead, kBell };
    const Chord Am{"A3", "C4", "E4", "A4"}, F{"F3", "A3", "C4", "F4"}, Dm{"D3", "F3", "A3", "D4"},
        E{"E3", "G#3", "B3", "E4"};
    const std::vector<int> order{0, 1, 2, 3, 2, 1, 2, 3};

    xm::Pattern first(64, m.channels);
    const Chord progression[] = {Am, F, Dm, E};
    for (int bar = 0; bar < 4; ++bar) {
        const Chord& c = progression[bar];
        Arpeggio(first, kArp, bar, c, 2, order, kPluck, 30);
        Place(first, kBassCh, bar * 16, Shift(c[0], -1) + ":14 r:2", kBass, 40);
    }
    Place(first, kLead, 0,
          "E5:6 D5:2 C5:4 B4:4 | A4:8 C5:4 F5:4 | E5:6 D5:2 F5:4 A4:4 | G#4:12 r:4", kFlute, 42);
    Place(first, kBell, 0, "A5:16 | F5:16 | D5:16 | E5:16", kMarimba, 14);

    xm::Pattern last(32, m.channels);
    Arpeggio(last, kArp, 0, Dm, 2, {0, 1, 2, 3}, kPluck, 28);
    Arpeggio(last, kArp, 1, Am, 4, {0, 1, 2, 3}, kPluck, 24);
    Place(last, kBassCh, 0, "D2:8 E2:8 | A1:14 r:2", kBass, 40);
    Place(last, kLead, 0, "F5:4 D5:4 B4:4 G#4:4 | A4:12 r:4", kFlute, 40);
    Place(last, kBell, 0, "~:16 | A5:4 E5:4 C5:4 A4:4", kMarimba, 16);

    m.patterns = {std::move(first), std::move(last)};
    SetTempo(m.patterns[0], kBell, kBassCh, m.speed, m.bpm);
    m.orders = {0, 1};
    return m;
}

} // namespace

std::vector<SongAsset> ComposeSongs() {
    // The three songs share one set of synthesized instruments.
    const std::vector<xm::Instrument> instruments = Instruments();
    return {{"1.xm", xm::Write(MenuSong(instruments))},
            {"2.xm", xm::Write(PlaySong(instruments))},
            {"3.xm", xm::Write(GameOverSong(instruments))}};
}

void GenerateSongs(const std::string& gameDir) {
    const std::filesystem::path dir = std::filesystem::path(gameDir) / "Music";
    std::filesystem::create_directories(dir);
    for (const SongAsset& song : ComposeSongs())
        WriteFileAtomically((dir / song.fileName).string(), song.xm);
}

void RenderSongWavs(const std::string& dir) {
    std::filesystem::create_directories(dir);
    constexpr int kOutRate = 44100;
    for (const SongAsset& song : ComposeSongs()) {
        openmpt_module* mod = openmpt_module_create_from_memory2(
            song.xm.data(), song.xm.size(), openmpt_log_func_silent, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr);
        if (!mod) throw std::runtime_error("libopenmpt refused " + song.fileName);
        std::vector<int16_t> pcm;
        std::vector<int16_t> block(2 * 4096);
        while (size_t got =
                   openmpt_module_read_interleaved_stereo(mod, kOutRate, 4096, block.data()))
            pcm.insert(pcm.end(), block.begin(), block.begin() + static_cast<long>(2 * got));
        openmpt_module_destroy(mod);
        const TWave wave = TWave::FromPcm16(kOutRate, 2, pcm);
        const std::string name = "song" + song.fileName.substr(0, song.fileName.find('.')) + ".wav";
        WriteFileAtomically(dir + "/" + name, wave.SaveToBytes());
    }
}

} // namespace pondlark::assetgen
