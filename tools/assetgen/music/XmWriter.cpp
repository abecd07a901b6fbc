#include "music/XmWriter.h"

#include "platform/ByteSpan.h"

#include <cmath>
#include <stdexcept>

namespace pondlark::xm {

namespace {

void Require(bool ok, const char* what) {
    if (!ok) throw std::invalid_argument(std::string("XM writer: ") + what);
}

// The engine's little-endian writer, plus the two layouts XM headers need.
class Out : public TByteWriter {
public:
    void Text(const std::string& s, size_t width) {
        Require(s.size() <= width, "name too long");
        for (size_t i = 0; i < width; ++i)
            U8(i < s.size() ? static_cast<uint8_t>(s[i]) : ' ');
    }
    void Zeros(size_t n) { Data().insert(Data().end(), n, 0); }
};

void WritePattern(Out& out, const Pattern& p, int channels) {
    Require(p.rows >= 1 && p.rows <= 256, "rows out of range");
    Require(p.channels == channels, "pattern channel count");
    Require(p.cells.size() == static_cast<size_t>(p.rows) * static_cast<size_t>(channels),
            "cell count");
    Out packed;
    for (const Cell& c : p.cells) {
        Require(c.note <= kKeyOff, "note out of range");
        uint8_t mask = 0x80;
        if (c.note) mask |= 0x01;
        if (c.instrument) mask |= 0x02;
        if (c.volume) mask |= 0x04;
        if (c.effect) mask |= 0x08;
        if (c.param) mask |= 0x10;
        packed.U8(mask);
        if (c.note) packed.U8(c.note);
        if (c.instrument) packed.U8(c.instrument);
        if (c.volume) packed.U8(c.volume);
        if (c.effect) packed.U8(c.effect);
        if (c.param) packed.U8(c.param);
    }
    Require(packed.Size() <= 0xFFFF, "pattern too large");
    out.U32(9);
    out.U8(0);
    out.U16(static_cast<uint16_t>(p.rows));
    out.U16(static_cast<uint16_t>(packed.Size()));
    out.Bytes(packed.Data());
}

void WriteInstrument(Out& out, const Instrument& ins) {
    const Sample& s = ins.sample;
    if (s.pcm.empty()) {
        out.U32(33);
        out.Text(ins.name, 22);
        out.U8(0);
        out.U16(0);
        out.U32(40);
        return;
    }
    Require(ins.volumeEnvelope.size() <= 12, "too many envelope points");
    for (size_t i = 0; i < ins.volumeEnvelope.size(); ++i) {
        Require(ins.volumeEnvelope[i].second <= 64, "envelope level");
        Require(i == 0 ? ins.volumeEnvelope[i].first == 0
                       : ins.volumeEnvelope[i].first > ins.volumeEnvelope[i - 1].first,
                "envelope ticks must rise from 0");
    }
    Require(ins.sustainPoint < static_cast<int>(ins.volumeEnvelope.size()), "sustain point");
    Require(s.loopLength == 0 || s.loopStart + s.loopLength <= s.pcm.size(), "loop outside");
    Require(s.pcm.size() <= 0x7FFFFFFF / 2, "sample too long");
    Require(s.volume <= 64 && ins.fadeout <= 0xFFF && ins.vibratoDepth <= 15 &&
                ins.vibratoRate <= 63,
            "instrument field out of range");

    out.U32(263);
    out.Text(ins.name, 22);
    out.U8(0);
    out.U16(1);
    out.U32(40);
    out.Zeros(96); // every note plays sample 0
    for (size_t i = 0; i < 12; ++i) {
        const auto point = i < ins.volumeEnvelope.size() ? ins.volumeEnvelope[i]
                                                         : std::pair<uint16_t, uint16_t>{0, 0};
        out.U16(point.first);
        out.U16(point.second);
    }
    out.Zeros(48); // panning envelope
    out.U8(static_cast<uint8_t>(ins.volumeEnvelope.size()));
    out.U8(0);
    out.U8(static_cast<uint8_t>(ins.sustainPoint < 0 ? 0 : ins.sustainPoint));
    out.U8(0);
    out.U8(0);
    out.Zeros(3);
    uint8_t flags = 0;
    if (!ins.volumeEnvelope.empty()) flags |= 1;
    if (ins.sustainPoint >= 0) flags |= 2;
    out.U8(flags);
    out.U8(0);
    out.U8(0); // sine vibrato
    out.U8(ins.vibratoSweep);
    out.U8(ins.vibratoDepth);
    out.U8(ins.vibratoRate);
    out.U16(ins.fadeout);
    out.Zeros(22);

    out.U32(static_cast<uint32_t>(s.pcm.size() * 2));
    out.U32(s.loopStart * 2);
    out.U32(s.loopLength * 2);
    out.U8(s.volume);
    out.U8(static_cast<uint8_t>(s.finetune));
    out.U8(static_cast<uint8_t>(0x10 | (s.loopLength ? 1 : 0)));
    out.U8(s.panning);
    out.U8(static_cast<uint8_t>(s.relativeNote));
    out.U8(0);
    out.Text(s.name, 22);

    uint16_t previous = 0;
    for (int16_t v : s.pcm) {
        const auto current = static_cast<uint16_t>(v);
        out.U16(static_cast<uint16_t>(current - previous));
        previous = current;
    }
}

} // namespace

uint8_t NoteByte(const std::string& name) {
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return 0;
    int semitone = kSemitone[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#')
        ++semitone, ++i;
    else if (name[i] == 'b')
        --semitone, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '7') return 0;
    const int note = 12 * (name[i] - '0') + semitone + 1;
    return note >= 1 && note <= 96 ? static_cast<uint8_t>(note) : 0;
}

std::vector<uint8_t> Write(const Module& m) {
    Require(!m.orders.empty() && m.orders.size() <= 256, "order count");
    Require(m.restart >= 0 && m.restart < static_cast<int>(m.orders.size()), "restart");
    Require(m.channels >= 2 && m.channels <= 32, "channels");
    Require(!m.patterns.empty() && m.patterns.size() <= 256, "pattern count");
    for (uint8_t o : m.orders)
        Require(o < m.patterns.size(), "order names a missing pattern");
    Require(m.speed >= 1 && m.speed <= 31 && m.bpm >= 32 && m.bpm <= 255, "speed or BPM");
    Require(m.instruments.size() <= 128, "instrument count");

    Out out;
    const std::string id = "Extended Module: ";
    for (char c : id)
        out.U8(static_cast<uint8_t>(c));
    out.Text(m.name, 20);
    out.U8(0x1A);
    out.Text("Pondlark assetgen", 20);
    out.U16(0x0104);
    out.U32(276);
    out.U16(static_cast<uint16_t>(m.orders.size()));
    out.U16(static_cast<uint16_t>(m.restart));
    out.U16(static_cast<uint16_t>(m.channels));
    out.U16(static_cast<uint16_t>(m.patterns.size()));
    out.U16(static_cast<uint16_t>(m.instruments.size()));
    out.U16(1); // linear frequency table
    out.U16(static_cast<uint16_t>(m.speed));
    out.U16(static_cast<uint16_t>(m.bpm));
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < m.orders.size() ? m.orders[i] : 0);

    for (const Pattern& p : m.patterns)
        WritePattern(out, p, m.channels);
    for (const Instrument& ins : m.instruments)
        WriteInstrument(out, ins);
    return std::move(out.Data());
}

Tuning MiddleCTuning(int sampleRate) {
    constexpr double kMiddleC = 261.6256;
    const double s = 12.0 * std::log2(sampleRate / 8363.0);
    const double r = std::round(s);
    const double f8 = 8.0 * std::round((s - r) * 16.0);
    // With these, C-4 plays the data at 8363 * 2^((r + f/128)/12) frames a second.
    const double playRate = 8363.0 * std::pow(2.0, (r + f8 / 128.0) / 12.0);
    return {static_cast<int8_t>(r), static_cast<int8_t>(f8), kMiddleC * sampleRate / playRate};
}

} // namespace pondlark::xm
