// Files without trusting what stands at their paths: reading what the game did not write itself
// (its data, its settings, a face), and replacing a file whole.
//
// Reading.
// A file is opened only when it is a regular file: the path is opened without blocking (a FIFO
// with no writer, or a device, would otherwise hang the open or the first read for ever), then
// the open descriptor is checked, so what is checked is what is read. A FIFO, a device, a socket
// or a folder gives a clear reason instead. Whole-file reads take a cap, so a file far larger
// than the game's own never costs more memory or time than the cap.
//
// Nothing here throws but std::bad_alloc; failures come back as a reason in words ("Is a
// directory", "Not a regular file", "File is larger than 64 MB", or the system's text for errno),
// which callers put into their own messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pondlark {

class TRegularFile {
public:
    // Opens `path` for reading. Check `IsOpen`; when it is false, `Reason` says why and
    // `Missing` tells a path that does not exist from every other failure.
    explicit TRegularFile(const std::string& path);
    ~TRegularFile();
    TRegularFile(const TRegularFile&) = delete;
    TRegularFile& operator=(const TRegularFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Missing() const { return missing_; }
    const std::string& Reason() const { return reason_; }
    // The size when it was opened.
    uint64_t Size() const { return size_; }

    // Up to `capacity` bytes from the current position; 0 at the end. -1 on a read error, with
    // `Reason` set.
    long Read(uint8_t* buffer, size_t capacity);
    // Exactly `size` bytes from `offset`, leaving the current position alone. False on a read
    // error or when the file ends first, with `Reason` set.
    bool ReadAt(uint64_t offset, uint8_t* buffer, size_t size);

private:
    int fd_ = -1;
    bool missing_ = false;
    uint64_t size_ = 0;
    std::string reason_;
};

struct TFileBytes {
    bool ok = false;
    bool missing = false; // the path does not exist
    std::vector<uint8_t> bytes;
    std::string reason; // when not ok
};

// The whole of a regular file of at most `maxBytes` bytes. A file that grows past the cap while
// it is read is refused too.
TFileBytes ReadRegularFile(const std::string& path, uint64_t maxBytes);

// "64 MB", "512 KB" or "100 bytes": a cap in the words of a message.
std::string SizeInWords(uint64_t bytes);

// Replacing. `ReplaceFile` writes `bytes` to a temporary file beside `path` and renames it over
// `path`, so a crash, a full disk or a size limit never leaves a truncated file; on any failure
// the old file stays as it was and no temporary file is left.
//
// The temporary file is created exclusively and never through a symlink (a name that is taken,
// by a leftover of a killed run or by a plant, makes it take another), with the mode of the file
// it replaces (its permission bits; a new file: 0644 less the umask). A file without any write
// permission is its owner's wish to keep it: it is left alone. SIGXFSZ is ignored from the first
// call on (when nobody handles it), so a file size limit makes the write fail instead of killing
// the process. The folder is synced after the rename.
//
// Returns "" when done, else the whole message: "Cannot create|write|replace file "%s". %s".
std::string ReplaceFile(const std::string& path, const void* bytes, size_t size);

} // namespace pondlark
