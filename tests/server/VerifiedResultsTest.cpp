// Results proven by their replays: the upload bound to a token, the queue of pending results,
// the workers that run the verifier under its limits, and what the table shows of it.
//
// The verifier here is a small shell script that keeps the verifier's contract (one line, an
// exit status) and acts on the first line of the replay it reads, so that each case can make it
// agree, disagree, spin, sleep or eat memory.
#include "server/RawConnection.h"
#include "server/ServiceUnderTest.h"
#include "server/SpawnLogged.h"

#include "TestFolder.h"
#include "app/TMainForm.h"
#include "app/TScriptRunner.h"
#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "platform/Replay.h"
#include "server/Pages.h"
#include "server/Sha256.h"
#include "server/Verifier.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

extern char** environ;

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

const std::string kResult = "/cgi/version.pl?hs&prg=Pondlark&inf=";
const std::string kTable = "/cgi/version.pl?prg=Pondlark&type=0&show";

// Reads "WORD SCORE" from the replay: "score N" verifies score N (whatever the claim), the rest
// misbehave. Arguments as the real verifier gets them: --dir D --name N --country C --score S
// --token T.
constexpr const char* kFakeVerifier = R"(#!/bin/sh
read -r what score
[ "$1" = --dir ] && [ "$7" = --score ] && [ "$9" = --token ] || { echo "usage"; exit 2; }
case "$what" in
score) echo "verified score $score level 2 frames 1234"; exit 0 ;;
refuse) echo "refused: the replay is damaged"; exit 1 ;;
spin) while :; do :; done ;;
sleep) sleep 60 ;;
eat) x=$(head -c 400000000 /dev/zero | tr '\0' a); echo "verified score $score level 2 frames 1"; exit 0 ;;
esac
echo "something else"
exit 3
)";

std::filesystem::path WriteVerifier(const std::filesystem::path& folder) {
    std::filesystem::path path = folder / "fake-verify";
    std::ofstream(path) << kFakeVerifier;
    ::chmod(path.c_str(), 0755);
    return path;
}

scores::TServiceOptions VerifyingOptions(const std::filesystem::path& folder, int workers) {
    scores::TServiceOptions options;
    options.ResultsPerMinute = 0;
    options.Verify.Program = WriteVerifier(folder).string();
    options.Verify.GameDir = folder.string();
    // The wall-clock cap leaves a verifier that spins room to reach its CPU cap first even on a
    // machine busy with other tests (at 3 s, one getting a fifth of a core met the wall first).
    options.Verify.CpuSeconds = 1;
    options.Verify.WallSeconds = 10;
    options.Verify.MemoryBytes = size_t{64} << 20;
    options.VerifyWorkers = workers;
    return options;
}

httplib::Result PostReplay(TServiceUnderTest& service, const std::string& token,
                           const std::string& bytes) {
    httplib::Client client("127.0.0.1", service.port);
    client.set_read_timeout(10, 0);
    return client.Post(("/api/replays?token=" + token).c_str(), bytes, "application/octet-stream");
}

// The game's way: a token, the replay bound to it (when there is one), then the result.
void SendGame(TServiceUnderTest& service, const TResult& result, const std::string& replay) {
    const std::string token = service.Token();
    ASSERT_FALSE(token.empty());
    if (!replay.empty()) {
        const auto uploaded = PostReplay(service, token, replay);
        ASSERT_TRUE(uploaded);
        ASSERT_EQ(uploaded->status, 200) << uploaded->body;
    }
    const auto sent = service.Get(kResult + EncodeLine(ResultPayload(result, token)));
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->status, 200) << sent->body;
}

