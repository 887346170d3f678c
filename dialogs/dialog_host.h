// What a command dialog may ask of the main frame. The dialogs live in
// their own folders and know the frame only through this.
#pragma once

#include <string>

#include "platform/platform.h"
#include "settings/settings_store.h"

class IDialogHost {
 public:
  virtual fon::IPlatform& Platform() = 0;
  virtual fon::SettingsStore& Settings() = 0;
  // The owner window of the dialogs (the hidden frame).
  virtual fon::WindowHandle Handle() const = 0;
  // A text entry in the current language.
  virtual std::string LoadLangText(int id) = 0;
  // An information popup of `kind`; sticky until clicked when `sticky`.
  virtual void ShowInfoPopup(int kind, const std::string& text, int sticky) = 0;
  // The CTI link is up (and with it, most likely, the relay port).
  virtual bool IsCtiLinkUp() const = 0;
  // Starts connecting the CTI link again at once.
  virtual void ReconnectCtiPort() = 0;
  // A relay request is being prepared, connected or sent: while any is,
  // the tray menu waits.
  virtual void RaiseRelayBusy() = 0;
  virtual void LowerRelayBusy() = 0;

 protected:
  ~IDialogHost() = default;
};
