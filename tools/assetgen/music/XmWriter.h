// Writing FastTracker 2 extended modules (.xm, version 1.04).
//
// Format notes: little-endian throughout; a 60-byte header plus a 276-byte block (song length,
// restart, channels, patterns, instruments, flags, speed, BPM, 256-entry order table); then each
// pattern (9-byte header, packed cells row-major: a flag byte 0x80|fields-present, then those
// fields); then each instrument (263-byte header when it has samples, 33 without), its 40-byte
// sample headers, then the samples' delta-encoded 16-bit data. Lengths and loop points of
// 16-bit samples are in bytes.
//
// Invariants the writer enforces (std::invalid_argument otherwise): 1..256 orders, restart <
// order count, every order names a stored pattern, 2..32 channels, 1..256 rows per pattern with
// exactly rows x channels cells, speed 1..31, BPM 32..255, at most 128 instruments, 12 envelope
// points with rising ticks from 0, loops inside their sample, names of at most 20/22 characters.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pondlark::xm {

constexpr uint8_t kKeyOff = 97;

// Note byte of a note name such as "C4" (middle C, byte 49), "F#3" or "Bb5"; 0 for anything else.
uint8_t NoteByte(const std::string& name);

struct Cell {
    uint8_t note = 0;       // 1..96, kKeyOff, 0 none
    uint8_t instrument = 0; // 1-based, 0 none
    uint8_t volume = 0;     // volume-column byte (0x10 + 0..64 sets the volume)
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct Pattern {
    int rows = 64;
    int channels = 0;
    std::vector<Cell> cells; // row-major
    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount),
          cells(static_cast<size_t>(rowCount) * static_cast<size_t>(channelCount)) {}
    Cell& At(int row, int channel) {
        return cells.at(static_cast<size_t>(row) * static_cast<size_t>(channels) +
                        static_cast<size_t>(channel));
    }
};

struct Sample {
    std::string name;
    std::vector<int16_t> pcm;
    uint32_t loopStart = 0, loopLength = 0; // in frames; loopLength 0 = no loop
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct Instrument {
    std::string name;
    Sample sample;                                             // one sample for every note
    std::vector<std::pair<uint16_t, uint16_t>> volumeEnvelope; // (tick, 0..64); empty = off
    int sustainPoint = -1;                                     // index, -1 = none
    uint16_t fadeout = 0;
    uint8_t vibratoDepth = 0, vibratoRate = 0, vibratoSweep = 0;
};

struct Module {
    std::string name;
    int channels = 4;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<uint8_t> orders;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

std::vector<uint8_t> Write(const Module& module);

// Relative note and finetune (a multiple of 8, as players honour only those) that make a
// sample recorded at `sampleRate` play note C-4 as close to middle C as they can, and the
// fundamental to synthesise at so that C-4 is exactly 261.63 Hz.
struct Tuning {
    int8_t relativeNote;
    int8_t finetune;
    double fundamental;
};
Tuning MiddleCTuning(int sampleRate);

} // namespace pondlark::xm
