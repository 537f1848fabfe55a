// The ringing dialogs' templates, soft-key bars and strings. Each dialog has
// one template per screen layout; the pictures are the generator's bitmaps.
#pragma once

// Alarm ringing, by layout.
#define IDD_ALARM_RINGING_LARGE 326
#define IDD_ALARM_RINGING_SMALL 120
#define IDD_ALARM_RINGING_LANDSCAPE 218

// Countdown ringing, by layout.
#define IDD_COUNTDOWN_RINGING_LARGE 327
#define IDD_COUNTDOWN_RINGING_SMALL 196
#define IDD_COUNTDOWN_RINGING_LANDSCAPE 321

// Soft-key bars: Snooze and Stop; Stop alone.
#define IDM_ALARM_RINGING 318
#define IDM_COUNTDOWN_RINGING 319

#define IDS_SNOOZE 40037
#define IDS_STOP 40038

// The commands the soft keys send.
#define IDC_RING_SNOOZE 1
#define IDC_RING_STOP 2

// The alarm-clock pictures: 125 x 134 and 180 x 180.
#define IDB_ALARM_PICTURE_SMALL 324
#define IDB_ALARM_PICTURE_LARGE 325

void register_ringing_resources(void);
