#include "persist/ResultSender.h"

#include <utility>

namespace pondlark {

TResultSender::TResultSender() = default;
TResultSender::~TResultSender() {
    Abandon();
}

bool TResultSender::Busy() const {
    return worker_.joinable();
}

bool TResultSender::Start(THttpClient& http, const TServiceAddress& address, std::string name,
                          int32_t score, std::string country) {
    if (worker_.joinable()) return false;
    finished_.store(false, std::memory_order_relaxed);
    http_ = &http;
    worker_ = std::thread(
        [this, &http, address, name = std::move(name), score, country = std::move(country)] {
            TSubmitOutcome outcome = TSubmitOutcome::ServiceUnavailable;
            try {
                outcome = SendResult(http, address, name, score, country);
            } catch (...) {
                // Anything unexpected reads as a service that could not be reached.
            }
            outcome_ = outcome;
            finished_.store(true, std::memory_order_release);
        });
    return true;
}

std::optional<TSubmitOutcome> TResultSender::TakeOutcome() {
    if (!worker_.joinable() || !finished_.load(std::memory_order_acquire)) return std::nullopt;
    worker_.join();
    return outcome_;
}

std::optional<TSubmitOutcome> TResultSender::Abandon() {
    if (!worker_.joinable()) return std::nullopt;
    if (!finished_.load(std::memory_order_acquire)) http_->Abandon();
    worker_.join();
    return outcome_;
}

} // namespace pondlark
