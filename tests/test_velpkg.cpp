// velpkg's work in-process on a temporary device: manifests and archives
// from outside are refused when they would reach past the device or the
// package's own keys, and every install, upgrade and removal that fails part
// way leaves the device exactly as it was.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/device/device.h"
#include "tests/support/registry_values.h"
#include "tests/support/temp_device.h"
#include "tools/velpkg/velpkg.h"
#include "tools/velpkg/velpkg_testing.h"

namespace {

namespace fs = std::filesystem;

void write_file(const std::string &path, const std::string &bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A manifest with the package's header and the given entry lines.
std::string manifest_with(const std::string &entries, const std::string &version = "1.0") {
    return "package\tClock\nvendor\tAcme\nversion\t" + version + "\ninstalldir\t\\IPSM\\Program Files\\Clock\n" +
           entries;
}

const char *const V1_ENTRIES =
    "file\tbin/clock\t\\IPSM\\Program Files\\Clock\\clock.exe\n"
    "file\thelp.txt\t\\Windows\\clock.htp\n"
    "file\tsounds/a.wav\t\\IPSM\\Program Files\\Clock\\sounds\\a.wav\n"
    "reg\t\\Security\\AppInstall\\Acme Clock\tInstallDir\tsz\t\\IPSM\\Program Files\\Clock\n"
    "reg\tSoftware\\Acme\\Clock\\Defaults\tVolume\tdword\t7\n"
    "shortcut\t\\Windows\\Start Menu\\Programs\\Clock.lnk\t\\IPSM\\Program Files\\Clock\\clock.exe\n";

const char *const V2_ENTRIES =
    "file\tbin/clock\t\\IPSM\\Program Files\\Clock\\clock.exe\n"
    "file\tsounds/b.wav\t\\IPSM\\Program Files\\Clock\\sounds\\b.wav\n"
    "reg\t\\Security\\AppInstall\\Acme Clock\tInstallDir\tsz\t\\IPSM\\Program Files\\Clock\n"
    "reg\tSoftware\\Acme\\Clock\tVersion\tdword\t2\n";

class Velpkg : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        setenv("VELMORA_NOTIFYD", "off", 1);
        work = make_temp_folder("pkg");
    }
    void TearDown() override {
        velpkg_limit_writes(-1);
        velpkg_fail_after_changes(-1);
        remove_tree(work);
        TempDevice::TearDown();
    }

    // Packs `manifest` with members made of their own names and `tag`.
    std::string pack(const std::string &manifest, const std::string &tag, const char *name = "clock.vpk") {
        Manifest m;
        EXPECT_TRUE(parse_manifest(manifest, m)) << problem();
        std::vector<std::pair<std::string, std::string>> members;
        for (const PackageFile &f : m.files) {
            std::string host = work + "/src/" + f.member;
            write_file(host, f.member + " " + tag + "\n");
            // Programs keep their execute bit through the package.
            if (f.member.compare(0, 4, "bin/") == 0) fs::permissions(host, fs::perms(0755));
            members.push_back({f.member, host});
        }
        std::string out = work + "/" + name;
        EXPECT_TRUE(write_package(out.c_str(), manifest, members)) << problem();
        return out;
    }

    // Every file of the device but the databases and the journal, with its
    // bytes, and every registry value.
    std::map<std::string, std::string> snapshot() {
        std::map<std::string, std::string> all;
        for (auto &e : fs::recursive_directory_iterator(root)) {
            std::string rel = e.path().string().substr(root.size());
            if (rel.find(".db") != std::string::npos || rel == "/journal.log") continue;
            all[rel] = e.is_directory() ? "<folder>" : read_whole_file(e.path().string());
        }
        dump_key(HKEY_LOCAL_MACHINE, L"", all);
        return all;
    }
    void dump_key(HKEY key, const std::wstring &path, std::map<std::string, std::string> &all) {
        WCHAR name[256];
        BYTE data[1024];
        for (DWORD i = 0;; i++) {
            DWORD chars = 256, size = sizeof data, type = 0;
            if (RegEnumValueW(key, i, name, &chars, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
            all["reg:" + plat::to_utf8((path + L"|" + name).c_str())] =
                std::to_string(type) + ":" + std::string(reinterpret_cast<char *>(data), size);
        }
        for (DWORD i = 0;; i++) {
            DWORD chars = 256;
            if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            std::wstring sub = path + L"\\" + name;
            all["key:" + plat::to_utf8(sub.c_str())] = "";
            HKEY child;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, 0, &child) == ERROR_SUCCESS) {
                dump_key(child, sub, all);
                RegCloseKey(child);
            }
        }
    }
    // Refused with one line that says `why`, the device as it was.
    void expect_refused(const std::string &package, const char *why) {
        auto before = snapshot();
        EXPECT_EQ(install_package(package.c_str()), 1);
        EXPECT_NE(std::string(problem()).find(why), std::string::npos) << problem();
        EXPECT_EQ(std::string(problem()).find('\n'), std::string::npos);
        EXPECT_EQ(snapshot(), before);
    }

