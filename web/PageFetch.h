// One GET or POST through the page's fetch, to the host that served the page: a page may only
// talk to its own origin without the other side's consent, so only the path and query of the URL
// are used. The browser keeps the cookies and sets the User-Agent itself.
//
// The request runs while the game goes on; `Done` is polled (once a frame, or by a caller that
// sleeps between looks). Nothing here waits. A request still running when its TPageFetch is
// destroyed is abandoned.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct emscripten_fetch_t;

namespace pondlark {

class TPageFetch {
public:
    // Starts a GET, or with `body` a POST of those bytes (any bytes: they go as binary data,
    // application/octet-stream, copied before the constructor returns). Throws EHttpError when
    // the browser refuses to make it.
    TPageFetch(const std::string& url, std::chrono::milliseconds timeout,
               std::optional<std::string_view> body = std::nullopt);
    ~TPageFetch();
    TPageFetch(const TPageFetch&) = delete;
    TPageFetch& operator=(const TPageFetch&) = delete;

    bool Done() const { return done_; }
    // The reply body once Done. Throws EHttpError as THttpClient::Get does: no reply (refused,
    // timed out, aborted), a body larger than `maxBytes`, a status outside 200-299.
    std::string Body(std::size_t maxBytes) const;

private:
    static void Finished(emscripten_fetch_t* fetch);
    std::string body_; // what a POST sends, kept while the request may still read it
    emscripten_fetch_t* fetch_ = nullptr;
    bool done_ = false;
};

} // namespace pondlark
