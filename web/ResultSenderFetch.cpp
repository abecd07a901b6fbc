// TResultSender for the browser build: the page has no threads, so the requests (the version
// request, the replay's upload, the result) are the browser's own, started here and moved on in
// TakeOutcome, which the game polls once a frame. Nothing waits, so the name panel keeps drawing
// while the service is asked.
#include "persist/ResultSender.h"

#include "web/PageFetch.h"

#include <chrono>
#include <utility>

namespace pondlark {

struct TResultSender::TTransfer {
    THttpClient* Http = nullptr;
    TServiceAddress Address;
    TResult Result;
    std::chrono::steady_clock::time_point Deadline;
    std::optional<TReplay> Replay;
    enum class TStep { Version, Replay, Result } Step = TStep::Version;
    std::unique_ptr<TPageFetch> Fetch; // the request of `Step`
    std::string VersionReply;
    std::optional<TSubmitOutcome> Outcome; // known before any reply (a request refused)
};

TResultSender::TResultSender() = default;
TResultSender::~TResultSender() {
    Abandon();
}

bool TResultSender::Busy() const {
    return transfer_ != nullptr;
}

bool TResultSender::Start(THttpClient& http, const TServiceAddress& address, TResult result,
                          std::optional<TReplay> replay) {
    if (transfer_) return false;
    auto t = std::make_unique<TTransfer>();
    t->Http = &http;
    t->Address = address;
    t->Result = std::move(result);
    t->Replay = std::move(replay);
    // One budget for both requests, as on the desktop.
    t->Deadline = std::chrono::steady_clock::now() + http.Timeouts().Total;
    try {
        t->Fetch = std::make_unique<TPageFetch>(VersionRequestUrl(address), http.Timeouts().Total);
    } catch (const EHttpError&) {
        t->Outcome = TSubmitOutcome::ServiceUnavailable;
    }
    transfer_ = std::move(t);
    return true;
}

std::optional<TSubmitOutcome> TResultSender::TakeOutcome() {
    if (!transfer_) return std::nullopt;
    TTransfer& t = *transfer_;
    if (!t.Outcome) {
        if (!t.Fetch->Done()) return std::nullopt;
        const auto left = [&t] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                t.Deadline - std::chrono::steady_clock::now());
        };
        using TStep = TTransfer::TStep;
        if (t.Step == TStep::Result) {
            // The service's answer to the result does not matter to the game.
            t.Outcome = TSubmitOutcome::Sent;
        } else {
            if (t.Step == TStep::Version) {
                try {
                    t.VersionReply = t.Fetch->Body(t.Http->MaxBodySize());
                } catch (const EHttpError&) {
                    // an unreachable service reads as an empty reply
                }
                if (const std::optional<TReplayUpload> upload =
                        ReplayUploadAfter(t.VersionReply, left(), t.Address, t.Result,
                                          t.Replay ? &*t.Replay : nullptr)) {
                    try {
                        t.Fetch = std::make_unique<TPageFetch>(upload->Url, left(), upload->Body);
                        t.Step = TStep::Replay;
                        return std::nullopt;
                    } catch (const EHttpError&) {
                        // The result goes all the same; without its replay it is kept unverified.
                    }
                }
            }
            // Whatever the service said to the replay, the result follows it.
            const TResultRequest next =
                ResultRequestAfter(t.VersionReply, left(), t.Address, t.Result);
            if (next.Outcome) {
                t.Outcome = next.Outcome;
            } else {
                try {
                    t.Fetch = std::make_unique<TPageFetch>(next.Url, next.Time);
                    t.Step = TStep::Result;
                    return std::nullopt;
                } catch (const EHttpError&) {
                    t.Outcome = TSubmitOutcome::Sent;
                }
            }
        }
    }
    const TSubmitOutcome outcome = *t.Outcome;
    transfer_.reset();
    return outcome;
}

std::optional<TSubmitOutcome> TResultSender::Abandon() {
    if (!transfer_) return std::nullopt;
    std::optional<TSubmitOutcome> outcome = transfer_->Outcome;
    if (!outcome) {
        transfer_->Http->Abandon();
        outcome = TSubmitOutcome::Abandoned;
    }
    transfer_.reset(); // a request still running goes with its TPageFetch
    return outcome;
}

} // namespace pondlark