    std::string work;
};

TEST_F(Velpkg, ManifestsThatReachPastTheDeviceOrThePackagesKeysAreRefused) {
    struct Case {
        const char *entry;
        const char *why;
    } cases[] = {
        {"file\ta\t\\IPSM\\..\\..\\etc\\passwd\n", "may not lay a file at"},
        {"file\ta\t/etc/passwd\n", "may not lay a file at"},
        {"file\ta\t\\registry.db\n", "may not lay a file at"},
        {"file\ta\t\\My Documents\\mine.txt\n", "may not lay a file at"},
        {"file\ta\t\\Windows\\AppMgr\\Acme Clock\\manifest\n", "may not lay a file at"},
        {"file\ta\t\\IPSM\\x/..\\y\n", "may not lay a file at"},
        {"file\t../a\t\\IPSM\\a\n", "not a member name"},
        {"file\ta\t\\IPSM\\A\nfile\tb\t\\ipsm\\a\n", "two entries lay a file at"},
        {"file\ta\t\\IPSM\\A\nfile\ta\t\\IPSM\\B\n", "member a is laid twice"},
        {"reg\t\\Software\\Other\\Clock\tX\tsz\ty\n", "is not the package's own"},
        {"reg\tSoftware\\Acme\tX\tsz\ty\n", "is not the package's own"},
        {"reg\tSoftware\\Acme\\ClockX\tX\tsz\ty\n", "is not the package's own"},
        {"reg\t\\Security\\AppInstall\\Acme Other\tX\tsz\ty\n", "is not the package's own"},
        {"reg\tSoftware\\Acme\\Clock\tX\tdword\t4294967296\n", "is not a 32-bit number"},
        {"reg\tSoftware\\Acme\\Clock\tX\tqword\t1\n", "neither dword nor sz"},
        // A text ending in a carriage return would lose it when written back.
        {"reg\tSoftware\\Acme\\Clock\tX\tsz\ty\r\r\n", "holds a control character"},
        {"reg\tSoftware\\Acme\\Clock\tX\x01\tdword\t1\n", "holds a control character"},
        {"shortcut\t\\Windows\\Start Menu\\Clock.exe\t\\IPSM\\a\n", "does not end in .lnk"},
        {"package\tClock\n", "is given twice"},
        {"install\tnow\n", "is not a manifest entry"},
    };
    for (const Case &c : cases) {
        Manifest m;
        EXPECT_FALSE(parse_manifest(manifest_with(c.entry), m)) << c.entry;
        EXPECT_NE(std::string(problem()).find(c.why), std::string::npos) << c.entry << " gave: " << problem();
    }
    Manifest m;
    EXPECT_FALSE(parse_manifest("package\tClock\nvendor\tAcme\ninstalldir\t\\IPSM\\Clock\n", m));
    EXPECT_NE(std::string(problem()).find("version"), std::string::npos);
    EXPECT_FALSE(parse_manifest(manifest_with("file\ta\t\\IPSM\\\xff\n"), m));
    EXPECT_NE(std::string(problem()).find("UTF-8"), std::string::npos);
}

