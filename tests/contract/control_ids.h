// The controls template of the dialog contract tests (the Win32 tests build
// it into their resources; the simulation needs no template).
#pragma once

#define IDD_CONTRACT_CONTROLS 902
#define IDC_CONTRACT_EDIT 1101
#define IDC_CONTRACT_LIST 1102
#define IDC_CONTRACT_CHECK 1103
#define IDC_CONTRACT_HOTKEY 1104
#define IDC_CONTRACT_BUTTON 1105
