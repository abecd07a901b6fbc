#include "sound/Sounds.h"

#include "engine/ArchiveWriter.h"
#include "engine/TWave.h"
#include "sound/Synth.h"

#include <cmath>
#include <filesystem>

namespace pondlark::assetgen {

using namespace synth;

namespace {

constexpr int kRate = 22050;

// Exponential glide from `from` to `to` Hz over `seconds`, then holding `to`.
std::function<double(double)> Glide(double from, double to, double seconds) {
    return [=](double t) { return from * std::pow(to / from, std::min(t / seconds, 1.0)); };
}

Signal Tone(double seconds, const std::function<double(double)>& hz,
            const std::function<double(double)>& env,
            const std::function<double(double)>& wave = {}) {
    Signal s = Sweep(seconds, kRate, hz, wave);
    ApplyEnvelope(s, kRate, env);
    return s;
}

Signal ConstTone(double seconds, double hz, const std::function<double(double)>& env) {
    return Tone(
        seconds, [hz](double) { return hz; }, env);
}

// A bell-like note: a few partials, the higher ones dying sooner.
Signal BellNote(double hz, double seconds, double decay) {
    Signal s;
    const double ratios[] = {1.0, 2.0, 2.76, 4.07};
    const float gains[] = {1.0f, 0.45f, 0.25f, 0.1f};
    for (int k = 0; k < 4; ++k)
        MixInto(s, ConstTone(seconds, hz * ratios[k], Percussive(0.003, decay / (1 + k))), 0,
                gains[k]);
    return s;
}

Signal NoiseBurst(double seconds, Rng& rng, Biquad filter,
                  const std::function<double(double)>& env) {
    Signal s = Filtered(WhiteNoise(seconds, kRate, rng), filter);
    ApplyEnvelope(s, kRate, env);
    return s;
}

// Noise through a band pass whose centre glides from `from` to `to` Hz.
Signal SweptNoise(double seconds, Rng& rng, double from, double to, double q,
                  const std::function<double(double)>& env) {
    Signal s = WhiteNoise(seconds, kRate, rng);
    Biquad f;
    const auto centre = Glide(from, to, seconds);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        if (i % 32 == 0) f.BandPass(centre(t), q, kRate);
        s[i] = f.Process(s[i]) * static_cast<float>(env(t));
    }
    return s;
}

Signal Droplet(Rng& rng) {
    const double base = rng.Range(1000, 2600);
    return Tone(0.03, Glide(base, base * 1.6, 0.025), Percussive(0.001, 0.008));
}

size_t At(double seconds) {
    return Frames(seconds, kRate);
}

Signal OneShot(Signal s, double peakDb) {
    Fade(s, kRate, 0.002, 0.012);
    Normalize(s, peakDb);
    return s;
}

Signal Loop(const Signal& rendered, double crossfade, bool equalPower, double peakDb) {
    Signal s = MakeLoop(rendered, kRate, crossfade, equalPower);
    Normalize(s, peakDb);
    return s;
}

// ---- menu and interface ----

Signal ButtonUp() {
    return OneShot(Tone(0.06, Glide(1900, 1500, 0.03), Percussive(0.002, 0.012)), -10);
}

Signal ButtonDown(Rng& rng) {
    Biquad click;
    click.BandPass(2600, 1.5, kRate);
    Signal s = NoiseBurst(0.12, rng, click, Percussive(0.001, 0.006));
    MixInto(s, Tone(0.12, Glide(190, 120, 0.05), Percussive(0.002, 0.03)), 0, 0.8f);
    return OneShot(s, -4);
}

Signal TwoNotes(double first, double second) {
    Signal s = BellNote(first, 0.45, 0.25);
    MixInto(s, BellNote(second, 0.45, 0.25), At(0.15));
    return OneShot(s, -6);
}

// ---- ambiences ----

Signal PondAmbience(Rng& rng) {
    const double seconds = 16, crossfade = 2;
    const double total = seconds + crossfade;
    // Water: dark noise whose level rolls slowly, like small waves lapping.
    Biquad dark;
    dark.LowPass(420, 0.7, kRate);
    Signal water = Filtered(WhiteNoise(total, kRate, rng), dark);
    Signal swell = OnePoleLowPass(WhiteNoise(total, kRate, rng), 0.6, kRate);
    Normalize(swell, 0);
    for (size_t i = 0; i < water.size(); ++i)
        water[i] *= 0.55f + 0.45f * swell[i];
    Signal s = water;
    // Plops of small fish and drops.
    for (int i = 0; i < 14; ++i) {
        const double t = rng.Range(0.2, total - 0.3);
        const double f = rng.Range(280, 520);
        MixInto(s, Tone(0.08, Glide(f, f * 2.6, 0.05), Percussive(0.002, 0.02)), At(t),
                static_cast<float>(rng.Range(0.15, 0.35)));
    }
    // Distant birds: little runs of chirps.
    for (int b = 0; b < 5; ++b) {
        double t = rng.Range(0.5, total - 1.5);
        const double base = rng.Range(2400, 3600);
        const int notes = 2 + static_cast<int>(rng.Uniform() * 4);
        for (int n = 0; n < notes; ++n) {
            const double f = base * rng.Range(0.9, 1.15);
            MixInto(s,
                    Tone(0.09, Glide(f, f * 1.35, 0.07), AttackRelease(0.01, 0.04, 0.04),
                         [](double p) { return SineWave(p) + 0.2 * SineWave(2 * p); }),
                    At(t), 0.05f);
            t += rng.Range(0.1, 0.18);
        }
    }
    return Loop(s, crossfade, true, -6);
}

Signal ShoreAmbience(Rng& rng) {
    const double seconds = 16, crossfade = 2;
    const double total = seconds + crossfade;
    // Breeze: soft band of noise swelling and falling.
    Biquad band;
    band.BandPass(380, 0.6, kRate);
    Signal s = Filtered(WhiteNoise(total, kRate, rng), band);
    Signal gust = OnePoleLowPass(WhiteNoise(total, kRate, rng), 0.25, kRate);
    Normalize(gust, 0);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] *= 0.5f + 0.5f * gust[i];
    // Crickets: trains of three short pulses of a high tone.
    const double pitches[] = {4300, 4850, 3900};
    const float levels[] = {0.22f, 0.14f, 0.09f};
    for (int c = 0; c < 3; ++c) {
        double t = rng.Range(0.0, 0.5);
        const double period = rng.Range(0.45, 0.7);
        const Signal pulse = ConstTone(0.022, pitches[c], AttackRelease(0.004, 0.012, 0.006));
        while (t < total - 0.2) {
            for (int p = 0; p < 3; ++p)
                MixInto(s, pulse, At(t + p * 0.038), levels[c]);
            t += period * rng.Range(0.9, 1.1);
        }
    }
    return Loop(s, crossfade, true, -6);
}

