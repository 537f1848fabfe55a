// The Chime program end to end: the built program on a temporary device,
// its sound captured to a WAV file, its boxes journalled, its registration
// read back from the notification database and the registry. The wait for
// the chime's end is also tested in this process.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>

#include "platform/device/device.h"
#include "platform/device/process.h"
#include "sound/chime_program.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/run_program.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *CHIME = L"\\IPSM\\Program Files\\Velmora\\Chime.exe";
constexpr const wchar_t *BELL = L"\\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav";
constexpr const wchar_t *OWN = L"\\My Documents\\ding.wav";
const std::string NO_FILE_BOX =
    "[Error] Can't find the chime sound file \\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav.  Please select a "
    "valid sound file.";

// One second after the full hour that follows `now`.
std::string chime_due_after(SYSTEMTIME now) {
    now.wMinute = now.wSecond = now.wMilliseconds = 0;
    SYSTEMTIME due;
    clock_systemtime_from_ms(clock_ms_from_systemtime(&now) + 3601 * 1000LL, &due);
    return stamp(due);
}

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class ChimeProgram : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        setenv("VELMORA_NOTIFYD", "off", 1);
        load_settings();
        find_app_data_folder();
    }
    void TearDown() override {
        for (pid_t pid : started) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        SoundTest::TearDown();
    }

    void store_chime(DWORD silenced, DWORD on, const wchar_t *sound) {
        Settings.Silenced = silenced;
        Settings.Chime = on;
        plat::copy_wide(Settings.ChimeSound, MAX_PATH, sound);
        save_settings();
    }
    // A chime armed earlier, as the clock or an earlier Chime left it.
    DWORD arm_old_chime() {
        EXPECT_EQ(schedule_chime(nullptr), 1);
        save_chime_settings();
        return Settings.ChimeHandle;
    }
    DWORD stored_handle() {
        reload_chime_handle();
        return Settings.ChimeHandle;
    }

    // Runs the built Chime as Velmgr would, noting the clock around it.
    ProgramResult run_chime(const std::string &capture_to = "") {
        GetLocalTime(&before);
        std::string audio = "VELMORA_AUDIO=wav:" + (capture_to.empty() ? capture_path : capture_to);
        ProgramResult r = run_program({CHIME_BUILT, "--device", root}, {audio});
        GetLocalTime(&after);
        return r;
    }
    pid_t start_chime() {
        GetLocalTime(&before);
        pid_t pid = start_program({CHIME_BUILT, "--device", root});
        started.push_back(pid);
        return pid;
    }
    bool ended(pid_t pid, double seconds) {
        bool done = wait_until([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, seconds);
        if (done) started.erase(std::find(started.begin(), started.end(), pid));
        GetLocalTime(&after);
        return done;
    }

    // The one request the chime left: Velmgr with "/ID:255", due one second
    // after the next full hour and ending MaxTime (5) minutes later; its
    // handle is the one saved.
    void expect_next_chime_armed(DWORD not_handle = 0) {
        std::vector<SeenRequest> all = stored_requests();
        ASSERT_EQ(all.size(), 1u);
        const SeenRequest &r = all[0];
        EXPECT_EQ(r.application, MANAGER);
        EXPECT_EQ(r.arguments, L"/ID:255");
        std::string due = stamp(r.start);
        EXPECT_TRUE(due == chime_due_after(before) || due == chime_due_after(after)) << due;
        EXPECT_EQ(clock_ms_from_systemtime(&r.end) - clock_ms_from_systemtime(&r.start), 5 * 60 * 1000LL);
        EXPECT_NE(r.handle, not_handle);
        EXPECT_EQ(stored_handle(), r.handle);
    }

    // The parts of the capture with sound, one per pitch.
    std::vector<Stretch> heard(const std::string &capture_from = "") {
        return pitch_runs(read_capture_written(capture_from.empty() ? capture_path : capture_from), 22050);
    }
    static void expect_one_tone(const std::vector<Stretch> &parts, double seconds, double freq) {
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_NEAR(parts[0].end - parts[0].start, seconds, 0.05);
        EXPECT_NEAR(parts[0].freq, freq, freq * 0.05);
    }

    size_t main_messages(const std::string &what) {
        std::ifstream in(root + "/IPSM/velmora.log");
        size_t n = 0;
        for (std::string line; std::getline(in, line);) n += line.find(what) != std::string::npos;
        return n;
    }

    SYSTEMTIME before = {}, after = {};
    std::vector<pid_t> started;
};

