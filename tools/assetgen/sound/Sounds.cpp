#include "sound/Sounds.h"

#include "engine/ArchiveWriter.h"
#include "engine/TWave.h"
#include "game/SoundTable.h"
#include "sound/Synth.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>

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

// ---- levels ----
//
// Sounds are matched by how loud they seem, not by their peaks: the loudest 100 ms of each,
// with the rumble below about 150 Hz discounted as the ear does, is set to the level of its
// kind of event. The catch chime is the loudest thing in the game; buzzes share one level;
// interface clicks sit under every game event. Peaks are then held under -1.5 dBFS.
namespace level {
constexpr double kChime = -12;    // the coin: nothing is louder
constexpr double kJingle = -12.5; // extra life, the feast's bell
constexpr double kStrike = -13;   // crocodile, stork, hunter lily
constexpr double kEvent = -14;    // splash, gulp
constexpr double kVoice = -15.5;  // croak, the frog's chirp
constexpr double kRepeat = -16.5; // tongue (restarted every frame), bottle steps
constexpr double kQuestion = -19; // the quit question opening and closing
constexpr double kBuzz = -21;     // every insect's loop
constexpr double kAmbience = -22; // pond and shore beds
constexpr double kPress = -22;    // a menu item pressed
constexpr double kHover = -26;    // the pointer onto a menu item
} // namespace level

double WeightedLoudnessDb(const Signal& s) {
    // One-pole high pass at 150 Hz, then the loudest 100 ms window's RMS.
    const double a = 1.0 / (1.0 + 2 * kPi * 150.0 / kRate);
    std::vector<double> hp(s.size());
    double y = 0, previous = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        y = a * (y + s[i] - previous);
        previous = s[i];
        hp[i] = y * y;
    }
    const size_t window = std::min(hp.size(), At(0.1));
    double sum = 0, best = 0;
    for (size_t i = 0; i < hp.size(); ++i) {
        sum += hp[i];
        if (i >= window) sum -= hp[i - window];
        if (i + 1 >= window) best = std::max(best, sum);
    }
    return 10 * std::log10(std::max(best / static_cast<double>(window), 1e-20));
}

void SetLevel(Signal& s, double loudnessDb) {
    constexpr double kCeilingDb = -1.5;
    const double gain = std::pow(10.0, (loudnessDb - WeightedLoudnessDb(s)) / 20);
    float peak = 0;
    for (float& v : s) {
        v = static_cast<float>(v * gain);
        peak = std::max(peak, std::abs(v));
    }
    const auto ceiling = static_cast<float>(std::pow(10.0, kCeilingDb / 20));
    if (peak <= ceiling) return;
    if (peak > 2 * ceiling) {
        Normalize(s, kCeilingDb);
        return;
    }
    // A few short transients stand above the ceiling: round them off rather than turning the
    // whole sound down.
    for (float& v : s)
        v = ceiling * std::tanh(v / ceiling);
}

Signal OneShot(Signal s, double loudnessDb) {
    Fade(s, kRate, 0.002, 0.012);
    SetLevel(s, loudnessDb);
    return s;
}

Signal Loop(const Signal& rendered, double crossfade, bool equalPower, double loudnessDb) {
    Signal s = MakeLoop(rendered, kRate, crossfade, equalPower);
    SetLevel(s, loudnessDb);
    return s;
}

// ---- voices ----

// A throat's pulse train: a smooth pulse of many harmonics, as vocal folds give.
double Glottal(double phase) {
    return std::exp(6.0 * (std::cos(2 * kPi * phase) - 1.0)) - 0.16;
}

// A pitch that wavers a little from cycle to cycle (a living voice, not an oscillator).
std::function<double(double)> Wavering(std::function<double(double)> hz, double depth, Rng& rng,
                                       double seconds) {
    auto wobble =
        std::make_shared<Signal>(OnePoleLowPass(WhiteNoise(seconds + 0.05, kRate, rng), 60, kRate));
    Normalize(*wobble, 0);
    return [hz, depth, wobble](double t) {
        const size_t i = std::min(wobble->size() - 1, static_cast<size_t>(t * kRate));
        return hz(t) * (1.0 + depth * (*wobble)[i]);
    };
}

