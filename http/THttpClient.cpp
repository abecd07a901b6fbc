#include "http/THttpClient.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <utility>

namespace pondlark {

// The entry points of the transfer library, looked up once it is loaded. The types come from
// its header, so a call through them is checked as a direct call would be.
struct TCurlCalls {
    explicit TCurlCalls(void* library) : Library(library) {}
    ~TCurlCalls() { dlclose(Library); }
    TCurlCalls(const TCurlCalls&) = delete;
    TCurlCalls& operator=(const TCurlCalls&) = delete;

    void* Library;
    decltype(&curl_global_init) GlobalInit = nullptr;
    decltype(&curl_easy_init) EasyInit = nullptr;
    decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
    decltype(&curl_easy_setopt) EasySetopt = nullptr;
    decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
    decltype(&curl_easy_strerror) EasyStrerror = nullptr;
    decltype(&curl_multi_init) MultiInit = nullptr;
    decltype(&curl_multi_cleanup) MultiCleanup = nullptr;
    decltype(&curl_multi_add_handle) MultiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) MultiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) MultiPerform = nullptr;
    decltype(&curl_multi_poll) MultiPoll = nullptr;
    decltype(&curl_multi_wakeup) MultiWakeup = nullptr;
    decltype(&curl_multi_info_read) MultiInfoRead = nullptr;
    decltype(&curl_slist_append) SlistAppend = nullptr;
    decltype(&curl_slist_free_all) SlistFreeAll = nullptr;
};

