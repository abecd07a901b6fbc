// A private PostgreSQL server for one test: Debian's server programs, a fresh cluster in a
// temporary folder of its own, reached only through a Unix socket in that folder (no TCP port,
// nothing shared with another test or a system cluster), stopped and removed with the object.
// The folder's name is short: a socket's path may not exceed 107 bytes.
//
// PostgreSQL refuses to run as root; when the test runs as root the server runs as the
// unprivileged user "nobody" (through runuser), which owns the folder. When anything is
// missing or fails, Running() is false and Why() says what, for the test's skip message.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <signal.h>
#include <sstream>
#include <string>

namespace pondlark::test_support {

class TPostgresServer {
public:
    TPostgresServer() {
        namespace fs = std::filesystem;
        char name[] = "/tmp/pondlark-pg-XXXXXX";
        if (!::mkdtemp(name)) {
            why_ = "cannot make a temporary folder";
            return;
        }
        folder_ = name;
        const fs::path bin = FindServerPrograms();
        if (bin.empty()) {
            why_ = "the PostgreSQL server programs are not installed (Debian: postgresql)";
            return;
        }
        std::string as;
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody || !fs::exists("/usr/sbin/runuser")) {
                why_ = "running as root without the user nobody or runuser to run PostgreSQL";
                return;
            }
            if (::chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                why_ = "cannot hand the folder to nobody";
                return;
            }
            as = "/usr/sbin/runuser -u nobody -- ";
        }
        const std::string data = (folder_ / "data").string();
        const std::string log = (folder_ / "server.log").string();
        if (Shell(as + Quote((bin / "initdb").string()) + " -D " + Quote(data) +
                  " -U pondlark -A trust -E UTF8 --locale=C --no-sync > " +
                  Quote((folder_ / "initdb.log").string()) + " 2>&1") != 0) {
            why_ = "initdb failed: " + Tail(folder_ / "initdb.log");
            return;
        }
        // Durability does not matter for a test's data; the socket lives in the folder.
        const std::string options = "-c listen_addresses='' -c fsync=off -k " + folder_.string();
        if (Shell(as + Quote((bin / "pg_ctl").string()) + " -D " + Quote(data) + " -l " +
                  Quote(log) + " -w -t 60 -o " + Quote(options) + " start > /dev/null 2>&1") != 0) {
            why_ = "the server did not start: " + Tail(log);
            return;
        }
        stop_ = as + Quote((bin / "pg_ctl").string()) + " -D " + Quote(data) +
                " -m immediate stop > /dev/null 2>&1";
    }
    ~TPostgresServer() {
        if (!stop_.empty()) Shell(stop_);
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }
    TPostgresServer(const TPostgresServer&) = delete;
    TPostgresServer& operator=(const TPostgresServer&) = delete;

    bool Running() const { return !stop_.empty(); }

    // Sends `signal` to the server and every process it started (SIGSTOP: a database that
    // stalls with its connections open; SIGCONT: back). False when the server is not found.
    bool SignalAll(int signal) const {
        std::ifstream pidFile(folder_ / "data" / "postmaster.pid");
        pid_t postmaster = 0;
        if (!(pidFile >> postmaster) || postmaster <= 0) return false;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            if (!std::getline(stat, line)) continue;
            // pid (name) state ppid ...: the name may hold spaces, so read after its ')'.
            std::istringstream rest(line.substr(line.rfind(')') + 1));
            char state = 0;
            pid_t parent = 0;
            if (rest >> state >> parent && parent == postmaster)
                ::kill(std::stoi(entry.path().filename().string()), signal);
        }
        return ::kill(postmaster, signal) == 0;
    }
    const std::string& Why() const { return why_; }
    // A libpq URI for the cluster's "postgres" database as its superuser.
    std::string Uri() const { return "postgresql://pondlark@/postgres?host=" + folder_.string(); }

private:
    static std::filesystem::path FindServerPrograms() {
        namespace fs = std::filesystem;
        fs::path best;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
            const fs::path bin = entry.path() / "bin";
            if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl") &&
                (best.empty() || bin > best))
                best = bin;
        }
        return best;
    }
    static std::string Quote(const std::string& text) {
        std::string out = "'";
        for (const char c : text)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    static int Shell(const std::string& command) { return std::system(command.c_str()); }
    static std::string Tail(const std::filesystem::path& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        const std::string all = text.str();
        return all.size() > 600 ? all.substr(all.size() - 600) : all;
    }

    std::filesystem::path folder_;
    std::string why_;
    std::string stop_;
};

} // namespace pondlark::test_support
