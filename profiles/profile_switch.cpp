#include "profiles/profile_switch.h"

#include <utility>

const char* SwitchPurposeName(SwitchPurpose purpose) {
  switch (purpose) {
    case SwitchPurpose::kNone:
      return "none";
    case SwitchPurpose::kIdle:
      return "idle switch";
    case SwitchPurpose::kRestore:
      return "restore";
    case SwitchPurpose::kChoice:
      return "choice";
    case SwitchPurpose::kExit:
      return "exit";
    case SwitchPurpose::kSessionEnd:
      return "session end";
  }
  return "?";
}

void CProfileSwitch::Tell(SwitchPurpose purpose, SwitchOutcome outcome, const std::string& answer) {
  client_.OnSwitchDone(purpose, outcome, answer);
}

void CProfileSwitch::Request(SwitchPurpose purpose, UserRequest request, unsigned connectTimeoutMs) {
  Entry entry{purpose, std::move(request), connectTimeoutMs, true};
  // After the end profile nothing may change what the server forwards.
  if (Closed() && purpose <= closedBy_) {
    Tell(purpose, SwitchOutcome::kRefused);
    return;
  }
  if (current_.purpose == SwitchPurpose::kNone || purpose > current_.purpose) {
    Start(std::move(entry));
    return;
  }
  // Its turn comes when the request out has ended. One waits at a time:
  // the higher (or, of equal rank, the newer) of the two.
  if (waiting_ && waiting_->purpose > purpose) {
    Tell(purpose, SwitchOutcome::kRefused);
    return;
  }
  if (waiting_) Tell(waiting_->purpose, SwitchOutcome::kPreempted);
  waiting_ = std::move(entry);
}

bool CProfileSwitch::Claim(SwitchPurpose purpose) {
  if (Closed() && purpose <= closedBy_) return false;
  // The same dialog tries again: it still holds the switch.
  if (current_.purpose == purpose && !current_.viaChannel) return true;
  if (current_.purpose != SwitchPurpose::kNone && current_.purpose >= purpose) return false;
  Start(Entry{purpose, UserRequest{}, 0, false});
  return true;
}

void CProfileSwitch::Release(SwitchPurpose purpose) {
  if (current_.purpose != purpose || current_.viaChannel) return;
  current_ = Entry{};
  ++generation_;
  StartWaiting();
}

void CProfileSwitch::Preempt() {
  // The request out gives way: its answer or timeout may not arrive any
  // more, and its owner hears that it was overtaken.
  const SwitchPurpose old = current_.purpose;
  if (old == SwitchPurpose::kNone) return;
  if (current_.viaChannel) channel_.DropForce();
  current_ = Entry{};
  ++generation_;
  Tell(old, SwitchOutcome::kPreempted);
}

void CProfileSwitch::Start(Entry entry) {
  const SwitchPurpose purpose = entry.purpose;
  // The user's own choice and the exit make a waiting restore or idle
  // switch pointless: they would undo what was just decided.
  if (purpose >= SwitchPurpose::kChoice && waiting_) {
    const SwitchPurpose dropped = waiting_->purpose;
    waiting_.reset();
    Tell(dropped, SwitchOutcome::kPreempted);
  }
  Preempt();
  if (purpose >= SwitchPurpose::kExit) closedBy_ = purpose;
  current_ = std::move(entry);
  const unsigned generation = ++generation_;
  if (!current_.viaChannel) return;
  const bool sent = channel_.SendForce(current_.request, current_.connectTimeoutMs);
  // Overtaken while it was being connected: the newer request has told
  // this one's owner already.
  if (generation != generation_) return;
  if (!sent) Finish(SwitchOutcome::kNotSent, std::string());
}

void CProfileSwitch::StartWaiting() {
  if (current_.purpose != SwitchPurpose::kNone || !waiting_) return;
  Entry next = std::move(*waiting_);
  waiting_.reset();
  if (Closed() && next.purpose <= closedBy_) {
    Tell(next.purpose, SwitchOutcome::kRefused);
    return;
  }
  Start(std::move(next));
}

void CProfileSwitch::Finish(SwitchOutcome outcome, const std::string& answer) {
  const SwitchPurpose purpose = current_.purpose;
  current_ = Entry{};
  ++generation_;
  Tell(purpose, outcome, answer);
  StartWaiting();
}

void CProfileSwitch::OnAnswer(bool ok, const std::string& answer) {
  if (current_.purpose == SwitchPurpose::kNone || !current_.viaChannel) return;
  Finish(ok ? SwitchOutcome::kOk : SwitchOutcome::kError, answer);
}

void CProfileSwitch::OnFailure(bool timedOut) {
  if (current_.purpose == SwitchPurpose::kNone || !current_.viaChannel) return;
  Finish(timedOut ? SwitchOutcome::kTimedOut : SwitchOutcome::kNotSent, std::string());
}

void CProfileSwitch::ReopenAfterExit() {
  if (current_.purpose >= SwitchPurpose::kExit) return;
  closedBy_ = SwitchPurpose::kNone;
}
