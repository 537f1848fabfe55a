// Velinstall's four entries called in-process, as velpkg calls them, against
// a device that holds the system's requests and other programs'.
#include "platform/shell/setup_library.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"
#include "tests/support/store_device.h"

SETUP_EXPORT codeINSTALL_INIT Install_Init(HWND, BOOL, BOOL, LPCWSTR);
SETUP_EXPORT codeINSTALL_EXIT Install_Exit(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD);
SETUP_EXPORT codeUNINSTALL_INIT Uninstall_Init(HWND, LPCWSTR);
SETUP_EXPORT codeUNINSTALL_EXIT Uninstall_Exit(HWND);

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *INSTALL_DIR = L"\\IPSM\\Program Files\\Velmora";

class Setup : public StoreDevice {
protected:
    DWORD request(const wchar_t *application, const wchar_t *arguments) {
        return notify_handle_number(add_request(application, arguments, local_in(3600 * 1000), 10));
    }
    std::vector<DWORD> handles() {
        std::vector<DWORD> out;
        for (const SeenRequest &r : stored_requests()) out.push_back(r.handle);
        return out;
    }
};

TEST_F(Setup, InstallInitClearsTheOldAlarmHandleOnlyWhenItIsNotZero) {
    DWORD other = request(L"\\Windows\\calendar.exe", L"/remind");
    DWORD old = request(MANAGER, L"/ID:0");
    put_dword(SETTINGS_KEY, L"AlarmHandle", 0);
    EXPECT_EQ(Install_Init(nullptr, TRUE, FALSE, INSTALL_DIR), codeINSTALL_INIT_CONTINUE);
    EXPECT_EQ(handles(), (std::vector<DWORD>{other, old}));

    put_dword(SETTINGS_KEY, L"AlarmHandle", old);
    EXPECT_EQ(Install_Init(nullptr, TRUE, TRUE, INSTALL_DIR), codeINSTALL_INIT_CONTINUE);
    EXPECT_EQ(handles(), (std::vector<DWORD>{other}));
}

TEST_F(Setup, InstallExitStartsTheManagerOnceRegistersItAndSaysTheDeviceMustStayOn) {
    ASSERT_TRUE(install_recorder(MANAGER));
    BoxRecorder boxes;
    EXPECT_EQ(Install_Exit(nullptr, INSTALL_DIR, 0, 0, 0, 0, 0), codeINSTALL_EXIT_DONE);
    std::vector<Record> starts = wait_for_records(1, 5000);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].argument_count, 0);
    EXPECT_EQ(event_registrations(),
              (std::vector<std::wstring>{std::wstring(L"1 ") + MANAGER, std::wstring(L"12 ") + MANAGER}));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"Please note that your Smartphone must be switched on in order to receive alarms.");
    EXPECT_EQ(boxes.boxes[0].caption, L"Installation Complete");
    EXPECT_EQ(boxes.boxes[0].type, UINT(MB_OK | MB_ICONINFORMATION));

    // With the manager's window up (here, this process's) no second copy starts,
    // and the registrations stay single.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"Velmgr";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND resident = CreateWindowExW(0, L"Velmgr", L"Velmgr", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(resident, nullptr);
    Install_Exit(nullptr, INSTALL_DIR, 0, 0, 0, 0, 0);
    EXPECT_EQ(wait_for_records(2, 1500).size(), 1u);
    EXPECT_EQ(event_registrations().size(), 2u);
    EXPECT_EQ(boxes.boxes.size(), 2u);
    DestroyWindow(resident);
    UnregisterClassW(L"Velmgr", nullptr);
}

TEST_F(Setup, UninstallExitClearsEveryRequestOfTheSystemAndItsRegistrationsButNotOthers) {
    DWORD other = request(L"\\Windows\\calendar.exe", L"/remind");
    CeRunAppAtEvent(const_cast<WCHAR *>(L"\\Windows\\calendar.exe"), NOTIFICATION_EVENT_TIME_CHANGE);
    register_manager_events();
    for (int i : {0, 4, 9}) {
        alarm_record(i)->AlarmHandle = request(MANAGER, (L"/ID:" + std::to_wstring(i)).c_str());
        save_alarm(i);
    }
    Settings.ChimeHandle = request(MANAGER, L"/ID:255");
    Settings.CountdownHandle = request(MANAGER, L"/ID:254");
    save_settings();
    request(MANAGER, L"/ID:2");  // a handle nobody kept
    ASSERT_EQ(stored_requests().size(), 7u);

    EXPECT_EQ(Uninstall_Exit(nullptr), codeUNINSTALL_EXIT_DONE);
    EXPECT_EQ(handles(), (std::vector<DWORD>{other}));
    EXPECT_EQ(event_registrations(), (std::vector<std::wstring>{L"1 \\Windows\\calendar.exe"}));
    // The user's records keep their handles: nothing is written back.
    DWORD kept = 0;
    ASSERT_TRUE(get_dword(L"Software\\Tamsett\\Velmora\\Alarms\\4", L"AlarmHandle", &kept));
    EXPECT_NE(kept, 0u);
}

TEST_F(Setup, InitsReturnAtOnceWithNothingRunning) {
    long long before = host_now_ms();
    EXPECT_EQ(Uninstall_Init(nullptr, INSTALL_DIR), codeUNINSTALL_INIT_CONTINUE);
    EXPECT_EQ(Install_Init(nullptr, TRUE, FALSE, INSTALL_DIR), codeINSTALL_INIT_CONTINUE);
    EXPECT_LT(host_now_ms() - before, 500);
}

}  // namespace
