// Resource and control identifiers of the game window, grouped by kind.
#pragma once

// Dialogs
#define IDD_GAME                101

// Controls with a role of their own
#define IDC_DEAL                1003
#define IDC_OFFER_LIST          1004
#define IDC_WIN_HISTORY         1006
#define IDC_STATUS              1007
#define IDC_OFFER               1008
#define IDC_BANK                1009
#define IDC_OFFER_LIST_LABEL    1012
#define IDC_WIN_HISTORY_LABEL   1013
#define IDC_BANK_LABEL          1014
#define IDC_NO_DEAL             1039
#define IDC_NEW_GAME            1040
#define IDC_MORE_GAMES          1042
// winuser.h names a system cursor IDC_HELP; in this program the name is the
// button's, so include this header after <windows.h>.
#undef IDC_HELP
#define IDC_HELP                1043

// The template's boxes: a button, a picture and a board plate for each, and
// as many amounts for the rules to deal
#define BOX_COUNT               22

// Control families: base + index
#define IDC_BOX_BUTTON          10000   // + box index 0..21, caption "1".."22"
#define IDC_BOX_PICTURE         15000   // + box index 0..21
#define IDC_BOARD_VALUE         20000   // + value index 0..21

// Bitmaps
#define IDB_BANKER_PHONE        108
#define IDB_CLOSED_BOX          168
#define IDB_PLATE_750           184     // out of the run of the left column
#define IDB_PLATE_1P            185
#define IDB_PLATE_10P           186
#define IDB_PLATE_50P           187
#define IDB_PLATE_1             188
#define IDB_PLATE_5             189
#define IDB_PLATE_10            190
#define IDB_PLATE_50            191
#define IDB_PLATE_100           192
#define IDB_PLATE_250           193
#define IDB_PLATE_500           194
#define IDB_PLATE_250000        195     // out of the run of the right column
#define IDB_PLATE_1000          196
#define IDB_PLATE_3000          197
#define IDB_PLATE_5000          198
#define IDB_PLATE_10000         199
#define IDB_PLATE_15000         200
#define IDB_PLATE_20000         201
#define IDB_PLATE_35000         202
#define IDB_PLATE_50000         203
#define IDB_PLATE_75000         204
#define IDB_PLATE_100000        205
#define IDB_BACKGROUND          213
#define IDB_OPEN_BOX_BASE       25000   // + value index 0..21

// Icons
#define IDI_GAME                173

// Sounds: resources of the named type "WAVE"
#define IDR_SOUND_BASE          30000   // + sound number 0..9
