#include "server/SiteFiles.h"

#include "server/Pages.h"

#include <brotli/encode.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cctype>
#include <charconv>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <vector>

namespace pondlark::scores {

namespace {

// A descriptor closed with its owner.
class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    TFd(TFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    TFd& operator=(TFd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::optional<std::string> ReadAll(int fd, uint64_t size) {
    std::string bytes(size, '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt; // changed under us, or unreadable
        got += static_cast<size_t>(n);
    }
    return bytes;
}

std::shared_ptr<const std::string> Gzip(const std::string& plain) {
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return nullptr;
    std::string out(deflateBound(&z, static_cast<uLong>(plain.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) return nullptr;
    return std::make_shared<const std::string>(std::move(out));
}

std::shared_ptr<const std::string> Brotli(const std::string& plain) {
    size_t size = BrotliEncoderMaxCompressedSize(plain.size());
    if (size == 0) return nullptr;
    std::string out(size, '\0');
    // Quality 5: a few per cent larger than the best, made in a small part of its time (the
    // whole site is compressed when the service starts).
    if (!BrotliEncoderCompress(5, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_GENERIC, plain.size(),
                               reinterpret_cast<const uint8_t*>(plain.data()), &size,
                               reinterpret_cast<uint8_t*>(out.data())))
        return nullptr;
    out.resize(size);
    return std::make_shared<const std::string>(std::move(out));
}

bool Compressible(const std::string& type) {
    return type.rfind("text/", 0) == 0 || type.rfind("application/javascript", 0) == 0 ||
           type == "application/wasm" || type == "application/json" ||
           type == "application/manifest+json" || type == "application/octet-stream" ||
           type == "image/svg+xml";
}

// Always in English: the format's names come from the C locale the service runs in.
std::string HttpDate(int64_t unixSeconds) {
    return UtcTime(unixSeconds, "%a, %d %b %Y %H:%M:%S GMT");
}

std::optional<int64_t> ParseHttpDate(const std::string& text) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm);
    if (!end || *end != '\0') return std::nullopt;
    return static_cast<int64_t>(timegm(&tm));
}

// "br", "gzip" or "" from Accept-Encoding, honouring q=0.
std::string ChooseEncoding(const std::string& accept) {
    bool br = false, gzip = false;
    size_t pos = 0;
    while (pos <= accept.size()) {
        size_t comma = accept.find(',', pos);
        if (comma == std::string::npos) comma = accept.size();
        std::string item = accept.substr(pos, comma - pos);
        pos = comma + 1;
        std::string name = item.substr(0, item.find(';'));
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool refused = false;
        const size_t q = item.find("q=");
        if (q != std::string::npos) {
            const std::string value = item.substr(q + 2);
            refused = value.find_first_not_of("0. \t") == std::string::npos;
        }
        if (refused) continue;
        if (name == "br") br = true;
        if (name == "gzip" || name == "x-gzip") gzip = true;
    }
    return br ? "br" : gzip ? "gzip" : "";
}

bool HashedName(const std::string& relative) {
    const std::string name = relative.substr(relative.rfind('/') + 1);
    size_t start = 0;
    while (start < name.size()) {
        size_t dot = name.find('.', start);
        if (dot == std::string::npos) dot = name.size();
        const std::string part = name.substr(start, dot - start);
        if (start > 0 && dot < name.size() && part.size() >= 8 &&
            part.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
            return true;
        start = dot + 1;
    }
    return false;
}

// One range of a file of `size` bytes: nullopt when the header is not one plain byte range
// (the whole file is sent then); first > last when unsatisfiable.
std::optional<std::pair<uint64_t, uint64_t>> ParseRange(const std::string& header, uint64_t size) {
    if (header.rfind("bytes=", 0) != 0) return std::nullopt;
    const std::string spec = header.substr(6);
    if (spec.find(',') != std::string::npos) return std::nullopt;
    const size_t dash = spec.find('-');
    if (dash == std::string::npos) return std::nullopt;
    const auto number = [](std::string_view text, uint64_t& value) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return !text.empty() && error == std::errc() && end == text.data() + text.size();
    };
    const std::string_view a = std::string_view(spec).substr(0, dash);
    const std::string_view b = std::string_view(spec).substr(dash + 1);
    uint64_t first = 0, last = 0;
    if (a.empty()) {
        if (!number(b, last)) return std::nullopt;
        if (last == 0 || size == 0) return std::make_pair(uint64_t{1}, uint64_t{0});
        return std::make_pair(size - std::min(last, size), size - 1);
    }
    if (!number(a, first)) return std::nullopt;
    if (b.empty())
        last = size - 1;
    else if (!number(b, last) || last < first)
        return std::nullopt;
    if (first >= size) return std::make_pair(uint64_t{1}, uint64_t{0});
    return std::make_pair(first, std::min(last, size - 1));
}

} // namespace

std::string ContentTypeOf(const std::string& name) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "application/javascript; charset=utf-8"},
        {".mjs", "application/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".json", "application/json"},
        {".webmanifest", "application/manifest+json"},
        {".wasm", "application/wasm"},
        {".data", "application/octet-stream"},
        {".png", "image/png"},
        {".ico", "image/x-icon"},
        {".svg", "image/svg+xml"},
        {".txt", "text/plain; charset=utf-8"},
    };
    for (const auto& [ext, type] : kTypes) {
        const std::string e = ext;
        if (name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0)
            return type;
    }
    return "application/octet-stream";
}

TSiteFiles::TSiteFiles(const std::filesystem::path& folder) {
    std::error_code ec;
    root_ = std::filesystem::canonical(folder, ec);
    if (ec || !std::filesystem::is_directory(root_, ec) || ::access(root_.c_str(), R_OK | X_OK))
        throw std::runtime_error("cannot serve the folder " + folder.string());
    namespace fs = std::filesystem;
    for (auto it = fs::recursive_directory_iterator(root_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec) && !it->is_symlink(ec))
            Find(fs::relative(it->path(), root_, ec).string());
    }
}

