#include "logger.h"

#include <cerrno>
#include <cstring>

namespace tsgsim {

WallTime NowWall()
{
    WallTime t;
    clock_gettime(CLOCK_REALTIME, &t.ts);
    return t;
}

std::string FormatWall(const WallTime& t)
{
    std::tm local{};
    time_t seconds = t.ts.tv_sec;
    localtime_r(&seconds, &local);
    char buf[64];
    std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(buf + n, sizeof buf - n, ".%03ld", static_cast<long>(t.ts.tv_nsec / 1000000));
    return buf;
}

long long EpochMs(const WallTime& t)
{
    return static_cast<long long>(t.ts.tv_sec) * 1000 + t.ts.tv_nsec / 1000000;
}

Logger::Logger() = default;

Logger::Logger(std::string* capture) : capture_(capture) {}

std::optional<Logger> Logger::OpenFile(const std::string& path, std::string* error)
{
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (!f) {
        if (error) {
            *error = "cannot open log file " + path + ": " + std::strerror(errno);
        }
        return std::nullopt;
    }
    Logger logger;
    logger.file_.reset(f);
    return logger;
}

void Logger::Line(std::string_view text)
{
    LineAt(NowWall(), text);
}

void Logger::LineAt(const WallTime& when, std::string_view text)
{
    std::string line = FormatWall(when);
    line += ' ';
    line += text;
    line += '\n';
    if (capture_) {
        *capture_ += line;
        return;
    }
    std::FILE* out = file_ ? file_.get() : stderr;
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
}

} // namespace tsgsim
