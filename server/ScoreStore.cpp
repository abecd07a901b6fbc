#include "server/ScoreStore.h"

#include "server/PostgresScoreStore.h"
#include "server/SqliteScoreStore.h"

namespace pondlark::scores {

const char* VerificationName(TVerification state) {
    switch (state) {
    case TVerification::Pending:
        return "pending";
    case TVerification::Verified:
        return "verified";
    case TVerification::Refused:
        return "refused";
    case TVerification::Unverified:
        break;
    }
    return "unverified";
}

TVerification VerificationNamed(std::string_view name) {
    for (const TVerification state :
         {TVerification::Pending, TVerification::Verified, TVerification::Refused})
        if (name == VerificationName(state)) return state;
    return TVerification::Unverified;
}

std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& description, int connections) {
    if (description.rfind("sqlite:", 0) == 0) {
        const std::string path = description.substr(7);
        if (path.empty()) throw std::invalid_argument("sqlite: needs a file name");
        return std::make_unique<SqliteScoreStore>(path);
    }
    if (description.rfind("postgresql://", 0) == 0 || description.rfind("postgres://", 0) == 0)
        return std::make_unique<PostgresScoreStore>(description, connections);
    // The text may hold a password: it is not repeated.
    throw std::invalid_argument("--db wants sqlite:PATH or postgresql://...");
}

} // namespace pondlark::scores
