#include "server/ServiceMetrics.h"

#include <cstdio>
#include <iterator>

namespace pondlark::scores {

namespace {

constexpr double kBounds[] = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1.0};
// A verification starts a program and plays a whole game: from a tenth of a second to its
// two-minute limit.
constexpr double kVerifyBounds[] = {0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30, 120};

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

namespace {

template <size_t N>
void Observe(int64_t (&buckets)[N], const double (&bounds)[N], int64_t& count, double& sum,
             double seconds) {
    for (size_t i = 0; i < N; ++i)
        if (seconds <= bounds[i]) ++buckets[i];
    ++count;
    sum += seconds;
}

template <size_t N>
void HistogramText(std::string& out, const char* name, const int64_t (&buckets)[N],
                   const double (&bounds)[N], int64_t count, double sum) {
    char line[160];
    for (size_t i = 0; i < N; ++i) {
        std::snprintf(line, sizeof line, "%s_bucket{le=\"%g\"} %lld\n", name, bounds[i],
                      static_cast<long long>(buckets[i]));
        out += line;
    }
    std::snprintf(line, sizeof line, "%s_bucket{le=\"+Inf\"} %lld\n%s_sum %.6f\n%s_count %lld\n",
                  name, static_cast<long long>(count), name, sum, name,
                  static_cast<long long>(count));
    out += line;
}

} // namespace

void TServiceMetrics::ObserveStore(double seconds) {
    std::lock_guard lock(mutex_);
    Observe(store_.buckets, kBounds, store_.count, store_.sum, seconds);
}

void TServiceMetrics::CountVerification(bool verified, const std::string& refusalClass,
                                        double seconds, double cpuSeconds) {
    std::lock_guard lock(mutex_);
    if (verified)
        ++verified_;
    else
        ++refusedByClass_[refusalClass];
    Observe(verify_.buckets, kVerifyBounds, verify_.count, verify_.sum, seconds);
    verifyCpu_ += cpuSeconds;
}

void TServiceMetrics::SetPending(int64_t count) {
    std::lock_guard lock(mutex_);
    pending_ = count;
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
    HistogramText(out, "pondlark_store_seconds", store_.buckets, kBounds, store_.count, store_.sum);
    out += "# HELP pondlark_verified_total Results this service's workers verified.\n"
           "# TYPE pondlark_verified_total counter\n"
           "pondlark_verified_total " +
           std::to_string(verified_) + "\n";
    out += "# HELP pondlark_verify_refused_total Results this service's workers refused, by the "
           "class of the reason.\n"
           "# TYPE pondlark_verify_refused_total counter\n";
    for (const auto& [kind, count] : refusedByClass_)
        out += "pondlark_verify_refused_total{class=\"" + Label(kind) + "\"} " +
               std::to_string(count) + "\n";
    out += "# HELP pondlark_verify_seconds Wall-clock time of each verification.\n"
           "# TYPE pondlark_verify_seconds histogram\n";
    HistogramText(out, "pondlark_verify_seconds", verify_.buckets, kVerifyBounds, verify_.count,
                  verify_.sum);
    char line[96];
    std::snprintf(line, sizeof line, "pondlark_verify_cpu_seconds_total %.6f\n", verifyCpu_);
    out += "# HELP pondlark_verify_cpu_seconds_total CPU time the verifiers took.\n"
           "# TYPE pondlark_verify_cpu_seconds_total counter\n";
    out += line;
    if (pending_ >= 0)
        out += "# HELP pondlark_verify_pending Results waiting for a verdict, as a worker last "
               "counted them.\n"
               "# TYPE pondlark_verify_pending gauge\n"
               "pondlark_verify_pending " +
               std::to_string(pending_) + "\n";
    out += "# HELP pondlark_connections_open Client connections open now.\n"
           "# TYPE pondlark_connections_open gauge\n"
           "pondlark_connections_open " +
           std::to_string(openConnections) + "\n";
    return out;
}

} // namespace pondlark::scores
