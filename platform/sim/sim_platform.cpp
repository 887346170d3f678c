#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace fon::sim {
namespace {

struct StringRow {
  int id;
  const char* text;
};

// The same bytes the executable's string table holds.
constexpr StringRow kStringTable[] = {
#include "res/string_table.inc"
};

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorMoreData = 234;

}  // namespace

// ------------------------------------------------------------ timers ------

void SimTimers::Arm(TimerSink* sink, unsigned id) {
  auto key = std::make_pair(sink, id);
  Entry& e = timers_[key];
  e.ticket = loop_.Schedule(e.interval, [this, sink, id]() {
    auto it = timers_.find({sink, id});
    if (it == timers_.end()) return;
    Arm(sink, id);  // re-arm first: the handler may kill or restart it
    sink->OnTimer(id);
  });
}

void SimTimers::SetTimer(TimerSink* sink, unsigned id, unsigned ms) {
  KillTimer(sink, id);
  // Windows raises intervals below its timer resolution.
  timers_[{sink, id}] = Entry{std::max(ms, 10u), 0};
  Arm(sink, id);
}

void SimTimers::KillTimer(TimerSink* sink, unsigned id) {
  auto it = timers_.find({sink, id});
  if (it == timers_.end()) return;
  loop_.Cancel(it->second.ticket);
  timers_.erase(it);
}

void SimTimers::KillAllTimers(TimerSink* sink) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->first.first == sink) {
      loop_.Cancel(it->second.ticket);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

bool SimTimers::IsTimerRunning(TimerSink* sink, unsigned id) const { return timers_.count({sink, id}) != 0; }

unsigned SimTimers::Interval(TimerSink* sink, unsigned id) const {
  auto it = timers_.find({sink, id});
  return it == timers_.end() ? 0 : it->second.interval;
}

// ---------------------------------------------------------- registry ------

std::string SimRegistry::Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

long SimRegistry::CreateKey(const std::string& path) {
  std::string key = Lower(path);
  if (denied_.count(key)) return kErrorAccessDenied;
  keys_[key];
  return 0;
}

long SimRegistry::OpenKey(const std::string& path) {
  std::string key = Lower(path);
  if (denied_.count(key)) return kErrorAccessDenied;
  return keys_.count(key) ? 0 : kErrorFileNotFound;
}

long SimRegistry::QueryValue(const std::string& path, const std::string& name, std::uint32_t* type,
                             std::string* data, std::size_t bufferSize) {
  long rc = OpenKey(path);
  if (rc != 0) return rc;
  auto& values = keys_[Lower(path)];
  auto it = values.find(Lower(name));
  if (it == values.end()) return kErrorFileNotFound;
  *type = it->second.type;
  if (it->second.data.size() > bufferSize) return kErrorMoreData;
  *data = it->second.data;
  return 0;
}

long SimRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                           const std::string& data) {
  long rc = OpenKey(path);
  if (rc != 0) return rc;
  keys_[Lower(path)][Lower(name)] = Value{type, data};
  return 0;
}

void SimRegistry::SetString(const std::string& path, const std::string& name, const std::string& text) {
  keys_[Lower(path)][Lower(name)] = Value{kRegSz, text + '\0'};
}

void SimRegistry::SetDword(const std::string& path, const std::string& name, std::int32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  keys_[Lower(path)][Lower(name)] = Value{kRegDword, data};
}

std::optional<std::string> SimRegistry::GetString(const std::string& path, const std::string& name) const {
  auto k = keys_.find(Lower(path));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(Lower(name));
  if (v == k->second.end() || (v->second.type != kRegSz && v->second.type != kRegExpandSz)) return std::nullopt;
  return std::string(v->second.data.c_str());
}

std::optional<std::int32_t> SimRegistry::GetDword(const std::string& path, const std::string& name) const {
  auto k = keys_.find(Lower(path));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(Lower(name));
  if (v == k->second.end() || v->second.type != kRegDword || v->second.data.size() != 4) return std::nullopt;
  std::int32_t value = 0;
  std::memcpy(&value, v->second.data.data(), 4);
  return value;
}

bool SimRegistry::HasKey(const std::string& path) const { return keys_.count(Lower(path)) != 0; }

// ------------------------------------------------------------- shell ------

SimShell::~SimShell() {
  for (const auto& name : ownMutexes_) desktop_->mutexes.erase(name);
}

bool SimShell::NotifyIcon(int message, int iconResource, const std::string& tip) {
  // The shell keeps at most 63 characters of a tip.
  std::string cut = tip.substr(0, 63);
  trayCalls.push_back({message, iconResource, cut});
  if (failNextNotify || shellUnavailable) {
    failNextNotify = false;
    return false;
  }
  // One icon id per window: an add while an icon exists fails, as does a
  // delete without one.
  bool exists = !trayIcons.empty();
  if (message == kTrayAdd) {
    if (exists) return false;
    trayIcons[iconResource] = {message, iconResource, cut};
    return true;
  }
  if (message == kTrayDelete) {
    if (!exists) return false;
    trayIcons.clear();
    return true;
  }
  if (!exists) return false;
  trayIcons.clear();
  trayIcons[iconResource] = {message, iconResource, cut};
  return true;
}

bool SimShell::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  for (const auto& [otherId, combo] : desktop_->hotkeysTakenByOthers) {
    (void)otherId;
    if (combo.first == modifiers && combo.second == virtualKey) return false;
  }
  if (hotkeys.count(id)) return false;
  hotkeys[id] = {modifiers, virtualKey};
  return true;
}

int SimShell::TrackTrayMenu(int menuResource, Point at) {
  menusShown.push_back({menuResource, at});
  if (menuScript.empty()) return 0;
  auto answer = std::move(menuScript.front());
  menuScript.pop_front();
  return answer();
}

