// The score service run in-process for a test, on SQLite in the test's folder or on a private
// PostgreSQL server, with a clock the test moves and an access log in the folder.
#pragma once

#include "TestFolder.h"
#include "server/PostgresServer.h"
#include "server/ScoreServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace pondlark::test_support {

enum class TBackend { Sqlite, Postgres };

inline std::string BackendName(const ::testing::TestParamInfo<TBackend>& info) {
    return info.param == TBackend::Sqlite ? "Sqlite" : "Postgres";
}

// The --db text for `backend`, starting PostgreSQL when needed; "" with `skip` set when it
// cannot run.
inline std::string DatabaseFor(TBackend backend, const std::filesystem::path& folder,
                               std::optional<TPostgresServer>& postgres, std::string& skip) {
    if (backend == TBackend::Sqlite) return "sqlite:" + (folder / "scores.db").string();
    postgres.emplace();
    if (!postgres->Running()) {
        skip = "PostgreSQL cannot run here, so this test is skipped: " + postgres->Why();
        return "";
    }
    return postgres->Uri();
}

class TServiceUnderTest {
public:
    std::filesystem::path folder = FreshTestFolder();
    std::optional<TPostgresServer> postgres;
    std::unique_ptr<scores::IScoreStore> store;
    std::atomic<int64_t> now{1'790'000'000};
    int port = 0;

    ~TServiceUnderTest() {
        if (server_) server_->Stop();
        if (thread_.joinable()) thread_.join();
        server_.reset();
        store.reset();
        if (log_) std::fclose(log_);
        postgres.reset();
        std::filesystem::remove_all(folder);
    }

    // Starts the service; returns "" or why the test must be skipped.
    std::string Start(TBackend backend, scores::TServiceOptions options = {}) {
        std::string skip;
        const std::string db = DatabaseFor(backend, folder, postgres, skip);
        if (db.empty()) return skip;
        StartOn(scores::OpenScoreStore(db, 4), std::move(options));
        return "";
    }

    // Starts the service on a store the test made.
    void StartOn(std::unique_ptr<scores::IScoreStore> given, scores::TServiceOptions options) {
        store = std::move(given);
        log_ = std::fopen((folder / "access.log").c_str(), "w");
        options.Host = "127.0.0.1";
        options.Port = 0;
        server_ = std::make_unique<scores::TScoreServer>(*store, options, log_,
                                                         [this] { return now.load(); });
        port = server_->Bind();
        thread_ = std::thread([this] { server_->Run(); });
    }

    // Stops the service and waits until it has stopped serving; the milliseconds that took.
    int64_t StopAndWait() {
        const auto start = std::chrono::steady_clock::now();
        server_->Stop();
        thread_.join();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    }

    // What the access log holds so far.
    std::string Log() const {
        std::fflush(log_);
        std::ifstream in(folder / "access.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    httplib::Result Get(const std::string& target) {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(10, 0);
        return client.Get(target.c_str());
    }

    // A fresh token from a version request.
    std::string Token() {
        const auto reply = Get("/cgi/version.pl?version&prg=Pondlark");
        if (!reply || reply->status != 200) return "";
        std::string rest = reply->body; // OK|version|home|time|token|
        for (int i = 0; i < 4; ++i)
            rest = rest.substr(rest.find('|') + 1);
        return rest.substr(0, rest.find('|'));
    }

private:
    std::FILE* log_ = nullptr;
    std::unique_ptr<scores::TScoreServer> server_;
    std::thread thread_;
};

} // namespace pondlark::test_support
