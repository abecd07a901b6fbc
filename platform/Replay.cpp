#include "platform/Replay.h"

#include "platform/ReplayPacking.h"

#include <array>

namespace pondlark {

namespace {

constexpr std::array<uint8_t, 4> kMagic{'P', 'L', 'K', 'R'};
constexpr size_t kMaxEventsPerPass = 4096;
constexpr size_t kMaxCallsPerPass = 64;
constexpr uint64_t kMaxKey = 0xffff;
constexpr uint8_t kClockEscape = 31;
constexpr uint8_t kLoneMove = 0x20;
constexpr uint8_t kHasInputs = 0x40;
constexpr uint8_t kHasCalls = 0x80;
constexpr uint8_t kEvents = 0x01, kKeys = 0x02, kPad = 0x04, kFocus = 0x08;
constexpr uint8_t kAlt = 0x10, kCtrl = 0x20, kShift = 0x40;

[[noreturn]] void Damaged() {
    throw EReplayFormat("damaged replay");
}
[[noreturn]] void Truncated() {
    throw EReplayFormat("truncated replay");
}

uint64_t ZigZag(int64_t v) {
    return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}
int64_t UnZigZag(uint64_t v) {
    return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
}

bool IsPointer(PlatformEvent::Type t) {
    return t == PlatformEvent::Type::MouseMove || t == PlatformEvent::Type::MouseDown ||
           t == PlatformEvent::Type::MouseUp;
}
bool IsKey(PlatformEvent::Type t) {
    return t == PlatformEvent::Type::KeyDown || t == PlatformEvent::Type::KeyUp;
}

void WriteText(TByteWriter& out, const std::string& text) {
    if (text.size() > 255) throw EReplayFormat("a text of the trailer is too long");
    out.U8(static_cast<uint8_t>(text.size()));
    out.Chars(text);
}

std::string ReadText(TByteReader& in) {
    const std::span<const uint8_t> b = in.Bytes(in.U8());
    return {b.begin(), b.end()};
}

} // namespace

uint16_t PadBits(const ControllerState& p) {
    const bool bits[] = {p.up,   p.down, p.left,  p.right, p.south,
                         p.east, p.west, p.north, p.start, p.back};
    uint16_t v = 0;
    for (size_t i = 0; i < std::size(bits); ++i)
        if (bits[i]) v = static_cast<uint16_t>(v | (1u << i));
    return v;
}

ControllerState PadFromBits(uint16_t v) {
    ControllerState p;
    bool* bits[] = {&p.up,   &p.down, &p.left,  &p.right, &p.south,
                    &p.east, &p.west, &p.north, &p.start, &p.back};
    for (size_t i = 0; i < std::size(bits); ++i)
        *bits[i] = (v >> i) & 1u;
    return p;
}

void TReplayPassWriter::Write(const TReplayPass& pass) {
    // The commonest pass of a moving mouse: one pointer move and nothing else of the events.
    const bool loneMove = pass.Events.size() == 1 &&
                          pass.Events[0].type == PlatformEvent::Type::MouseMove &&
                          !pass.Events[0].alt && !pass.Events[0].ctrl && !pass.Events[0].shift;
    const bool events = !pass.Events.empty() && !loneMove;
    const bool inputs = events || !pass.KeyChanges.empty() || pass.PadChanged || pass.FocusFlipped;
    const bool calls = !pass.Calls.empty();
    const uint8_t clock =
        pass.ClockAdvance < kClockEscape ? static_cast<uint8_t>(pass.ClockAdvance) : kClockEscape;
    out_.U8(static_cast<uint8_t>(clock | (loneMove ? kLoneMove : 0) | (inputs ? kHasInputs : 0) |
                                 (calls ? kHasCalls : 0)));
    if (clock == kClockEscape) out_.Varint(pass.ClockAdvance - kClockEscape);
    if (loneMove) WritePointer(pass.Events[0]);
    if (inputs) {
        uint8_t mask = 0;
        if (events) mask |= kEvents;
        if (!pass.KeyChanges.empty()) mask |= kKeys;
        if (pass.PadChanged) mask |= kPad;
        if (pass.FocusFlipped) mask |= kFocus;
        out_.U8(mask);
        if (events) {
            out_.Varint(pass.Events.size());
            for (const PlatformEvent& e : pass.Events) {
                out_.U8(static_cast<uint8_t>(static_cast<uint8_t>(e.type) | (e.alt ? kAlt : 0) |
                                             (e.ctrl ? kCtrl : 0) | (e.shift ? kShift : 0)));
                if (IsKey(e.type)) out_.Varint(static_cast<uint64_t>(e.key) & kMaxKey);
                if (IsPointer(e.type)) {
                    WritePointer(e);
                    if (e.type != PlatformEvent::Type::MouseMove)
                        out_.U8(static_cast<uint8_t>(e.button));
                }
            }
        }
        if (!pass.KeyChanges.empty()) {
            out_.Varint(pass.KeyChanges.size());
            for (const auto& [key, flags] : pass.KeyChanges) {
                out_.U8(key);
                out_.U8(flags);
            }
        }
        if (pass.PadChanged) out_.U16(pass.Pad);
    }
    if (calls) {
        out_.Varint(pass.Calls.size());
        for (const TReplayCall& c : pass.Calls) {
            out_.U8(static_cast<uint8_t>(c.Kind));
            out_.Varint(c.Value);
        }
    }
}

void TReplayPassWriter::WritePointer(const PlatformEvent& e) {
    out_.Varint(ZigZag(e.x - lastX_));
    out_.Varint(ZigZag(e.y - lastY_));
    lastX_ = e.x, lastY_ = e.y;
}

TReplayPassReader::TReplayPassReader(std::span<const uint8_t> stream) : in_(stream, Damaged) {}

PlatformEvent TReplayPassReader::ReadPointer(PlatformEvent::Type type) {
    PlatformEvent e;
    e.type = type;
    const int64_t x = lastX_ + UnZigZag(in_.Varint(3));
    const int64_t y = lastY_ + UnZigZag(in_.Varint(3));
    if (x < -32768 || x > 32767 || y < -32768 || y > 32767) Damaged();
    e.x = lastX_ = static_cast<int>(x);
    e.y = lastY_ = static_cast<int>(y);
    return e;
}

TReplayPass TReplayPassReader::Next() {
    TReplayPass pass;
    const uint8_t head = in_.U8();
    pass.ClockAdvance = head & kClockEscape;
    if (pass.ClockAdvance == kClockEscape) {
        const uint64_t more = in_.Varint();
        if (more > (uint64_t{1} << 40)) Damaged();
        pass.ClockAdvance += more;
    }
    if (head & kLoneMove) pass.Events.push_back(ReadPointer(PlatformEvent::Type::MouseMove));
    if (head & kHasInputs) {
        const uint8_t mask = in_.U8();
        if (mask == 0 || (mask & ~(kEvents | kKeys | kPad | kFocus))) Damaged();
        // A lone move stands for all the events of its pass.
        if ((head & kLoneMove) && (mask & kEvents)) Damaged();
        if (mask & kEvents) {
            const uint64_t count = in_.Varint();
            if (count == 0 || count > kMaxEventsPerPass) Damaged();
            pass.Events.reserve(static_cast<size_t>(count));
            for (uint64_t i = 0; i < count; ++i) {
                const uint8_t b = in_.U8();
                PlatformEvent e;
                const uint8_t type = b & 0x0f;
                if ((b & 0x80) || type > static_cast<uint8_t>(PlatformEvent::Type::Quit)) Damaged();
                e.type = static_cast<PlatformEvent::Type>(type);
                e.alt = b & kAlt, e.ctrl = b & kCtrl, e.shift = b & kShift;
                if (IsKey(e.type)) {
                    const uint64_t key = in_.Varint(3);
                    if (key > kMaxKey) Damaged();
                    e.key = static_cast<int>(key);
                }
                if (IsPointer(e.type)) {
                    const PlatformEvent at = ReadPointer(e.type);
                    e.x = at.x, e.y = at.y;
                    if (e.type != PlatformEvent::Type::MouseMove) {
                        const uint8_t button = in_.U8();
                        if (button > static_cast<uint8_t>(MouseButton::Middle)) Damaged();
                        e.button = static_cast<MouseButton>(button);
                    }
                }
                pass.Events.push_back(e);
            }
        }
        // One plain pointer move has one spelling, the lone move of the head.
        if ((mask & kEvents) && pass.Events.size() == 1 &&
            pass.Events[0].type == PlatformEvent::Type::MouseMove && !pass.Events[0].alt &&
            !pass.Events[0].ctrl && !pass.Events[0].shift)
            Damaged();
        if (mask & kKeys) {
            const uint64_t count = in_.Varint();
            if (count == 0 || count > 256) Damaged();
            for (uint64_t i = 0; i < count; ++i) {
                const uint8_t key = in_.U8();
                pass.KeyChanges.emplace_back(key, in_.U8());
            }
        }
        if (mask & kPad) {
            pass.PadChanged = true;
            pass.Pad = in_.U16();
            if (pass.Pad >= (1u << 10)) Damaged();
        }
        pass.FocusFlipped = mask & kFocus;
    }
    if (head & kHasCalls) {
        const uint64_t count = in_.Varint();
        if (count == 0 || count > kMaxCallsPerPass) Damaged();
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t kind = in_.U8();
            if (kind < 1 || kind > 3) Damaged();
            const uint64_t value = in_.Varint(5);
            if (value > UINT32_MAX) Damaged();
            pass.Calls.push_back(
                {static_cast<TReplayCallKind>(kind), static_cast<uint32_t>(value)});
        }
    }
    return pass;
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xffffffffu;
    for (uint8_t b : bytes)
        crc = table[(crc ^ b) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

std::vector<uint8_t> EncodeReplay(const TReplay& r, uint16_t format) {
    if (format != kPlainReplayFormat && format != kPackedReplayFormat)
        throw EReplayFormat("another replay format");
    TByteWriter body;
    body.U32(static_cast<uint32_t>(r.Start.size()));
    body.Bytes(r.Start);
    body.U32(static_cast<uint32_t>(r.Inputs.size()));
    body.Bytes(r.Inputs);
    body.U8(static_cast<uint8_t>(r.End));
    body.I32(r.Score);
    body.I32(r.Level);
    body.U32(r.Steps);
    WriteText(body, r.Name);
    WriteText(body, r.Country);
    WriteText(body, r.Token);
    TByteWriter out;
    out.Bytes(kMagic);
    out.U16(format);
    out.U16(r.RulesVersion);
    if (format == kPackedReplayFormat) {
        const std::vector<uint8_t> packed = PackBytes(body.Data());
        out.U32(static_cast<uint32_t>(body.Data().size()));
        out.U32(static_cast<uint32_t>(packed.size()));
        out.Bytes(packed);
    } else {
        out.Bytes(body.Data());
    }
    out.U32(Crc32(out.Data()));
    return std::move(out.Data());
}

namespace {

// A file whose checksum fails: cut short when its head says more than is there (it keeps a
// plausible head), damaged otherwise.
[[noreturn]] void Failed(std::span<const uint8_t> covered, uint16_t version) {
    TByteReader probe(covered, Truncated);
    probe.Skip(8);
    if (version == kPackedReplayFormat) {
        probe.U32();
        if (probe.U32() > probe.Remaining()) Truncated();
        Damaged();
    }
    const uint32_t start = probe.U32();
    if (start > probe.Remaining()) Truncated();
    probe.Skip(start);
    const uint32_t inputs = probe.U32();
    if (inputs > probe.Remaining()) Truncated();
    // The trailer holds at least its numbers and three empty texts.
    if (probe.Remaining() - inputs < 1 + 4 + 4 + 4 + 3) Truncated();
    Damaged();
}

} // namespace

TReplay ParseReplay(std::span<const uint8_t> bytes) {
    if (bytes.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
        throw EReplayFormat("not a replay");
    if (bytes.size() > kReplayMaxBytes) throw EReplayFormat("replay too large");
    TByteReader in(bytes, Truncated);
    in.Skip(kMagic.size());
    const uint16_t version = in.U16();
    if (version != kPlainReplayFormat && version != kPackedReplayFormat)
        throw EReplayFormat("another replay format");
    TReplay r;
    r.RulesVersion = in.U16();
    // The checksum first: a damaged length must not read as a truncated file.
    if (bytes.size() < 4 + 2 + 2 + 4) Truncated();
    const std::span<const uint8_t> covered = bytes.first(bytes.size() - 4);
    TByteReader crcIn(bytes.last(4), Truncated);
    if (Crc32(covered) != crcIn.U32()) Failed(covered, version);
    std::vector<uint8_t> unpacked;
    std::span<const uint8_t> fields = covered.subspan(8);
    if (version == kPackedReplayFormat) {
        TByteReader head(fields, Damaged);
        const uint32_t size = head.U32();
        const uint32_t packedSize = head.U32();
        const std::span<const uint8_t> packed = head.Bytes(packedSize);
        if (!head.AtEnd() || size > kReplayMaxBytes || size > MostUnpackedBytes(packedSize))
            Damaged();
        unpacked = UnpackBytes(packed, size);
        // One packing per body: bytes the unpacking would pass over are damage too.
        if (PackBytes(unpacked) != std::vector<uint8_t>(packed.begin(), packed.end())) Damaged();
        fields = unpacked;
    }
    TByteReader body(fields, Damaged);
    const std::span<const uint8_t> start = body.Bytes(body.U32());
    r.Start.assign(start.begin(), start.end());
    const std::span<const uint8_t> inputs = body.Bytes(body.U32());
    r.Inputs.assign(inputs.begin(), inputs.end());
    const uint8_t end = body.U8();
    if (end < 1 || end > 2) Damaged();
    r.End = static_cast<TReplayEnd>(end);
    r.Score = body.I32();
    r.Level = body.I32();
    r.Steps = body.U32();
    r.Name = ReadText(body);
    r.Country = ReadText(body);
    r.Token = ReadText(body);
    if (!body.AtEnd()) Damaged();
    TReplayPassReader passes(r.Inputs);
    while (!passes.AtEnd()) {
        r.DurationMs += passes.Next().ClockAdvance;
        ++r.Passes;
    }
    if (r.Passes == 0) Damaged();
    return r;
}

} // namespace pondlark
