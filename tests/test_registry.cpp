// The registry: keys and values as the phone keeps them, whole records for
// readers, and clear failures for a damaged store.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/temp_device.h"

namespace {

class Registry : public TempDevice {
protected:
    HKEY create(const wchar_t *path) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        return key;
    }
    HKEY open(const wchar_t *path, LONG *err = nullptr) {
        HKEY key = nullptr;
        LONG e = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key);
        if (err) *err = e;
        return e == ERROR_SUCCESS ? key : nullptr;
    }
    static LONG set_text(HKEY key, const wchar_t *name, const std::wstring &text) {
        return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                              DWORD((text.size() + 1) * sizeof(WCHAR)));
    }
    static LONG set_dword(HKEY key, const wchar_t *name, DWORD v) {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), 4);
    }
    static bool get_dword(HKEY key, const wchar_t *name, DWORD *v) {
        DWORD size = 4;
        return RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(v), &size) == ERROR_SUCCESS;
    }
};

TEST_F(Registry, OpeningAMissingKeyFailsAndCreatingMakesEveryLevel) {
    LONG err;
    EXPECT_EQ(open(L"Software\\Tamsett\\Velmora", &err), nullptr);
    EXPECT_EQ(err, ERROR_FILE_NOT_FOUND);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tamsett\\Velmora", 0, nullptr, 0, 0, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\tamsett\\VELMORA", 0, nullptr, 0, 0, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);
    HKEY parent = open(L"\\software\\tamsett");  // a leading backslash and any case
    ASSERT_NE(parent, nullptr);
    HKEY child = nullptr;
    EXPECT_EQ(RegOpenKeyExW(parent, L"velmora", 0, 0, &child), ERROR_SUCCESS);
    RegCloseKey(child);
    RegCloseKey(parent);
}

TEST_F(Registry, TextIsStoredAsUtf16WithItsTerminator) {
    HKEY key = create(L"K");
    std::wstring name(79, L'n');
    ASSERT_EQ(set_text(key, L"AlarmName", name), ERROR_SUCCESS);
    ASSERT_EQ(set_text(key, L"Empty", L""), ERROR_SUCCESS);
    ASSERT_EQ(set_text(key, L"Wide", L"\U0001F514 bell"), ERROR_SUCCESS);
    RegCloseKey(key);
    key = open(L"K");
    DWORD stored = 0;
    ASSERT_EQ(reg_stored_size(key, L"alarmname", &stored), ERROR_SUCCESS);
    EXPECT_EQ(stored, 160u);
    ASSERT_EQ(reg_stored_size(key, L"Empty", &stored), ERROR_SUCCESS);
    EXPECT_EQ(stored, 2u);
    ASSERT_EQ(reg_stored_size(key, L"Wide", &stored), ERROR_SUCCESS);
    EXPECT_EQ(stored, 16u);  // a surrogate pair, five characters and the terminator: 8 units
    WCHAR buf[80];
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueExW(key, L"AlarmName", nullptr, &type, reinterpret_cast<BYTE *>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::wstring(buf), name);
    size = sizeof buf;
    ASSERT_EQ(RegQueryValueExW(key, L"Wide", nullptr, nullptr, reinterpret_cast<BYTE *>(buf), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(buf), L"\U0001F514 bell");
    RegCloseKey(key);
}

TEST_F(Registry, TooSmallABufferFailsAndLeavesItAlone) {
    HKEY key = create(L"K");
    set_text(key, L"Name", std::wstring(80, L'x'));
    WCHAR buf[80];
    wmemset(buf, L'?', 80);
    DWORD size = sizeof buf;
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, nullptr, reinterpret_cast<BYTE *>(buf), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 81 * sizeof(WCHAR));
    for (WCHAR c : buf) ASSERT_EQ(c, L'?');
    // Asking without a buffer gives the size.
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 81 * sizeof(WCHAR));
    RegCloseKey(key);
}

