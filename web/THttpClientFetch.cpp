// THttpClient for the browser build: the request goes through the page's fetch to the host that
// served the page (a page may only talk to its own origin without the other side's consent), so
// only the path and query of the URL are used. The browser keeps the cookies and sets the
// User-Agent itself. The caller waits in emscripten_sleep, which hands the browser its thread
// back: the page goes on drawing and playing sound while the reply is on its way.
#include "http/THttpClient.h"

#include <emscripten.h>
#include <emscripten/fetch.h>

#include <cstring>

namespace pondlark {
namespace {

// How often a waiting caller looks whether the reply has come.
constexpr unsigned kPollMs = 10;

struct TTransfer {
    bool done = false;
};

void Finished(emscripten_fetch_t* fetch) {
    static_cast<TTransfer*>(fetch->userData)->done = true;
}

// "http://host:port/path?query" -> "/path?query"; a relative URL stays as it is.
std::string SameOriginPath(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return url;
    const size_t path = url.find('/', scheme + 3);
    return path == std::string::npos ? "/" : url.substr(path);
}

} // namespace

// The page's requests need no handle of their own.
THttpClient::THttpClient() {
    curl_ = nullptr;
}
THttpClient::~THttpClient() = default;

std::string THttpClient::Get(const std::string& url) {
    TTransfer transfer;
    emscripten_fetch_attr_t attr;
    emscripten_fetch_attr_init(&attr);
    std::strcpy(attr.requestMethod, "GET");
    attr.attributes = EMSCRIPTEN_FETCH_LOAD_TO_MEMORY;
    attr.timeoutMSecs = static_cast<unsigned long>(timeouts_.Total.count());
    static const char* const kHeaders[] = {"Accept", "text/html, */*", nullptr};
    attr.requestHeaders = kHeaders;
    attr.userData = &transfer;
    attr.onsuccess = Finished;
    attr.onerror = Finished;
    const std::string path = SameOriginPath(url);
    emscripten_fetch_t* fetch = emscripten_fetch(&attr, path.c_str());
    if (!fetch) throw EHttpError("The request could not be made.");
    while (!transfer.done)
        emscripten_sleep(kPollMs);
    const long status = fetch->status;
    std::string body;
    const bool tooLarge = fetch->numBytes > maxBody_;
    if (fetch->data && !tooLarge) body.assign(fetch->data, static_cast<size_t>(fetch->numBytes));
    emscripten_fetch_close(fetch);
    if (status == 0) throw EHttpError("The service could not be reached.");
    if (tooLarge) throw EHttpError("The reply is too large.", status);
    if (status < 200 || status > 299)
        throw EHttpError("The service answered " + std::to_string(status) + ".", status);
    return body;
}

} // namespace pondlark