struct Formant {
    double hz, q;
    float gain;
};

// Passes a source through parallel resonances (a mouth or a throat).
Signal Formants(const Signal& source, std::initializer_list<Formant> formants) {
    Signal out(source.size(), 0.0f);
    for (const Formant& f : formants) {
        Biquad b;
        b.BandPass(f.hz, f.q, kRate);
        MixInto(out, Filtered(source, b), 0, f.gain);
    }
    return out;
}

// A voiced sound with breath: pulses through formants, noise through the same formants.
Signal Voiced(double seconds, const std::function<double(double)>& hz, double breath, Rng& rng,
              std::initializer_list<Formant> formants) {
    Signal source = Sweep(seconds, kRate, Wavering(hz, 0.03, rng, seconds), Glottal);
    Signal noise = WhiteNoise(seconds, kRate, rng);
    MixInto(source, noise, 0, static_cast<float>(breath));
    return Formants(source, formants);
}

// ---- menu and interface ----

Signal ButtonUp(Rng& rng) {
    // A soft wooden tick: a knock of a small resonant body.
    Signal s = NoiseBurst(
        0.05, rng,
        [] {
            Biquad b;
            b.BandPass(1800, 6, kRate);
            return b;
        }(),
        Percussive(0.0005, 0.006));
    MixInto(s, Tone(0.05, Glide(1500, 1300, 0.03), Percussive(0.001, 0.01)), 0, 0.3f);
    return OneShot(s, level::kHover);
}

Signal ButtonDown(Rng& rng) {
    Biquad click;
    click.BandPass(2600, 1.5, kRate);
    Signal s = NoiseBurst(0.12, rng, click, Percussive(0.001, 0.006));
    MixInto(s, Tone(0.12, Glide(190, 120, 0.05), Percussive(0.002, 0.03)), 0, 0.8f);
    return OneShot(s, level::kPress);
}

Signal TwoNotes(double first, double second) {
    Signal s = BellNote(first, 0.45, 0.25);
    MixInto(s, BellNote(second, 0.45, 0.25), At(0.15));
    return OneShot(s, level::kQuestion);
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
    // The lapping's lighter wash, so the water is heard on small speakers too.
    Biquad wash;
    wash.BandPass(1100, 0.5, kRate);
    Signal lap = Filtered(WhiteNoise(total, kRate, rng), wash);
    for (size_t i = 0; i < lap.size(); ++i)
        lap[i] *= 0.3f * (0.4f + 0.6f * swell[i] * swell[i]);
    MixInto(s, lap);
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
    return Loop(s, crossfade, true, level::kAmbience);
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
    return Loop(s, crossfade, true, level::kAmbience);
}

// ---- insects: 2-second loops built from whole-hertz tones, so they repeat in phase ----

Signal InsectLoop(const std::function<double(double)>& hz,
                  const std::function<double(double)>& amplitude,
                  const std::function<double(double)>& wave, Biquad colour) {
    const double crossfade = 0.2;
    Signal s = Sweep(2 + crossfade, kRate, hz, wave);
    ApplyEnvelope(s, kRate, amplitude);
    s = Filtered(s, colour);
    return Loop(s, crossfade, false, level::kBuzz);
}

Signal Midge() {
    Biquad f;
    f.HighPass(500, 0.7, kRate);
    return InsectLoop([](double t) { return 1300 + 35 * std::sin(2 * kPi * 7 * t); },
                      [](double t) { return 0.7 + 0.3 * std::sin(2 * kPi * 3 * t); },
                      [](double p) { return SineWave(p) + 0.35 * SoftSaw(2 * p); }, f);
}

Signal Fly() {
    Biquad f;
    f.LowPass(1600, 0.8, kRate);
    return InsectLoop([](double t) { return 190 + 9 * std::sin(2 * kPi * 4 * t); },
                      [](double t) { return 0.7 + 0.3 * std::sin(2 * kPi * 11 * t); }, SoftSaw, f);
}

