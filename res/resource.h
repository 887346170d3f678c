/* Resource ids of fonaris.exe.
 *
 * Plain preprocessor definitions only: this header is read by the resource
 * compiler (fonaris.rc), by the resource generator and by C++ code.
 */
#ifndef FONARIS_RES_RESOURCE_H
#define FONARIS_RES_RESOURCE_H

/* Application icon. */
#define IDI_APP                   128

/* Tray icons, one per tray state. */
#define IDI_TRAY_OFFLINE          165
#define IDI_TRAY_AWAY             167
#define IDI_TRAY_ONLINE           168

/* Tray menus: one pop-up "Tray menu" each, German and English. */
#define IDR_TRAYMENU_DE           130
#define IDR_TRAYMENU_EN           131

/* Tray menu commands (same ids in both menus). */
#define ID_MENU_EXIT              32780
#define ID_MENU_CONFIG            32783
#define ID_MENU_DIALOUT           32785
#define ID_MENU_LOGIN             32788
/* Recent calls sub-menu: the placeholder, and one command per call. */
#define ID_MENU_RECENT_NONE       32799
#define ID_MENU_RECENT_FIRST      32800
#define ID_MENU_RECENT_LAST       32819

/* Command dialogs (dialogs.rc).  Control ids repeat between dialogs; each
 * dialog's controls carry that dialog's prefix.  Buttons are IDOK/IDCANCEL. */

/* Dial-out dialog. */
#define IDD_DIALOUT               107
#define IDC_DIALOUT_CALLER_LABEL  1011
#define IDC_DIALOUT_CALLED_LABEL  1012
#define IDC_DIALOUT_TITLE         1013
#define IDC_DIALOUT_CALLER        1014  /* editable: any number may be typed */
#define IDC_DIALOUT_CALLED        1015
#define IDC_DIALOUT_CALLER_LIST   1016  /* list only: one of the devices; same place as 1014 */
#define IDC_DIALOUT_BACKGROUND    1077

/* User-id registration at start-up. */
#define IDD_REGISTER              108
#define IDC_REGISTER_USER         1016
#define IDC_REGISTER_PASSWORD     1017
#define IDC_REGISTER_SERVER       1018
#define IDC_REGISTER_PORT         1019
#define IDC_REGISTER_USER_LABEL   1050
#define IDC_REGISTER_PASSWORD_LABEL 1051
#define IDC_REGISTER_SERVER_LABEL 1052
#define IDC_REGISTER_PORT_LABEL   1053
#define IDC_REGISTER_TITLE        1054
#define IDC_REGISTER_INTRO        1062
#define IDC_REGISTER_SERVER_HINT  1063

/* Wait-for-connect notice. */
#define IDD_WAIT                  110
#define IDC_WAIT_TEXT             1061

/* Active forced profile. */
#define IDD_ACTIVE_PROFILE        111
#define IDC_ACTIVE_NAME           1016  /* read-only */
#define IDC_ACTIVE_TITLE          1053
#define IDC_ACTIVE_CHOICE         1063
#define IDC_ACTIVE_TEXT           1073
#define IDC_ACTIVE_HINT           1074

