#include "engine/ComponentStream.h"

#include "engine/Errors.h"

#include <limits>

namespace pondlark {

namespace {
[[noreturn]] void StreamFail() {
    throw EStreamError(kInvalidStreamFormat);
}
[[noreturn]] void BadValue() {
    throw EStreamError(kInvalidPropertyValue);
}
constexpr int kMaxDepth = 32;
} // namespace

TComponentReader::TComponentReader(std::span<const uint8_t> bytes) : in_(bytes, &StreamFail) {}

void TComponentReader::ReadItemStart() {
    const TValueType t = NextValue();
    if (t == TValueType::vaInt8 || t == TValueType::vaInt16 || t == TValueType::vaInt32)
        ReadInteger();
    if (ReadValue() != TValueType::vaList) StreamFail();
}

void TComponentReader::ReadResourceHeader() {
    if (in_.U8() != 0xFF || in_.U16() != 10) StreamFail();
    while (in_.U8() != 0) {
    }
    in_.Skip(2 + 4); // flags and size: not trusted for anything
}

void TComponentReader::ReadSignature() {
    auto sig = in_.Bytes(4);
    if (sig[0] != 'T' || sig[1] != 'P' || sig[2] != 'F' || sig[3] != '0') StreamFail();
}

void TComponentReader::ReadPrefix() {
    const uint8_t b = in_.Peek();
    if ((b & 0xF0) != 0xF0) return;
    in_.U8();
    if (b & 0x02) ReadInteger();
}

std::string TComponentReader::ReadStr() {
    const uint8_t n = in_.U8();
    auto s = in_.Bytes(n);
    return std::string(s.begin(), s.end());
}

TValueType TComponentReader::NextValue() const {
    const uint8_t b = in_.Peek();
    switch (b) {
    case 0x00:
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x06:
    case 0x07:
    case 0x08:
    case 0x09:
    case 0x0A:
    case 0x0C:
    case 0x0E:
        return static_cast<TValueType>(b);
    default:
        StreamFail();
    }
}

TValueType TComponentReader::ReadValue() {
    TValueType t = NextValue();
    in_.U8();
    return t;
}

bool TComponentReader::EndOfList() const {
    return in_.Peek() == 0;
}

void TComponentReader::ReadListEnd() {
    if (in_.U8() != 0) StreamFail();
}

int32_t TComponentReader::ReadIntegerOf(TValueType t) {
    switch (t) {
    case TValueType::vaInt8:
        return static_cast<int8_t>(in_.U8());
    case TValueType::vaInt16:
        return in_.I16();
    case TValueType::vaInt32:
        return in_.I32();
    default:
        BadValue();
    }
}

int32_t TComponentReader::ReadInteger() {
    return ReadIntegerOf(ReadValue());
}

std::string TComponentReader::ReadString() {
    switch (ReadValue()) {
    case TValueType::vaString:
        return ReadStr();
    case TValueType::vaLString: {
        auto s = in_.Bytes(in_.U32());
        return std::string(s.begin(), s.end());
    }
    default:
        BadValue();
    }
}

std::string TComponentReader::ReadIdent() {
    switch (ReadValue()) {
    case TValueType::vaIdent:
        return ReadStr();
    case TValueType::vaFalse:
        return "False";
    case TValueType::vaTrue:
        return "True";
    default:
        BadValue();
    }
}

bool TComponentReader::ReadBoolean() {
    switch (ReadValue()) {
    case TValueType::vaFalse:
        return false;
    case TValueType::vaTrue:
        return true;
    default:
        BadValue();
    }
}

std::span<const uint8_t> TComponentReader::ReadBinary() {
    if (ReadValue() != TValueType::vaBinary) BadValue();
    return in_.Bytes(in_.U32());
}

void TComponentReader::SkipValue() {
    SkipValueOf(ReadValue(), 0);
}

void TComponentReader::SkipValueOf(TValueType t, int depth) {
    if (depth > kMaxDepth) StreamFail();
    switch (t) {
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
        return;
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
        ReadIntegerOf(t);
        return;
    case TValueType::vaString:
    case TValueType::vaIdent:
        ReadStr();
        return;
    case TValueType::vaBinary:
    case TValueType::vaLString:
        in_.Skip(in_.U32());
        return;
    case TValueType::vaList:
        while (!EndOfList())
            SkipValueOf(ReadValue(), depth + 1);
        ReadListEnd();
        return;
    case TValueType::vaCollection:
        while (!EndOfList()) {
            ReadItemStart();
            while (!EndOfList()) {
                ReadStr();
                SkipValueOf(ReadValue(), depth + 1);
            }
            ReadListEnd();
        }
        ReadListEnd();
        return;
    }
    StreamFail();
}

void TComponentWriter::WriteResourceHeader(std::string_view name) {
    out_.U8(0xFF);
    out_.U16(10);
    out_.Chars(name);
    out_.U8(0);
    out_.U16(0x1030); // movable, pure, discardable: what resource compilers write for forms
    sizeField_ = out_.Size();
    out_.U32(0);
}

void TComponentWriter::WriteSignature() {
    out_.Chars("TPF0");
}

void TComponentWriter::WriteStr(std::string_view s) {
    if (s.size() > 255)
        throw EStreamError(
            Format("Name too long for the archive: %.40s...", std::string(s).c_str()));
    out_.U8(static_cast<uint8_t>(s.size()));
    out_.Chars(s);
}

void TComponentWriter::WriteValue(TValueType t) {
    out_.U8(static_cast<uint8_t>(t));
}

void TComponentWriter::WriteInteger(int32_t v) {
    if (v >= -128 && v <= 127) {
        WriteValue(TValueType::vaInt8);
        out_.U8(static_cast<uint8_t>(v));
    } else if (v >= -32768 && v <= 32767) {
        WriteValue(TValueType::vaInt16);
        out_.U16(static_cast<uint16_t>(v));
    } else {
        WriteValue(TValueType::vaInt32);
        out_.I32(v);
    }
}

void TComponentWriter::WriteString(std::string_view s) {
    if (s.size() <= 255) {
        WriteValue(TValueType::vaString);
        WriteStr(s);
        return;
    }
    if (s.size() > std::numeric_limits<uint32_t>::max()) throw EStreamError("String too long");
    WriteValue(TValueType::vaLString);
    out_.U32(static_cast<uint32_t>(s.size()));
    out_.Chars(s);
}

void TComponentWriter::WriteIdent(std::string_view s) {
    WriteValue(TValueType::vaIdent);
    WriteStr(s);
}

void TComponentWriter::WriteBoolean(bool v) {
    WriteValue(v ? TValueType::vaTrue : TValueType::vaFalse);
}

void TComponentWriter::WriteBinary(std::span<const uint8_t> bytes) {
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
        throw EStreamError("Binary value too long");
    WriteValue(TValueType::vaBinary);
    out_.U32(static_cast<uint32_t>(bytes.size()));
    out_.Bytes(bytes);
}

void TComponentWriter::WriteListEnd() {
    out_.U8(0);
}

std::vector<uint8_t> TComponentWriter::Finish() {
    if (sizeField_ != SIZE_MAX)
        out_.PatchU32(sizeField_, static_cast<uint32_t>(out_.Size() - sizeField_ - 4));
    return std::move(out_.Data());
}

} // namespace pondlark
