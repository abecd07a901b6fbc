#include "server/ServiceMetrics.h"

#include <cstdio>
#include <iterator>

namespace pondlark::scores {

namespace {

constexpr double kBounds[] = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1.0};

// A label value with \ " and line breaks escaped, as the format asks.
std::string Label(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

void TServiceMetrics::CountRequest(const std::string& route, int status) {
    std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
}

void TServiceMetrics::CountRefusal(const std::string& reason) {
    std::lock_guard lock(mutex_);
    ++refusals_[reason];
}

void TServiceMetrics::ObserveStore(double seconds) {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < std::size(kBounds); ++i)
        if (seconds <= kBounds[i]) ++storeBuckets_[i];
    ++storeCount_;
    storeSum_ += seconds;
}

std::string TServiceMetrics::Text(int64_t openConnections) const {
    std::lock_guard lock(mutex_);
    std::string out = "# HELP pondlark_requests_total Requests answered, by route and status.\n"
                      "# TYPE pondlark_requests_total counter\n";
    for (const auto& [key, count] : requests_)
        out += "pondlark_requests_total{route=\"" + Label(key.first) + "\",status=\"" +
               std::to_string(key.second) + "\"} " + std::to_string(count) + "\n";
    out += "# HELP pondlark_refusals_total Requests and connections refused, by reason.\n"
           "# TYPE pondlark_refusals_total counter\n";
    for (const auto& [reason, count] : refusals_)
        out += "pondlark_refusals_total{reason=\"" + Label(reason) + "\"} " +
               std::to_string(count) + "\n";
    out += "# HELP pondlark_store_seconds Time the store took per operation.\n"
           "# TYPE pondlark_store_seconds histogram\n";
    char line[128];
    for (size_t i = 0; i < std::size(kBounds); ++i) {
        std::snprintf(line, sizeof line, "pondlark_store_seconds_bucket{le=\"%g\"} %lld\n",
                      kBounds[i], static_cast<long long>(storeBuckets_[i]));
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "pondlark_store_seconds_bucket{le=\"+Inf\"} %lld\n"
                  "pondlark_store_seconds_sum %.6f\npondlark_store_seconds_count %lld\n",
                  static_cast<long long>(storeCount_), storeSum_,
                  static_cast<long long>(storeCount_));
    out += line;
    out += "# HELP pondlark_connections_open Client connections open now.\n"
           "# TYPE pondlark_connections_open gauge\n"
           "pondlark_connections_open " +
           std::to_string(openConnections) + "\n";
    return out;
}

} // namespace pondlark::scores