/* Configuration. */
#define IDD_CONFIG                133
#define IDC_CONFIG_SERVER         1001
#define IDC_CONFIG_CTI_PORT       1002
#define IDC_CONFIG_IDLE_MINUTES   1004
#define IDC_CONFIG_DISPLAY_TIME   1006
#define IDC_CONFIG_RELAY_PORT     1008
#define IDC_CONFIG_NUMBER         1009  /* editable: device mode 1 */
#define IDC_CONFIG_WEBSITE        1010
#define IDC_CONFIG_NUMBER_LIST    1011  /* list only: device mode 0; same place as 1009 */
#define IDC_CONFIG_HOTKEY         1049
#define IDC_CONFIG_SERVER_LABEL   1051
#define IDC_CONFIG_CTI_PORT_LABEL 1052
#define IDC_CONFIG_RELAY_PORT_LABEL 1054
#define IDC_CONFIG_WEBSITE_LABEL  1057
#define IDC_CONFIG_HOTKEY_LABEL   1058
#define IDC_CONFIG_DISPLAY_TIME_LABEL 1059
#define IDC_CONFIG_NUMBER_LABEL   1060
#define IDC_CONFIG_LANGUAGE_LABEL 1061
#define IDC_CONFIG_IDLE_MINUTES_LABEL 1062
#define IDC_CONFIG_LANGUAGE       1063
#define IDC_CONFIG_SHOW_CALLS_LABEL 1064
#define IDC_CONFIG_IDLE_CHECK     1065
#define IDC_CONFIG_AUTOSTART_LABEL 1066  /* plain static, not transparent */
#define IDC_CONFIG_END_PROFILE_CHECK 1068
#define IDC_CONFIG_IDLE_PROFILE_LABEL 1070
#define IDC_CONFIG_IDLE_PROFILE   1071
#define IDC_CONFIG_END_PROFILE    1073
#define IDC_CONFIG_IDLE_LABEL     1074
#define IDC_CONFIG_END_PROFILE_LABEL 1075
#define IDC_CONFIG_TITLE          1076
#define IDC_CONFIG_SHOW_CALLS     1077  /* enabled at run time only when allowed */
#define IDC_CONFIG_BACKGROUND     1078
#define IDC_CONFIG_AUTOSTART      1079
#define IDC_CONFIG_AWAY_ON_LOCK   1080  /* options below the original set */
#define IDC_CONFIG_AWAY_ON_LOCK_LABEL 1081
#define IDC_CONFIG_PHONE_LINKS    1082
#define IDC_CONFIG_PHONE_LINKS_LABEL 1083
#define IDC_CONFIG_QUIET          1084
#define IDC_CONFIG_QUIET_LABEL    1085
#define IDC_CONFIG_PHONE_LINKS_ELSEWHERE 1086  /* shown when another program has tel: */
#define IDC_CONFIG_DEFAULT_APPS   1087

/* Exit warning. */
#define IDD_EXIT_WARNING          181
#define IDC_EXIT_TEXT             1062
#define IDC_EXIT_TITLE            1078

/* Login from the tray menu. */
#define IDD_LOGIN                 183
#define IDC_LOGIN_USER            1016
#define IDC_LOGIN_PASSWORD        1017
#define IDC_LOGIN_USER_LABEL      1050
#define IDC_LOGIN_PASSWORD_LABEL  1051
#define IDC_LOGIN_TITLE           1054

#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif

/* Message boxes of a failed start (plain texts, no language markers). */
#define IDS_OLE_INIT_FAILED       100
#define IDS_SOCKETS_INIT_FAILED   103

/* Bilingual texts: "German|1|English|2", ids 173 to 247. */
#define IDS_LANG_FIRST            173
#define IDS_LANG_LAST             260

/* Call popup skins, 213 x 120, without the "Info" button. */
#define IDB_SKIN_DEFAULT          143
#define IDB_SKIN_RED              193
#define IDB_SKIN_GREEN            191
#define IDB_SKIN_BLUE             186
#define IDB_SKIN_YELLOW           195
#define IDB_SKIN_TEAL             196
#define IDB_SKIN_ORANGE           201
#define IDB_SKIN_BROWN            199
#define IDB_SKIN_GREY             200
#define IDB_SKIN_VIOLET           194

/* Call popup skins with the "Info" button (a CRM address is configured). */
#define IDB_SKIN_DEFAULT_INFO     203
#define IDB_SKIN_RED_INFO         209
#define IDB_SKIN_GREEN_INFO       206
#define IDB_SKIN_BLUE_INFO        204
#define IDB_SKIN_YELLOW_INFO      212
#define IDB_SKIN_TEAL_INFO        210
#define IDB_SKIN_ORANGE_INFO      208
#define IDB_SKIN_BROWN_INFO       205
#define IDB_SKIN_GREY_INFO        207
#define IDB_SKIN_VIOLET_INFO      211

/* Dialog backgrounds. */
#define IDB_DLG_TALL              142   /* 280 x 392: user-id registration, active profile */
#define IDB_DLG_CONFIG            161   /* 578 x 434: configuration */
#define IDB_DLG_SMALL             164   /* 267 x 165: dial-out, login, exit warning */
#define IDB_DLG_WAIT              165   /* 213 x 120: wait-for-connect notice */

#endif /* FONARIS_RES_RESOURCE_H */
