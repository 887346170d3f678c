// Resource ids of the Win32 layer tests.
#pragma once

#define IDI_TEST_TRAY 960
#define IDB_TEST_POPUP 940
#define IDB_TEST_DIALOG 941
// The popup skin "drawn for 150 %" (res/display_scales.h): told apart by its size.
#define IDB_TEST_POPUP_150 2940
#define IDS_TEST_TEXT 950
#define IDM_TEST_MENU 930
#define IDD_TEST_SKINNED 901
// The wait notice's template id: the one dialog that is not dragged.
#define IDD_TEST_FIXED 110

#define IDC_TEST_BACKGROUND 1000
#define IDC_TEST_WHITE_LABEL 1001
#define IDC_TEST_BLACK_LABEL 1002
#define IDC_TEST_EDIT 1003
#define IDC_TEST_BUTTON 1004
#define IDC_TEST_COMBO 1005