namespace {

template <typename Function>
void Look(void* library, const char* name, Function& into, std::string& missing) {
    into = reinterpret_cast<Function>(dlsym(library, name));
    if (!into && missing.empty()) missing = name;
}

// Loads `library` and looks up every entry point; throws EHttpError saying what is missing.
// The library is never unloaded (RTLD_NODELETE): its process-wide state, once set up, stays.
std::unique_ptr<TCurlCalls> LoadCalls(const std::string& library) {
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* why = dlerror();
        throw EHttpError("the HTTP library " + library +
                         " could not be loaded: " + (why ? why : "unknown error"));
    }
    auto calls = std::make_unique<TCurlCalls>(handle);
    std::string missing;
    Look(handle, "curl_global_init", calls->GlobalInit, missing);
    Look(handle, "curl_easy_init", calls->EasyInit, missing);
    Look(handle, "curl_easy_cleanup", calls->EasyCleanup, missing);
    Look(handle, "curl_easy_setopt", calls->EasySetopt, missing);
    Look(handle, "curl_easy_getinfo", calls->EasyGetinfo, missing);
    Look(handle, "curl_easy_strerror", calls->EasyStrerror, missing);
    Look(handle, "curl_multi_init", calls->MultiInit, missing);
    Look(handle, "curl_multi_cleanup", calls->MultiCleanup, missing);
    Look(handle, "curl_multi_add_handle", calls->MultiAddHandle, missing);
    Look(handle, "curl_multi_remove_handle", calls->MultiRemoveHandle, missing);
    Look(handle, "curl_multi_perform", calls->MultiPerform, missing);
    Look(handle, "curl_multi_poll", calls->MultiPoll, missing);
    Look(handle, "curl_multi_wakeup", calls->MultiWakeup, missing);
    Look(handle, "curl_multi_info_read", calls->MultiInfoRead, missing);
    Look(handle, "curl_slist_append", calls->SlistAppend, missing);
    Look(handle, "curl_slist_free_all", calls->SlistFreeAll, missing);
    if (!missing.empty()) throw EHttpError("the HTTP library " + library + " lacks " + missing);
    // Counted by the library itself and safe to call from any thread in the versions that have
    // curl_multi_poll; the matching clean-up is left to the process's end.
    calls->GlobalInit(CURL_GLOBAL_DEFAULT);
    return calls;
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

// Runs the transfer of `curl` on `multi` until it ends or `abandoned` is raised; the latter
// reads as CURLE_ABORTED_BY_CALLBACK. The client's time-outs bound it as they bound any transfer.
CURLcode Perform(const TCurlCalls& calls, CURLM* multi, CURL* curl,
                 const std::atomic<bool>& abandoned) {
    if (calls.MultiAddHandle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    while (!abandoned.load()) {
        int running = 0;
        if (calls.MultiPerform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int queued = 0;
            code = CURLE_FAILED_INIT;
            while (const CURLMsg* msg = calls.MultiInfoRead(multi, &queued))
                if (msg->msg == CURLMSG_DONE && msg->easy_handle == curl) code = msg->data.result;
            break;
        }
        if (calls.MultiPoll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
    }
    calls.MultiRemoveHandle(multi, curl);
    return code;
}

} // namespace

THttpClient::THttpClient(std::string library) : library_(std::move(library)) {}

THttpClient::~THttpClient() {
    if (!calls_) return;
    if (curl_) calls_->EasyCleanup(static_cast<CURL*>(curl_));
    if (void* multi = multi_.load()) calls_->MultiCleanup(static_cast<CURLM*>(multi));
}

void THttpClient::Abandon() {
    // Paired with `Open` storing the handle before the transfer reads the flag: either the
    // transfer sees the flag, or this sees the handle and wakes it.
    abandoned_.store(true);
    if (void* multi = multi_.load()) calls_->MultiWakeup(static_cast<CURLM*>(multi));
}

void THttpClient::Open() {
    if (curl_) return;
    if (!openError_.empty()) throw EHttpError(openError_);
    try {
        std::unique_ptr<TCurlCalls> calls = LoadCalls(library_);
        CURLM* multi = calls->MultiInit();
        CURL* curl = multi ? calls->EasyInit() : nullptr;
        if (!curl) {
            if (multi) calls->MultiCleanup(multi);
            throw EHttpError("the HTTP client could not be initialised");
        }
        // Settings that hold for every request of this client. An empty cookie file name
        // switches the cookie engine on without reading any file; the store lives as long as
        // the handle.
        calls->EasySetopt(curl, CURLOPT_COOKIEFILE, "");
        calls->EasySetopt(curl, CURLOPT_PROXY, "");
        calls->EasySetopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
        calls->EasySetopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        calls->EasySetopt(curl, CURLOPT_PROTOCOLS_STR, "http");
        // Time-outs through signals would disturb the rest of the program.
        calls->EasySetopt(curl, CURLOPT_NOSIGNAL, 1L);
        calls->EasySetopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
        calls_ = std::move(calls);
        curl_ = curl;
        multi_.store(multi);
    } catch (const EHttpError& error) {
        // The caller reads any failure as a service out of reach; the reason is said once here.
        openError_ = error.what();
        std::fprintf(stderr, "pondlark: %s\n", openError_.c_str());
        throw;
    }
}

std::string THttpClient::Get(const std::string& url) {
    return Request(url, nullptr);
}

std::string THttpClient::Post(const std::string& url, const std::string& body) {
    return Request(url, &body);
}

std::string THttpClient::Request(const std::string& url, const std::string* upload) {
    if (Abandoned()) throw EHttpError("request to " + url + " abandoned");
    Open();
    CURL* curl = static_cast<CURL*>(curl_);
    const TCurlCalls& calls = *calls_;

    curl_slist* list = nullptr;
    // A body goes at once: "Expect: 100-continue" would wait for an answer the service does
    // not send.
    for (const char* line :
         {"Accept: text/html, */*", "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
          upload ? "Content-Type: application/octet-stream" : "Content-Type: text/html",
          upload ? "Expect:" : nullptr}) {
        if (!line) continue;
        curl_slist* grown = calls.SlistAppend(list, line);
        if (!grown) {
            calls.SlistFreeAll(list);
            throw EHttpError("out of memory building the request");
        }
        list = grown;
    }
    const std::unique_ptr<curl_slist, decltype(calls.SlistFreeAll)> headers(list,
                                                                            calls.SlistFreeAll);

    TBody body;
    body.limit = maxBody_;
    char errorText[CURL_ERROR_SIZE] = {};
    calls.EasySetopt(curl, CURLOPT_URL, url.c_str());
    if (upload) {
        calls.EasySetopt(curl, CURLOPT_POSTFIELDS, upload->data());
        calls.EasySetopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(upload->size()));
    } else {
        calls.EasySetopt(curl, CURLOPT_HTTPGET, 1L);
    }
    calls.EasySetopt(curl, CURLOPT_HTTPHEADER, headers.get());
    calls.EasySetopt(curl, CURLOPT_WRITEDATA, &body);
    calls.EasySetopt(curl, CURLOPT_ERRORBUFFER, errorText);
    calls.EasySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.Connect.count()));
    calls.EasySetopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts_.Total.count()));

    const CURLcode code = Perform(calls, static_cast<CURLM*>(multi_.load()), curl, abandoned_);

    // The handle outlives this call; it must not keep pointers into this frame.
    calls.EasySetopt(curl, CURLOPT_HTTPHEADER, nullptr);
    calls.EasySetopt(curl, CURLOPT_WRITEDATA, nullptr);
    calls.EasySetopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (upload) calls.EasySetopt(curl, CURLOPT_POSTFIELDS, nullptr);

    if (Abandoned()) throw EHttpError("request to " + url + " abandoned");
    if (body.tooLarge) throw EHttpError("reply from " + url + " is larger than allowed");
    if (code != CURLE_OK) {
        const std::string reason = errorText[0] ? errorText : calls.EasyStrerror(code);
        throw EHttpError("request to " + url + " failed: " + reason);
    }
    long status = 0;
    calls.EasyGetinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        throw EHttpError("request to " + url + " answered with status " + std::to_string(status),
                         status);
    return std::move(body.text);
}

} // namespace pondlark
