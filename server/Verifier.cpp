#include "server/Verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace pondlark::scores {

namespace {

using Clock = std::chrono::steady_clock;

// The verdict's line never needs more; a child that writes more is cut off there.
constexpr size_t kMaxOutput = 4096;

bool ReadNumber(std::string_view& text, std::string_view word, int64_t& value) {
    if (text.substr(0, word.size()) != word) return false;
    text.remove_prefix(word.size());
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return true;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void ExecChild(const TVerifierConfig& config, int input, int output,
                            char* const* argv) {
    ::setpgid(0, 0);
    ::dup2(input, 0);
    ::dup2(output, 1);
    const int devnull = ::open("/dev/null", O_WRONLY);
    if (devnull >= 0) ::dup2(devnull, 2);
    // The service's sockets and database connections are not the verifier's business.
    if (::syscall(SYS_close_range, 3u, ~0u, 0u) != 0)
        for (int fd = 3; fd < 4096; ++fd)
            ::close(fd);
    const auto cpu = static_cast<rlim_t>(config.CpuSeconds);
    const rlimit cpuLimit{cpu, cpu + 1}; // SIGXCPU first, then SIGKILL a second later
    const rlimit memoryLimit{config.MemoryBytes, config.MemoryBytes};
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CPU, &cpuLimit);
    ::setrlimit(RLIMIT_AS, &memoryLimit);
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::execv(argv[0], argv);
    ::_exit(127);
}

TVerifierRun Refusal(std::string reason) {
    TVerifierRun run;
    run.verdict.reason = std::move(reason);
    return run;
}

} // namespace

const char* RefusalClass(const std::string& reason) {
    static constexpr std::pair<std::string_view, const char*> kClasses[] = {
        {"the replay scores ", "score"},
        {"the replay does not prove it", "replay"},
        {kReplayReused, "reused"},
        {"the verifier ran over its CPU time", "cpu"},
        {"the verifier ran over its time", "time"},
        {"the verifier ran over its memory", "memory"},
    };
    for (const auto& [start, kind] : kClasses)
        if (std::string_view(reason).starts_with(start)) return kind;
    return "verifier";
}

TVerdict ReadVerdict(const std::string& line, int exitStatus, const TResult& claim) {
    TVerdict verdict;
    std::string_view text = line;
    if (exitStatus == 1 && text.substr(0, 9) == "refused: ") {
        verdict.reason = "the replay does not prove it: " + std::string(text.substr(9));
        return verdict;
    }
    int64_t score = 0, level = 0, frames = 0;
    if (exitStatus != 0 || !ReadNumber(text, "verified score ", score) ||
        !ReadNumber(text, " level ", level) || !ReadNumber(text, " frames ", frames) ||
        !text.empty()) {
        verdict.reason = "the verifier gave no verdict (exit status " + std::to_string(exitStatus) +
                         "): " + line.substr(0, 200);
        return verdict;
    }
    if (score != claim.Score) {
        verdict.reason = "the replay scores " + std::to_string(score) + ", not the claimed " +
                         std::to_string(claim.Score);
        return verdict;
    }
    verdict.verified = true;
    verdict.level = static_cast<int>(level);
    verdict.frames = frames;
    return verdict;
}

TVerifierRun RunVerifier(const TVerifierConfig& config, const TPendingReplay& replay,
                         const std::atomic<bool>* stop) {
    if (config.Program.empty()) return Refusal("no verifier is configured");
    // The replay goes in as a file of its own in memory: the child reads it at its pace, and
    // no pipe can fill up between the two.
    const int input = ::memfd_create("pondlark-replay", MFD_CLOEXEC);
    if (input < 0)
        return Refusal(std::string("cannot hand over the replay: ") + std::strerror(errno));
    if (!WriteAll(input, replay.bytes) || ::lseek(input, 0, SEEK_SET) != 0) {
        ::close(input);
        return Refusal("cannot hand over the replay");
    }
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input);
        return Refusal(std::string("cannot start the verifier: ") + std::strerror(errno));
    }
    std::vector<std::string> args = {config.Program,
                                     "--dir",
                                     config.GameDir,
                                     "--name",
                                     replay.claim.Name,
                                     "--country",
                                     replay.claim.Country,
                                     "--score",
                                     std::to_string(replay.claim.Score),
                                     "--token",
                                     replay.token};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto started = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) ExecChild(config, input, output[1], argv.data());
    ::close(input);
    ::close(output[1]);
    if (pid < 0) {
        ::close(output[0]);
        return Refusal(std::string("cannot start the verifier: ") + std::strerror(errno));
    }
    // Its group too: the same group the child made itself, in case it has not yet.
    ::setpgid(pid, pid);

    const auto deadline = started + std::chrono::seconds(config.WallSeconds);
    std::string out;
    bool timedOut = false;
    bool stopped = false;
    bool open = true;
    int status = 0;
    rusage usage{};
    bool reaped = false;
    while (!reaped) {
        if (stop && stop->load()) {
            stopped = true;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        // A short wait at a time, so that a stop is seen soon.
        const int slice = static_cast<int>(std::min<int64_t>(left, 100));
        if (open) {
            pollfd p{output[0], POLLIN, 0};
            if (::poll(&p, 1, slice) > 0) {
                char buffer[1024];
                const ssize_t n = ::read(output[0], buffer, sizeof buffer);
                if (n > 0 && out.size() < kMaxOutput)
                    out.append(buffer, std::min(static_cast<size_t>(n), kMaxOutput - out.size()));
                if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) open = false;
            }
        } else {
            ::usleep(static_cast<useconds_t>(std::min(slice, 10) * 1000));
        }
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) reaped = true;
    }
    // Whatever it left behind in its group goes with it.
    ::kill(-pid, SIGKILL);
    if (!reaped) {
        ::kill(pid, SIGKILL);
        while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
    }
    // What it wrote before it exited may still wait in the pipe.
    if (open) {
        char buffer[1024];
        ssize_t n;
        while (out.size() < kMaxOutput && (n = ::read(output[0], buffer, sizeof buffer)) > 0)
            out.append(buffer, std::min(static_cast<size_t>(n), kMaxOutput - out.size()));
    }
    ::close(output[0]);

    TVerifierRun run;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (stopped) {
        run.stopped = true;
        run.verdict.reason = "the service stopped";
        return run;
    }
    if (timedOut) {
        run.verdict.reason =
            "the verifier ran over its time (" + std::to_string(config.WallSeconds) + " s)";
        return run;
    }
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        run.verdict.reason =
            signal == SIGXCPU || (signal == SIGKILL && run.cpuSeconds >= config.CpuSeconds)
                ? "the verifier ran over its CPU time (" + std::to_string(config.CpuSeconds) + " s)"
                : "the verifier was ended by signal " + std::to_string(signal);
        return run;
    }
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (exitStatus == kVerifierOutOfMemory) {
        run.verdict.reason = "the verifier ran over its memory (" +
                             std::to_string(config.MemoryBytes >> 20) + " MB)";
        return run;
    }
    if (exitStatus == 127 && out.empty()) {
        run.verdict.reason = "the verifier could not be run: " + config.Program;
        return run;
    }
    const std::string line = out.substr(0, out.find('\n'));
    run.verdict = ReadVerdict(line, exitStatus, replay.claim);
    return run;
}

} // namespace pondlark::scores
