#pragma once

#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tsgsim {

// A wall-clock instant, taken once and used for both the readable timestamp
// and the epoch milliseconds of a log line.
struct WallTime {
    timespec ts{};
};

WallTime NowWall();
std::string FormatWall(const WallTime& t);  // "2026-12-08 17:45:01.123", local time
long long EpochMs(const WallTime& t);

// One line per happening, each prefixed with its timestamp, flushed at once so
// that a test can read the file while the simulator runs.
class Logger {
public:
    // Logs to stderr.
    Logger();
    // Appends the lines to *capture instead (tests read what was logged).
    explicit Logger(std::string* capture);
    // Appends to the file; nullopt when it cannot be opened.
    static std::optional<Logger> OpenFile(const std::string& path, std::string* error);

    void Line(std::string_view text);
    void LineAt(const WallTime& when, std::string_view text);

private:
    struct FileCloser {
        void operator()(std::FILE* f) const
        {
            if (f) {
                std::fclose(f);
            }
        }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;  // empty: stderr
    std::string* capture_ = nullptr;
};

} // namespace tsgsim
