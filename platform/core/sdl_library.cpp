#include "platform/core/sdl_library.h"

#include "platform/core/library_call.h"

namespace plat {

namespace {

bool load(SdlLibrary &s) {
    void *l = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!l) return false;
    bool ok =
        library_call(l, "SDL_SetHint", &s.SetHint) && library_call(l, "SDL_InitSubSystem", &s.InitSubSystem) &&
        library_call(l, "SDL_QuitSubSystem", &s.QuitSubSystem) && library_call(l, "SDL_GetError", &s.GetError) &&
        library_call(l, "SDL_Delay", &s.Delay) && library_call(l, "SDL_CreateWindow", &s.CreateWindow) &&
        library_call(l, "SDL_DestroyWindow", &s.DestroyWindow) && library_call(l, "SDL_ShowWindow", &s.ShowWindow) &&
        library_call(l, "SDL_RaiseWindow", &s.RaiseWindow) && library_call(l, "SDL_SetWindowSize", &s.SetWindowSize) &&
        library_call(l, "SDL_GetWindowWMInfo", &s.GetWindowWMInfo) &&
        library_call(l, "SDL_CreateRenderer", &s.CreateRenderer) &&
        library_call(l, "SDL_CreateTexture", &s.CreateTexture) &&
        library_call(l, "SDL_DestroyTexture", &s.DestroyTexture) &&
        library_call(l, "SDL_UpdateTexture", &s.UpdateTexture) && library_call(l, "SDL_RenderClear", &s.RenderClear) &&
        library_call(l, "SDL_RenderCopy", &s.RenderCopy) && library_call(l, "SDL_RenderPresent", &s.RenderPresent) &&
        library_call(l, "SDL_PollEvent", &s.PollEvent) && library_call(l, "SDL_StartTextInput", &s.StartTextInput) &&
        library_call(l, "SDL_OpenAudioDevice", &s.OpenAudioDevice) &&
        library_call(l, "SDL_CloseAudioDevice", &s.CloseAudioDevice) &&
        library_call(l, "SDL_PauseAudioDevice", &s.PauseAudioDevice) &&
        library_call(l, "SDL_QueueAudio", &s.QueueAudio) &&
        library_call(l, "SDL_GetQueuedAudioSize", &s.GetQueuedAudioSize) &&
        library_call(l, "SDL_GetAudioDeviceStatus", &s.GetAudioDeviceStatus);
    if (!ok) dlclose(l);
    return ok;
}

}  // namespace

const SdlLibrary *sdl_library(void) { return calls_loaded_once(load, nullptr); }

}  // namespace plat
