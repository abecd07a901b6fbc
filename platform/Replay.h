// A recorded game: what the game read from the platform from the start of a game to its end,
// enough to play it again to the same end on any build of the same rules.
//
// File format 2, every number little-endian:
//   magic "PLKR", u16 format version (2), u16 rules version,
//   u32 size B of the body, u32 length P, P bytes: the body packed (platform/ReplayPacking.h),
//   u32 CRC-32 (IEEE 802.3) of every byte before it.
// The body:
//   u32 length S, S bytes: the game's state when play began (laid out by the game itself),
//   u32 length N, N bytes: the input stream, one record per pass of the game loop (below),
//   trailer: u8 end (1 game over, 2 quit), u32 score, u32 level, u32 steps,
//            name, country, token: each u8 length and that many bytes.
// Format 1, which the game wrote before, is still read: the same with the body as it is (no
// size, length or packing) between the rules version and the CRC.
// A pass record: u8 head, bits 0-4 the clock's advance in milliseconds from where the last
// recorded pass ended (the rules' pauses inside it included) to where this one begins (31: 31
// plus a LEB128 number that follows), bit 5 the pass's one event is a pointer move (its
// x and y follow as below), bit 6 an input block follows, bit 7 a call block. A pass that was
// not due and read nothing new is not recorded: its time goes to the next record.
// Input block: u8 mask; 0x01 events (LEB128 count, then each event), 0x02 keyboard changes
// (LEB128 count, then u8 key and u8 new flags each), 0x04 controller (u16 TPadBits), 0x08 the
// window's focus flipped. An event: u8 type | 0x10 alt | 0x20 ctrl | 0x40 shift; a key event a
// LEB128 virtual key; a pointer event x and y as zigzag LEB128 steps from the last pointer
// position of the stream (which starts at 0, 0), and a press or release a u8 button. Call
// block: LEB128 count, then per call u8 kind (1 seed taken, 2 window state read, 3 full-screen
// switch) and a LEB128 value: what the game got back.
//
// Parsing checks every length, count and the checksum before anything is used, and decodes the
// whole input stream once; a file that fails any check raises EReplayFormat with a short,
// plain reason.
#pragma once

#include "platform/ByteSpan.h"
#include "platform/Platform.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace pondlark {

class EReplayFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr uint16_t kPlainReplayFormat = 1;
inline constexpr uint16_t kPackedReplayFormat = 2;
// The format written.
inline constexpr uint16_t kReplayFormatVersion = kPackedReplayFormat;
// The most bytes a replay file may have; an hour of play takes well under a megabyte.
inline constexpr size_t kReplayMaxBytes = 16u << 20;

enum class TReplayEnd : uint8_t { None = 0, GameOver = 1, Quit = 2 };

// Controller buttons as bits, the order of ControllerState's fields.
uint16_t PadBits(const ControllerState& pad);
ControllerState PadFromBits(uint16_t bits);

enum class TReplayCallKind : uint8_t { Seed = 1, WindowState = 2, FullScreen = 3 };
struct TReplayCall {
    TReplayCallKind Kind = TReplayCallKind::Seed;
    uint32_t Value = 0;
};

// One pass of the game loop as the game saw it.
struct TReplayPass {
    uint64_t ClockAdvance = 0;
    std::vector<PlatformEvent> Events;
    std::vector<std::pair<uint8_t, uint8_t>> KeyChanges; // key, its new flags
    bool PadChanged = false;
    uint16_t Pad = 0;
    bool FocusFlipped = false;
    std::vector<TReplayCall> Calls;
};

// Writes and reads the input stream's pass records; both keep the pointer position the
// pointer events are counted from, so one writer (or reader) serves one stream.
class TReplayPassWriter {
public:
    void Write(const TReplayPass& pass);
    std::vector<uint8_t>& Bytes() { return out_.Data(); }

private:
    void WritePointer(const PlatformEvent& e);
    TByteWriter out_;
    int lastX_ = 0, lastY_ = 0;
};

class TReplayPassReader {
public:
    explicit TReplayPassReader(std::span<const uint8_t> stream);
    bool AtEnd() const { return in_.AtEnd(); }
    // Raises EReplayFormat on a record that is short or out of bounds.
    TReplayPass Next();

private:
    PlatformEvent ReadPointer(PlatformEvent::Type type);
    TByteReader in_;
    int lastX_ = 0, lastY_ = 0;
};

struct TReplay {
    uint16_t RulesVersion = 0;
    std::vector<uint8_t> Start;
    std::vector<uint8_t> Inputs;
    TReplayEnd End = TReplayEnd::None;
    int32_t Score = 0;
    int32_t Level = 0;
    uint32_t Steps = 0;
    std::string Name, Country, Token;
    // Filled by parsing: the passes recorded and the game time they span.
    uint32_t Passes = 0;
    uint64_t DurationMs = 0;
};

// In `format` (the plain one is for checks that old files still read). Raises EReplayFormat
// when a text is longer than 255 bytes or the format is none of the two.
std::vector<uint8_t> EncodeReplay(const TReplay& replay, uint16_t format = kReplayFormatVersion);
// Reads both formats. Raises EReplayFormat: "not a replay", "another replay format", "damaged
// replay" (checksum, structure, or a packing the writer would not have made), "truncated
// replay".
TReplay ParseReplay(std::span<const uint8_t> bytes);

uint32_t Crc32(std::span<const uint8_t> bytes);

} // namespace pondlark
