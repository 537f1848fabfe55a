// The manifest's text form: read strictly, since a package comes from
// outside, and written back in one order.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <set>

#include "tools/velpkg/velpkg.h"

namespace {

constexpr size_t MAX_NAME_CHARS = 40;
constexpr size_t MAX_VALUE_NAME_CHARS = 255;
constexpr size_t MAX_MEMBER_NAME = 200;

std::string problem_text;

std::vector<std::string> split_tabs(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

// Package and vendor names become a folder name and part of registry keys.
bool name_ok(const std::wstring &name) {
    if (name.empty() || name.size() > MAX_NAME_CHARS || name[0] == L' ' || name.back() == L' ') return false;
    for (wchar_t c : name)
        if (!iswalnum(c) && c != L' ' && c != L'-' && c != L'_' && c != L'.') return false;
    return name != L"." && name != L"..";
}

bool version_ok(const std::wstring &version) {
    if (version.empty() || version.size() > MAX_NAME_CHARS) return false;
    for (wchar_t c : version)
        if (!iswalnum(c) && c != L'.' && c != L'-' && c != L'+' && c != L'~') return false;
    return true;
}

}  // namespace

bool member_name_ok(const std::string &member) {
    if (member.empty() || member.size() > MAX_MEMBER_NAME || member[0] == '/' || member == MANIFEST_MEMBER)
        return false;
    size_t start = 0;
    while (start <= member.size()) {
        size_t slash = member.find('/', start);
        if (slash == std::string::npos) slash = member.size();
        std::string part = member.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = slash + 1;
    }
    for (unsigned char c : member)
        if (c < 0x20 || c == '\\') return false;
    return true;
}

namespace {

bool parse_number(const std::string &text, DWORD &out) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char *end = nullptr;
    errno = 0;
    unsigned long long n = strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno || *end || n > 0xFFFFFFFFull) return false;
    out = DWORD(n);
    return true;
}

std::wstring wide(const std::string &utf8) { return plat::from_utf8(utf8.c_str()); }

// One line of the manifest into `m`; false with the problem set.
bool take_line(const std::vector<std::string> &f, Manifest &m) {
    const std::string &kind = f[0];
    auto expect = [&](size_t count) {
        if (f.size() == count) return true;
        set_problem("\"%s\" takes %zu field(s), not %zu", kind.c_str(), count - 1, f.size() - 1);
        return false;
    };
    if (kind == "package" || kind == "vendor" || kind == "version" || kind == "installdir") {
        if (!expect(2)) return false;
        std::wstring *field = kind == "package"   ? &m.package
                              : kind == "vendor"  ? &m.vendor
                              : kind == "version" ? &m.version
                                                  : &m.install_dir;
        if (!field->empty()) return set_problem("\"%s\" is given twice", kind.c_str()), false;
        *field = wide(f[1]);
        return true;
    }
    if (kind == "setup") {
        if (!expect(2)) return false;
        if (!m.setup.empty()) return set_problem("\"setup\" is given twice"), false;
        m.setup = f[1];
        return true;
    }
    if (kind == "file") {
        if (!expect(3)) return false;
        m.files.push_back({f[1], wide(f[2])});
        return true;
    }
    if (kind == "shortcut") {
        if (!expect(3)) return false;
        m.shortcuts.push_back({wide(f[1]), wide(f[2])});
        return true;
    }
    if (kind == "reg") {
        if (!expect(5)) return false;
        PackageValue v{wide(f[1]), wide(f[2]), REG_SZ, 0, L""};
        if (f[3] == "dword") {
            v.type = REG_DWORD;
            if (!parse_number(f[4], v.number)) return set_problem("\"%s\" is not a 32-bit number", f[4].c_str()), false;
        } else if (f[3] == "sz") {
            v.text = wide(f[4]);
        } else {
            return set_problem("the value type \"%s\" is neither dword nor sz", f[3].c_str()), false;
        }
        m.values.push_back(v);
        return true;
    }
    set_problem("\"%s\" is not a manifest entry", kind.c_str());
    return false;
}

bool paths_ok(const Manifest &m) {
    std::set<std::wstring> taken;
    auto lay = [&](const std::wstring &path) {
        if (!package_path_ok(path))
            return set_problem("a package may not lay a file at %s", plat::to_utf8(path.c_str()).c_str()), false;
        if (!taken.insert(plat::fold_case(path.c_str())).second)
            return set_problem("two entries lay a file at %s", plat::to_utf8(path.c_str()).c_str()), false;
        return true;
    };
    if (!package_path_ok(m.install_dir + L"\\x"))
        return set_problem("the install folder %s is not a folder a package may use",
                           plat::to_utf8(m.install_dir.c_str()).c_str()),
               false;
    std::set<std::string> members;
    for (const PackageFile &f : m.files) {
        if (!member_name_ok(f.member)) return set_problem("\"%s\" is not a member name", f.member.c_str()), false;
        if (!members.insert(f.member).second) return set_problem("member %s is laid twice", f.member.c_str()), false;
        if (!lay(f.device_path)) return false;
    }
    for (const PackageShortcut &s : m.shortcuts) {
        const std::wstring &p = s.device_path;
        if (p.size() < 5 || plat::fold_case(p.c_str()).compare(p.size() - 4, 4, L".lnk") != 0)
            return set_problem("the shortcut %s does not end in .lnk", plat::to_utf8(p.c_str()).c_str()), false;
        if (!lay(p)) return false;
        if (!package_path_ok(s.target))
            return set_problem("the shortcut's target %s is not a device path",
                               plat::to_utf8(s.target.c_str()).c_str()),
                   false;
    }
    return true;
}

