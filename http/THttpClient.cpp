#include "http/THttpClient.h"

#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace pondlark {

namespace {

// libcurl's process-wide set-up must run once before the first handle and is not safe to race.
void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TBody {
    std::string text;
    std::size_t limit = 0;
    bool tooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<TBody*>(user);
    const size_t bytes = size * count;
    if (bytes > body->limit - body->text.size()) {
        body->tooLarge = true;
        return 0; // makes libcurl abort the transfer
    }
    body->text.append(data, bytes);
    return bytes;
}

struct TSlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Runs the transfer of `curl` on `multi` until it ends or `abandoned` is raised; the latter
// reads as CURLE_ABORTED_BY_CALLBACK. The client's time-outs bound it as they bound any transfer.
CURLcode Perform(CURLM* multi, CURL* curl, const std::atomic<bool>& abandoned) {
    if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    while (!abandoned.load(std::memory_order_acquire)) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int queued = 0;
            code = CURLE_FAILED_INIT;
            while (const CURLMsg* msg = curl_multi_info_read(multi, &queued))
                if (msg->msg == CURLMSG_DONE && msg->easy_handle == curl) code = msg->data.result;
            break;
        }
        if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
    }
    curl_multi_remove_handle(multi, curl);
    return code;
}

} // namespace

THttpClient::THttpClient() {
    InitCurlOnce();
    CURLM* multi = curl_multi_init();
    if (!multi) return;
    CURL* curl = curl_easy_init();
    if (!curl) {
        curl_multi_cleanup(multi);
        return;
    }
    multi_ = multi;
    // Settings that hold for every request of this client. An empty cookie file name switches
    // the cookie engine on without reading any file; the store lives as long as the handle.
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    // Time-outs through signals would disturb the rest of the program.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_ = curl;
}

THttpClient::~THttpClient() {
    if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
    if (multi_) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void THttpClient::Abandon() {
    abandoned_.store(true, std::memory_order_release);
    // Wakes a transfer waiting for the network; one not yet waiting sees the flag first.
    if (multi_) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

std::string THttpClient::Get(const std::string& url) {
    return Request(url, nullptr);
}

std::string THttpClient::Post(const std::string& url, const std::string& body) {
    return Request(url, &body);
}

std::string THttpClient::Request(const std::string& url, const std::string* upload) {
    CURL* curl = static_cast<CURL*>(curl_);
    if (!curl) throw EHttpError("HTTP client could not be initialised");
    if (Abandoned()) throw EHttpError("request to " + url + " abandoned");

    curl_slist* list = nullptr;
    // A body goes at once: "Expect: 100-continue" would wait for an answer the service does
    // not send.
    for (const char* line :
         {"Accept: text/html, */*", "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
          upload ? "Content-Type: application/octet-stream" : "Content-Type: text/html",
          upload ? "Expect:" : nullptr}) {
        if (!line) continue;
        curl_slist* grown = curl_slist_append(list, line);
        if (!grown) {
            curl_slist_free_all(list);
            throw EHttpError("out of memory building the request");
        }
        list = grown;
    }
    const std::unique_ptr<curl_slist, TSlistFree> headers(list);

    TBody body;
    body.limit = maxBody_;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (upload) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, upload->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(upload->size()));
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.Connect.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts_.Total.count()));

    const CURLcode code = Perform(static_cast<CURLM*>(multi_), curl, abandoned_);

    // The handle outlives this call; it must not keep pointers into this frame.
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (upload) curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);

    if (Abandoned()) throw EHttpError("request to " + url + " abandoned");
    if (body.tooLarge) throw EHttpError("reply from " + url + " is larger than allowed");
    if (code != CURLE_OK) {
        const std::string reason = errorText[0] ? errorText : curl_easy_strerror(code);
        throw EHttpError("request to " + url + " failed: " + reason);
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        throw EHttpError("request to " + url + " answered with status " + std::to_string(status),
                         status);
    return std::move(body.text);
}

} // namespace pondlark
