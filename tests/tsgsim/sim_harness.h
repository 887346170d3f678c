#pragma once

// Helpers for tests that run the tsg-sim binary and talk to it over real
// loopback sockets. Every wait has a timeout, so a broken simulator fails a
// test instead of hanging it.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tsg-sim/unique_fd.h"

namespace tsgsim_test {

using tsgsim::UniqueFd;

// Path of the simulator binary and of the shipped example users file.
const char* SimPath();
const char* ExampleUsersPath();

// A fresh directory under /tmp, removed with its content at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Writes a file into the directory and returns its path.
    std::string Write(const std::string& name, std::string_view content) const;

private:
    std::string path_;
};

enum class ReadStatus { Data, Eof, Timeout, Error };

struct ReadResult {
    ReadStatus status = ReadStatus::Timeout;
    std::string data;
};

// Blocking connect to address:port; invalid fd on failure with *err = errno.
UniqueFd Connect(int port, const char* address = "127.0.0.1", int* err = nullptr);
bool SendAll(int fd, std::string_view bytes);
// One recv() (up to 256 KiB) once data is ready, or Eof / Timeout / Error.
ReadResult ReadOnce(int fd, int timeoutMs);
// Reads until `size` bytes have come, the peer closed, or the time is up.
std::string ReadUpTo(int fd, std::size_t size, int timeoutMs, bool* eof = nullptr);

// Connects to the relay port, sends `request` in one write and returns the
// first read of the answer.
ReadResult RelayExchange(int port, std::string_view request, int timeoutMs = 2000);

struct SimOptions {
    std::vector<std::string> args;           // extra command-line arguments
    std::optional<std::string> usersText;    // written to a file and passed with --users
    std::optional<std::string> scriptText;   // written to a file and passed with --script
    bool defaultArgs = true;                 // ephemeral ports, control port, --log into the temp dir
    bool pipeStdin = false;
    bool captureStderr = false;
    // LeakSanitizer's check at exit costs more than a whole test; it runs
    // only where a test asks for it.
    bool checkLeaks = false;
};

// One running simulator process.
class Sim {
public:
    explicit Sim(SimOptions options = {});
    ~Sim();
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;

    // Whether the ready line came; the ports are valid only then.
    bool Ready() const { return ready_; }
    const std::string& ReadyLine() const { return readyLine_; }
    int ctiPort = 0;
    int relayPort = 0;
    int controlPort = 0;

    const TempDir& Dir() const { return dir_; }
    std::string LogPath() const { return dir_.Path() + "/sim.log"; }
    std::string Log() const;
    // Polls the log until it contains `needle`.
    bool WaitForLog(std::string_view needle, int timeoutMs) const;

    // Sends one control line on a connection kept for the whole test and
    // returns the reply line without its line end ("" on timeout).
    std::string Command(std::string_view line, int timeoutMs = 3000);
    // Raw access for pipelining tests.
    int ControlFd();

    int StdinFd() const { return stdin_.Get(); }
    void CloseStdin() { stdin_.Reset(); }
    // Next line the simulator wrote to stdout after the ready line ("" on timeout).
    std::string StdoutLine(int timeoutMs);
    // Everything written to stderr (only with captureStderr), read after exit.
    std::string Stderr();

    // Exit code once the process has ended by itself (128 + signal when
    // killed), nullopt when it is still running after timeoutMs.
    std::optional<int> WaitExit(int timeoutMs);
    // Sends a signal and waits for the exit.
    std::optional<int> Stop(int signal, int timeoutMs = 5000);

private:
    bool ReadLine(int fd, std::string* buffer, std::string* line, int timeoutMs);

    TempDir dir_;
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitCode_ = -1;
    bool ready_ = false;
    std::string readyLine_;
    UniqueFd stdout_;
    UniqueFd stdin_;
    UniqueFd stderr_;
    UniqueFd control_;
    std::string stdoutBuffer_;
    std::string controlBuffer_;
};

// Wall clock in epoch milliseconds, to bracket timestamps in the log.
long long EpochMsNow();

} // namespace tsgsim_test
