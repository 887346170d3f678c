#include "sim_harness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace tsgsim_test {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

const char* SimPath()
{
    return TSG_SIM_PATH;
}

const char* ExampleUsersPath()
{
    return TSG_SIM_EXAMPLE_USERS;
}

long long EpochMsNow()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// ---------------------------------------------------------------- TempDir

TempDir::TempDir()
{
    char pattern[] = "/tmp/tsgsim-test-XXXXXX";
    if (mkdtemp(pattern)) {
        path_ = pattern;
    }
}

TempDir::~TempDir()
{
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

std::string TempDir::Write(const std::string& name, std::string_view content) const
{
    std::string path = path_ + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return path;
}

// ---------------------------------------------------------------- sockets

UniqueFd Connect(int port, const char* address, int* err)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, address, &sa.sin_addr);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) {
        if (err) {
            *err = errno;
        }
        return fd;
    }
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        if (err) {
            *err = errno;
        }
        return UniqueFd();
    }
    if (err) {
        *err = 0;
    }
    return fd;
}

bool SendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK) {
            // The child's stdin pipe; SIGPIPE is ignored for the test process (see Sim).
            n = ::write(fd, bytes.data(), bytes.size());
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

ReadResult ReadOnce(int fd, int timeoutMs)
{
    ReadResult result;
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, timeoutMs);
    if (ready == 0) {
        result.status = ReadStatus::Timeout;
        return result;
    }
    if (ready < 0) {
        result.status = ReadStatus::Error;
        return result;
    }
    std::string buf(256 * 1024, '\0');
    // read() rather than recv(): also used on the pipes of the child process.
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n > 0) {
        buf.resize(static_cast<std::size_t>(n));
        result.status = ReadStatus::Data;
        result.data = std::move(buf);
    } else {
        result.status = n == 0 ? ReadStatus::Eof : ReadStatus::Error;
    }
    return result;
}

std::string ReadUpTo(int fd, std::size_t size, int timeoutMs, bool* eof)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string out;
    if (eof) {
        *eof = false;
    }
    while (out.size() < size) {
        ReadResult r = ReadOnce(fd, RemainingMs(deadline));
        if (r.status != ReadStatus::Data) {
            if (eof) {
                *eof = r.status == ReadStatus::Eof;
            }
            break;
        }
        out += r.data;
    }
    return out;
}

ReadResult RelayExchange(int port, std::string_view request, int timeoutMs)
{
    UniqueFd fd = Connect(port);
    if (!fd.Valid() || !SendAll(fd.Get(), request)) {
        return ReadResult{ReadStatus::Error, {}};
    }
    return ReadOnce(fd.Get(), timeoutMs);
}

// ---------------------------------------------------------------- Sim

Sim::Sim(SimOptions options)
{
    std::vector<std::string> args{SimPath()};
    if (options.defaultArgs) {
        args.insert(args.end(),
                    {"--cti-port", "0", "--relay-port", "0", "--control-port", "0", "--log", LogPath()});
    }
    if (options.usersText) {
        args.push_back("--users");
        args.push_back(dir_.Write("users.txt", *options.usersText));
    }
    if (options.scriptText) {
        args.push_back("--script");
        args.push_back(dir_.Write("script.txt", *options.scriptText));
    }
    args.insert(args.end(), options.args.begin(), options.args.end());

    int outPipe[2];
    int inPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        return;
    }
    stdout_.Reset(outPipe[0]);
    UniqueFd outWrite(outPipe[1]);
    UniqueFd inRead;
    UniqueFd errWrite;
    if (options.pipeStdin) {
        // A simulator that died must fail the test, not kill it through SIGPIPE.
        ::signal(SIGPIPE, SIG_IGN);
    }
    if (options.pipeStdin && pipe2(inPipe, O_CLOEXEC) == 0) {
        inRead.Reset(inPipe[0]);
        stdin_.Reset(inPipe[1]);
    }
    if (options.captureStderr && pipe2(errPipe, O_CLOEXEC) == 0) {
        stderr_.Reset(errPipe[0]);
        errWrite.Reset(errPipe[1]);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDOUT_FILENO);
    if (inRead.Valid()) {
        posix_spawn_file_actions_adddup2(&actions, inRead.Get(), STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    if (errWrite.Valid()) {
        posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), STDERR_FILENO);
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::string_view(*e).rfind("ASAN_OPTIONS=", 0) != 0) {
            env.emplace_back(*e);
        }
    }
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::string asanOptions = asan ? asan : "";
    if (!options.checkLeaks) {
        asanOptions += std::string(asanOptions.empty() ? "" : ":") + "detect_leaks=0";
    }
    if (!asanOptions.empty()) {
        env.push_back("ASAN_OPTIONS=" + asanOptions);
    }
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    int rc = posix_spawn(&pid_, SimPath(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    // Only the child may hold the other pipe ends, or EOF never comes.
    outWrite.Reset();
    inRead.Reset();
    errWrite.Reset();
    if (rc != 0) {
        pid_ = -1;
        return;
    }

    // Sanitizer start-up makes the first line take a moment; 10 s is far beyond it.
    std::string line;
    if (!ReadLine(stdout_.Get(), &stdoutBuffer_, &line, 10000)) {
        return;
    }
    readyLine_ = line;
    if (std::sscanf(line.c_str(), "tsg-sim ready cti=%d relay=%d control=%d", &ctiPort, &relayPort, &controlPort)
        == 3) {
        ready_ = true;
    }
}

Sim::~Sim()
{
    if (pid_ > 0 && !exited_) {
        if (!Stop(SIGTERM, 5000)) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
}

bool Sim::ReadLine(int fd, std::string* buffer, std::string* line, int timeoutMs)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::size_t nl = buffer->find('\n');
        if (nl != std::string::npos) {
            *line = buffer->substr(0, nl);
            buffer->erase(0, nl + 1);
            return true;
        }
        ReadResult r = ReadOnce(fd, RemainingMs(deadline));
        if (r.status != ReadStatus::Data) {
            return false;
        }
        *buffer += r.data;
    }
}

std::string Sim::Log() const
{
    std::ifstream in(LogPath(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool Sim::WaitForLog(std::string_view needle, int timeoutMs) const
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (Log().find(needle) != std::string::npos) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int Sim::ControlFd()
{
    if (!control_.Valid() && ready_) {
        control_ = Connect(controlPort);
    }
    return control_.Get();
}

std::string Sim::Command(std::string_view line, int timeoutMs)
{
    int fd = ControlFd();
    if (fd < 0 || !SendAll(fd, std::string(line) + "\n")) {
        return "";
    }
    std::string reply;
    if (!ReadLine(fd, &controlBuffer_, &reply, timeoutMs)) {
        return "";
    }
    return reply;
}

std::string Sim::StdoutLine(int timeoutMs)
{
    std::string line;
    return ReadLine(stdout_.Get(), &stdoutBuffer_, &line, timeoutMs) ? line : std::string();
}

std::string Sim::Stderr()
{
    if (!stderr_.Valid()) {
        return "";
    }
    bool eof = false;
    return ReadUpTo(stderr_.Get(), 1 << 20, 2000, &eof);
}

std::optional<int> Sim::WaitExit(int timeoutMs)
{
    if (exited_) {
        return exitCode_;
    }
    if (pid_ <= 0) {
        return std::nullopt;
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            exited_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitCode_;
        }
        if (r < 0 || Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::optional<int> Sim::Stop(int signal, int timeoutMs)
{
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, signal);
    }
    return WaitExit(timeoutMs);
}

} // namespace tsgsim_test
