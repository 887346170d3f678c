#include "calls/popup_speech.h"

#include "calls/quiet_hold.h"
#include "text_ids.h"

namespace fon {

namespace {

// An information text may run over several lines; a little more of it is read.
constexpr std::size_t kSpokenInfoChars = 600;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

PopupAccessibility WithButtons(const std::function<std::string(int)>& texts, std::string name, bool withInfo) {
  PopupAccessibility a;
  a.name = std::move(name);
  a.closeButton = texts(text::kAccessibleClose);
  if (withInfo) a.infoButton = texts(text::kAccessibleInfo);
  return a;
}

}  // namespace

std::string CleanForSpeech(const std::string& text, std::size_t limit) {
  std::string out = text.substr(0, limit);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return out;
}

PopupAccessibility CallAccessibility(const std::function<std::string(int)>& texts, bool lastCall,
                                     const std::string& callerName, const std::string& calledNo,
                                     const std::string& time, const std::string& redirInfo, bool withInfo) {
  const int entry = lastCall ? text::kAccessibleLastCall : text::kAccessibleCall;
  std::string name = FillTemplate(texts(entry), 0,
                                  {CleanForSpeech(callerName, kSpokenFieldChars),
                                   CleanForSpeech(calledNo, kSpokenFieldChars),
                                   Trimmed(CleanForSpeech(time, kSpokenFieldChars))});
  const std::string over = Trimmed(CleanForSpeech(redirInfo, kSpokenFieldChars));
  if (!over.empty()) name += FillTemplate(texts(text::kAccessibleOver), 0, {over});
  return WithButtons(texts, std::move(name), withInfo);
}

PopupAccessibility InfoAccessibility(const std::function<std::string(int)>& texts, const std::string& text,
                                     bool withInfo) {
  // Lines are read as one sentence: a line break is one space.
  std::string joined;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    joined += text[i];
  }
  return WithButtons(texts, texts(text::kInformationTitle) + ": " + Trimmed(CleanForSpeech(joined, kSpokenInfoChars)),
                     withInfo);
}

}  // namespace fon
