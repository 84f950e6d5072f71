#pragma once
// Identifiers of the dialog templates, controls, icons and bitmap. Usable from C++ and the
// resource scripts.
//
// Naming: IDD_ dialog templates, IDI_ icons, IDB_ bitmaps, IDM_ menu commands, IDC_ controls.
// A control that plays the same role under the same number on both initialisation pages has
// no page in its name (IDC_START, IDC_COUNT_TOTAL). Every other control carries its page:
// IDC_MAIN_, IDC_BLANK_, IDC_PKI_, IDC_INFO_, IDC_STATION_. The templates reuse numbers across
// pages for different roles (1006, 1007), so each role has its own name with the shared value;
// never use one page's name for another page's control.

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_WIPE_PAGE 133
#define IDD_PKI_PAGE 136
#define IDD_INFO_PAGE 137
#define IDD_STATION_PAGE 1300

// Icons (each with 16, 24, 32 and 48 pixel images) and the separator bitmap
#define IDI_APP 128
#define IDI_NAV_WIPE 131
#define IDI_NAV_PKI 132
#define IDI_NAV_INFO 138
#define IDI_NAV_STATION 1301
#define IDB_SEPARATOR 135 // 434 x 1 pixels, the line under each page heading

// System menu commands: the About box and the ledger folder (the low four bits stay free for
// the system)
#define IDM_ABOUTBOX 0x0010
#define IDM_OPEN_LEDGER 0x0020
// The stock list: load one, and today's report in the default browser
#define IDM_LOAD_STOCK 0x0030
#define IDM_OPEN_REPORT 0x0040
#define IDM_CHOOSE_MODULE 0x0080
#define IDM_DEFAULT_MODULE 0x0090   // back to the maker's module found by name
#define IDM_SEAL_CERTIFICATE 0x00A0 // the supervisor's certificate random user PINs are sealed to
#define IDM_PIN_LETTERS 0x00B0      // today's envelopes opened and printed as letters
#define IDM_SWITCH_LANGUAGE 0x00C0  // the other language remembered for the next start

// Statics without a role of their own
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Main window (IDD_MAIN)
#define IDC_MAIN_NAV_FRAME 1000  // etched frame; the pager and the bar live in its client area
#define IDC_MAIN_PAGE_FRAME 1001 // black frame; the pages are laid exactly over it
#define IDC_MAIN_NAV_PAGER 1000  // the pager created inside the navigation frame
#define IDC_MAIN_NAV_BAR 1000    // the navigation bar inside the pager; lParam of its click

// Both initialisation pages
#define IDC_START 99 // default button "初始化(&S)"
#define IDC_STOP 1023
#define IDC_COUNT_TOTAL 1020
#define IDC_COUNT_SUCCESS 1021
#define IDC_STOCK_LINE 1040 // created under the status line while a stock list is in force

// Wipe page (IDD_WIPE_PAGE)
#define IDC_WIPE_PIN 1011 // current SO PIN, masked
#define IDC_WIPE_BATCH_CHECK 1007
#define IDC_WIPE_STATUS 1016
#define IDC_WIPE_COUNT_FAIL 1022

// PKI-format page (IDD_PKI_PAGE), parameter fields in tab order
#define IDC_PKI_SO_PIN 1003   // masked
#define IDC_PKI_USER_PIN 1004 // masked
#define IDC_PKI_SO_RETRY 1005
#define IDC_PKI_USER_RETRY 1006
#define IDC_PKI_LABEL 1007
#define IDC_PKI_PUBLIC_SIZE 1008
#define IDC_PKI_PRIVATE_SIZE 1009
#define IDC_PKI_BATCH_CHECK 1032
#define IDC_PKI_STATUS 1030
#define IDC_PKI_COUNT_FAIL 1029
#define IDC_PKI_NOTE 1033
// A module without the vendor extension only, in the note's place: the SO PIN a token
// initialised before has now (masked), and its caption.
#define IDC_PKI_CURRENT_SO_PIN 1200
#define IDC_PKI_CURRENT_SO_PIN_CAPTION 1201
// A user PIN of its own for each token: the check box, and in the user PIN's place while it
// is ticked, the number of digits and its caption.
#define IDC_PKI_RANDOM_USER_PIN 1230
#define IDC_PKI_RANDOM_LENGTH 1231
#define IDC_PKI_RANDOM_LENGTH_CAPTION 1232
#define IDC_PKI_USER_PIN_CAPTION 1233

// Information page (IDD_INFO_PAGE), read-only fields
#define IDC_INFO_GET 1006 // default button "获取信息(&G)"
#define IDC_INFO_SERIAL 1024
#define IDC_INFO_COS_VERSION 1025
#define IDC_INFO_PRODUCTION_TIME 1026
#define IDC_INFO_TOTAL_SPACE 1027
#define IDC_INFO_ATR 1028
#define IDC_INFO_DEVICE_TYPE 1002
// The captions of the six fields above, hidden with them on a module without the vendor
// extension
#define IDC_INFO_SERIAL_CAPTION 1202
#define IDC_INFO_COS_VERSION_CAPTION 1203
#define IDC_INFO_PRODUCTION_TIME_CAPTION 1204
#define IDC_INFO_TOTAL_SPACE_CAPTION 1205
#define IDC_INFO_ATR_CAPTION 1206
#define IDC_INFO_DEVICE_TYPE_CAPTION 1207
// A module without the vendor extension: the token information's values, one row each in the
// order of the query's fields, made by the page with their captions beside them
#define IDC_INFO_STD_FIRST 1208
#define IDC_INFO_STD_LAST 1219

// Station page (IDD_STATION_PAGE)
#define IDC_STATION_WIPE 1310  // operation: wipe (first of the two radio buttons)
#define IDC_STATION_PKI 1311   // operation: PKI initialisation
#define IDC_STATION_LIMIT 1312 // seconds a token's attempt may take before it counts as timed out
#define IDC_STATION_START 1313
#define IDC_STATION_STOP 1314
#define IDC_STATION_COUNT_TOTAL 1315
#define IDC_STATION_COUNT_SUCCESS 1316
#define IDC_STATION_COUNT_FAIL 1317
#define IDC_STATION_STATUS 1318
#define IDC_STATION_TILES 1319 // one tile per slot
#define IDC_STATION_NOTE 1320
