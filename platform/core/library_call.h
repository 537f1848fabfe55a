// Finding one call, by its C name, in a library loaded with dlopen.
#pragma once

#include <dlfcn.h>

namespace plat {

template <typename F>
bool library_call(void *library, const char *name, F *call) {
    *call = reinterpret_cast<F>(dlsym(library, name));
    return *call != nullptr;
}

}  // namespace plat