TEST_F(Velpkg, TheShippedManifestIsAcceptedAndReadsBackAsWritten) {
    Manifest m, again;
    ASSERT_TRUE(parse_manifest(read_whole_file(VELMORA_MANIFEST), m)) << problem();
    EXPECT_EQ(m.package, L"Velmora");
    EXPECT_EQ(full_name(m), L"Tamsett Velmora");
    ASSERT_TRUE(parse_manifest(manifest_text(m), again)) << problem();
    EXPECT_EQ(manifest_text(again), manifest_text(m));
}

TEST_F(Velpkg, InstallLaysEverythingAndRemovalTakesAwayOnlyWhatItLaid) {
    std::string package = pack(manifest_with(V1_ENTRIES), "one");
    ASSERT_EQ(install_package(package.c_str()), 0) << problem();
    EXPECT_EQ(read_whole_file(host("IPSM/Program Files/Clock/clock.exe")), "bin/clock one\n");
    EXPECT_EQ(int(fs::status(host("IPSM/Program Files/Clock/clock.exe")).permissions() & fs::perms(0777)), 0755);
    EXPECT_EQ(read_whole_file(host("Windows/clock.htp")), "help.txt one\n");
    EXPECT_EQ(int(fs::status(host("Windows/clock.htp")).permissions() & fs::perms(0777)), 0644);
    std::string target = "\\IPSM\\Program Files\\Clock\\clock.exe";
    EXPECT_EQ(read_whole_file(host("Windows/Start Menu/Programs/Clock.lnk")),
              std::to_string(target.size() + 2) + "#\"" + target + "\"");
    std::wstring dir;
    ASSERT_TRUE(get_text(L"\\Security\\AppInstall\\Acme Clock", L"InstallDir", &dir));
    EXPECT_EQ(dir, L"\\IPSM\\Program Files\\Clock");
    Manifest installed;
    ASSERT_TRUE(find_installed(L"clock", installed));
    EXPECT_EQ(installed.version, L"1.0");

    // The user's own: a value beside the package's, a file in its folder, a document.
    put_dword(L"Software\\Acme\\Clock\\Defaults", L"Mine", 3);
    write_file(host("IPSM/Program Files/Clock/sounds/mine.wav"), "mine");
    write_file(host("My Documents/notes.txt"), "notes");
    ASSERT_EQ(remove_package("Clock"), 0) << problem();
    EXPECT_FALSE(fs::exists(host("IPSM/Program Files/Clock/clock.exe")));
    EXPECT_FALSE(fs::exists(host("Windows/clock.htp")));
    EXPECT_FALSE(fs::exists(host("Windows/Start Menu/Programs/Clock.lnk")));
    EXPECT_FALSE(fs::exists(host("Windows/AppMgr/Acme Clock")));
    EXPECT_FALSE(key_exists(L"\\Security\\AppInstall\\Acme Clock"));
    EXPECT_EQ(read_whole_file(host("IPSM/Program Files/Clock/sounds/mine.wav")), "mine");
    EXPECT_EQ(read_whole_file(host("My Documents/notes.txt")), "notes");
    DWORD mine = 0, volume = 0;
    EXPECT_TRUE(get_dword(L"Software\\Acme\\Clock\\Defaults", L"Mine", &mine));
    EXPECT_FALSE(get_dword(L"Software\\Acme\\Clock\\Defaults", L"Volume", &volume));
    EXPECT_TRUE(fs::exists(host("IPSM/Program Files")));  // every device has it
    EXPECT_FALSE(find_installed(L"Clock", installed));
    EXPECT_EQ(remove_package("Clock"), 1);
}

