// The browser game's files, served as a web server serves them.
//
// Only regular files inside the folder are served: a name with "..", a symbolic link anywhere
// on the way (to a file or a folder, inside or outside), a device or a folder is "not found".
// Each file is read once and kept in memory with its gzip and Brotli forms (made when the file
// is first loaded, and again when its size, time or inode change), so a download costs no disk
// reads and no compression. A reply carries:
//   - the form the client accepts best (Accept-Encoding: br, then gzip, else as it is), with
//     "Vary: Accept-Encoding";
//   - an ETag per form and Last-Modified; If-None-Match / If-Modified-Since give 304;
//   - "Cache-Control: public, max-age=31536000, immutable" for a name carrying a content hash
//     (a run of at least 8 hexadecimal digits between dots, "game.3fa2c81d.wasm"), "no-cache"
//     (use, but check first) otherwise;
//   - one byte range ("Range: bytes=A-B", "A-", "-N") of the plain form, with If-Range; 416
//     for a range beyond the file.
// Threads: Serve may be called from one thread at a time (the event loop). A file's first load
// or reload happens inside Serve, on that thread.
#pragma once

#include "server/HttpServer.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace pondlark::scores {

class TSiteFiles {
public:
    // Throws std::runtime_error when `folder` is not a readable folder. Loads (and compresses)
    // every regular file under it now, so the first players do not wait for it.
    explicit TSiteFiles(const std::filesystem::path& folder);

    // Answers a GET or HEAD for `relative` (the decoded path below the folder, "" or ending in
    // "/" for its index.html).
    void Serve(const THttpRequest& request, const std::string& relative, THttpResponse& response);

private:
    struct TFile {
        uint64_t size = 0;
        int64_t mtimeNs = 0;
        uint64_t inode = 0;
        std::string type;
        std::shared_ptr<const std::string> plain, gzip, brotli;
    };
    // The file's cached forms, loaded or reloaded as needed; null when it may not be served.
    const TFile* Find(const std::string& relative);

    std::filesystem::path root_;
    std::map<std::string, TFile> files_;
};

// The Content-Type for a file name.
std::string ContentTypeOf(const std::string& name);

} // namespace pondlark::scores
