// The dial-out hotkey: the selection of the foreground application reaches
// the client through the clipboard, whose text is given back afterwards.
#include <optional>

#include "app/main_frame.h"

using namespace fon;

namespace {

// Time for the hotkey's own keys to be released before the copy strokes,
// and for the foreground application to answer them.
constexpr unsigned kBeforeCopyMs = 50;
constexpr unsigned kAfterCopyMs = 500;

}  // namespace

void CMainFrame::OnHotKey(int id) {
  if (id != ID_HOTKEY_DIALOUT) return;
  IClipboard& clipboard = platform_.Clipboard();

  // Keep the user's text and empty the clipboard, so that what is there
  // after the copy strokes is the selection. A clipboard held by another
  // program is left alone; an empty text is given back later.
  std::string saved;
  if (clipboard.Open()) {
    saved = clipboard.GetText().value_or(std::string());
    clipboard.Empty();
    clipboard.Close();
  }

  platform_.Loop().Sleep(kBeforeCopyMs);
  platform_.Input().SendCopyKeys();
  platform_.Loop().Sleep(kAfterCopyMs);

  // The clipboard stays open while the number is dialled, so that no other
  // program changes it meanwhile.
  bool opened = clipboard.Open();
  std::optional<std::string> selection = opened ? clipboard.GetText() : std::nullopt;
  m_bHotkeyDialout = 1;
  Debug("Hotkey selection: " + selection.value_or(std::string()) + "\n");
  RunDialoutDialog(selection.value_or(std::string()));
  m_bHotkeyDialout = 0;
  if (opened) clipboard.Close();

  if (clipboard.Open()) {
    clipboard.Empty();
    clipboard.SetText(saved);
    clipboard.Close();
  }
}
