// The gallery dialog driven from outside with velctl, as a person with a
// keypad would: the focus through the controls, every control's keys, a
// browser over a browser over the gallery, and the gallery in the three
// screen sizes. The gallery records what its controls tell it and, on
// "Report", what the phone's messages read from them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/screen_program.h"

namespace {

using Lines = std::vector<std::string>;

const char *const REPORT_KEYS[] = {"focus", "edit", "alarm_on", "keep_awake", "radio", "spin",
                                   "days",  "time", "combo",    "list",       "tree"};

class Gallery : public ScreenProgram {
protected:
    void open(int width = 240, int height = 320) {
        start_on_screen(DIALOG_GALLERY, width, height);
        for (int i = 0; i < 300 && !has_line("gallery open"); i++) usleep(10000);
        fresh();
    }
    bool has_line(const std::string &start) {
        for (const std::string &l : lines())
            if (l.rfind(start, 0) == 0) return true;
        return false;
    }
    void keys(std::vector<std::string> names) {
        names.insert(names.begin(), "key");
        ASSERT_EQ(velctl(names), 0);
    }
    void downs(int n) { keys(Lines(size_t(n), "down")); }
    // One value of the gallery's report, e.g. "days" -> "1,5".
    std::string report(const std::string &key) {
        keys({"soft2", "1"});
        std::string line;
        for (const std::string &l : fresh())
            if (l.rfind("report ", 0) == 0) line = l;
        size_t at = line.find(" " + key + "=");
        if (at == std::string::npos) return "?";
        at += key.size() + 2;
        size_t end = line.size();
        for (const char *k : REPORT_KEYS) end = std::min(end, line.find(std::string(" ") + k + "=", at));
        return line.substr(at, end - at);
    }
    // A line of `velctl dialog` that starts with `start`.
    std::string shown(const std::string &start) {
        std::string out;
        velctl({"dialog"}, &out);
        out = "\n" + out;
        size_t at = out.find("\n" + start);
        return at == std::string::npos ? "" : out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    }
    std::string focus() { return shown("focus: ").substr(7); }
};

TEST_F(Gallery, FocusWalksTheTabStopsInOrderAndSkipsDisabledOnes) {
    open();
    EXPECT_EQ(focus(), "1000");
    Lines walk;
    for (int i = 0; i < 13; i++) {
        downs(1);
        walk.push_back(focus());
    }
    EXPECT_EQ(walk, (Lines{"1010", "1061", "1058", "1059", "1034", "1082", "1080", "1023", "1005", "1006", "1046",
                           "1047", "1089"}))
        << "the disabled button 1090 is passed over";
    keys({"soft2", "2", "up"});  // disable "Test"
    EXPECT_EQ(focus(), "1046");
    keys({"soft2", "2", "down"});
    EXPECT_EQ(focus(), "1047");
    keys(Lines(12, "up"));
    EXPECT_EQ(focus(), "1000");
    keys({"up"});
    EXPECT_EQ(focus(), "1055") << "round from the first to the last";
}

TEST_F(Gallery, SpinBoxWrapsBothWaysAndOpensTheWholeList) {
    open();
    downs(5);
    keys({"left"});
    keys({"right", "right", "right"});
    EXPECT_EQ(fresh(), (Lines{"command 1034 1", "spin 9", "command 1034 1", "spin 0", "command 1034 1", "spin 1",
                              "command 1034 1", "spin 2"}));
    keys({"action", "down", "down", "down", "action"});
    EXPECT_EQ(fresh(), (Lines{"command 1034 1", "spin 5"}));
    EXPECT_EQ(report("spin"), "5");
}

TEST_F(Gallery, MultipleSelectionTogglesTheDayInViewAndReports) {
    open();
    downs(6);
    keys({"action", "right", "action"});
    EXPECT_EQ(fresh(), (Lines{"command 1082 1", "days 0,1,5", "command 1082 1", "days 0,5"}));
    EXPECT_EQ(report("days"), "0,5");
    keys({"soft2", "3"});
    EXPECT_EQ(report("days"), "-");
}

TEST_F(Gallery, TimePickerEditsHoursAndMinutes) {
    open();
    downs(7);
    keys({"action", "up", "right", "down", "action"});
    EXPECT_EQ(fresh(), (Lines{"time 08:30", "time 08:29"}));
    keys({"1", "9", "4", "5", "action"});
    EXPECT_EQ(report("time"), "19:45");
    downs(1);
    EXPECT_EQ(focus(), "1023") << "up and down move on once editing ends";
}

TEST_F(Gallery, DropDownListChangesItsSelection) {
    open();
    downs(8);
    keys({"right"});
    keys({"action", "down", "down", "action"});
    EXPECT_EQ(fresh(), (Lines{"command 1023 1", "combo 3:10", "command 1023 1", "combo 5:20"}));
    keys({"action", "up", "back"});
    EXPECT_EQ(fresh(), Lines{}) << "Back closes the list and keeps the choice";
    EXPECT_EQ(report("combo"), "5:20");
}

TEST_F(Gallery, ListViewSortsSelectsAndReturnsTheChosenRowWithItsData) {
    open();
    downs(13);
    EXPECT_EQ(focus(), "1089");
    keys({"down"});
    EXPECT_EQ(fresh(), (Lines{"listview changed 0 0 3 12"})) << "alarm.wav sorts first";
    keys({"down", "down", "down", "action"});
    Lines got = fresh();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), "listview return 3:Wake.mp3:11");
    EXPECT_NE(shown("1089 "), "");
    EXPECT_NE(shown("1089 ").find("text=\"Wake.mp3\" data=11"), std::string::npos);
    EXPECT_EQ(report("list"), "3:Wake.mp3:11");
}

