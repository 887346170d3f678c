#include "relay_session.h"

#include "relay_logic.h"

namespace tsgsim {

namespace {

constexpr std::size_t kMaxRequestBytes = 64u << 10;  // one request

// How a request is answered under a fault: the parts of the answer, each at
// once or some milliseconds after the one before, or no answer at all.
struct PlannedPart {
    std::string bytes;
    std::string note;
    std::optional<long long> afterMs;
};

struct AnswerPlan {
    enum class End { Answer, Hold, Close };
    End end = End::Answer;
    std::vector<PlannedPart> parts;
};

using PlanFn = AnswerPlan (*)(const Fault& fault, std::string answer, std::mt19937& rng);

AnswerPlan AtOnce(const Fault&, std::string answer, std::mt19937&)
{
    return {AnswerPlan::End::Answer, {{std::move(answer), "", std::nullopt}}};
}

AnswerPlan Hold(const Fault&, std::string, std::mt19937&)
{
    return {AnswerPlan::End::Hold, {}};
}

AnswerPlan CloseUnanswered(const Fault&, std::string, std::mt19937&)
{
    return {AnswerPlan::End::Close, {}};
}

AnswerPlan Late(const Fault& fault, std::string answer, std::mt19937&)
{
    return {AnswerPlan::End::Answer,
            {{std::move(answer), " (late " + std::to_string(fault.arg) + " ms)", fault.arg}}};
}

AnswerPlan Split(const Fault& fault, std::string answer, std::mt19937&)
{
    if (answer.size() < 2) {
        return {AnswerPlan::End::Answer, {{std::move(answer), " (too short to split)", std::nullopt}}};
    }
    std::size_t half = answer.size() / 2;
    return {AnswerPlan::End::Answer,
            {{answer.substr(0, half), " (split, first half)", std::nullopt},
             {answer.substr(half), " (split, second half)", fault.arg}}};
}

AnswerPlan Garbage(const Fault&, std::string, std::mt19937& rng)
{
    // Random bytes that cannot pass for an answer: no '|' anywhere, and the
    // first byte is neither '+' nor '-'.
    std::uniform_int_distribution<int> length(8, 48);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string out;
    int n = length(rng);
    while (static_cast<int>(out.size()) < n) {
        char b = static_cast<char>(byte(rng));
        if (b == '|' || (out.empty() && (b == '+' || b == '-'))) {
            continue;
        }
        out += b;
    }
    return {AnswerPlan::End::Answer, {{std::move(out), " (fault garbage)", std::nullopt}}};
}

AnswerPlan Big(const Fault& fault, std::string, std::mt19937&)
{
    std::string big = "+OK|";
    big.reserve(big.size() + static_cast<std::size_t>(fault.arg));
    for (long long i = 0; i < fault.arg; ++i) {
        big += static_cast<char>('0' + i % 10);
    }
    return {AnswerPlan::End::Answer, {{std::move(big), " (fault big " + std::to_string(fault.arg) + ")", std::nullopt}}};
}

AnswerPlan Given(const Fault& fault, std::string, std::mt19937&)
{
    return {AnswerPlan::End::Answer, {{fault.text, " (fault answer)", std::nullopt}}};
}

// A new answer mode is a row here (and a word in the fault parser).
struct AnswerMode {
    FaultMode mode;
    PlanFn plan;
};

constexpr AnswerMode kAnswerModes[] = {
    {FaultMode::Normal, AtOnce},   {FaultMode::NoRead, AtOnce},          {FaultMode::NoAnswer, Hold},
    {FaultMode::Late, Late},       {FaultMode::Split, Split},            {FaultMode::Close, CloseUnanswered},
    {FaultMode::Garbage, Garbage}, {FaultMode::Big, Big},                {FaultMode::Answer, Given},
};

PlanFn PlanFor(FaultMode mode)
{
    for (const auto& m : kAnswerModes) {
        if (m.mode == mode) {
            return m.plan;
        }
    }
    return AtOnce;
}

} // namespace

RelaySession::RelaySession(RelayContext& context, std::uint64_t id, TimePoint now)
    : context_(context), id_(id), lastActivity_(now)
{
    if (context_.faults.TakeNoRead()) {
        phase_ = RelayPhase::NoRead;
        context_.log.Line("RELAY fault noread" + Tag() + ": request will not be read");
    }
}

RelayActions RelaySession::OnData(std::string_view data, TimePoint now)
{
    RelayActions out;
    if (phase_ == RelayPhase::Closed || phase_ == RelayPhase::NoRead) {
        return out;
    }
    lastActivity_ = now;
    if (phase_ != RelayPhase::Reading) {
        LogStray(data);
        return out;
    }
    std::size_t zero = data.find('\0');
    if (zero != std::string_view::npos) {
        request_.append(data.substr(0, zero + 1));
        std::string_view extra = data.substr(zero + 1);
        Complete(now, out);
        if (!extra.empty() && phase_ != RelayPhase::Closed) {
            LogStray(extra);
        }
        return out;
    }
    request_.append(data);
    if (request_.size() >= kMaxRequestBytes) {
        context_.log.Line("RELAY request" + Tag() + " reached " + std::to_string(kMaxRequestBytes)
                          + " bytes without zero byte; taking it as it is");
        Complete(now, out);
    }
    return out;
}

RelayActions RelaySession::OnReadsDone(TimePoint now)
{
    RelayActions out;
    if (phase_ == RelayPhase::Reading && !request_.empty()) {
        if (CompleteWithoutZero(request_)) {
            Complete(now, out);
        } else {
            silenceDeadline_ = now + Millis(context_.silenceMs);
        }
    }
    return out;
}

RelayActions RelaySession::OnPeerEnd(TimePoint now)
{
    RelayActions out;
    readClosed_ = true;
    switch (phase_) {
    case RelayPhase::Reading:
        if (request_.empty()) {
            Close("by client without a request", out);
            break;
        }
        context_.log.Line("RELAY client" + Tag() + " ended its sending side");
        Complete(now, out);
        break;
    case RelayPhase::Delayed:  // still owed an answer; ends once it has been sent
    case RelayPhase::Closed:
        break;
    default:
        Close("by client", out);
        break;
    }
    return out;
}

RelayActions RelaySession::OnHangup()
{
    RelayActions out;
    if (phase_ != RelayPhase::Closed) {
        Close(phase_ == RelayPhase::NoRead ? "by client; request never read" : "connection lost", out);
    }
    return out;
}

RelayActions RelaySession::OnTime(TimePoint now)
{
    RelayActions out;
    if (phase_ == RelayPhase::Reading && silenceDeadline_ && now >= *silenceDeadline_) {
        context_.log.Line("RELAY request" + Tag() + " has no zero byte; taking it after "
                          + std::to_string(context_.silenceMs) + " ms of silence");
        Complete(now, out);
        return out;
    }
    if (phase_ == RelayPhase::Delayed) {
        SendDueParts(now, out);
        return out;
    }
    if (phase_ != RelayPhase::Closed && now - lastActivity_ >= Millis(context_.idleMs)) {
        Close("after " + std::to_string(context_.idleMs) + " ms idle", out);
    }
    return out;
}

std::optional<TimePoint> RelaySession::NextDeadline() const
{
    switch (phase_) {
    case RelayPhase::Closed:
        return std::nullopt;
    case RelayPhase::Delayed:
        return parts_.empty() ? std::nullopt : parts_.front().due;
    default: {
        TimePoint idle = lastActivity_ + Millis(context_.idleMs);
        return silenceDeadline_ && *silenceDeadline_ < idle ? *silenceDeadline_ : idle;
    }
    }
}

void RelaySession::Complete(TimePoint now, RelayActions& out)
{
    silenceDeadline_.reset();
    ++context_.requests;
    context_.log.Line("RELAY request " + Quoted(request_) + Tag());

    std::string_view request = request_;
    if (!request.empty() && request.back() == '\0') {
        request.remove_suffix(1);
    }
    std::string word(CommandWord(request));
    Fault fault = context_.faults.TakeForRequest(word);
    // The request takes effect whatever happens to its answer: a lost answer
    // does not undo a forced profile on a real server either.
    RelayReply reply = AnswerRelayRequest(context_.users, request);
    if (!reply.note.empty()) {
        context_.log.Line("RELAY " + reply.note + Tag());
    }
    if (fault.mode != FaultMode::Normal) {
        context_.log.Line("RELAY fault " + DescribeFault(fault) + " for " + Quoted(word) + Tag());
    }

    std::string answer = reply.answer;
    AnswerPlan plan = PlanFor(fault.mode)(fault, std::move(reply.answer), context_.rng);
    switch (plan.end) {
    case AnswerPlan::End::Hold:
        phase_ = RelayPhase::Holding;
        context_.log.Line("RELAY not answering" + Tag() + " (answer would have been "
                          + Quoted(answer, kAnswerPreviewBytes) + ")");
        return;
    case AnswerPlan::End::Close:
        Close("without answer: fault close", out, true);
        return;
    case AnswerPlan::End::Answer:
        break;
    }
    TimePoint at = now;
    for (auto& part : plan.parts) {
        std::optional<TimePoint> due;
        if (part.afterMs) {
            at += Millis(*part.afterMs);
            due = at;
        }
        parts_.push_back({std::move(part.bytes), std::move(part.note), due});
    }
    SendDueParts(now, out);
}

void RelaySession::SendDueParts(TimePoint now, RelayActions& out)
{
    while (!parts_.empty() && (!parts_.front().due || *parts_.front().due <= now)) {
        AnswerPart part = std::move(parts_.front());
        parts_.pop_front();
        context_.log.Line("RELAY answer " + Quoted(part.bytes, kAnswerPreviewBytes) + Tag() + part.note);
        out.push_back({RelayAction::Kind::Send, std::move(part.bytes)});
        lastActivity_ = now;
    }
    phase_ = parts_.empty() ? RelayPhase::Answered : RelayPhase::Delayed;
}

void RelaySession::Close(std::string why, RelayActions& out, bool drainFirst)
{
    phase_ = RelayPhase::Closed;
    out.push_back({RelayAction::Kind::Close, std::move(why), drainFirst});
}

void RelaySession::LogStray(std::string_view data)
{
    if (auto text = stray_.Next(data)) {
        context_.log.Line("RELAY data after request" + Tag() + " " + *text + " (ignored)");
    }
}

} // namespace tsgsim
