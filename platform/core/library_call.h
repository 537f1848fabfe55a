// Libraries loaded with dlopen when first wanted: finding one call by its C
// name, and filling a table of calls once for the whole program.
#pragma once

#include <dlfcn.h>

#include <cstdio>
#include <mutex>

namespace plat {

template <typename F>
bool library_call(void *library, const char *name, F *call) {
    *call = reinterpret_cast<F>(dlsym(library, name));
    return *call != nullptr;
}

// The table `load` fills at the first call (thread-safe); nullptr when it
// could not, said once on stderr with `missing` unless that is null. One
// table per type of `Calls`.
template <typename Calls>
const Calls *calls_loaded_once(bool (*load)(Calls &), const char *missing) {
    static Calls calls;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [&] {
        loaded = load(calls);
        if (!loaded && missing) fputs(missing, stderr);
    });
    return loaded ? &calls : nullptr;
}

}  // namespace plat