bool SimShell::CreateInstanceMutex(const std::string& name) {
  if (desktop_->mutexes.count(name)) return true;
  desktop_->mutexes.insert(name);
  ownMutexes_.insert(name);
  return false;
}

std::string SimShell::LoadString(int id) {
  auto extra = extraStrings.find(id);
  if (extra != extraStrings.end()) return extra->second;
  for (const auto& row : kStringTable)
    if (row.id == id) return row.text;
  return std::string();
}

// ------------------------------------------------------------- debug ------

bool SimDebug::Contains(const std::string& text) const { return Count(text) > 0; }

int SimDebug::Count(const std::string& text) const {
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

// ------------------------------------------------------------ popups ------

SimPopupWindow::SimPopupWindow(std::shared_ptr<SimPopupRecord> record, IPopupEvents* events)
    : record_(std::move(record)) {
  record_->events = events;
}

SimPopupWindow::~SimPopupWindow() {
  record_->alive = false;
  record_->visible = false;
  record_->events = nullptr;
}

bool SimPopupWindow::LoadSkin(int bitmap, int* width, int* height) {
  static const int kSkins[] = {143, 193, 191, 186, 195, 196, 201, 199, 200, 194,
                               203, 209, 206, 204, 212, 210, 208, 205, 207, 211};
  if (std::find(std::begin(kSkins), std::end(kSkins), bitmap) == std::end(kSkins)) return false;
  record_->skin = bitmap;
  *width = 213;
  *height = 120;
  return true;
}

void SimPopupWindow::SetLook(const PopupLook& look) { record_->look = look; }

void SimPopupWindow::Place(int x, int y, int width, int height) {
  record_->rect = Rect{x, y, x + width, y + height};
  record_->placements.push_back(record_->rect);
}

void SimPopupWindow::ShowNoActivate() {
  record_->visible = true;
  ++record_->showCount;
}

void SimPopupWindow::Hide() { record_->visible = false; }

void SimPopupWindow::Redraw() { ++record_->redraws; }

WindowHandle SimPopupWindow::Handle() const { return record_->handle; }

// ----------------------------------------------------------- dialogs ------

SimDialogWindow::SimDialogWindow(SimPlatform& platform, std::shared_ptr<SimDialogRecord> record,
                                 IDialogEvents* events)
    : platform_(platform), record_(std::move(record)) {
  record_->events = events;
}

SimDialogWindow::~SimDialogWindow() {
  record_->destroyed = true;
  record_->visible = false;
  record_->events = nullptr;
}

bool SimDialogWindow::CreateModeless(int templateId, WindowHandle /*parent*/) {
  record_->templateId = templateId;
  record_->created = true;
  if (record_->events) record_->events->OnInitDialog();
  return true;
}

int SimDialogWindow::DoModal(int templateId, WindowHandle /*parent*/) {
  record_->templateId = templateId;
  record_->created = true;
  record_->modal = true;
  record_->visible = true;
  std::shared_ptr<SimDialogRecord> record = record_;
  if (record->events) record->events->OnInitDialog();
  auto script = platform_.modalScripts.find(templateId);
  if (script != platform_.modalScripts.end()) {
    script->second(*record);
  } else {
    record->Press(kIdCancel);
  }
  // The dialog's own modal loop: timers and sockets keep running.
  if (!platform_.loop.RunUntil([record]() { return record->ended; })) {
    if (!record->ended) return -1;
  }
  record->visible = false;
  return record->endCode;
}

void SimDialogWindow::EndDialog(int code) {
  record_->ended = true;
  record_->endCode = code;
  record_->visible = false;
}

void SimDialogWindow::SetItemText(int id, const std::string& text) { record_->items[id] = text; }

std::string SimDialogWindow::GetItemText(int id) { return record_->items[id]; }

void SimDialogWindow::SetLabelWhite(int id, bool white) {
  if (white)
    record_->whiteLabels.insert(id);
  else
    record_->whiteLabels.erase(id);
}

void SimDialogWindow::Center() { record_->centered = true; }

void SimDialogWindow::Show(bool visible) { record_->visible = visible; }

void SimDialogWindow::RedrawNow() { ++record_->redraws; }

void SimDialogWindow::BringToFront() { ++record_->broughtToFront; }

void SimDialogWindow::Destroy() {
  record_->destroyed = true;
  record_->visible = false;
}

WindowHandle SimDialogWindow::Handle() const { return record_->handle; }

// ---------------------------------------------------------- platform ------

SimPlatform::SimPlatform(std::shared_ptr<SimDesktop> desktop) : shell(std::move(desktop)) {}

std::unique_ptr<IFrameWindow> SimPlatform::CreateFrameWindow(IFrameEvents* events) {
  auto window = std::make_unique<SimFrameWindow>(loop, events);
  frame = window.get();
  return window;
}

std::unique_ptr<IPopupWindow> SimPlatform::CreatePopupWindow(IPopupEvents* events, WindowHandle /*parent*/) {
  auto record = std::make_shared<SimPopupRecord>();
  record->handle = NewHandle();
  popups.push_back(record);
  return std::make_unique<SimPopupWindow>(record, events);
}

std::unique_ptr<IDialogWindow> SimPlatform::CreateDialogWindow(IDialogEvents* events) {
  auto record = std::make_shared<SimDialogRecord>();
  record->handle = NewHandle();
  dialogs.push_back(record);
  return std::make_unique<SimDialogWindow>(*this, record, events);
}

std::vector<std::shared_ptr<SimPopupRecord>> SimPlatform::VisiblePopups() const {
  std::vector<std::shared_ptr<SimPopupRecord>> out;
  for (const auto& p : popups)
    if (p->alive && p->visible) out.push_back(p);
  return out;
}

}  // namespace fon::sim