Signal Mosquito() {
    Biquad f;
    f.BandPass(1250, 1.2, kRate);
    return InsectLoop([](double t) { return 620 + 14 * std::sin(2 * kPi * 5 * t); },
                      [](double t) { return 0.8 + 0.2 * std::sin(2 * kPi * 2 * t); }, SoftSaw, f);
}

Signal Bee() {
    Biquad f;
    f.LowPass(2200, 0.7, kRate);
    return InsectLoop([](double t) { return 230 + 6 * std::sin(2 * kPi * 3 * t); },
                      [](double t) { return 0.75 + 0.25 * std::sin(2 * kPi * 6 * t); },
                      [](double p) { return SoftSaw(p) + 0.5 * SineWave(2.0 * p); }, f);
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
    // A faint rustle of the water film under the patter, so the loop never falls silent.
    Biquad film;
    film.BandPass(3200, 0.8, kRate);
    MixInto(s, Filtered(WhiteNoise(seconds + crossfade, kRate, rng), film), 0, 0.08f);
    return Loop(s, crossfade, true, level::kBuzz);
}

// ---- play field ----

Signal Gulp(Rng& rng) {
    // "Glk-ulp": a wet click in the throat, then a swallowed bubble whose resonance falls.
    Biquad clickBand;
    clickBand.BandPass(1500, 2, kRate);
    Signal s = NoiseBurst(0.03, rng, clickBand, Percussive(0.001, 0.007));
    const double seconds = 0.22;
    Signal source =
        Sweep(seconds, kRate, Wavering(Glide(120, 80, seconds), 0.05, rng, seconds), Glottal);
    MixInto(source, WhiteNoise(seconds, kRate, rng), 0, 1.4f);
    Biquad throat;
    const auto centre = Glide(900, 260, 0.16);
    Signal bubble(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        if (i % 32 == 0) throat.BandPass(centre(t), 2.2, kRate);
        bubble[i] =
            throat.Process(source[i]) * static_cast<float>(AttackRelease(0.015, 0.1, 0.09)(t));
    }
    MixInto(s, bubble, At(0.04), 1.6f);
    MixInto(s, Tone(0.05, Glide(380, 900, 0.04), Percussive(0.002, 0.012)), At(0.2), 0.35f);
    return OneShot(s, level::kEvent);
}

Signal Coin() {
    Signal s = Tone(
        0.09, [](double) { return 988.0; }, AttackRelease(0.002, 0.07, 0.015), SoftSquare);
    MixInto(s,
            Tone(
                0.4, [](double) { return 1319.0; }, Percussive(0.002, 0.1), SoftSquare),
            At(0.08));
    return OneShot(s, level::kChime);
}

Signal LifeJingle() {
    const double notes[] = {523.25, 659.26, 783.99, 1046.5};
    Signal s;
    for (int i = 0; i < 4; ++i)
        MixInto(s, BellNote(notes[i], i == 3 ? 0.8 : 0.4, 0.3), At(0.1 * i));
    return OneShot(s, level::kJingle);
}

// One bite of a leafy jaw: a crisp tear, a crackle of fibres, a wet squelch and a soft thump.
Signal Bite(Rng& rng) {
    Biquad tear;
    tear.HighPass(2500, 0.7, kRate);
    Signal s = NoiseBurst(0.02, rng, tear, Percussive(0.002, 0.006));
    for (float& v : s)
        v *= 0.5f;
    Biquad fibre;
    fibre.BandPass(1800, 1.2, kRate);
    for (int i = 0; i < 9; ++i) {
        const double at = rng.Range(0.0, 0.07);
        const auto gain = static_cast<float>(rng.Range(0.2, 0.45));
        MixInto(s, NoiseBurst(0.012, rng, fibre, Percussive(0.0003, 0.002)), At(at), gain);
    }
    MixInto(s, SweptNoise(0.11, rng, 1300, 350, 3, Percussive(0.004, 0.03)), At(0.01), 2.0f);
    MixInto(s, Tone(0.1, Glide(140, 70, 0.06), Percussive(0.002, 0.03)), 0, 0.35f);
    return s;
}

