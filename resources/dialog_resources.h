// The settings dialogs' templates, soft-key bars and control identifiers.
#pragma once

// Dialog templates.
#define IDD_SET_SNOOZE 132
#define IDD_SETTINGS 133
#define IDD_ABOUT 173
#define IDD_SET_ALARM 177
#define IDD_SLEEP 178
#define IDD_CHOOSE_FOLDER 179
#define IDD_COUNTDOWN 195
#define IDD_HOURLY_CHIME 199
#define IDD_SELECT_SOUND 322
#define IDD_CHOOSE_COLOR 328
#define IDD_CHOOSE_FOLDER_SMALL 330
#define IDD_CHOOSE_FOLDER_LANDSCAPE 331

// Soft-key bars.
#define IDB_OK_CANCEL 313
#define IDB_OK_ONLY 314
#define IDB_SLEEP_CANCEL 315
#define IDB_START_CANCEL 316
#define IDB_SELECT_CANCEL 320
#define IDB_CANCEL_ONLY 329

// Soft-key commands besides IDOK and IDCANCEL.
#define IDC_SELECT 1046
#define IDC_SLEEP 1046
#define IDC_START 1065

// Bitmaps of the dialogs.
#define IDB_SPINNER_SEPARATOR 131
#define IDB_SPINNER_UP 134
#define IDB_SPINNER_DOWN 135
#define IDB_FOLDER_ICONS 180
#define IDB_SOUND_ICONS 323

// Set Alarm.
#define IDC_ALARM_NAME 1000
#define IDC_ALARM_ON 1010
#define IDC_SOUND_CAPTION 1020
#define IDC_USE_SYSTEM_VOLUME 1028
#define IDC_VOLUME_LIST 1029
#define IDC_ALARM_LIST 1034
#define IDC_BROWSE 1046
#define IDC_TEST 1047
#define IDC_ALARM_SPIN 1078
#define IDC_TIME_CAPTION 1079
#define IDC_ALARM_TIME 1080
#define IDC_DAYS_CAPTION 1081
#define IDC_DAYS_LIST 1082
#define IDC_DAYS_SPIN 1083
#define IDC_SOUND_NAME 1084
#define IDC_VOLUME_CAPTION 1085
#define IDC_VOLUME_SPIN 1086
#define IDC_NAME_CAPTION 1087
#define IDC_ALARM_CAPTION 1088

// The time spinner.
#define IDC_HOURS_UP 1005
#define IDC_HOURS_DOWN 1006
#define IDC_HOURS 1007
#define IDC_TENS 1008
#define IDC_UNITS 1009
#define IDC_TENS_DOWN 1011
#define IDC_UNITS_DOWN 1012
#define IDC_TENS_UP 1013
#define IDC_UNITS_UP 1014

// Settings and Choose Color.
#define IDC_24_HOUR 1019
#define IDC_MAX_TIME 1023
#define IDC_SHOW_ITIME 1026
#define IDC_CHOOSE_COLOR 1090
#define IDC_FIRST_SWATCH 1091
#define IDC_LAST_SWATCH 1106

// Hourly Chime.
#define IDC_CHIME_SOUND 1048
#define IDC_CHIME_ON 1063
#define IDC_CHIME_NOTE 1064

// Sleep.
#define IDC_SLEEP_SOURCE 1021
#define IDC_SLEEP_SELECT 1047
#define IDC_SLEEP_NAME 1051
#define IDC_SLEEP_KIND 1056
#define IDC_SLEEP_UNTIL_END 1058
#define IDC_SLEEP_TIMED 1059

// Countdown (Browse and Test as in Set Alarm).
#define IDC_COUNTDOWN_SOUND 1048
#define IDC_KEEP_AWAKE 1061

// The browsers.
#define IDC_FOLDER_TREE 1055
#define IDC_SOUND_LIST 1089

void register_dialog_resources(void);
