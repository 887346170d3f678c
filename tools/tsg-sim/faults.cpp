#include "faults.h"

#include "text.h"

namespace tsgsim {

namespace {

struct ModeInfo {
    const char* name;
    FaultMode mode;
    int minArgs;
    int maxArgs;
};

constexpr ModeInfo kModes[] = {
    {"normal", FaultMode::Normal, 0, 0},   {"noanswer", FaultMode::NoAnswer, 0, 0},
    {"late", FaultMode::Late, 1, 1},       {"split", FaultMode::Split, 0, 1},
    {"close", FaultMode::Close, 0, 0},     {"garbage", FaultMode::Garbage, 0, 0},
    {"noread", FaultMode::NoRead, 0, 0},   {"big", FaultMode::Big, 1, 1},
    {"answer", FaultMode::Answer, 1, 1},
};

constexpr long long kMaxDelayMs = 3600LL * 1000;
constexpr long long kMaxBigBytes = 64LL << 20;
constexpr long long kDefaultSplitMs = 50;

const char* ModeName(FaultMode mode)
{
    for (const auto& m : kModes) {
        if (m.mode == mode) {
            return m.name;
        }
    }
    return "?";
}

} // namespace

std::optional<FaultRule> ParseFaultRule(const std::vector<std::string_view>& words, std::string* error)
{
    auto fail = [&](std::string why) -> std::optional<FaultRule> {
        if (error) {
            *error = std::move(why);
        }
        return std::nullopt;
    };
    if (words.size() < 2) {
        return fail("usage: fault <word|*> <mode> [args] [once]");
    }
    FaultRule rule;
    rule.word = std::string(words[0]);
    std::vector<std::string_view> args(words.begin() + 2, words.end());
    if (!args.empty() && args.back() == "once") {
        rule.fault.once = true;
        args.pop_back();
    }
    const ModeInfo* info = nullptr;
    for (const auto& m : kModes) {
        if (words[1] == m.name) {
            info = &m;
        }
    }
    if (!info) {
        return fail("unknown fault mode '" + std::string(words[1])
                    + "' (normal noanswer late split close garbage noread big answer)");
    }
    if (static_cast<int>(args.size()) < info->minArgs || static_cast<int>(args.size()) > info->maxArgs) {
        return fail(std::string("wrong arguments for ") + info->name);
    }
    rule.fault.mode = info->mode;
    switch (info->mode) {
    case FaultMode::Late:
    case FaultMode::Split: {
        if (args.empty()) {
            rule.fault.arg = kDefaultSplitMs;
            break;
        }
        auto ms = ParseInt(args[0], 0, kMaxDelayMs);
        if (!ms) {
            return fail("bad delay '" + std::string(args[0]) + "' (0.." + std::to_string(kMaxDelayMs) + " ms)");
        }
        rule.fault.arg = *ms;
        break;
    }
    case FaultMode::Big: {
        auto n = ParseInt(args[0], 0, kMaxBigBytes);
        if (!n) {
            return fail("bad size '" + std::string(args[0]) + "' (0.." + std::to_string(kMaxBigBytes) + ")");
        }
        rule.fault.arg = *n;
        break;
    }
    case FaultMode::Answer: {
        std::string err;
        auto text = Unescape(args[0], &err);
        if (!text) {
            return fail("bad answer text: " + err);
        }
        rule.fault.text = std::move(*text);
        break;
    }
    case FaultMode::NoRead:
        if (rule.word != "*") {
            return fail("noread works only for '*': the command word is unknown until the request is read");
        }
        break;
    default:
        break;
    }
    if (rule.fault.mode == FaultMode::Normal && rule.fault.once) {
        return fail("normal cannot be once");
    }
    return rule;
}

std::string DescribeFault(const Fault& fault)
{
    std::string out = ModeName(fault.mode);
    switch (fault.mode) {
    case FaultMode::Late:
    case FaultMode::Split:
    case FaultMode::Big:
        out += ":" + std::to_string(fault.arg);
        break;
    case FaultMode::Answer:
        out += ":\"" + EscapeBytes(fault.text) + "\"";
        break;
    default:
        break;
    }
    if (fault.once) {
        out += ":once";
    }
    return out;
}

void FaultTable::Set(FaultRule rule)
{
    if (rule.word == "*" && rule.fault.mode == FaultMode::Normal) {
        faults_.clear();
        return;
    }
    faults_[rule.word] = std::move(rule.fault);
}

Fault FaultTable::TakeForRequest(std::string_view word)
{
    auto it = faults_.find(word);
    if (it == faults_.end()) {
        it = faults_.find("*");
    }
    if (it == faults_.end() || it->second.mode == FaultMode::NoRead) {
        return {};
    }
    Fault fault = it->second;
    if (fault.once) {
        faults_.erase(it);
    }
    return fault;
}

bool FaultTable::TakeNoRead()
{
    auto it = faults_.find("*");
    if (it == faults_.end() || it->second.mode != FaultMode::NoRead) {
        return false;
    }
    if (it->second.once) {
        faults_.erase(it);
    }
    return true;
}

std::string FaultTable::Describe() const
{
    if (faults_.empty()) {
        return "none";
    }
    std::string out;
    for (const auto& [word, fault] : faults_) {
        if (!out.empty()) {
            out += ";";
        }
        out += EscapeBytes(word) + "=" + DescribeFault(fault);
    }
    return out;
}

} // namespace tsgsim
