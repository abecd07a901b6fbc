// Sends a result off the game's thread, so the window keeps drawing while a slow or silent
// service is waited for.
//
// One transfer at a time runs on a thread the sender owns (in a page, which has no threads, as the
// browser's requests, which `TakeOutcome` moves on from the first to the second). The HTTP client
// and the address are the caller's: the client must outlive the transfer and nobody else may use it
// until `TakeOutcome` has returned a value (or the sender is destroyed). The outcome is handed back
// through `TakeOutcome`, polled on the game's thread; nothing is shown from the worker.
// Destruction abandons a running transfer (`Abandon`): a closing program never waits for the
// service, and the result it was sending is already in the local table.
#pragma once

#include "persist/WebService.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pondlark {

class TResultSender {
public:
    TResultSender();
    ~TResultSender();
    TResultSender(const TResultSender&) = delete;
    TResultSender& operator=(const TResultSender&) = delete;

    // Starts the version request and then the result request (SendResult), with the game's
    // replay between them when there is one. False, and nothing started, while another transfer
    // has not been taken back yet.
    bool Start(THttpClient& http, const TServiceAddress& address, TResult result,
               std::optional<TReplay> replay = std::nullopt);
    // A transfer started and not yet taken back.
    bool Busy() const;
    // The outcome of a finished transfer, once; nullopt while it runs or when none was started.
    std::optional<TSubmitOutcome> TakeOutcome();
    // Ends a transfer at once, for a program that is closing: the request under way is dropped,
    // nothing more is sent and the client refuses every later request. Returns the transfer's
    // outcome, Abandoned when it was cut short (what it came to, when it had finished first);
    // nullopt when none was started or it was taken back. Nothing is shown.
    std::optional<TSubmitOutcome> Abandon();

private:
    // What one transfer needs: a worker thread on the desktop, the browser's requests in a page.
    // Each build defines it in its own source; null while no transfer is under way.
    struct TTransfer;
    std::unique_ptr<TTransfer> transfer_;
};

} // namespace pondlark
