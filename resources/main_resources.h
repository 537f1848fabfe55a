// The main program's string table and its soft-key menu bar.
#pragma once

// String-table entries.
#define IDS_CLASS_NAME 1
#define IDS_TITLE 2
#define IDS_OPEN 40022
#define IDS_TOOLS 40023

// The menu bar of the main window and its commands.
#define IDM_MAIN_MENU 232
#define IDM_EXIT 40001
#define IDM_GENERAL_SETTINGS 40002
#define IDM_CANCEL_SNOOZE 40005
#define IDM_ABOUT 40014
#define IDM_START_SLEEP 40015
#define IDM_SILENCE_ALL 40016
#define IDM_START_COUNTDOWN 40017
#define IDM_SET_SNOOZE 40018
#define IDM_CHIME 40019
#define IDM_SLEEP_PREV 40024
#define IDM_SLEEP_STOP 40025
#define IDM_SLEEP_PAUSE 40026
#define IDM_SLEEP_NEXT 40028
#define IDM_CANCEL_COUNTDOWN 40029
#define IDM_SET_ALARMS 40030
#define IDM_REBUILD_ALARMS 40040
#define IDM_FIRST 40001
#define IDM_LAST 40040

void register_main_strings(void);
void register_main_menu(void);
