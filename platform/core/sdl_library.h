// SDL2, loaded on first use: a clock without a window or a sound card never
// maps it and the forty libraries it brings. The calls the platform makes,
// by their SDL names without the prefix.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

namespace plat {

struct SdlLibrary {
    decltype(&::SDL_SetHint) SetHint;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_GetError) GetError;
    decltype(&::SDL_Delay) Delay;
    decltype(&::SDL_CreateWindow) CreateWindow;
    decltype(&::SDL_DestroyWindow) DestroyWindow;
    decltype(&::SDL_ShowWindow) ShowWindow;
    decltype(&::SDL_RaiseWindow) RaiseWindow;
    decltype(&::SDL_SetWindowSize) SetWindowSize;
    decltype(&::SDL_GetWindowWMInfo) GetWindowWMInfo;
    decltype(&::SDL_CreateRenderer) CreateRenderer;
    decltype(&::SDL_CreateTexture) CreateTexture;
    decltype(&::SDL_DestroyTexture) DestroyTexture;
    decltype(&::SDL_UpdateTexture) UpdateTexture;
    decltype(&::SDL_RenderClear) RenderClear;
    decltype(&::SDL_RenderCopy) RenderCopy;
    decltype(&::SDL_RenderPresent) RenderPresent;
    decltype(&::SDL_PollEvent) PollEvent;
    decltype(&::SDL_StartTextInput) StartTextInput;
    decltype(&::SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&::SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&::SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&::SDL_QueueAudio) QueueAudio;
    decltype(&::SDL_GetQueuedAudioSize) GetQueuedAudioSize;
    decltype(&::SDL_GetAudioDeviceStatus) GetAudioDeviceStatus;
};

// The library, loaded at the first call (thread-safe); nullptr when it is
// not installed or lacks a call.
const SdlLibrary *sdl_library(void);

}  // namespace plat