// Until no result waits for a worker (a bound for a stuck queue, not a measure of speed).
bool WaitUntilNonePending(scores::IScoreStore& store) {
    for (int i = 0; i < 600; ++i) {
        if (store.CountPending() == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::string Body(const httplib::Result& reply) {
    return reply ? reply->body : std::string("(no reply)");
}

} // namespace

// Each game's result with its replay, through two workers: only what the verifier proves, and
// no replay twice, reaches the default table; every refusal says why in the log.
TEST(VerifiedResults, TheVerdictDecidesWhatTheDefaultTableShows) {
    TServiceUnderTest service;
    ASSERT_EQ(service.Start(TBackend::Sqlite, VerifyingOptions(service.folder, 2)), "");
    struct Case {
        const char* name;
        int claim;
        std::string replay; // "" for none: a client of the plain protocol
        bool verified;
        const char* logged; // in the refusal's log line
    } cases[] = {
        {"Honest", 250, "score 250\nHonest's inputs", true, ""},
        {"Boaster", 900, "score 250\nBoaster's inputs", false,
         "the replay scores 250, not the claimed 900"},
        {"Broken", 250, "refuse\n", false, "the replay does not prove it: the replay is damaged"},
        {"Spinner", 250, "spin\n", false, "the verifier ran over its CPU time (1 s)"},
        {"Sleeper", 250, "sleep\n", false, "the verifier ran over its time (10 s)"},
        {"Glutton", 250, "eat 250\n", false, "the verifier gave no verdict"},
        {"Chatter", 250, "chat\n", false, "the verifier gave no verdict (exit status 3)"},
        {"Forger", 99'999'999, "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SendGame(service, {c.name, "Wales", c.claim}, c.replay);
    }
    ASSERT_TRUE(WaitUntilNonePending(*service.store));
    // The honest replay again for another result (already proven: refused without a run).
    SendGame(service, TResult{"Copycat", "Wales", 250}, cases[0].replay);
    ASSERT_TRUE(WaitUntilNonePending(*service.store));

    const std::string verifiedJson = Body(service.Get("/api/scores"));
    const std::string allJson = Body(service.Get("/api/scores?all=1"));
    const std::string page = Body(service.Get(kTable));
    const std::string log = service.Log();
    const auto rows = service.store->Best(100, true);
    ASSERT_EQ(rows.size(), 1u) << verifiedJson;
    const std::string replayPath = scores::ReplayPath(rows[0].replayId);
    EXPECT_EQ(verifiedJson, "{\"scores\":[{\"rank\":1,\"name\":\"Honest\",\"country\":\"Wales\","
                            "\"score\":250,\"date\":\"" +
                                scores::DateOf(service.now) + "\",\"verified\":true,\"replay\":\"" +
                                replayPath + "\"}]}\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string named = "\"name\":\"" + std::string(c.name) + "\"";
        EXPECT_EQ(verifiedJson.find(named) != std::string::npos, c.verified);
        EXPECT_EQ(page.find(">" + std::string(c.name) + "<") != std::string::npos, c.verified);
        EXPECT_NE(allJson.find(named), std::string::npos) << "every result is kept";
        if (!c.verified && *c.logged) {
            EXPECT_NE(log.find(std::string("refused: ") + c.logged), std::string::npos) << log;
        }
    }
    EXPECT_NE(log.find(std::string("refused: ") + scores::kReplayReused), std::string::npos) << log;
    EXPECT_NE(log.find("verified: score 250 level 2 frames 1234"), std::string::npos) << log;
    EXPECT_NE(allJson.find("\"name\":\"Forger\",\"country\":\"Wales\",\"score\":99999999"),
              std::string::npos);

    // /metrics counts every verdict by the class of its reason, and the runs' time; the queue,
    // as a worker last counted it, is empty (a bound for the worker's next look, not a measure).
    std::string metrics;
    for (int i = 0; i < 100; ++i) {
        metrics = Body(service.Get("/metrics"));
        if (metrics.find("\npondlark_verify_pending 0\n") != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (const char* line :
         {"pondlark_verified_total 1\n", "pondlark_verify_refused_total{class=\"score\"} 1\n",
          "pondlark_verify_refused_total{class=\"replay\"} 1\n",
          "pondlark_verify_refused_total{class=\"cpu\"} 1\n",
          "pondlark_verify_refused_total{class=\"time\"} 1\n",
          "pondlark_verify_refused_total{class=\"verifier\"} 2\n",
          "pondlark_verify_refused_total{class=\"reused\"} 1\n",
          "pondlark_verify_seconds_count 8\n", "pondlark_verify_pending 0\n"})
        EXPECT_NE(metrics.find(std::string("\n") + line), std::string::npos) << line << metrics;

    // The verified row links to its replay, which downloads as the very bytes sent, and to the
    // browser game that plays it.
    const std::string id = replayPath.substr(replayPath.rfind('/') + 1);
    EXPECT_NE(page.find("<a href=\"" + replayPath + "\" download>"), std::string::npos) << page;
    EXPECT_NE(page.find("<a href=\"/play/?replay=" + id + "\">"), std::string::npos) << page;
    EXPECT_NE(page.find(scores::HtmlEscape(kTable + "&all=1")), std::string::npos)
        << "the switch to every result";
    const auto download = service.Get(replayPath);
    ASSERT_TRUE(download);
    EXPECT_EQ(download->status, 200);
    EXPECT_EQ(download->body, cases[0].replay);
    EXPECT_NE(download->get_header_value("Content-Disposition").find("attachment"),
              std::string::npos);
    // Replays that prove nothing are not handed out.
    for (int other = 1; other < 12; ++other)
        if (std::to_string(other) != id) {
            const auto none = service.Get(scores::ReplayPath(other));
            ASSERT_TRUE(none);
            EXPECT_EQ(none->status, 404) << other;
        }
}

// An upload is taken only with a token the service issued, unspent and within its hour, and
// only within the size a replay may have; the token never reaches the log.
TEST(VerifiedResults, AReplayUploadNeedsAGoodUnspentToken) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.ResultsPerMinute = 0;
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    struct Case {
        const char* what;
        std::function<std::string(TServiceUnderTest&)> token;
        std::string bytes;
        int status;
        const char* body;
    } cases[] = {
        {"good", [](auto& s) { return s.Token(); }, "score 1", 200, "OK\n"},
        {"not a token", [](auto&) { return std::string("7"); }, "score 1", 400, "ERR|bad token\n"},
        {"never issued", [](auto&) { return std::string(32, 'a'); }, "score 1", 400,
         "ERR|unknown token\n"},
        {"spent on a result",
         [](auto& s) {
             std::string t = s.Token();
             s.Get(kResult + EncodeLine(ResultPayload({"Frog", "", 5}, t)));
             return t;
         },
         "score 1", 400, "ERR|unknown token\n"},
        {"past its hour",
         [](auto& s) {
             std::string t = s.Token();
             s.now += scores::kTokenLifetimeSeconds;
             return t;
         },
         "score 1", 400, "ERR|unknown token\n"},
        {"empty", [](auto& s) { return s.Token(); }, "", 400, "ERR|empty replay\n"},
        {"largest", [](auto& s) { return s.Token(); }, std::string(scores::kMaxReplayBytes, 'r'),
         200, "OK\n"},
        {"too large", [](auto& s) { return s.Token(); },
         std::string(scores::kMaxReplayBytes + 1, 'r'), 413, "ERR|too large\n"},
    };
    std::vector<std::string> tokens;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string token = c.token(service);
        tokens.push_back(token);
        const auto reply = PostReplay(service, token, c.bytes);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, c.status);
        EXPECT_EQ(reply->body, c.body);
    }
    // Requests the game never makes: the replay fetched with GET, a body on another address,
    // a body in chunks, a GET with a body.
    const auto get = service.Get("/api/replays?token=" + service.Token());
    ASSERT_TRUE(get);
    EXPECT_EQ(get->status, 405);
    httplib::Client client("127.0.0.1", service.port);
    const auto elsewhere = client.Post("/api/scores", "x", "text/plain");
    ASSERT_TRUE(elsewhere);
    EXPECT_EQ(elsewhere->status, 405);
    for (const std::string& request :
         {"POST /api/replays?token=" + service.Token() +
              " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nx\r\n0\r\n\r\n",
          std::string("POST /api/replays?token=") + service.Token() +
              " HTTP/1.1\r\nHost: x\r\n\r\n",
          std::string("GET /api/scores HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc")}) {
        TRawConnection raw(service.port);
        ASSERT_TRUE(raw.Send(request));
        const std::string reply = raw.ReadAll();
        EXPECT_TRUE(reply.rfind("HTTP/1.1 400", 0) == 0 || reply.rfind("HTTP/1.1 411", 0) == 0)
            << request << reply;
    }
    // A body that arrives in pieces is read whole, and the connection serves the next request.
    TRawConnection slow(service.port);
    const std::string token = service.Token();
    ASSERT_TRUE(slow.Send("POST /api/replays?token=" + token +
                          " HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\nscore"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(slow.Send(" 4321GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    const std::string both = slow.ReadAll();
    EXPECT_EQ(both.rfind("HTTP/1.1 200", 0), 0u) << both;
    EXPECT_NE(both.find("ok 1 results"), std::string::npos) << both;
    const std::string log = service.Log();
    for (const std::string& t : tokens)
        if (t.size() == 32) {
            EXPECT_EQ(log.find(t), std::string::npos) << log;
        }
    EXPECT_NE(log.find("POST /api/replays?token=(32-characters)"), std::string::npos) << log;
}

// `pondlark-scores --verify-only` on another machine: no HTTP, only workers on the shared
// PostgreSQL, taking the results a service stored there; SIGTERM stops it with status 0.
TEST(VerifiedResults, AVerifyOnlyProcessVerifiesWhatAServiceStored) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.ResultsPerMinute = 0;
    const std::string skip = service.Start(TBackend::Postgres, options);
    if (!skip.empty()) GTEST_SKIP() << skip;
    SendGame(service, {"Remote", "Wales", 480}, "score 480\nRemote's inputs");
    ASSERT_EQ(service.store->CountPending(), 1) << "the service itself has no verifier";

    const std::filesystem::path log = service.folder / "verify-only.log";
    const pid_t pid =
        SpawnLogged({PONDLARK_SCORES_PROGRAM, "--verify-only", "--db", service.postgres->Uri(),
                     "--verifier", WriteVerifier(service.folder).string(), "--game-dir",
                     service.folder.string(), "--verify-workers", "2"},
                    log);
    ASSERT_GT(pid, 0);
    const bool done = WaitUntilNonePending(*service.store);
    ::kill(pid, SIGTERM);
    int status = -1;
    ::waitpid(pid, &status, 0);
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(done) << text;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
    EXPECT_NE(text.find("verifying with 2 workers"), std::string::npos) << text;
    EXPECT_NE(text.find("verified: score 480"), std::string::npos) << text;
    EXPECT_NE(Body(service.Get("/api/scores")).find("\"name\":\"Remote\""), std::string::npos);
}

// The queue itself, on each store: workers (several per store, and two stores as two
// processes) never hold the same result at once and together take every one; a lease that ran
// out is taken again and the old holder's verdict changes nothing.
class VerifyQueue : public ::testing::TestWithParam<TBackend> {};

TEST_P(VerifyQueue, WorkersNeverTakeTheSameResult) {
    const std::filesystem::path folder = FreshTestFolder();
    std::optional<TPostgresServer> postgres;
    std::string skip;
    const std::string db = DatabaseFor(GetParam(), folder, postgres, skip);
    if (db.empty()) GTEST_SKIP() << skip;
    const auto first = scores::OpenScoreStore(db, 4);
    const auto second = scores::OpenScoreStore(db, 4);
    const int64_t now = 1'790'000'000;
    constexpr int kResults = 120;
    for (int i = 0; i < kResults; ++i) {
        const std::string token = "queue" + std::to_string(i);
        const std::string replay = "score " + std::to_string(i);
        first->AddToken(token, now);
        ASSERT_EQ(first->StoreReplay(token, replay, scores::Sha256Hex(replay), now),
                  scores::TReplayOutcome::Stored);
        ASSERT_EQ(first->StoreResult({{"Frog", "", i}, token, "192.0.2.1"}, now),
                  scores::TStoreOutcome::Stored);
    }
    ASSERT_EQ(first->CountPending(), kResults);
    std::vector<std::vector<int64_t>> taken(6);
    std::vector<std::thread> workers;
    for (size_t w = 0; w < taken.size(); ++w)
        workers.emplace_back([&, w] {
            scores::IScoreStore& store = w % 2 ? *second : *first;
            const std::string name = "worker" + std::to_string(w);
            while (const auto p = store.ClaimPending(name, now, 600))
                taken[w].push_back(p->resultId);
        });
    for (std::thread& t : workers)
        t.join();
    std::multiset<int64_t> all;
    for (const auto& ids : taken)
        all.insert(ids.begin(), ids.end());
    EXPECT_EQ(all.size(), static_cast<size_t>(kResults));
    EXPECT_EQ(std::set<int64_t>(all.begin(), all.end()).size(), all.size()) << "taken twice";

    // Held, nothing is left to take; past the lease another worker takes it, and only its
    // verdict counts.
    EXPECT_FALSE(first->ClaimPending("late", now + 10, 600));
    const auto again = second->ClaimPending("late", now + 601, 600);
    ASSERT_TRUE(again);
    std::string holder;
    for (size_t w = 0; w < taken.size(); ++w)
        if (std::count(taken[w].begin(), taken[w].end(), again->resultId) > 0)
            holder = "worker" + std::to_string(w);
    ASSERT_FALSE(holder.empty());
    const scores::TVerdict yes{true, 1, 10, ""};
    EXPECT_EQ(first->FinishVerification(again->resultId, holder, yes),
              scores::TVerification::Pending)
        << "its lease ran out: nothing changes";
    EXPECT_EQ(second->FinishVerification(again->resultId, "late", yes),
              scores::TVerification::Verified);
    EXPECT_EQ(first->VerificationOf(again->resultId), scores::TVerification::Verified);
    // A worker that stops gives its result back at once.
    const auto stopped = first->ClaimPending("stopping", now + 1300, 600);
    ASSERT_TRUE(stopped);
    first->ReleaseClaim(stopped->resultId, "stopping");
    const auto retaken = second->ClaimPending("next", now + 1300, 600);
    ASSERT_TRUE(retaken);
    EXPECT_EQ(retaken->resultId, stopped->resultId);
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Stores, VerifyQueue,
                         ::testing::Values(TBackend::Sqlite, TBackend::Postgres), BackendName);

// The verifier's line and exit status against the claim.
TEST(VerifiedResults, TheVerdictIsReadStrictly) {
    const TResult claim{"Frog", "Wales", 250};
    struct Case {
        const char* line;
        int status;
        bool verified;
        const char* reason;
    } cases[] = {
        {"verified score 250 level 3 frames 9000", 0, true, ""},
        {"verified score 251 level 3 frames 9000", 0, false, "the replay scores 251"},
        {"verified score 250 level 3 frames 9000", 1, false, "the verifier gave no verdict"},
        {"verified score 250 level 3", 0, false, "the verifier gave no verdict"},
        {"verified score 250 level 3 frames 9000 and more", 0, false,
         "the verifier gave no verdict"},
        {"refused: truncated", 1, false, "the replay does not prove it: truncated"},
        {"refused: truncated", 0, false, "the verifier gave no verdict"},
        {"", 2, false, "the verifier gave no verdict (exit status 2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const scores::TVerdict v = scores::ReadVerdict(c.line, c.status, claim);
        EXPECT_EQ(v.verified, c.verified);
        EXPECT_EQ(v.reason.rfind(c.reason, 0), 0u) << v.reason;
        if (c.verified) {
            EXPECT_EQ(v.level, 3);
            EXPECT_EQ(v.frames, 9000);
        }
    }
    // A missing program is a refusal with its reason, not a fault of the service.
    scores::TVerifierConfig config;
    config.Program = "/nonexistent/pondlark-verify";
    scores::TPendingReplay replay;
    replay.claim = claim;
    EXPECT_EQ(scores::RunVerifier(config, replay).verdict.reason,
              "the verifier could not be run: /nonexistent/pondlark-verify");
}

// The game's own verifier that runs out of the memory the service gives it says so, and the
// refusal names the cap rather than a missing verdict. The replay is a short game played here.
TEST(VerifiedResults, AVerifierOutOfMemoryIsRefusedForIt) {
    const std::filesystem::path home = FreshTestFolder();
    std::optional<TReplay> replay;
    {
        HeadlessPlatform platform;
        TMainForm form(platform, home.string(), PONDLARK_GAME_DIR);
        form.FixRandomSeed(5);
        ASSERT_TRUE(form.Start());
        TScriptRunner(platform, form, nullptr)
            .Run(ParseScript("wait 300\nkey Return\nwait 100\nkey Return\nwait 4000\n"
                             "key Escape\nwait 100\nkey y\nwait 100\n"));
        replay = form.FinishedReplay();
    }
    std::filesystem::remove_all(home);
    ASSERT_TRUE(replay);
    replay->Name = "Frog";
    replay->Country = "Wales";
    replay->Token = "t1";
    const std::vector<uint8_t> bytes = EncodeReplay(*replay);
    scores::TPendingReplay pending;
    pending.claim = {"Frog", "Wales", replay->Score};
    pending.token = "t1";
    pending.bytes.assign(bytes.begin(), bytes.end());
    scores::TVerifierConfig config;
    config.Program = PONDLARK_VERIFY_PROGRAM;
    config.GameDir = PONDLARK_GAME_DIR;
    config.WallSeconds = 60;
    const scores::TVerdict roomy = scores::RunVerifier(config, pending).verdict;
    EXPECT_TRUE(roomy.verified) << roomy.reason;
    // Where the program cannot even be loaded depends on its libraries: the caps go down until
    // one lets it start but not play.
    int outOfMemory = 0;
    for (const size_t mb : {56, 48, 40, 32}) {
        SCOPED_TRACE(mb);
        config.MemoryBytes = mb << 20;
        const scores::TVerdict v = scores::RunVerifier(config, pending).verdict;
        if (v.verified) continue; // room enough
        if (v.reason.rfind("the verifier could not be run", 0) == 0) break;
        EXPECT_EQ(v.reason, "the verifier ran over its memory (" + std::to_string(mb) + " MB)");
        EXPECT_STREQ(scores::RefusalClass(v.reason), "memory");
        ++outOfMemory;
    }
    EXPECT_GT(outOfMemory, 0) << "no cap from 56 down to 32 MB let the verifier start but not play";
}

TEST(VerifiedResults, DigestsAreSha256) {
    EXPECT_EQ(scores::Sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(scores::Sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks of padding, and a length over one block.
    EXPECT_EQ(scores::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(scores::Sha256Hex(std::string(1000, 'a')),
              "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}
