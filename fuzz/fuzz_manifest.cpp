// A package's manifest as anybody may write it: whatever is taken must keep
// to the rules a package is held to, and write back to text that reads as
// the same manifest.
#include <cstdlib>
#include <string>

#include "tools/velpkg/velpkg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Manifest m;
    set_problem("%s", "");
    if (!parse_manifest(std::string(reinterpret_cast<const char *>(data), size), m)) {
        if (*problem() == '\0') abort();  // a refusal always says why
        return 0;
    }
    for (const PackageFile &f : m.files)
        if (!member_name_ok(f.member) || !package_path_ok(f.device_path)) abort();
    for (const PackageValue &v : m.values)
        if (!package_key_ok(v.key, m)) abort();
    std::string text = manifest_text(m);
    Manifest again;
    if (!parse_manifest(text, again) || manifest_text(again) != text) abort();
    return 0;
}