Signal Chomp(Rng& rng) {
    Signal s = Bite(rng);
    MixInto(s, Bite(rng), At(0.14), 0.85f);
    return OneShot(s, level::kStrike);
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
    MixInto(s, Tone(0.2, Glide(230, 85, 0.1), Percussive(0.003, 0.07)), 0, 0.55f);
    MixInto(s, Splash(rng, 0.8, 2500, 700), At(0.06), 1.3f);
    return OneShot(s, level::kStrike);
}

// A hard beak closing: a knock of two woody resonances.
Signal BeakClack(Rng& rng) {
    Signal knock = NoiseBurst(0.004, rng, Biquad(), AttackRelease(0.0003, 0.001, 0.002));
    knock.resize(At(0.07), 0.0f);
    Signal s = Formants(knock, {{1150, 14, 1.0f}, {2450, 18, 0.6f}, {3900, 10, 0.3f}});
    Biquad crack;
    crack.HighPass(3000, 0.7, kRate);
    MixInto(s, NoiseBurst(0.012, rng, crack, Percussive(0.0004, 0.002)), 0, 0.08f);
    return s;
}

Signal StorkStrike(Rng& rng) {
    // The rush of the neck coming down, then the beak snapping twice.
    Signal s = SweptNoise(0.3, rng, 350, 2800, 1.0, AttackRelease(0.2, 0.02, 0.08));
    MixInto(s, Tone(0.16, Glide(160, 60, 0.1), Percussive(0.002, 0.04)), At(0.26), 0.5f);
    MixInto(s, BeakClack(rng), At(0.26), 2.2f);
    MixInto(s, BeakClack(rng), At(0.33), 1.6f);
    return OneShot(s, level::kStrike);
}

Signal FrogAppears(Rng& rng) {
    // A young frog's "prrp-prrip": rising chirps with a rolled flutter and a breath.
    Signal s;
    for (double t : {0.0, 0.13}) {
        Signal chirp = Voiced(
            0.12, [t](double x) { return (t > 0 ? 420 : 360) + 500 * std::min(x / 0.09, 1.0); },
            0.45, rng, {{1400, 3, 1.0f}, {2600, 4, 0.6f}, {700, 3, 0.4f}});
        ApplyEnvelope(chirp, kRate,
                      [](double x) { return 0.6 + 0.4 * std::sin(2 * kPi * 45 * x); });
        ApplyEnvelope(chirp, kRate, AttackRelease(0.008, 0.07, 0.04));
        MixInto(s, chirp, At(t));
    }
    return OneShot(s, level::kVoice);
}

Signal Croak(Rng& rng) {
    // "Rib-bit": two pulsed syllables of a buzzing throat through the mouth's resonances, the
    // second lower and darker, with breath in the voice.
    Signal s;
    struct Syllable {
        double at, seconds, from, to, f1;
    };
    for (const Syllable& y :
         {Syllable{0.0, 0.1, 150, 125, 620}, Syllable{0.125, 0.15, 125, 92, 480}}) {
        Signal v = Voiced(y.seconds, Glide(y.from, y.to, y.seconds), 0.6, rng,
                          {{y.f1, 4, 1.0f}, {1250, 5, 0.55f}, {2500, 6, 0.25f}});
        // The throat sac pulses the sound into a rattle.
        ApplyEnvelope(v, kRate, [](double t) {
            return 0.45 + 0.55 * std::pow(std::abs(std::sin(kPi * 32 * t)), 0.7);
        });
        ApplyEnvelope(v, kRate, AttackRelease(0.01, y.seconds - 0.05, 0.04));
        MixInto(s, v, At(y.at));
    }
    return OneShot(s, level::kVoice);
}

Signal Bell() {
    Signal s = BellNote(1046.5, 1.4, 0.9);
    MixInto(s, BellNote(1568, 1.2, 0.6), At(0.0), 0.3f);
    return OneShot(s, level::kJingle);
}

