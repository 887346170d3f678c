// The base of the modal command dialogs (login, registration, active
// profile, dial-out, configuration, exit warning): a skinned dialog over the
// hidden frame, run in a nested loop in which timers, sockets and the tray
// keep working, so that the frame may have to bring it to the front, replace
// it or cancel it from outside while it runs.
#pragma once

#include <memory>
#include <string>

#include "dialogs/dialog_host.h"
#include "platform/platform.h"

class CCommandDialog : public fon::TimerSink, public fon::IDialogEvents {
 public:
  CCommandDialog(IDialogHost& host, int templateId);
  virtual ~CCommandDialog();
  CCommandDialog(const CCommandDialog&) = delete;
  CCommandDialog& operator=(const CCommandDialog&) = delete;

  // Shows the dialog and returns once it has ended: kIdOk, kIdCancel, or -1
  // when the template could not be shown. Once only per object.
  int DoModal();
  // Between the start of DoModal and the end of the dialog.
  bool IsOpen() const { return open_; }
  void BringToFront();
  // Ends a running dialog as its Cancel button would, but nothing the user
  // typed is kept (the exit, or a dialog that replaces it).
  void Cancel();

  // ---- IDialogEvents
  void OnInitDialog() final;
  void OnCommand(int id) final;
  void OnSelectionChange(int id) override { (void)id; }
  // ---- TimerSink
  void OnTimer(unsigned id) override { (void)id; }

 protected:
  // The controls are there: fill them.
  virtual void OnInit() {}
  // Button 1 (or Enter). Ends the dialog with kIdOk unless overridden.
  virtual void OnOK() { EndDialog(fon::kIdOk); }
  // Button 2 (or Escape, or Cancel from outside).
  virtual void OnCancel() { EndDialog(fon::kIdCancel); }
  // Any other button or check box.
  virtual void OnClicked(int id) { (void)id; }
  // The dialog ends now (from any path): stop whatever it still waits for.
  virtual void OnEnd() {}

  void EndDialog(int code);
  // The title label, white on the dark band of the small skins.
  void SetTitleWhite(int labelId) { window_->SetLabelWhite(labelId, true); }
  // Labels changed or controls were switched on or off while shown: the
  // transparent labels need the whole dialog drawn again.
  void Redraw() { window_->RedrawNow(); }
  // Reads an integer field; a field that holds no integer is refused with
  // the message box and the focus back in it, and false is returned.
  bool ReadIntegerField(int id, int* value);

  IDialogHost& Host() { return host_; }
  fon::IDialogWindow& Window() { return *window_; }
  fon::IPlatform& Platform() { return host_.Platform(); }
  fon::SettingsStore& Settings() { return host_.Settings(); }
  void Debug(const std::string& text) { host_.Platform().Debug().Write(text); }
  std::string LangText(int id) { return host_.LoadLangText(id); }
  void InfoPopup(int textId) { host_.ShowInfoPopup(2, host_.LoadLangText(textId), 0); }

 private:
  IDialogHost& host_;
  const int templateId_;
  std::unique_ptr<fon::IDialogWindow> window_;
  bool open_ = false;
  bool ended_ = false;
};
