#include "app/exit_error_dlg.h"

#include "res/resource.h"
#include "text_ids.h"

using namespace fon;

CExitErrorDlg::CExitErrorDlg(IDialogHost& host) : CCommandDialog(host, IDD_EXIT_WARNING) {}

void CExitErrorDlg::OnInit() {
  SetTitleWhite(IDC_EXIT_TITLE);
  Window().SetItemText(IDC_EXIT_TITLE, LangText(text::kInformationCaption));
  Window().SetItemText(IDC_EXIT_TEXT, LangText(text::kExitWarning));
  Window().SetItemText(kIdOk, LangText(text::kOkButton));
  Window().SetItemText(kIdCancel, LangText(text::kAbortButton));
}