// ---- insects: 2-second loops built from whole-hertz tones, so they repeat in phase ----

Signal InsectLoop(const std::function<double(double)>& hz,
                  const std::function<double(double)>& amplitude,
                  const std::function<double(double)>& wave, Biquad colour, double peakDb) {
    const double crossfade = 0.2;
    Signal s = Sweep(2 + crossfade, kRate, hz, wave);
    ApplyEnvelope(s, kRate, amplitude);
    s = Filtered(s, colour);
    return Loop(s, crossfade, false, peakDb);
}

Signal Midge() {
    Biquad f;
    f.HighPass(500, 0.7, kRate);
    return InsectLoop([](double t) { return 1300 + 35 * std::sin(2 * kPi * 7 * t); },
                      [](double t) { return 0.7 + 0.3 * std::sin(2 * kPi * 3 * t); },
                      [](double p) { return SineWave(p) + 0.25 * SineWave(2 * p); }, f, -12);
}

Signal Fly() {
    Biquad f;
    f.LowPass(1600, 0.8, kRate);
    return InsectLoop([](double t) { return 190 + 9 * std::sin(2 * kPi * 4 * t); },
                      [](double t) { return 0.7 + 0.3 * std::sin(2 * kPi * 11 * t); }, SoftSaw, f,
                      -8);
}

Signal Mosquito() {
    Biquad f;
    f.BandPass(1250, 1.2, kRate);
    return InsectLoop([](double t) { return 620 + 14 * std::sin(2 * kPi * 5 * t); },
                      [](double t) { return 0.8 + 0.2 * std::sin(2 * kPi * 2 * t); }, SoftSaw, f,
                      -10);
}

Signal Bee() {
    Biquad f;
    f.LowPass(2200, 0.7, kRate);
    return InsectLoop([](double t) { return 230 + 6 * std::sin(2 * kPi * 3 * t); },
                      [](double t) { return 0.75 + 0.25 * std::sin(2 * kPi * 6 * t); },
                      [](double p) { return SoftSaw(p) + 0.5 * SineWave(2.0 * p); }, f, -8);
}

Signal Skater(Rng& rng) {
    const double seconds = 2, crossfade = 0.2;
    Signal s(Frames(seconds + crossfade, kRate), 0.0f);
    Biquad tick;
    tick.BandPass(2400, 3, kRate);
    double t = 0.02;
    while (t < seconds + crossfade - 0.1) {
        for (int leg = 0; leg < 2; ++leg) {
            const auto level = static_cast<float>(rng.Range(0.6, 1.0));
            MixInto(s, NoiseBurst(0.02, rng, tick, Percussive(0.001, 0.004)), At(t + leg * 0.03),
                    level);
        }
        if (rng.Uniform() < 0.4) {
            const double f = rng.Range(1100, 1500);
            MixInto(s, Tone(0.07, Glide(f, f * 0.7, 0.06), Percussive(0.003, 0.02)), At(t + 0.05),
                    0.25f);
        }
        t += rng.Range(0.12, 0.2);
    }
    return Loop(s, crossfade, true, -9);
}