// Control characters (a carriage return among them) would not survive the
// manifest's own text form, nor mean anything in a setting.
bool has_control(const std::wstring &text) {
    for (wchar_t c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

bool values_ok(const Manifest &m) {
    std::set<std::wstring> seen;
    for (const PackageValue &v : m.values) {
        std::string key = plat::to_utf8(v.key.c_str());
        if (!package_key_ok(v.key, m))
            return set_problem("the registry key %s is not the package's own", key.c_str()), false;
        if (v.name.empty() || v.name.size() > MAX_VALUE_NAME_CHARS)
            return set_problem("a value name under %s is empty or too long", key.c_str()), false;
        if (has_control(v.name) || has_control(v.text))
            return set_problem("the value %s holds a control character", plat::to_utf8(v.name.c_str()).c_str()), false;
        if (v.type == REG_SZ && v.text.size() >= MAX_PATH)
            return set_problem("the text of %s is longer than %d characters", plat::to_utf8(v.name.c_str()).c_str(),
                               MAX_PATH - 1),
                   false;
        std::wstring id = plat::fold_case(v.key.c_str()) + L"\n" + plat::fold_case(v.name.c_str());
        if (!seen.insert(id).second)
            return set_problem("the value %s is given twice", plat::to_utf8(v.name.c_str()).c_str()), false;
    }
    return true;
}

bool manifest_ok(const Manifest &m) {
    if (!name_ok(m.package) || !name_ok(m.vendor))
        return set_problem("the package and vendor names must be 1-40 letters, digits, spaces, '.', '-' or '_'"), false;
    if (!version_ok(m.version)) return set_problem("the version is missing or not a version"), false;
    if (!m.setup.empty() && !member_name_ok(m.setup))
        return set_problem("\"%s\" is not a member name", m.setup.c_str()), false;
    if (m.files.size() + m.shortcuts.size() > MAX_MEMBERS || m.values.size() > MAX_MEMBERS)
        return set_problem("the package has more than %zu entries of a kind", MAX_MEMBERS), false;
    return paths_ok(m) && values_ok(m);
}

}  // namespace

void set_problem(const char *fmt, ...) {
    char line[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line, sizeof line, fmt, ap);
    va_end(ap);
    problem_text = line;
}

const char *problem(void) { return problem_text.c_str(); }

bool parse_manifest(const std::string &text, Manifest &m) {
    m = Manifest();
    if (text.size() > MAX_MANIFEST_BYTES)
        return set_problem("the manifest is larger than %zu bytes", MAX_MANIFEST_BYTES), false;
    if (text.find('\0') != std::string::npos || !plat::is_utf8(text.data(), text.size()))
        return set_problem("the manifest is not UTF-8 text"), false;
    size_t start = 0;
    for (int number = 1; start < text.size(); number++) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (!take_line(split_tabs(line), m)) {
            std::string why = problem();
            return set_problem("manifest line %d: %s", number, why.c_str()), false;
        }
    }
    if (manifest_ok(m)) return true;
    std::string why = problem();
    set_problem("manifest: %s", why.c_str());
    return false;
}

std::string manifest_text(const Manifest &m) {
    auto u = [](const std::wstring &w) { return plat::to_utf8(w.c_str()); };
    std::string t = "package\t" + u(m.package) + "\nvendor\t" + u(m.vendor) + "\nversion\t" + u(m.version) +
                    "\ninstalldir\t" + u(m.install_dir) + "\n";
    if (!m.setup.empty()) t += "setup\t" + m.setup + "\n";
    for (const PackageFile &f : m.files) t += "file\t" + f.member + "\t" + u(f.device_path) + "\n";
    for (const PackageValue &v : m.values) {
        std::string data = v.type == REG_DWORD ? std::to_string(v.number) : u(v.text);
        t += "reg\t" + u(v.key) + "\t" + u(v.name) + (v.type == REG_DWORD ? "\tdword\t" : "\tsz\t") + data + "\n";
    }
    for (const PackageShortcut &s : m.shortcuts) t += "shortcut\t" + u(s.device_path) + "\t" + u(s.target) + "\n";
    return t;
}

std::wstring full_name(const Manifest &m) { return m.vendor + L" " + m.package; }
