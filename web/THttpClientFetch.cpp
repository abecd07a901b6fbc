// THttpClient for the browser build: the request goes through the page's fetch (see PageFetch).
// The caller waits in emscripten_sleep, which hands the browser its thread back: the page goes
// on drawing and playing sound while the reply is on its way.
#include "http/THttpClient.h"

#include "web/PageFetch.h"

#include <emscripten.h>

#include <optional>
#include <string_view>
#include <utility>

namespace pondlark {
namespace {

// How often a waiting caller looks whether the reply has come.
constexpr unsigned kPollMs = 10;

} // namespace

// The page loads no transfer library: its requests go through the browser and need no handle.
struct TCurlCalls {};

THttpClient::THttpClient(std::string library) : library_(std::move(library)) {}
THttpClient::~THttpClient() = default;

void THttpClient::Abandon() {
    abandoned_.store(true, std::memory_order_release);
}

std::string THttpClient::Get(const std::string& url) {
    return Request(url, nullptr);
}

std::string THttpClient::Post(const std::string& url, const std::string& body) {
    return Request(url, &body);
}

std::string THttpClient::Request(const std::string& url, const std::string* body) {
    if (Abandoned()) throw EHttpError("request to " + url + " abandoned");
    std::optional<std::string_view> sent;
    if (body) sent = *body;
    TPageFetch fetch(url, timeouts_.Total, sent);
    while (!fetch.Done()) {
        emscripten_sleep(kPollMs);
        if (Abandoned()) throw EHttpError("request to " + url + " abandoned");
    }
    return fetch.Body(maxBody_);
}

} // namespace pondlark