// ---- play field ----

Signal Gulp() {
    Signal s = Tone(0.3, Glide(320, 110, 0.18), AttackRelease(0.01, 0.1, 0.12));
    MixInto(s, Tone(0.05, Glide(600, 1200, 0.03), Percussive(0.002, 0.012)), At(0.16), 0.5f);
    return OneShot(s, -3);
}

Signal Coin() {
    Signal s = Tone(
        0.09, [](double) { return 988.0; }, AttackRelease(0.002, 0.07, 0.015), SoftSquare);
    MixInto(s,
            Tone(
                0.4, [](double) { return 1319.0; }, Percussive(0.002, 0.1), SoftSquare),
            At(0.08));
    return OneShot(s, -5);
}

Signal LifeJingle() {
    const double notes[] = {523.25, 659.26, 783.99, 1046.5};
    Signal s;
    for (int i = 0; i < 4; ++i)
        MixInto(s, BellNote(notes[i], i == 3 ? 0.8 : 0.4, 0.3), At(0.1 * i));
    return OneShot(s, -3);
}

Signal Chomp(Rng& rng) {
    Signal s;
    Biquad crunch;
    crunch.LowPass(900, 0.9, kRate);
    for (double t : {0.0, 0.13}) {
        MixInto(s, NoiseBurst(0.12, rng, crunch, Percussive(0.002, 0.035)), At(t));
        MixInto(s, Tone(0.15, Glide(150, 70, 0.08), Percussive(0.002, 0.05)), At(t), 0.9f);
    }
    return OneShot(s, -2);
}

Signal Splash(Rng& rng, double seconds, double from, double to) {
    Signal s = SweptNoise(seconds, rng, from, to, 0.9, AttackRelease(0.005, 0.06, seconds - 0.1));
    for (int i = 0; i < 7; ++i) {
        // One draw per statement: argument order is unspecified and the bytes must not depend
        // on the compiler.
        const Signal drop = Droplet(rng);
        const double at = rng.Range(0.05, seconds - 0.1);
        const auto level = static_cast<float>(rng.Range(0.2, 0.45));
        MixInto(s, drop, At(at), level);
    }
    return s;
}

Signal CrocodileSnap(Rng& rng) {
    Biquad snap;
    snap.HighPass(1500, 0.7, kRate);
    Signal s = NoiseBurst(0.05, rng, snap, Percussive(0.001, 0.012));
    MixInto(s, Tone(0.2, Glide(230, 85, 0.1), Percussive(0.003, 0.07)), 0, 1.0f);
    MixInto(s, Splash(rng, 0.8, 2500, 700), At(0.08), 0.8f);
    return OneShot(s, -1.5);
}

Signal StorkStrike(Rng& rng) {
    Signal s = SweptNoise(0.28, rng, 300, 2600, 1.2, AttackRelease(0.18, 0.02, 0.08));
    for (double t : {0.26, 0.33}) {
        MixInto(s, ConstTone(0.06, 1100, Percussive(0.001, 0.018)), At(t), 0.8f);
        MixInto(s, ConstTone(0.04, 2350, Percussive(0.001, 0.008)), At(t), 0.4f);
    }
    return OneShot(s, -2);
}

Signal FrogAppears() {
    Signal s;
    for (double t : {0.0, 0.13}) {
        MixInto(s,
                Tone(
                    0.12,
                    [](double x) {
                        return 700 + 800 * std::min(x / 0.09, 1.0) +
                               40 * std::sin(2 * kPi * 30 * x);
                    },
                    AttackRelease(0.008, 0.07, 0.04),
                    [](double p) { return SineWave(p) + 0.3 * SineWave(2 * p); }),
                At(t));
    }
    return OneShot(s, -4);
}

Signal Croak() {
    const double seconds = 0.26;
    // A buzzing voice through two mouth resonances, with a ribbit-like flutter.
    Signal voice = Sweep(seconds, kRate, Glide(105, 85, seconds), SoftSaw);
    Biquad low, high;
    low.BandPass(550, 4, kRate);
    high.BandPass(1350, 5, kRate);
    Signal s = Filtered(voice, low);
    MixInto(s, Filtered(voice, high), 0, 0.6f);
    ApplyEnvelope(s, kRate, [](double t) { return 0.65 + 0.35 * std::sin(2 * kPi * 26 * t); });
    ApplyEnvelope(s, kRate, AttackRelease(0.015, 0.14, 0.09));
    return OneShot(s, -3);
}