TEST_F(Gallery, TreeViewExpandsCollapsesAndReportsTheSelectedFolderAndItsParents) {
    open();
    keys({"up"});
    keys({"down", "right", "down", "action", "down"});
    EXPECT_EQ(fresh(), (Lines{"tree selected My Documents", "tree expanding My Documents",
                              "tree selected Music<My Documents", "command 1 0", "tree expanding Music",
                              "tree selected Jazz<Music<My Documents"}));
    EXPECT_EQ(report("tree"), "Jazz<Music<My Documents");
    keys({"left", "action"});
    EXPECT_EQ(fresh(), (Lines{"tree selected Music<My Documents", "command 1 0", "tree collapsing Music"}));
    EXPECT_NE(shown("1055 ").find("shown=4 selected=\"Music\""), std::string::npos) << shown("1055 ");
}

TEST_F(Gallery, RadioButtonsExcludeEachOther) {
    open();
    downs(4);
    keys({"action"});
    EXPECT_EQ(report("radio"), "1059");
    EXPECT_EQ(shown("1058 ").find("checked"), std::string::npos);
    keys({"up", "action"});
    EXPECT_EQ(report("radio"), "1058");
    EXPECT_EQ(shown("1059 ").find("checked"), std::string::npos);
}

TEST_F(Gallery, EditTakesTextUpToItsLimitAndBackDeletes) {
    open();
    keys({"text", "alarmclock"});
    EXPECT_EQ(report("edit"), "Wakealarmc") << "ten characters at most";
    keys({"back", "back"});
    EXPECT_EQ(report("edit"), "Wakealar");
}

TEST_F(Gallery, ADialogOpenedFromADialogReturnsToTheRightLoop) {
    open();
    downs(11);
    keys({"action"});
    keys({"soft2", "1"});
    EXPECT_NE(shown("window: "), "");
    EXPECT_EQ(shown("window: ").substr(0, 19), "window: \"Browser 2\"");
    // The browser under it is told to end; this one still takes its keys.
    keys({"soft2", "2", "down", "soft1"});
    EXPECT_EQ(fresh(), (Lines{"command 1046 0", "browser 1 open", "browser 2 open", "end below 1", "browser 1 got 204",
                              "gallery got 902"}));
    EXPECT_EQ(shown("window: ").substr(0, 17), "window: \"Gallery\"");
    // The action key in the list picks a row too.
    keys({"action", "action"});
    Lines got = fresh();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), "gallery got 102");
}

TEST_F(Gallery, EveryScreenSizeShowsAndScrollsTheWholeDialog) {
    const int sizes[3][2] = {{240, 320}, {176, 220}, {320, 240}};
    for (auto &size : sizes) {
        open(size[0], size[1]);
        std::string tag = std::to_string(size[0]) + "x" + std::to_string(size[1]);
        int w, h;
        std::vector<unsigned char> top, bottom;
        ASSERT_TRUE(shot("gallery-" + tag + "-top", &w, &h, &top));
        EXPECT_EQ(w * 1000 + h, size[0] * 1000 + size[1]);
        keys({"up"});
        ASSERT_TRUE(shot("gallery-" + tag + "-bottom", &w, &h, &bottom));
        EXPECT_NE(top, bottom);
        EXPECT_EQ(shown("window: ").find("scroll=0"), std::string::npos) << "scrolled to the tree";
        // The focus shows in the highlight colour, at the top and at the bottom.
        for (const auto *pixels : {&top, &bottom}) {
            int highlighted = 0;
            for (size_t i = 0; i + 2 < pixels->size(); i += 3)
                highlighted += (*pixels)[i] == 0 && (*pixels)[i + 1] == 102 && (*pixels)[i + 2] == 204;
            EXPECT_GT(highlighted, 100) << tag;
        }
        EXPECT_EQ(stop(), 0);
    }
}

}  // namespace
