// Creating and destroying the label set of the current mode, with the
// fonts and geometry of each line.
#include <cstring>

#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "store/settings.h"

StatusLabels Labels;

namespace {

// Room the Internet time and the sleep time left take at the right.
constexpr int RIGHT_COLUMN = 70;

struct LabelLayout {
    int x, y, width, height;
    int points;
    bool bold;
    bool tahoma;
};

int pixels_for_points(int points) {
    HDC dc = GetDC(MainWindow.window);
    int per_inch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(MainWindow.window, dc);
    return -(per_inch * points / 72);
}

// The system font with another size and weight, or Tahoma bold.
HFONT make_font(const LabelLayout &place) {
    LOGFONTW font;
    memset(&font, 0, sizeof font);
    if (place.tahoma)
        swprintf(font.lfFaceName, LF_FACESIZE, L"Tahoma");
    else
        GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfHeight = pixels_for_points(place.points);
    if (place.bold) font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

StatusLabel make_label(const LabelLayout &place, LPCWSTR text) {
    StatusLabel label = {nullptr, nullptr};
    label.window = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_CENTER, place.x, place.y, place.width,
                                   place.height, MainWindow.window, nullptr, MainWindow.instance, nullptr);
    if (!label.window) return label;
    label.font = make_font(place);
    if (label.font) SendMessageW(label.window, WM_SETFONT, reinterpret_cast<WPARAM>(label.font), FALSE);
    return label;
}

void create_clock_labels(void) {
    int left = Layout.face_left, bottom = Layout.face_bottom, width = Layout.face_width;
    bool itime = Settings.ShowITime != 0;
    LabelLayout date = {.x = left,
                        .y = itime ? bottom + 8 : bottom,
                        .width = itime ? width - RIGHT_COLUMN : width,
                        .height = 30,
                        .points = itime ? 8 : 12,
                        .bold = true,
                        .tahoma = false};
    // The Internet time's box reaches into the next-alarm line; made first,
    // it lies below the line, whose text then shows whole.
    if (itime)
        Labels.internet_time = make_label({.x = left + width - RIGHT_COLUMN,
                                           .y = bottom,
                                           .width = RIGHT_COLUMN,
                                           .height = 40,
                                           .points = 16,
                                           .bold = true,
                                           .tahoma = true},
                                          L"");
    Labels.date_line = make_label(date, L"");
    Labels.next_alarm = make_label(
        {.x = left, .y = bottom + 35, .width = width, .height = 20, .points = 8, .bold = true, .tahoma = false}, L"");
}

void create_sleep_labels(void) {
    int left = Layout.face_left, bottom = Layout.face_bottom, width = Layout.face_width;
    bool timed = Settings.TimedSleep != 0;
    if (timed)
        Labels.time_left = make_label({.x = left + width - RIGHT_COLUMN,
                                       .y = bottom + 8,
                                       .width = RIGHT_COLUMN,
                                       .height = 40,
                                       .points = 16,
                                       .bold = true,
                                       .tahoma = false},
                                      L"00:00");
    int line_width = timed ? width - RIGHT_COLUMN : width - 4;
    Labels.title_line = make_label({.x = left + 2,
                                    .y = bottom + 8,
                                    .width = line_width,
                                    .height = 20,
                                    .points = 10,
                                    .bold = true,
                                    .tahoma = false},
                                   L"");
    Labels.artist_line = make_label({.x = left + 2,
                                     .y = bottom + 32,
                                     .width = line_width,
                                     .height = 18,
                                     .points = 8,
                                     .bold = false,
                                     .tahoma = false},
                                    L"");
}

StatusLabel *const ALL_LABELS[] = {&Labels.date_line, &Labels.next_alarm, &Labels.internet_time,
                                   &Labels.time_left, &Labels.title_line, &Labels.artist_line};

}  // namespace

void create_labels(void) {
    destroy_labels();
    if (MainWindow.mode == MODE_SLEEP)
        create_sleep_labels();
    else
        create_clock_labels();
}

void destroy_labels(void) {
    for (StatusLabel *label : ALL_LABELS) {
        if (label->window) DestroyWindow(label->window);
        if (label->font) DeleteObject(label->font);
        label->window = nullptr;
        label->font = nullptr;
    }
}

void redraw_labels(void) {
    for (StatusLabel *label : ALL_LABELS)
        if (label->window) InvalidateRect(label->window, nullptr, FALSE);
}

bool is_status_label(HWND window) {
    for (StatusLabel *label : ALL_LABELS)
        if (window && label->window == window) return true;
    return false;
}

LRESULT label_colours(HDC dc) {
    SetTextColor(dc, clock_colour());
    SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(MainWindow.background_brush);
}

void set_date_line(LPCWSTR text) {
    if (Labels.date_line.window) SetWindowTextW(Labels.date_line.window, text);
}

void set_internet_time(LPCWSTR text) {
    if (Labels.internet_time.window) SetWindowTextW(Labels.internet_time.window, text);
}
