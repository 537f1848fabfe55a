#include "platform/audio/sndfile_library.h"

#include "platform/core/library_call.h"

namespace audio {

namespace {

bool load(SndfileLibrary &s) {
    void *l = dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!l) return false;
    bool ok = plat::library_call(l, "sf_open_fd", &s.open_fd) && plat::library_call(l, "sf_close", &s.close) &&
              plat::library_call(l, "sf_readf_float", &s.readf_float) &&
              plat::library_call(l, "sf_error", &s.error) && plat::library_call(l, "sf_seek", &s.seek);
    if (!ok) dlclose(l);
    return ok;
}

}  // namespace

const SndfileLibrary *sndfile_library(void) {
    return plat::calls_loaded_once(load, "velmora: no sndfile library (libsndfile.so.1); sound files do not play\n");
}

}  // namespace audio
