// The publisher's web service: sending a stored result, and the pages the game opens in the
// user's browser.
//
// All of it is best effort. The only failure the player ever sees is the message
// "Can't connect to server!" when the service does not confirm it is there; everything else
// fails silently. Web pages and the link file are handed to the desktop through
// `IPlatform::OpenUrl`, never through a shell command line.
#pragma once

#include "http/THttpClient.h"
#include "persist/ResultPayload.h"
#include "platform/Platform.h"
#include "platform/Replay.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pondlark {

// Where the service lives. The default is the address the game was built with (CMake cache
// variables PONDLARK_SERVICE_HOST and PONDLARK_SERVICE_PORT); tests point it at a local server.
struct TServiceAddress {
    std::string host = PONDLARK_SERVICE_HOST;
    int port = PONDLARK_SERVICE_PORT;
};

// "http://host" followed by ":port" only when the port is not 80, then `pathAndQuery`, which
// starts with "/".
std::string ServiceUrl(const TServiceAddress& address, std::string_view pathAndQuery);
std::string HomePageUrl(const TServiceAddress& address);
std::string OnlineHighScoresUrl(const TServiceAddress& address);
std::string VersionRequestUrl(const TServiceAddress& address);
// `encodedPayload` is already URL-safe (it comes from EncodeLine).
std::string ResultRequestUrl(const TServiceAddress& address, std::string_view encodedPayload);

// The path and query of a URL ("http://host:port/path?query" -> "/path?query", "/" when it has
// none); a URL without a scheme is returned as it is. A page reaches its own host by these alone,
// whatever scheme and port the page came with.
std::string PathAndQuery(const std::string& url);

// The pass-back value of a version reply: the text between its fourth and fifth "|", empty when
// it has fewer than five.
std::string PassBackValue(std::string_view versionReply);

// "HOST:PORT" (the port 1-65535; the host a name or an address, not empty) as an address; nullopt
// otherwise. Used for the command line and the environment that point a game at another service.
std::optional<TServiceAddress> ParseServiceAddress(std::string_view text);

enum class TSubmitOutcome {
    Sent,               // the service answered "OK"; the result request was made (its fate unknown)
    ServiceUnavailable, // the version request failed or was refused (SubmitResult showed the box)
    OutOfTime,          // the service answered "OK" too late: no time was left to send the result
    Abandoned           // the client was abandoned (the program is closing) before both were over
};

// The clock that bounds a submission; empty means std::chrono::steady_clock. Tests pass their
// own to play out a slow service without waiting for it.
using TSubmitClock = std::function<std::chrono::steady_clock::time_point()>;

// Asks the service whether it is there, then sends the result. Blocks until both requests are
// over; both together take at most the client's total time-out (the result request gets what the
// version request left, and is not made when almost nothing is left). The client's time-outs are
// as they were afterwards. Never throws an HTTP error.
TSubmitOutcome SubmitResult(IPlatform& platform, THttpClient& http, const TServiceAddress& address,
                            const TResult& result, const TSubmitClock& clock = {});

// The same two requests without the message box, for a transfer run off the game's thread: it
// touches only `http` (which no other thread may use meanwhile, but may abandon) and its own
// copies. The caller shows the box with `ShowCannotConnect` on the game's thread when the outcome
// asks for it. With `replay` (the finished game's, its trailer filled), the replay goes between
// the two, bound to the version reply's token (ReplayUploadUrl), within the same budget; a
// replay the service does not take leaves the result to be sent all the same (unverified).
TSubmitOutcome SendResult(THttpClient& http, const TServiceAddress& address, const TResult& result,
                          const TSubmitClock& clock = {}, const TReplay* replay = nullptr);
// Where the replay of the result sent with `token` goes (a POST, the replay as the body).
std::string ReplayUploadUrl(const TServiceAddress& address, std::string_view token);
void ShowCannotConnect(IPlatform& platform);

// The step between the two requests: from the version reply and the time left of the budget,
// either the outcome (the service is not there, or too little time is left) or the result
// request's URL and the time it may take.
struct TResultRequest {
    std::optional<TSubmitOutcome> Outcome;
    std::string Url;
    std::chrono::milliseconds Time{0};
};
TResultRequest ResultRequestAfter(std::string_view versionReply, std::chrono::milliseconds left,
                                  const TServiceAddress& address, const TResult& result);

// The replay's step between the two: nullopt when none goes (no replay, the service is not there
// or gave no token, too little time is left, a replay that cannot be encoded); otherwise the
// upload's URL and body, the replay bound to the result's name and country and to the token.
struct TReplayUpload {
    std::string Url;
    std::string Body; // the replay's bytes
};
std::optional<TReplayUpload> ReplayUploadAfter(std::string_view versionReply,
                                               std::chrono::milliseconds left,
                                               const TServiceAddress& address,
                                               const TResult& result, const TReplay* replay);

// Opens `url` in the user's browser; a failure is ignored.
void GoWeb(IPlatform& platform, const std::string& url);

// Opens "play.url" of `gameDir` (as a file:// URL of its absolute path) when it exists as a
// file; nothing happens and nothing is reported otherwise.
void OpenPlayLink(IPlatform& platform, const std::string& gameDir);

// A file:// URL for an absolute path, with every byte outside the unreserved set and "/"
// percent-encoded.
std::string FileUrl(const std::string& absolutePath);

} // namespace pondlark
