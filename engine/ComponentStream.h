// The component-stream container both archives use.
//
// Layout: a resource header (0xFF, 16-bit 10, zero-terminated name, 2 flag bytes, 32-bit size),
// the signature "TPF0", an optional prefix byte (high nibble all set; bit value 2 means a tagged
// integer follows), the class and object names as short strings, a property list (name + tagged
// value, ended by 0x00) and the child list (a lone 0x00).
//
// Reader contract: it reads from a span it does not own; the span must outlive the reader and
// every span returned by `ReadBinary`. Every read is bounds-checked; short or malformed data
// raises EStreamError "Invalid stream format" and never reads outside the span. Nesting of
// lists and collections is limited so that hostile input cannot exhaust the stack.
#pragma once

#include "platform/ByteSpan.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pondlark {

enum class TValueType : uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaLString = 0x0C,
    vaCollection = 0x0E,
};

inline constexpr const char* kInvalidStreamFormat = "Invalid stream format";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";
inline constexpr const char* kPropertyDoesNotExist = "Property %s does not exist";

class TComponentReader {
public:
    explicit TComponentReader(std::span<const uint8_t> bytes);

    // Header parts, in file order.
    void ReadResourceHeader();
    void ReadSignature();
    void ReadPrefix();
    std::string ReadStr(); // short string: length byte + characters

    TValueType NextValue() const; // peeks the next tag
    TValueType ReadValue();       // consumes a tag (only the tags above are valid)
    bool EndOfList() const;       // the next byte is 0x00
    void ReadListEnd();           // consumes that 0x00
    // Steps into a collection item: its optional index, then the list-start tag; anything
    // else raises EStreamError "Invalid stream format".
    void ReadItemStart();

    // Typed values; a value of the wrong kind raises EStreamError "Invalid property value".
    int32_t ReadInteger();
    std::string ReadString();
    std::string ReadIdent();
    bool ReadBoolean();
    std::span<const uint8_t> ReadBinary();
    void SkipValue();

    size_t Position() const { return in_.Position(); }
    bool AtEnd() const { return in_.AtEnd(); }

private:
    int32_t ReadIntegerOf(TValueType t);
    void SkipValueOf(TValueType t, int depth);

    TByteReader in_;
};

class TComponentWriter {
public:
    // The resource header's size field is filled in by `Finish`.
    void WriteResourceHeader(std::string_view name);
    void WriteSignature();
    void WriteStr(std::string_view s); // at most 255 characters, else EStreamError
    void WriteValue(TValueType t);
    void WriteInteger(int32_t v);         // the smallest of the three integer tags
    void WriteString(std::string_view s); // short or long string by length
    void WriteIdent(std::string_view s);
    void WriteBoolean(bool v);
    void WriteBinary(std::span<const uint8_t> bytes);
    void WriteListEnd();
    std::vector<uint8_t> Finish();

private:
    TByteWriter out_;
    size_t sizeField_ = SIZE_MAX;
};

} // namespace pondlark