const TSiteFiles::TFile* TSiteFiles::Find(const std::string& relative) {
    // Walk the name one folder at a time without following any link, so that nothing the
    // folder links to, and nothing swapped in on the way, is reached.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos) slash = relative.size();
        parts.push_back(relative.substr(start, slash - start));
        start = slash + 1;
    }
    for (const std::string& part : parts)
        if (part.empty() || part == "." || part == ".." || part.find('\0') != std::string::npos ||
            part.find('\\') != std::string::npos)
            return nullptr;
    TFd dir(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) return nullptr;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        TFd next(
            ::openat(dir.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0) return nullptr;
        dir = std::move(next);
    }
    TFd fd(
        ::openat(dir.get(), parts.back().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    const int64_t mtimeNs =
        static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    const auto cached = files_.find(relative);
    if (cached != files_.end() && cached->second.size == static_cast<uint64_t>(st.st_size) &&
        cached->second.mtimeNs == mtimeNs && cached->second.inode == st.st_ino)
        return &cached->second;
    std::optional<std::string> bytes = ReadAll(fd.get(), static_cast<uint64_t>(st.st_size));
    if (!bytes) return nullptr;
    TFile file;
    file.size = bytes->size();
    file.mtimeNs = mtimeNs;
    file.inode = st.st_ino;
    file.type = ContentTypeOf(relative);
    if (Compressible(file.type) && bytes->size() >= 256) {
        // Kept only where they save something worth a client's decoding.
        file.gzip = Gzip(*bytes);
        if (file.gzip && file.gzip->size() * 10 > bytes->size() * 9) file.gzip.reset();
        file.brotli = Brotli(*bytes);
        if (file.brotli && file.brotli->size() * 10 > bytes->size() * 9) file.brotli.reset();
    }
    file.plain = std::make_shared<const std::string>(std::move(*bytes));
    return &(files_[relative] = std::move(file));
}

void TSiteFiles::Serve(const THttpRequest& request, const std::string& relative,
                       THttpResponse& response) {
    std::string name = relative;
    if (name.empty() || name.back() == '/') name += "index.html";
    const TFile* file = Find(name);
    if (!file) {
        response.Text(404, "ERR|not found\n");
        return;
    }
    const int64_t mtime = file->mtimeNs / 1'000'000'000;
    const std::string tag = [&] {
        char text[64];
        std::snprintf(text, sizeof text, "%llx-%llx", static_cast<unsigned long long>(file->size),
                      static_cast<unsigned long long>(file->mtimeNs));
        return std::string(text);
    }();
    const std::string rangeHeader = request.Header("range");
    // A range is of the plain bytes; compression is for whole files.
    std::string encoding =
        rangeHeader.empty() ? ChooseEncoding(request.Header("accept-encoding")) : std::string();
    if (encoding == "br" && !file->brotli) encoding = file->gzip ? "gzip" : "";
    if (encoding == "gzip" && !file->gzip) encoding = "";
    const std::string etag = "\"" + tag + (encoding.empty() ? "" : "-" + encoding) + "\"";

    response.Set("Content-Type", file->type);
    response.Set("ETag", etag);
    response.Set("Last-Modified", HttpDate(mtime));
    response.Set("Cache-Control",
                 HashedName(name) ? "public, max-age=31536000, immutable" : "no-cache");
    if (file->gzip || file->brotli) response.Set("Vary", "Accept-Encoding");
    response.Set("Accept-Ranges", "bytes");

    const std::string noneMatch = request.Header("if-none-match");
    bool fresh = false;
    if (!noneMatch.empty()) {
        fresh = noneMatch == "*" || noneMatch.find(etag) != std::string::npos;
    } else if (const auto since = ParseHttpDate(request.Header("if-modified-since"))) {
        fresh = mtime <= *since;
    }
    if (fresh) {
        response.status = 304;
        return;
    }
    const auto& body = encoding == "br"     ? file->brotli
                       : encoding == "gzip" ? file->gzip
                                            : file->plain;
    response.status = 200;
    response.shared = body;
    response.offset = 0;
    response.length = body->size();
    if (!encoding.empty()) response.Set("Content-Encoding", encoding);

    const std::string ifRange = request.Header("if-range");
    if (rangeHeader.empty() || (!ifRange.empty() && ifRange != etag)) return;
    const auto range = ParseRange(rangeHeader, file->size);
    if (!range) return;
    if (range->first > range->second) {
        response.status = 416;
        response.shared.reset();
        response.body.clear();
        response.Set("Content-Range", "bytes */" + std::to_string(file->size));
        return;
    }
    response.status = 206;
    response.offset = range->first;
    response.length = range->second - range->first + 1;
    response.Set("Content-Range", "bytes " + std::to_string(range->first) + "-" +
                                      std::to_string(range->second) + "/" +
                                      std::to_string(file->size));
}

} // namespace pondlark::scores
