#include "web/PageFetch.h"

#include "http/THttpClient.h"
#include "persist/WebService.h"

#include <emscripten/fetch.h>

#include <cstring>

namespace pondlark {
void TPageFetch::Finished(emscripten_fetch_t* fetch) {
    static_cast<TPageFetch*>(fetch->userData)->done_ = true;
}

TPageFetch::TPageFetch(const std::string& url, std::chrono::milliseconds timeout,
                       std::optional<std::string_view> body) {
    emscripten_fetch_attr_t attr;
    emscripten_fetch_attr_init(&attr);
    std::strcpy(attr.requestMethod, body ? "POST" : "GET");
    attr.attributes = EMSCRIPTEN_FETCH_LOAD_TO_MEMORY;
    attr.timeoutMSecs = static_cast<unsigned long>(timeout.count());
    static const char* const kGetHeaders[] = {"Accept", "text/html, */*", nullptr};
    static const char* const kPostHeaders[] = {"Accept", "text/html, */*", "Content-Type",
                                               "application/octet-stream", nullptr};
    attr.requestHeaders = body ? kPostHeaders : kGetHeaders;
    if (body) {
        // A pointer and a length: the fetch copies the bytes from the heap as they are (a
        // replay holds zero bytes and anything else, which no text may carry).
        body_.assign(*body);
        attr.requestData = body_.data();
        attr.requestDataSize = body_.size();
    }
    attr.userData = this;
    attr.onsuccess = Finished;
    attr.onerror = Finished;
    const std::string path = PathAndQuery(url);
    fetch_ = emscripten_fetch(&attr, path.c_str());
    if (!fetch_) throw EHttpError("The request could not be made.");
}

TPageFetch::~TPageFetch() {
    // Closing a running request calls its error handler at once, which only marks this done.
    emscripten_fetch_close(fetch_);
}

std::string TPageFetch::Body(std::size_t maxBytes) const {
    const long status = fetch_->status;
    if (!done_ || status == 0) throw EHttpError("The service could not be reached.");
    if (fetch_->numBytes > maxBytes) throw EHttpError("The reply is too large.", status);
    if (status < 200 || status > 299)
        throw EHttpError("The service answered " + std::to_string(status) + ".", status);
    return fetch_->data ? std::string(fetch_->data, static_cast<size_t>(fetch_->numBytes))
                        : std::string();
}

} // namespace pondlark