Signal Bell() {
    Signal s = BellNote(1046.5, 1.4, 0.9);
    MixInto(s, BellNote(1568, 1.2, 0.6), At(0.0), 0.3f);
    return OneShot(s, -3);
}

Signal Tongue(Rng& rng) {
    // Restarted every 30 ms while the key is held: a click and a rising glide that already
    // sound whole in their first 30 ms.
    Signal s = Tone(0.12, Glide(380, 1500, 0.05), Percussive(0.001, 0.035));
    Biquad hiss;
    hiss.HighPass(3000, 0.7, kRate);
    MixInto(s, NoiseBurst(0.02, rng, hiss, Percussive(0.0005, 0.004)), 0, 0.4f);
    return OneShot(s, -5);
}

Signal Bloop(double from, double to) {
    return OneShot(Tone(0.14, Glide(from, to, 0.1), AttackRelease(0.005, 0.08, 0.05),
                        [](double p) { return SineWave(p) + 0.2 * SineWave(3 * p); }),
                   -6);
}

} // namespace

std::vector<SoundAsset> SynthesizeSounds() {
    // One generator per sound, each with its own seed, so changing one sound leaves the others'
    // bytes alone.
    auto rng = [](uint64_t n) { return Rng(0x504F4E444C41524Bull + n); };
    Rng r1 = rng(1), r2 = rng(2), r3 = rng(3), r4 = rng(4), r5 = rng(5), r6 = rng(6), r7 = rng(7),
        r8 = rng(8), r9 = rng(9);
    struct Entry {
        const char* name;
        bool looped;
        int32_t max;
        Signal signal;
    };
    std::vector<Entry> entries;
    entries.push_back({"button_up", false, 1, ButtonUp()});
    entries.push_back({"button_down", false, 2, ButtonDown(r1)});
    entries.push_back({"pause", false, 1, TwoNotes(783.99, 587.33)});
    entries.push_back({"after_pause", false, 1, TwoNotes(587.33, 783.99)});
    entries.push_back({"fon1", true, 1, PondAmbience(r2)});
    entries.push_back({"fon2", true, 1, ShoreAmbience(r3)});
    entries.push_back({"mushka", true, 1, Midge()});
    entries.push_back({"muha", true, 1, Fly()});
    entries.push_back({"komar", true, 1, Mosquito()});
    entries.push_back({"vodomerka", true, 1, Skater(r4)});
    entries.push_back({"pchel", true, 1, Bee()});
    entries.push_back({"food", false, 2, Gulp()});
    entries.push_back({"dollar", false, 2, Coin()});
    entries.push_back({"life", false, 1, LifeJingle()});
    entries.push_back({"kuv_eat", false, 1, Chomp(r5)});
    entries.push_back({"kroco", false, 1, CrocodileSnap(r6)});
    entries.push_back({"aist_eat", false, 1, StorkStrike(r7)});
    entries.push_back({"brizg", false, 2, OneShot(Splash(r8, 0.7, 1800, 600), -2)});
    entries.push_back({"frog_bir", false, 1, FrogAppears()});
    entries.push_back({"kvak", false, 1, Croak()});
    entries.push_back({"bell", false, 1, Bell()});
    entries.push_back({"iazik", false, 1, Tongue(r9)});
    entries.push_back({"bottle_up", false, 1, Bloop(520, 880)});
    entries.push_back({"bottle_down", false, 1, Bloop(880, 520)});

    std::vector<SoundAsset> out;
    for (Entry& e : entries)
        out.push_back({e.name, e.looped, e.max, kRate, ToPcm16(e.signal)});
    return out;
}

void GenerateSounds(const std::string& gameDir) {
    std::vector<WaveEntry> entries;
    for (const SoundAsset& s : SynthesizeSounds()) {
        const TWave wave = TWave::FromPcm16(static_cast<uint32_t>(s.rate), 1, s.pcm);
        entries.push_back({s.name, s.looped, s.maxPlayingCount, wave.SaveToBytes()});
    }
    std::filesystem::create_directories(std::filesystem::path(gameDir) / "Data");
    WriteFileAtomically(gameDir + "/Data/Music.dxw", WriteSoundArchive(entries));
}

void WriteSoundWavs(const std::string& dir) {
    std::filesystem::create_directories(dir);
    for (const SoundAsset& s : SynthesizeSounds()) {
        const TWave wave = TWave::FromPcm16(static_cast<uint32_t>(s.rate), 1, s.pcm);
        WriteFileAtomically(dir + "/" + s.name + ".wav", wave.SaveToBytes());
    }
}

} // namespace pondlark::assetgen