TEST_F(ChimeProgram, SilencedPlaysNothingButArmsTheNextChimeInPlaceOfTheOld) {
    make_tone(BELL, 0.3, 880);
    store_chime(1, 1, L"");
    DWORD old = arm_old_chime();
    ProgramResult r = run_chime();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_FALSE(exists(capture_path));  // the sound library was never started
    expect_next_chime_armed(old);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ChimeProgram, WithTheChimeTurnedOffItSoundsOnceAndClearsTheChime) {
    make_tone(OWN, 0.6, 660);
    make_tone(BELL, 0.3, 880);
    store_chime(0, 0, OWN);
    arm_old_chime();
    auto t0 = std::chrono::steady_clock::now();
    ProgramResult r = run_chime();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    // It waited for the end: the whole sound was heard before it exited.
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(600));
    expect_one_tone(heard(), 0.6, 660);
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_EQ(stored_handle(), 0u);
    EXPECT_TRUE(boxes().empty());
}

// The capture's header says how much sound it holds: whenever it is read
// while the program plays, and once the program has ended.
TEST_F(ChimeProgram, TheCaptureIsAWholeWavFileWheneverItIsRead) {
    make_tone(OWN, 1.5, 660);
    store_chime(0, 1, OWN);
    pid_t chime = start_chime();
    auto said_and_held = [this](uint32_t *said, long long *held) {
        std::ifstream in(capture_path, std::ios::binary);
        unsigned char header[44];
        if (!in.read(reinterpret_cast<char *>(header), 44)) return false;
        in.seekg(0, std::ios::end);
        *said = header[40] | header[41] << 8 | header[42] << 16 | uint32_t(header[43]) << 24;
        *held = (long long)in.tellg() - 44;
        return true;
    };
    int looks = 0;
    long long worst = 0;
    while (waitpid(chime, nullptr, WNOHANG) == 0) {
        uint32_t said;
        long long held;
        if (said_and_held(&said, &held) && held > 0) {
            looks++;
            worst = std::max(worst, held - (long long)said);
        }
        pause_for(0.05);
    }
    started.clear();
    EXPECT_GT(looks, 10);
    // At most the block being written is not counted yet: 256 samples.
    EXPECT_LE(worst, 512);
    uint32_t said;
    long long held;
    ASSERT_TRUE(said_and_held(&said, &held));
    EXPECT_EQ((long long)said, held);
    std::vector<Stretch> parts = pitch_runs(capture(), 22050);
    expect_one_tone(parts, 1.5, 660);
}

TEST_F(ChimeProgram, AnEmptySoundOrTheDefaultNamePlaysTheInstallFoldersBell) {
    make_tone(BELL, 0.4, 880);
    store_chime(0, 1, L"");
    EXPECT_EQ(run_chime().exit_code, 0);
    expect_one_tone(heard(), 0.4, 880);
    expect_next_chime_armed();

    store_chime(0, 1, L"CBell.wav");
    std::string second = root + "/second.wav";
    EXPECT_EQ(run_chime(second).exit_code, 0);
    expect_one_tone(heard(second), 0.4, 880);
    expect_next_chime_armed();
    EXPECT_TRUE(boxes().empty());
}

// Whatever keeps the chime from sounding, the next one is armed and saved.
TEST_F(ChimeProgram, AChimeThatCannotSoundSaysSoAndStillArmsTheNext) {
    store_chime(0, 1, L"\\My Documents\\gone.wav");
    ProgramResult r = run_chime();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(boxes(), std::vector<std::string>{NO_FILE_BOX});
    EXPECT_NE(r.err.find("Chime: " + NO_FILE_BOX), std::string::npos) << r.err;  // no screen: stderr too
    EXPECT_TRUE(heard().empty());
    expect_next_chime_armed();

    // A file that is there but is no sound: six failed opens, then on at once.
    std::ofstream(host_of(OWN)) << "not a sound";
    store_chime(0, 1, OWN);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(run_chime().exit_code, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(6));
    std::vector<std::string> seen = boxes();
    std::vector<std::string> expected(1, NO_FILE_BOX);
    for (int i = 0; i < 6; i++) expected.push_back("[Open Failed] \\My Documents\\ding.wav");
    expected.push_back("[Error] Unable to play sound!");
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(heard().empty());
    expect_next_chime_armed();
}