TEST_F(Velpkg, AnUpgradeReplacesTheOldVersionAndKeepsTheUsersValues) {
    ASSERT_EQ(install_package(pack(manifest_with(V1_ENTRIES), "one", "v1.vpk").c_str()), 0) << problem();
    put_dword(L"Software\\Acme\\Clock\\Alarms\\0", L"AlarmOn", 1);
    ASSERT_EQ(install_package(pack(manifest_with(V2_ENTRIES, "2.0"), "two", "v2.vpk").c_str()), 0) << problem();
    EXPECT_EQ(read_whole_file(host("IPSM/Program Files/Clock/clock.exe")), "bin/clock two\n");
    EXPECT_TRUE(fs::exists(host("IPSM/Program Files/Clock/sounds/b.wav")));
    EXPECT_FALSE(fs::exists(host("IPSM/Program Files/Clock/sounds/a.wav")));
    EXPECT_FALSE(fs::exists(host("Windows/clock.htp")));
    EXPECT_FALSE(fs::exists(host("Windows/Start Menu/Programs/Clock.lnk")));
    DWORD value = 0;
    EXPECT_FALSE(get_dword(L"Software\\Acme\\Clock\\Defaults", L"Volume", &value));
    EXPECT_TRUE(get_dword(L"Software\\Acme\\Clock", L"Version", &value));
    EXPECT_EQ(value, 2u);
    EXPECT_TRUE(get_dword(L"Software\\Acme\\Clock\\Alarms\\0", L"AlarmOn", &value));
    Manifest installed;
    ASSERT_TRUE(find_installed(L"Clock", installed));
    EXPECT_EQ(installed.version, L"2.0");
}

// Each change in turn fails; until the operation gets through, the device
// must be found exactly as before every try.
TEST_F(Velpkg, AFailureAtAnyChangeOfAnInstallUpgradeOrRemovalPutsTheDeviceBack) {
    std::string v1 = pack(manifest_with(V1_ENTRIES), "one", "v1.vpk");
    std::string v2 = pack(manifest_with(V2_ENTRIES, "2.0"), "two", "v2.vpk");
    put_dword(L"Software\\Acme\\Clock\\Defaults", L"Volume", 9);  // a value the package replaces
    auto until_done = [&](const std::function<int()> &operation) {
        int failures = 0;
        for (int allowed = 0; allowed < 200; allowed++) {
            auto before = snapshot();
            velpkg_fail_after_changes(allowed);
            int rc = operation();
            velpkg_fail_after_changes(-1);
            if (rc == 0) return failures;
            failures++;
            EXPECT_EQ(snapshot(), before) << "after " << allowed << " changes: " << problem();
            EXPECT_NE(std::string(problem()).find("nothing was"), std::string::npos) << problem();
        }
        return failures;
    };
    EXPECT_GT(until_done([&] { return install_package(v1.c_str()); }), 10);
    EXPECT_GT(until_done([&] { return install_package(v2.c_str()); }), 5);
    EXPECT_GT(until_done([&] { return remove_package("Clock"); }), 5);
    EXPECT_FALSE(fs::exists(host("IPSM/Program Files/Clock")));
    DWORD volume = 0;
    EXPECT_FALSE(get_dword(L"Software\\Acme\\Clock\\Defaults", L"Volume", &volume));
}

TEST_F(Velpkg, AFullDiskWhileReadingThePackageChangesNothing) {
    std::string v1 = pack(manifest_with(V1_ENTRIES), "one");
    velpkg_limit_writes(20);
    expect_refused(v1, "the device is full");
}

// Archive damage and hostile members: all refused before anything changes.
TEST_F(Velpkg, DamagedOrHostileArchivesAreRefusedWithOneLine) {
    std::string good = read_whole_file(pack(manifest_with(V1_ENTRIES), "one"));
    write_file(work + "/cut.vpk", good.substr(0, good.size() / 2));
    expect_refused(work + "/cut.vpk", "damaged");
    std::string garbled = good;
    for (size_t i = garbled.size() / 3; i < garbled.size() / 3 + 64; i++) garbled[i] = char(garbled[i] ^ 0x5A);
    write_file(work + "/garbled.vpk", garbled);
    expect_refused(work + "/garbled.vpk", "damaged");
    write_file(work + "/text.vpk", "not an archive at all\n");
    expect_refused(work + "/text.vpk", "damaged");
    expect_refused(work + "/missing.vpk", "cannot read");

    // A member the manifest does not name, a member it names but lacks.
    std::string manifest = manifest_with(V1_ENTRIES);
    write_file(work + "/src/extra", "extra");
    std::string extra = work + "/extra.vpk";
    ASSERT_TRUE(write_package(extra.c_str(), manifest,
                              {{"bin/clock", work + "/src/bin/clock"},
                               {"help.txt", work + "/src/help.txt"},
                               {"sounds/a.wav", work + "/src/sounds/a.wav"},
                               {"extra", work + "/src/extra"}}));
    expect_refused(extra, "member extra is not in the manifest");
    std::string lacking = work + "/lacking.vpk";
    ASSERT_TRUE(write_package(lacking.c_str(), manifest, {{"bin/clock", work + "/src/bin/clock"}}));
    expect_refused(lacking, "which the package lacks");
}

