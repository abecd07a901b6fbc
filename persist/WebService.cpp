#include "persist/WebService.h"

#include "persist/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace pondlark {

namespace {
constexpr const char* kMessageTitle = "PONDLARK";
constexpr const char* kCannotConnect = "Can't connect to server!";
// Less than this left of the budget is not worth a connection.
constexpr std::chrono::milliseconds kLeastRequestTime{50};
} // namespace

std::string ServiceUrl(const TServiceAddress& address, std::string_view pathAndQuery) {
    std::string url = "http://" + address.host;
    if (address.port != 80) url += ":" + std::to_string(address.port);
    url += pathAndQuery;
    return url;
}

std::string HomePageUrl(const TServiceAddress& address) {
    return ServiceUrl(address, "/");
}

std::string OnlineHighScoresUrl(const TServiceAddress& address) {
    return ServiceUrl(address, "/cgi/version.pl?prg=Pondlark&type=0&show");
}

std::string VersionRequestUrl(const TServiceAddress& address) {
    return ServiceUrl(address, "/cgi/version.pl?version&prg=Pondlark");
}

std::string ResultRequestUrl(const TServiceAddress& address, std::string_view encodedPayload) {
    return ServiceUrl(address, "/cgi/version.pl?hs&prg=Pondlark&inf=") +
           std::string(encodedPayload);
}

std::string PathAndQuery(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return url;
    const size_t path = url.find('/', scheme + 3);
    return path == std::string::npos ? "/" : url.substr(path);
}

std::string PassBackValue(std::string_view versionReply) {
    // Five passes, each taking the text up to the next "|"; a pass that finds no "|" yields an
    // empty field and leaves the rest alone, so later passes find none either.
    std::string_view rest = versionReply;
    std::string_view field;
    for (int pass = 0; pass < 5; ++pass) {
        const size_t bar = rest.find('|');
        if (bar == std::string_view::npos) {
            field = {};
        } else {
            field = rest.substr(0, bar);
            rest.remove_prefix(bar + 1);
        }
    }
    return std::string(field);
}

std::optional<TServiceAddress> ParseServiceAddress(std::string_view text) {
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    // A name or an address (IPv6 in brackets): nothing that would change the URL's meaning.
    const std::string_view host = text.substr(0, colon);
    for (const char c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '[' &&
            c != ']' && c != ':')
            return std::nullopt;
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int port = 0;
    for (const char c : digits)
        port = port * 10 + (c - '0');
    if (port < 1 || port > 65535) return std::nullopt;
    return TServiceAddress{std::string(host), port};
}

TSubmitOutcome SubmitResult(IPlatform& platform, THttpClient& http, const TServiceAddress& address,
                            const TResult& result, const TSubmitClock& clock) {
    const TSubmitOutcome outcome = SendResult(http, address, result, clock);
    if (outcome == TSubmitOutcome::ServiceUnavailable) ShowCannotConnect(platform);
    return outcome;
}

void ShowCannotConnect(IPlatform& platform) {
    platform.MessageBox(kMessageTitle, kCannotConnect);
}

std::string ReplayUploadUrl(const TServiceAddress& address, std::string_view token) {
    std::string url = ServiceUrl(address, "/api/replays?token=");
    // A token is hexadecimal; anything else would change the URL's meaning and is left out.
    for (const char c : token)
        if (std::isxdigit(static_cast<unsigned char>(c))) url += c;
    return url;
}

TSubmitOutcome SendResult(THttpClient& http, const TServiceAddress& address, const TResult& result,
                          const TSubmitClock& clock, const TReplay* replay) {
    const auto now = [&] { return clock ? clock() : std::chrono::steady_clock::now(); };
    // One budget for both requests: the client's own limits are the most either may take, and
    // the result request gets only what the version request left.
    const THttpTimeouts limits = http.Timeouts();
    const auto deadline = now() + limits.Total;
    std::string reply;
    try {
        reply = http.Get(VersionRequestUrl(address));
    } catch (const EHttpError&) {
        reply.clear(); // an unreachable service reads as an empty reply
    }
    if (http.Abandoned()) return TSubmitOutcome::Abandoned;
    const auto leftNow = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now());
    };
    if (const std::optional<TReplayUpload> upload =
            ReplayUploadAfter(reply, leftNow(), address, result, replay)) {
        try {
            http.SetTimeouts({std::min(limits.Connect, leftNow()), leftNow()});
            http.Post(upload->Url, upload->Body);
        } catch (const EHttpError&) {
            // The result goes all the same; without its replay it is kept unverified.
        }
        http.SetTimeouts(limits);
        if (http.Abandoned()) return TSubmitOutcome::Abandoned;
    }
    const TResultRequest next = ResultRequestAfter(reply, leftNow(), address, result);
    if (next.Outcome) return *next.Outcome;
    http.SetTimeouts({std::min(limits.Connect, next.Time), next.Time});
    try {
        http.Get(next.Url);
    } catch (const EHttpError&) {
        // The result stays in the local table; the service's answer does not matter to the game.
    }
    http.SetTimeouts(limits);
    return http.Abandoned() ? TSubmitOutcome::Abandoned : TSubmitOutcome::Sent;
}

TResultRequest ResultRequestAfter(std::string_view versionReply, std::chrono::milliseconds left,
                                  const TServiceAddress& address, const TResult& result) {
    TResultRequest next;
    if (versionReply.substr(0, 2) != "OK") {
        next.Outcome = TSubmitOutcome::ServiceUnavailable;
    } else if (left < kLeastRequestTime) {
        next.Outcome = TSubmitOutcome::OutOfTime;
    } else {
        const std::string payload = ResultPayload(result, PassBackValue(versionReply));
        next.Url = ResultRequestUrl(address, EncodeLine(payload));
        next.Time = left;
    }
    return next;
}

std::optional<TReplayUpload> ReplayUploadAfter(std::string_view versionReply,
                                               std::chrono::milliseconds left,
                                               const TServiceAddress& address,
                                               const TResult& result, const TReplay* replay) {
    const std::string token = PassBackValue(versionReply);
    if (!replay || versionReply.substr(0, 2) != "OK" || token.empty() || left < kLeastRequestTime)
        return std::nullopt;
    TReplay bound = *replay;
    bound.Name = result.Name;
    bound.Country = result.Country;
    bound.Token = token;
    try {
        const std::vector<uint8_t> bytes = EncodeReplay(bound);
        return TReplayUpload{ReplayUploadUrl(address, token),
                             std::string(bytes.begin(), bytes.end())};
    } catch (const EReplayFormat&) {
        return std::nullopt;
    }
}

void GoWeb(IPlatform& platform, const std::string& url) {
    platform.OpenUrl(url);
}

std::string FileUrl(const std::string& absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                           c == '~' || c == '/';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        }
    }
    return url;
}

void OpenPlayLink(IPlatform& platform, const std::string& gameDir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path link = fs::absolute(fs::path(gameDir) / "play.url", ec).lexically_normal();
    if (ec || !fs::is_regular_file(link, ec)) return;
    platform.OpenUrl(FileUrl(link.string()));
}

} // namespace pondlark