TEST_F(ChimeProgram, ARegistrationThatFailsIsReportedAndNoHandleIsKept) {
    ASSERT_EQ(mkdir((root + "/notify.db").c_str(), 0755), 0);  // no database can be opened there
    Settings.ChimeHandle = 999;
    store_chime(1, 1, L"");
    ProgramResult r = run_chime();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Velmora] Failed to set alarm!"});
    EXPECT_EQ(stored_handle(), 0u);
}

TEST_F(ChimeProgram, ARunningClockIsToldToRereadTheChimeAndNoOtherWindowIs) {
    store_chime(1, 1, L"");
    EXPECT_EQ(run_chime().exit_code, 0);  // nothing runs: nothing to tell

    started.push_back(plat::spawn_program(built_main_standin(), {}, false));
    ASSERT_TRUE(wait_until([] { return FindWindowW(L"Velmora", L"Velmora") != nullptr; }, 5));
    EXPECT_EQ(run_chime().exit_code, 0);
    const std::string reload = "message 32775 0";  // MSG_RELOAD_CHIME, both parameters 0
    EXPECT_TRUE(wait_until([&] { return main_messages(reload) == 1; }, 3));
    expect_next_chime_armed();
    SoundTest::pause_for(0.3);
    EXPECT_EQ(main_messages("message"), 1u);
}

// The user turns the chime off while it sounds: the choice is not lost to
// the values Chime read before it sounded.
TEST_F(ChimeProgram, AChangeMadeWhileTheChimeSoundsIsKept) {
    make_tone(OWN, 2.0, 660);
    store_chime(0, 1, OWN);
    arm_old_chime();
    pid_t chime = start_chime();
    ASSERT_TRUE(wait_until([&] { return exists(capture_path); }, 5));  // it has read the settings and sounds
    Settings.Chime = 0;
    clear_chime();
    save_chime_settings();
    ASSERT_TRUE(ended(chime, 10));
    EXPECT_TRUE(stored_requests().empty());
    load_settings();
    EXPECT_EQ(Settings.Chime, 0u);
    EXPECT_EQ(Settings.ChimeHandle, 0u);
}

// Velmgr started for the chime starts the real Chime, which sounds the
// install folder's bell and arms the next chime.
TEST_F(ChimeProgram, VelmgrStartedForTheChimeStartsChimeWhichSoundsAndRearms) {
    ASSERT_TRUE(install_program(MANAGER, built_velmgr()));
    ASSERT_TRUE(install_program(CHIME, CHIME_BUILT));
    make_tone(BELL, 0.4, 880);
    store_chime(0, 1, L"");
    char manager[DEVICE_HOST_PATH];
    ASSERT_TRUE(device_host_path(MANAGER, manager, sizeof manager));
    GetLocalTime(&before);
    started.push_back(plat::spawn_program(manager, {"/ID:255"}, false));
    ASSERT_TRUE(wait_until([&] { return stored_handle() != 0; }, 10));
    GetLocalTime(&after);
    expect_next_chime_armed();
    // The capture is complete once Chime has exited.
    std::vector<Stretch> parts;
    EXPECT_TRUE(wait_until([&] { return (parts = heard()).size() == 1 && parts[0].end - parts[0].start > 0.35; }, 5));
    expect_one_tone(parts, 0.4, 880);
}

class ChimeWait : public SoundTest {};

TEST_F(ChimeWait, EndsWithTheSoundOrAtTheLimitWithTheSoundStopped) {
    make_tone(L"\\short.wav", 0.3, 660);
    make_tone(L"\\long.wav", 20, 440);
    ASSERT_TRUE(PlayOnce(L"\\short.wav"));
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_TRUE(wait_for_chime_end(5000));
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(took, 0.25);
    EXPECT_LT(took, 0.3 + 0.2 + 0.3);  // seen at the next look, give or take the machine's load
    CloseOnce();

    ASSERT_TRUE(PlayOnce(L"\\long.wav"));
    t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(wait_for_chime_end(600));
    took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(took, 0.6);
    EXPECT_LT(took, 1.2);
    pause_for(0.4);  // a sound left playing would go on through this
    release_sound_library_fully();
    std::vector<Stretch> parts = pitch_runs(capture(), 22050);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_NEAR(parts[0].freq, 660, 33);
    EXPECT_NEAR(parts[1].freq, 440, 22);
    EXPECT_LT(parts[1].end - parts[1].start, took + 0.1);
}

}  // namespace
