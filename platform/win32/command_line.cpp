#include "platform/win32/command_line.h"

#include <vector>

namespace fon::win32 {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits into words: blanks separate, double quotes group (and are removed).
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == '"') {
        quoted = !quoted;
      } else {
        word += line[i];
      }
    }
    words.push_back(word);
  }
  return words;
}

}  // namespace

namespace {

std::string OptionValue(const std::string& commandLine, const char* option) {
  std::vector<std::string> words = Words(commandLine);
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] == option) return words[i + 1];
  }
  return std::string();
}

}  // namespace

std::string LogFileOption(const std::string& commandLine) { return OptionValue(commandLine, "--log"); }

std::string LinkOption(const std::string& commandLine) { return OptionValue(commandLine, "--link"); }

}  // namespace fon::win32