// A tar header as a hostile packer would write it, claiming any size.
std::string tar_header(const std::string &name, long long size, char type = '0') {
    std::string h(512, '\0');
    h.replace(0, name.size(), name);
    h.replace(100, 7, "0000644");
    h.replace(108, 7, "0000000");
    h.replace(116, 7, "0000000");
    char field[16];
    snprintf(field, sizeof field, "%011llo", size);
    h.replace(124, 11, field);
    h.replace(136, 11, "00000000000");
    h[156] = type;
    h.replace(257, 6, std::string("ustar\0", 6));
    h.replace(263, 2, "00");
    h.replace(148, 8, "        ");
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    snprintf(field, sizeof field, "%06o", sum);
    h.replace(148, 7, std::string(field, 6) + '\0');
    return h;
}

TEST_F(Velpkg, AMemberClaimingTwoGigabytesIsRefusedBeforeItIsRead) {
    std::string manifest = manifest_with("file\tbig\t\\IPSM\\Program Files\\Clock\\big\n");
    std::string tar = tar_header("manifest", (long long)manifest.size()) + manifest;
    tar += std::string((512 - manifest.size() % 512) % 512, '\0');
    tar += tar_header("big", 2048ll << 20) + std::string(4096, 'x');
    write_file(work + "/big.vpk", tar);
    expect_refused(work + "/big.vpk", "member big is 2048 MB; a package member may hold at most 64 MB");

    std::string link = tar_header("manifest", (long long)manifest.size()) + manifest;
    link += std::string((512 - manifest.size() % 512) % 512, '\0');
    link += tar_header("big", 0, '2') + std::string(1024, '\0');
    write_file(work + "/link.vpk", link);
    expect_refused(work + "/link.vpk", "member big is not a plain file");
}

TEST_F(Velpkg, ASetupLibraryThatCannotBeLoadedStopsTheInstallBeforeAnyChange) {
    std::string manifest = manifest_with(std::string("setup\tsetup.dll\n") + V1_ENTRIES);
    std::string package = pack(manifest, "one");
    // pack() made the files; the setup member is plain text, not a library.
    write_file(work + "/src/setup.dll", "not a library");
    Manifest m;
    ASSERT_TRUE(parse_manifest(manifest, m));
    std::vector<std::pair<std::string, std::string>> members = {{"setup.dll", work + "/src/setup.dll"}};
    for (const PackageFile &f : m.files) members.push_back({f.member, work + "/src/" + f.member});
    ASSERT_TRUE(write_package(package.c_str(), manifest, members));
    expect_refused(package, "cannot load the setup library");
}

TEST_F(Velpkg, AFileOnAMountedFolderOrBehindASymbolicLinkIsOutsideTheDevice) {
    std::string package = pack(manifest_with(V1_ENTRIES), "one");
    std::string outside = work + "/outside";
    fs::create_directories(outside);
    fs::create_symlink(outside, host("IPSM/Program Files/Clock"));
    expect_refused(package, "leads outside the device");
    EXPECT_TRUE(fs::is_empty(outside));
    std::string ignored;
    EXPECT_FALSE(host_file_of(L"\\IPSM\\Program Files\\Clock\\clock.exe", ignored));
    EXPECT_TRUE(host_file_of(L"\\IPSM\\Program Files\\Other\\clock.exe", ignored));

    fs::remove(host("IPSM/Program Files/Clock"));
    DeviceSettings ds = *device_settings();
    plat::copy_wide(ds.mounts[0].device_folder, MAX_PATH, L"\\Windows");
    plat::copy_utf8(ds.mounts[0].host_folder, DEVICE_HOST_PATH, outside);
    ds.mount_count = 1;
    ASSERT_TRUE(device_save_settings(&ds));
    expect_refused(package, "leads outside the device");
    EXPECT_TRUE(fs::is_empty(outside));
}

}  // namespace
