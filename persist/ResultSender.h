// Sends a result off the game's thread, so the window keeps drawing while a slow or silent
// service is waited for.
//
// One transfer at a time runs on a thread the sender owns (in a page, which has no threads, as the
// browser's requests, which `TakeOutcome` moves on from the first to the second). The HTTP client
// and the address are the caller's: the client must outlive the transfer and nobody else may use it
// until `TakeOutcome` has returned a value (or the sender is destroyed). The outcome is handed back
// through `TakeOutcome`, polled on the game's thread; nothing is shown from the worker.
// Destruction waits for a running transfer, which the client's time-outs bound.
#pragma once

#include "persist/WebService.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace pondlark {

class TResultSender {
public:
    TResultSender();
    ~TResultSender();
    TResultSender(const TResultSender&) = delete;
    TResultSender& operator=(const TResultSender&) = delete;

    // Starts the version request and then the result request (SendResult). False, and nothing
    // started, while another transfer has not been taken back yet.
    bool Start(THttpClient& http, const TServiceAddress& address, std::string name, int32_t score,
               std::string country);
    // A transfer started and not yet taken back.
    bool Busy() const;
    // The outcome of a finished transfer, once; nullopt while it runs or when none was started.
    std::optional<TSubmitOutcome> TakeOutcome();

private:
#ifdef __EMSCRIPTEN__
    struct TTransfer;
    std::unique_ptr<TTransfer> transfer_;
#else
    std::thread worker_;
    std::atomic<bool> finished_{false};
    TSubmitOutcome outcome_ = TSubmitOutcome::ServiceUnavailable; // written before `finished_`
#endif
};

} // namespace pondlark