Signal Tongue(Rng& rng) {
    // Restarted every 30 ms while the key is held: a wet "thwip" of filtered noise whose rise
    // is over within 30 ms, so the repeats make a sticky flutter; a short wet tail follows when
    // the key is let go.
    Signal s = SweptNoise(0.03, rng, 500, 3800, 2.5, AttackRelease(0.002, 0.016, 0.012));
    MixInto(s, SweptNoise(0.07, rng, 2600, 1400, 3, Percussive(0.004, 0.015)), At(0.02), 0.35f);
    MixInto(s, Tone(0.06, Glide(300, 900, 0.025), Percussive(0.001, 0.012)), 0, 0.18f);
    Biquad smack;
    smack.BandPass(1100, 1.5, kRate);
    MixInto(s, NoiseBurst(0.015, rng, smack, Percussive(0.0005, 0.003)), 0, 0.8f);
    return OneShot(s, level::kRepeat);
}

// One step of the bottle: a bubble rising through the liquid (a glide with a gurgle).
Signal Bloop(Rng& rng, double from, double to) {
    Signal s = Tone(0.14, Glide(from, to, 0.1), AttackRelease(0.005, 0.08, 0.05),
                    [](double p) { return SineWave(p) + 0.2 * SineWave(3 * p); });
    for (float& v : s)
        v *= 0.45f;
    MixInto(s, SweptNoise(0.14, rng, from * 1.5, to * 1.5, 3, AttackRelease(0.005, 0.07, 0.05)), 0,
            3.0f);
    return OneShot(s, level::kRepeat);
}

} // namespace

std::vector<SoundAsset> SynthesizeSounds() {
    // One generator per sound, each with its own seed, so changing one sound leaves the others'
    // bytes alone.
    auto seeded = [](uint64_t n, auto&& make) {
        Rng rng(0x504F4E444C41524Bull + n);
        return make(rng);
    };
    auto synthesize = [&](TSound sound) -> Signal {
        switch (sound) {
        case TSound::ButtonUp:
            return seeded(10, ButtonUp);
        case TSound::ButtonDown:
            return seeded(1, ButtonDown);
        case TSound::Pause:
            return TwoNotes(783.99, 587.33);
        case TSound::AfterPause:
            return TwoNotes(587.33, 783.99);
        case TSound::PondAmbience:
            return seeded(2, PondAmbience);
        case TSound::ShoreAmbience:
            return seeded(3, ShoreAmbience);
        case TSound::MidgeBuzz:
            return Midge();
        case TSound::FlyBuzz:
            return Fly();
        case TSound::MosquitoBuzz:
            return Mosquito();
        case TSound::SkaterBuzz:
            return seeded(4, Skater);
        case TSound::BeeBuzz:
            return Bee();
        case TSound::Gulp:
            return seeded(11, Gulp);
        case TSound::Coin:
            return Coin();
        case TSound::ExtraLife:
            return LifeJingle();
        case TSound::LilyBite:
            return seeded(5, Chomp);
        case TSound::CrocodileSnap:
            return seeded(6, CrocodileSnap);
        case TSound::StorkStrike:
            return seeded(7, StorkStrike);
        case TSound::Splash:
            return seeded(8,
                          [](Rng& r) { return OneShot(Splash(r, 0.7, 1800, 600), level::kEvent); });
        case TSound::FrogAppears:
            return seeded(12, FrogAppears);
        case TSound::Croak:
            return seeded(13, Croak);
        case TSound::Bell:
            return Bell();
        case TSound::Tongue:
            return seeded(9, Tongue);
        case TSound::BottleUp:
            return seeded(14, [](Rng& r) { return Bloop(r, 520, 880); });
        case TSound::BottleDown:
            return seeded(15, [](Rng& r) { return Bloop(r, 880, 520); });
        }
        throw std::logic_error("a sound without a synthesis");
    };
    std::vector<SoundAsset> out;
    for (const TSoundRow& row : kSoundTable)
        out.push_back(
            {row.File, row.Looped, row.MostAtOnce, kRate, ToPcm16(synthesize(row.Sound))});
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
