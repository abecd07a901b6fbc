#include "persist/ResultSender.h"

#include <atomic>
#include <thread>
#include <utility>

namespace pondlark {

struct TResultSender::TTransfer {
    THttpClient* Http = nullptr;
    std::atomic<bool> Finished{false};
    TSubmitOutcome Outcome = TSubmitOutcome::ServiceUnavailable; // written before `Finished`
    std::thread Worker;                                          // last: started once all is set
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
    TTransfer& transfer = *t;
    t->Worker = std::thread(
        [&transfer, &http, address, result = std::move(result), replay = std::move(replay)] {
            TSubmitOutcome outcome = TSubmitOutcome::ServiceUnavailable;
            try {
                outcome = SendResult(http, address, result, {}, replay ? &*replay : nullptr);
            } catch (...) {
                // Anything unexpected reads as a service that could not be reached.
            }
            transfer.Outcome = outcome;
            transfer.Finished.store(true, std::memory_order_release);
        });
    transfer_ = std::move(t);
    return true;
}

std::optional<TSubmitOutcome> TResultSender::TakeOutcome() {
    if (!transfer_ || !transfer_->Finished.load(std::memory_order_acquire)) return std::nullopt;
    transfer_->Worker.join();
    const TSubmitOutcome outcome = transfer_->Outcome;
    transfer_.reset();
    return outcome;
}

std::optional<TSubmitOutcome> TResultSender::Abandon() {
    if (!transfer_) return std::nullopt;
    if (!transfer_->Finished.load(std::memory_order_acquire)) transfer_->Http->Abandon();
    transfer_->Worker.join();
    const TSubmitOutcome outcome = transfer_->Outcome;
    transfer_.reset();
    return outcome;
}

} // namespace pondlark
