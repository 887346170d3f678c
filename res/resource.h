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

/* Wait-for-connect dialog. */
#define IDD_WAIT                  110
#define IDC_WAIT_TEXT             1061

#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif

/* Message boxes of a failed start (plain texts, no language markers). */
#define IDS_OLE_INIT_FAILED       100
#define IDS_SOCKETS_INIT_FAILED   103

/* Bilingual texts: "German|1|English|2", ids 173 to 245. */
#define IDS_LANG_FIRST            173
#define IDS_LANG_LAST             245

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
