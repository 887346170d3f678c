#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tsgsim {

enum class FaultMode {
    Normal,    // answer as the users file says
    NoAnswer,  // read the request, never answer
    Late,      // answer after arg milliseconds
    Split,     // answer in two writes, arg milliseconds apart
    Close,     // read the request, close without answering
    Garbage,   // answer random bytes that are not a protocol answer
    NoRead,    // accept, never read (only for all commands: decided before any byte is known)
    Big,       // answer "+OK|" followed by arg filler bytes
    Answer,    // answer exactly `text`
};

struct Fault {
    FaultMode mode = FaultMode::Normal;
    long long arg = 0;
    std::string text;
    bool once = false;
};

struct FaultRule {
    std::string word;  // command word or "*"
    Fault fault;
};

// Parses the words after "fault": <word|*> <mode> [args] [once].
std::optional<FaultRule> ParseFaultRule(const std::vector<std::string_view>& words, std::string* error);

// Human-readable form without blanks, e.g. "late:2000:once".
std::string DescribeFault(const Fault& fault);

// Fault settings per command word, "*" for every command without its own.
class FaultTable {
public:
    // "* normal" clears every setting; "<word> normal" makes that word
    // answer normally even while "*" has a fault.
    void Set(FaultRule rule);

    // The fault for a request with this command word; a one-shot fault is
    // used up. A Normal result means no fault.
    Fault TakeForRequest(std::string_view word);

    // Whether a new relay connection must never be read ("*" noread).
    bool TakeNoRead();

    // "none" or "WORD=mode:args;..." without blanks.
    std::string Describe() const;

private:
    std::map<std::string, Fault, std::less<>> faults_;
};

} // namespace tsgsim
