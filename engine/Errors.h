// The error classes of the engine components. Each carries its formatted message; the game
// reports them (standard error and a message box) and goes on with the next frame or event.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

namespace pondlark {

class EGameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

#define PONDLARK_ERROR_CLASS(Name)                                                                 \
    class Name : public EGameError {                                                               \
    public:                                                                                        \
        using EGameError::EGameError;                                                              \
    }

PONDLARK_ERROR_CLASS(EDXDrawError);
PONDLARK_ERROR_CLASS(ESpriteError);
PONDLARK_ERROR_CLASS(EPictureCollectionError);
PONDLARK_ERROR_CLASS(EWaveCollectionError);
PONDLARK_ERROR_CLASS(EWaveStreamError);
PONDLARK_ERROR_CLASS(EDXSoundError);
PONDLARK_ERROR_CLASS(EDirectSoundBufferError);
PONDLARK_ERROR_CLASS(EStreamError);    // "Invalid stream format", "Property %s does not exist"
PONDLARK_ERROR_CLASS(EInvalidGraphic); // "DIB is invalid"
PONDLARK_ERROR_CLASS(EFOpenError);     // "Cannot open file "%s". %s"

#undef PONDLARK_ERROR_CLASS

// printf-style formatting for the messages above.
template <typename... Args> std::string Format(const char* fmt, Args... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0) return fmt;
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), fmt, args...);
    out.resize(static_cast<size_t>(n));
    return out;
}

} // namespace pondlark
