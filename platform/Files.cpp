#include "platform/Files.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pondlark {

namespace {

// This many names are tried for the temporary file before a replacement gives up.
constexpr int kTempAttempts = 16;

void IgnoreFileSizeSignal() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        ::signal(SIGXFSZ, SIG_IGN);
}

// The rename reaches the disk with the folder's entry; a folder that cannot be synced is no
// reason to call a finished replacement failed.
void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string Failure(const char* step, const std::string& path, const std::string& reason) {
    return std::string("Cannot ") + step + " file \"" + path + "\". " + reason;
}

} // namespace

TRegularFile::TRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        missing_ = errno == ENOENT;
        reason_ = std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        reason_ = S_ISDIR(st.st_mode) ? "Is a directory" : "Not a regular file";
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
}

TRegularFile::~TRegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

long TRegularFile::Read(uint8_t* buffer, size_t capacity) {
    if (fd_ < 0) return -1;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, capacity);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        reason_ = std::strerror(errno);
        return -1;
    }
}

bool TRegularFile::ReadAt(uint64_t offset, uint8_t* buffer, size_t size) {
    if (fd_ < 0) return false;
    while (size > 0) {
        const ssize_t n = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            reason_ = n < 0 ? std::strerror(errno) : "The file ends early";
            return false;
        }
        buffer += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

TFileBytes ReadRegularFile(const std::string& path, uint64_t maxBytes) {
    TFileBytes out;
    TRegularFile file(path);
    if (!file.IsOpen()) {
        out.missing = file.Missing();
        out.reason = file.Reason();
        return out;
    }
    const std::string tooLarge = "File is larger than " + SizeInWords(maxBytes);
    if (file.Size() > maxBytes) {
        out.reason = tooLarge;
        return out;
    }
    // One read of the size it had when opened, then a probe for bytes it gained meanwhile.
    out.bytes.resize(static_cast<size_t>(file.Size()) + 1);
    size_t have = 0;
    for (;;) {
        if (have == out.bytes.size()) {
            if (have > maxBytes) {
                out.bytes = {};
                out.reason = tooLarge;
                return out;
            }
            out.bytes.resize(
                static_cast<size_t>(std::min<uint64_t>(maxBytes + 1, have + (have >> 1) + 4096)));
        }
        const long n = file.Read(out.bytes.data() + have, out.bytes.size() - have);
        if (n < 0) {
            out.bytes = {};
            out.reason = file.Reason();
            return out;
        }
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    if (have > maxBytes) {
        out.bytes = {};
        out.reason = tooLarge;
        return out;
    }
    out.bytes.resize(have);
    out.ok = true;
    return out;
}

std::string ReplaceFile(const std::string& path, const void* bytes, size_t size) {
    IgnoreFileSizeSignal();
    // What is being replaced decides the new file's mode, and whether it may be replaced at all.
    mode_t mode = 0644; // less the umask, through open()
    bool keepMode = false;
    struct stat old {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if ((old.st_mode & 0222) == 0)
            return Failure("write", path, "It is read-only, so it stays as it is.");
        mode = old.st_mode & 0777; // set-id bits are not handed on to a settings file
        keepMode = true;
    }

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < kTempAttempts && fd < 0; ++attempt) {
        temp = path + ".new";
        if (attempt > 0) temp += "-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Failure("create", path, std::strerror(errno));

    auto fail = [&](const char* step, int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return Failure(step, path, std::strerror(error));
    };
    if (keepMode && ::fchmod(fd, mode) != 0) return fail("create", errno);
    const auto* data = static_cast<const uint8_t*>(bytes);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail("write", n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) return fail("write", errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("write", errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("replace", errno);
    SyncFolderOf(path);
#ifdef __EMSCRIPTEN__
    // In a browser the files live in memory: the page copies them to its lasting storage.
    EM_ASM({
        if (Module.pondlarkPersist) Module.pondlarkPersist();
    });
#endif
    return {};
}

std::string SizeInWords(uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " bytes";
}

} // namespace pondlark