TEST_F(Registry, BadArgumentsAndHandlesAreRefused) {
    HKEY key = create(L"K");
    DWORD v = 1;
    EXPECT_EQ(RegSetValueExW(key, L"Short", 0, REG_DWORD, reinterpret_cast<BYTE *>(&v), 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, std::wstring(300, L'n').c_str(), 0, REG_DWORD, reinterpret_cast<BYTE *>(&v), 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(set_dword(key, L"X", 1), ERROR_INVALID_HANDLE);
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, L"X", nullptr, nullptr, reinterpret_cast<BYTE *>(&v), &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"K", 0, 0, &key), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, WritesThroughOneKeyAreSeenTogetherAfterTheFlush) {
    HKEY writer = create(L"Rec");
    set_dword(writer, L"A", 1);
    set_dword(writer, L"B", 2);
    DWORD v = 0;
    EXPECT_TRUE(get_dword(writer, L"A", &v));  // the writer sees its own writes
    HKEY early = open(L"Rec");
    EXPECT_FALSE(get_dword(early, L"A", &v));
    ASSERT_EQ(RegFlushKey(writer), ERROR_SUCCESS);
    // A key opened before the flush keeps the record it opened with.
    EXPECT_FALSE(get_dword(early, L"B", &v));
    HKEY late = open(L"Rec");
    EXPECT_TRUE(get_dword(late, L"A", &v) && v == 1);
    EXPECT_TRUE(get_dword(late, L"B", &v) && v == 2);
    set_dword(writer, L"A", 3);
    RegCloseKey(writer);  // closing commits too
    HKEY after = open(L"Rec");
    EXPECT_TRUE(get_dword(after, L"A", &v) && v == 3);
    for (HKEY k : {early, late, after}) RegCloseKey(k);
}

TEST_F(Registry, DeletingAKeyTakesItsValuesAndSubkeys) {
    HKEY k = create(L"Top\\Mid\\Leaf");
    set_dword(k, L"V", 1);
    RegCloseKey(k);
    HKEY stale = open(L"Top\\Mid\\Leaf");
    HKEY top = open(L"Top");
    EXPECT_EQ(RegDeleteKeyW(top, L"Mid"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(top, L"Mid"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(open(L"Top\\Mid\\Leaf"), nullptr);
    set_dword(stale, L"W", 2);
    EXPECT_EQ(RegCloseKey(stale), ERROR_KEY_DELETED);
    // Recreated, the key starts empty.
    k = create(L"Top\\Mid\\Leaf");
    DWORD v;
    EXPECT_FALSE(get_dword(k, L"V", &v));
    RegCloseKey(k);
    RegCloseKey(top);
}

// A deleted value is gone for the key that deleted it and for every key
// opened later; a value written but not yet flushed is dropped as well.
TEST_F(Registry, DeletingAValueRemovesItStoredOrPendingWithoutCase) {
    HKEY k = create(L"Top");
    set_dword(k, L"Kept", 1);
    set_dword(k, L"Gone", 2);
    ASSERT_EQ(RegFlushKey(k), ERROR_SUCCESS);
    set_dword(k, L"Pending", 3);
    EXPECT_EQ(RegDeleteValueW(k, L"GONE"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(k, L"pending"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(k, L"Gone"), ERROR_FILE_NOT_FOUND);
    DWORD v;
    EXPECT_FALSE(get_dword(k, L"Gone", &v));
    RegCloseKey(k);
    k = open(L"Top");
    EXPECT_FALSE(get_dword(k, L"Gone", &v));
    EXPECT_FALSE(get_dword(k, L"Pending", &v));
    ASSERT_TRUE(get_dword(k, L"Kept", &v));
    EXPECT_EQ(v, 1u);
    EXPECT_EQ(RegDeleteValueW(nullptr, L"Kept"), ERROR_INVALID_HANDLE);
    RegCloseKey(k);
}

TEST_F(Registry, EnumeratesValuesAndSubkeys) {
    HKEY k = create(L"E");
    set_dword(k, L"b", 2);
    set_dword(k, L"A", 1);
    RegCloseKey(create(L"E\\Sub2"));
    RegCloseKey(create(L"E\\sub1"));
    WCHAR name[32];
    DWORD chars = 32;
    ASSERT_EQ(RegEnumValueW(k, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name), L"A");
    chars = 32;
    EXPECT_EQ(RegEnumValueW(k, 2, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    chars = 32;
    ASSERT_EQ(RegEnumKeyExW(k, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name), L"sub1");
    chars = 32;
    ASSERT_EQ(RegEnumKeyExW(k, 1, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name), L"Sub2");
    chars = 32;
    EXPECT_EQ(RegEnumKeyExW(k, 2, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(k);
}

// A listing steps on from the last entry it gave; writes, removals and
// new keys between two steps are seen as if each step counted from the first.
TEST_F(Registry, ListingsFollowWritesMadeBetweenTheirSteps) {
    HKEY k = create(L"L");
    for (const wchar_t *n : {L"a", L"c", L"e"}) set_dword(k, n, 1);
    RegCloseKey(k);
    k = open(L"L");
    set_dword(k, L"C", 3);  // pending over the stored "c"
    set_dword(k, L"b", 2);
    auto value_at = [&](DWORD index) {
        WCHAR name[32];
        DWORD chars = 32, type = 0, v = 0, size = 4;
        LONG err = RegEnumValueW(k, index, name, &chars, nullptr, &type, reinterpret_cast<BYTE *>(&v), &size);
        return err == ERROR_SUCCESS ? std::wstring(name) + L"=" + std::to_wstring(v) : L"end";
    };
    std::wstring all;
    for (DWORD i = 0; i < 5; i++) all += value_at(i) + L" ";
    EXPECT_EQ(all, L"a=1 b=2 C=3 e=1 end ");
    EXPECT_EQ(value_at(1), L"b=2");
    ASSERT_EQ(RegFlushKey(k), ERROR_SUCCESS);  // the same listing once committed
    EXPECT_EQ(value_at(2), L"C=3");
    ASSERT_EQ(RegDeleteValueW(k, L"a"), ERROR_SUCCESS);
    EXPECT_EQ(value_at(3), L"end");
    set_dword(k, L"0", 0);
    EXPECT_EQ(value_at(3), L"e=1");

    auto key_at = [&](DWORD index) {
        WCHAR name[32];
        DWORD chars = 32;
        return RegEnumKeyExW(k, index, name, &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS
                   ? std::wstring(name)
                   : L"end";
    };
    for (const wchar_t *n : {L"L\\k1", L"L\\k3"}) RegCloseKey(create(n));
    EXPECT_EQ(key_at(0), L"k1");
    RegCloseKey(create(L"L\\k2"));
    EXPECT_EQ(key_at(1), L"k2");
    EXPECT_EQ(key_at(2), L"k3");
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"L\\k1"), ERROR_SUCCESS);
    EXPECT_EQ(key_at(2), L"end");
    EXPECT_EQ(key_at(1), L"k3");
    RegCloseKey(k);
}

TEST_F(Registry, ACorruptDatabaseFailsEveryCallAndSaysWhy) {
    device_close();  // nothing open while the file is damaged
    {
        std::ofstream out(host("registry.db"), std::ios::binary);
        out << std::string(8192, '\x5a');
    }
    ASSERT_TRUE(device_open(root.c_str()));
    LONG err;
    EXPECT_EQ(open(L"Software", &err), nullptr);
    EXPECT_EQ(err, ERROR_REGISTRY_CORRUPT);
    HKEY key = nullptr;
    DWORD disposition;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, nullptr, 0, 0, nullptr, &key, &disposition),
              ERROR_REGISTRY_CORRUPT);
    char problem[512];
    reg_last_problem(problem, sizeof problem);
    EXPECT_NE(std::string(problem).find("corrupt"), std::string::npos);
}

// One thread keeps failing, and so keeps rewriting the last problem, while
// another reads it: the reader gets a whole copy every time. (A reader handed
// the text itself would read it while it is rewritten; the ThreadSanitizer
// build reports that.)
TEST_F(Registry, TheLastProblemIsReadWholeWhileAnotherThreadFails) {
    device_close();
    {
        std::ofstream out(host("registry.db"), std::ios::binary);
        out << std::string(8192, '\x5a');
    }
    ASSERT_TRUE(device_open(root.c_str()));
    EXPECT_EQ(open(L"Software"), nullptr);
    char expected[512];
    reg_last_problem(expected, sizeof expected);
    ASSERT_NE(std::string(expected).find("corrupt"), std::string::npos);
    std::atomic<bool> done{false};
    std::thread failing([&] {
        for (int i = 0; i < 300; i++) EXPECT_EQ(open(L"Software"), nullptr);
        done = true;
    });
    int torn = 0;
    do {
        char problem[512];
        reg_last_problem(problem, sizeof problem);
        if (strcmp(problem, expected) != 0) torn++;
    } while (!done);
    failing.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
