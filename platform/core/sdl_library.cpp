#include "platform/core/sdl_library.h"

#include <dlfcn.h>

#include <mutex>

namespace plat {

namespace {

template <typename F>
bool find(void *library, const char *name, F *call) {
    *call = reinterpret_cast<F>(dlsym(library, name));
    return *call != nullptr;
}

bool load(SdlLibrary &s) {
    void *l = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!l) return false;
    bool ok = find(l, "SDL_SetHint", &s.SetHint) && find(l, "SDL_InitSubSystem", &s.InitSubSystem) &&
              find(l, "SDL_QuitSubSystem", &s.QuitSubSystem) && find(l, "SDL_GetError", &s.GetError) &&
              find(l, "SDL_Delay", &s.Delay) && find(l, "SDL_CreateWindow", &s.CreateWindow) &&
              find(l, "SDL_DestroyWindow", &s.DestroyWindow) && find(l, "SDL_ShowWindow", &s.ShowWindow) &&
              find(l, "SDL_RaiseWindow", &s.RaiseWindow) && find(l, "SDL_SetWindowSize", &s.SetWindowSize) &&
              find(l, "SDL_GetWindowWMInfo", &s.GetWindowWMInfo) && find(l, "SDL_CreateRenderer", &s.CreateRenderer) &&
              find(l, "SDL_CreateTexture", &s.CreateTexture) && find(l, "SDL_DestroyTexture", &s.DestroyTexture) &&
              find(l, "SDL_UpdateTexture", &s.UpdateTexture) && find(l, "SDL_RenderClear", &s.RenderClear) &&
              find(l, "SDL_RenderCopy", &s.RenderCopy) && find(l, "SDL_RenderPresent", &s.RenderPresent) &&
              find(l, "SDL_PollEvent", &s.PollEvent) && find(l, "SDL_StartTextInput", &s.StartTextInput) &&
              find(l, "SDL_OpenAudioDevice", &s.OpenAudioDevice) &&
              find(l, "SDL_CloseAudioDevice", &s.CloseAudioDevice) &&
              find(l, "SDL_PauseAudioDevice", &s.PauseAudioDevice) && find(l, "SDL_QueueAudio", &s.QueueAudio) &&
              find(l, "SDL_GetQueuedAudioSize", &s.GetQueuedAudioSize) &&
              find(l, "SDL_GetAudioDeviceStatus", &s.GetAudioDeviceStatus);
    if (!ok) dlclose(l);
    return ok;
}

}  // namespace

const SdlLibrary *sdl_library(void) {
    static SdlLibrary s;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] { loaded = load(s); });
    return loaded ? &s : nullptr;
}

}  // namespace plat
