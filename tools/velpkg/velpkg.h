// velpkg, the device's package installer. A package is one archive holding a
// manifest and its files; installing copies the files to their device paths,
// writes the package's registry values and shortcuts and calls the package's
// setup library around it, as the phone's installer did. Whatever fails part
// way is undone, so the device is left as it was.
#pragma once

#include <string>
#include <vector>

#include "platform/phone.h"

// Limits a package must keep; anything bigger is refused before it is read.
constexpr long long MAX_MEMBER_BYTES = 64ll << 20;
constexpr long long MAX_PACKAGE_BYTES = 256ll << 20;
constexpr size_t MAX_MANIFEST_BYTES = 64 << 10;
constexpr size_t MAX_MEMBERS = 256;

// The archive member that holds the manifest.
#define MANIFEST_MEMBER "manifest"

struct PackageFile {
    std::string member;  // archive member (pack: the host file)
    std::wstring device_path;
};

struct PackageValue {
    std::wstring key;  // under the registry's root, e.g. "\Security\AppInstall\Tamsett Velmora"
    std::wstring name;
    DWORD type;  // REG_DWORD or REG_SZ
    DWORD number;
    std::wstring text;
};

// A Start Menu entry: a small file naming the program it starts.
struct PackageShortcut {
    std::wstring device_path;  // ends in ".lnk"
    std::wstring target;
};

struct Manifest {
    std::wstring package;  // the name `velpkg remove` takes
    std::wstring vendor;
    std::wstring version;
    std::wstring install_dir;
    std::string setup;  // member holding the setup library; empty: none
    std::vector<PackageFile> files;
    std::vector<PackageValue> values;
    std::vector<PackageShortcut> shortcuts;
};

// The one line that says what went wrong, for the verb to print.
void set_problem(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
const char *problem(void);

// manifest.cpp: the text form, one entry a line, fields separated by tabs:
//   package NAME | vendor NAME | version TEXT | installdir DEVICE-PATH
//   setup MEMBER | file MEMBER DEVICE-PATH | reg KEY NAME dword|sz DATA
//   shortcut DEVICE-PATH TARGET-DEVICE-PATH
// Lines starting with '#' and empty lines are skipped.
bool parse_manifest(const std::string &text, Manifest &m);
std::string manifest_text(const Manifest &m);
// "Tamsett Velmora": the package's full name, its record's folder name.
std::wstring full_name(const Manifest &m);
// An archive member's name: relative, no empty, "." or ".." part.
bool member_name_ok(const std::string &member);

// device_paths.cpp: where a package may write.
// A device path a package may lay a file at: in "\IPSM" or "\Windows", with
// no empty, "." or ".." part and nothing a file name may not hold.
bool package_path_ok(const std::wstring &path);
// A registry key of the package's own, or one below it: its settings key
// "Software\<vendor>\<package>" or its install record
// "\Security\AppInstall\<vendor> <package>".
bool package_key_ok(const std::wstring &key, const Manifest &m);
// The host file of a device path, refused when it would lie outside the
// device root (a mounted folder), pass through a symbolic link, or when what
// stands there is not a plain file.
bool host_file_of(const std::wstring &device_path, std::string &host);
// The folders every device keeps, which removing a package never removes.
bool kept_folder(const std::wstring &device_folder);

// package_archive.cpp: the archive. Reading stages every member into
// `folder` as a file of its own; `staged` gets the host file of each member,
// in the manifest's order of `members`.
struct StagedPackage {
    std::string manifest_text;
    std::vector<std::string> members;  // archive names
    std::vector<std::string> files;    // host files in the staging folder, same order
};
bool read_package(const char *path, const std::string &folder, StagedPackage &out);
// Writes a package: the manifest, then each member from its host file.
bool write_package(const char *path, const std::string &manifest,
                   const std::vector<std::pair<std::string, std::string>> &members);

// The host file a staged member landed in; empty when there is no such member.
std::string staged_file(const StagedPackage &p, const std::string &member);

// changes.cpp: every change to the device, recorded so that it can be undone.
struct Change {
    enum Kind { MADE_FOLDER, MOVED_FILE, MADE_KEY, SET_VALUE, DELETED_KEY } kind = MADE_FOLDER;
    std::string from, to;    // MOVED_FILE: moved from, to; MADE_FOLDER: to
    std::wstring key, name;  // the registry's changes
    bool had = false;        // SET_VALUE: the value existed before
    DWORD type = 0;
    std::string data;  // its old bytes
};

struct Changes {
    std::string work;  // the installer's own folder in the device root
    std::vector<Change> done;
    int aside = 0;  // files put aside so far, for their names
};

// Takes the device for this one install or removal (waiting for another
// one to finish) and makes a fresh work folder "<root>/.velpkg-XXXXXX";
// false when it cannot. Until the changes are kept or undone, Ctrl-C and
// hang-ups wait.
bool begin_changes(Changes &c);
bool make_parent_folders(Changes &c, const std::string &host_file);
bool move_file(Changes &c, const std::string &from, const std::string &to);
// Moves an existing file out of the way into the work folder; nothing to do
// when it does not exist.
bool put_aside(Changes &c, const std::string &host_file);
bool set_value(Changes &c, const PackageValue &v);
bool delete_value(Changes &c, const std::wstring &key, const std::wstring &name);
// Removes the key when it holds no value and no subkey.
bool delete_key_if_empty(Changes &c, const std::wstring &key);
// Undoes everything in reverse order, then keeps that: the work folder goes.
void undo_changes(Changes &c);
// Keeps the changes: removes the work folder with what was put aside, and
// lets the device go.
void keep_changes(Changes &c);

// installed.cpp: what is installed lives in "\Windows\AppMgr\<full name>":
// the manifest and the setup library.
std::wstring record_folder(const Manifest &m);
std::wstring record_manifest(const Manifest &m);
std::wstring record_setup(const Manifest &m);
// The installed package of that name (or full name); false when none.
bool find_installed(const std::wstring &name, Manifest &m);
// Every installed package, in the order of their records' names.
std::vector<Manifest> installed_packages(void);
// "\Windows\AppMgr" and its host folder.
bool records_folder(std::string &host);
// The bytes of a shortcut that starts `target`.
std::string shortcut_text(const std::wstring &target);

// setup_calls.cpp: the package's setup library, loaded from a host file.
// It stays loaded until velpkg ends: the platform compiled into it keeps
// state for the life of a process (the locale, its databases) that is not
// made to be torn down, one install or removal a process.
struct SetupLibrary {
    void *handle = nullptr;
    pfnINSTALL_INIT install_init = nullptr;
    pfnINSTALL_EXIT install_exit = nullptr;
    pfnUNINSTALL_INIT uninstall_init = nullptr;
    pfnUNINSTALL_EXIT uninstall_exit = nullptr;
};
bool load_setup(const std::string &host_file, SetupLibrary &lib);
// While the setup library runs, the installer's standard output and error
// are /dev/null: programs it starts (the resident alarm manager) must not
// hold the terminal or a caller's pipe open. `quiet` true redirects, false
// restores.
void setup_output_quiet(bool quiet);
// Lines the setup library put in the journal after `offset` (message boxes
// above all): the person at the terminal sees what the device said.
long journal_size(void);
void print_journal_since(long offset);

// The verbs; each returns the program's exit code.
int install_package(const char *file);
int remove_package(const char *name);
int list_packages(void);
int pack_package(const char *description, const char *folder, const char *output);
