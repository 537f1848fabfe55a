// The sound library: streams of .wav, .ogg and .mp3 files played on a
// software mixer, with the calls and values the phone's library offered.
// End notifications run on a thread of the library; nothing here takes a lock
// the caller could hold.
#pragma once

#include "platform/core/types.h"

typedef struct FSOUND_STREAM FSOUND_STREAM;

// Called on the library's thread when a stream has played to its end; for a
// looping stream each time it comes round to its start. `buff` is NULL and
// `len` 0; the result is not used.
typedef signed char (*FSOUND_STREAMCALLBACK)(FSOUND_STREAM *stream, void *buff, int len, void *userdata);

// Outputs for FSOUND_SetOutput. The waveform-audio output is whatever
// VELMORA_AUDIO chooses: "sdl" (the default: the audio device, or nothing
// when the machine has none), "null" (nothing, at real-time pace) or
// "wav:/path/out.wav" (a capture of everything mixed).
#define FSOUND_OUTPUT_NOSOUND 0
#define FSOUND_OUTPUT_WAVEOUT 1

// Stream modes.
#define FSOUND_LOOP_OFF 0x00000001
#define FSOUND_LOOP_NORMAL 0x00000002
#define FSOUND_8BITS 0x00000008
#define FSOUND_16BITS 0x00000010
#define FSOUND_MONO 0x00000020
#define FSOUND_STEREO 0x00000040
#define FSOUND_UNSIGNED 0x00000080
#define FSOUND_SIGNED 0x00000100

// Channels.
#define FSOUND_FREE (-1)
#define FSOUND_ALL (-3)

// Tag field types.
#define FSOUND_TAGFIELD_VORBISCOMMENT 0
#define FSOUND_TAGFIELD_ID3V1 1
#define FSOUND_TAGFIELD_ID3V2 2   // value: the frame's data, its text-encoding byte first
#define FSOUND_TAGFIELD_RIFF 3

signed char FSOUND_SetOutput(int output);
signed char FSOUND_Init(int mix_rate, int max_channels, unsigned int flags);
void FSOUND_Close(void);

FSOUND_STREAM *FSOUND_Stream_Open(const char *path, unsigned int mode, int offset, int length);
signed char FSOUND_Stream_SetEndCallback(FSOUND_STREAM *stream, FSOUND_STREAMCALLBACK callback, void *userdata);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM *stream);
signed char FSOUND_Stream_Stop(FSOUND_STREAM *stream);
signed char FSOUND_Stream_Close(FSOUND_STREAM *stream);
signed char FSOUND_SetPaused(int channel, signed char paused);

signed char FSOUND_HasPowerOnOccurred(void);
signed char FSOUND_File_HasFatalErrorOccurred(void);

signed char FSOUND_Stream_GetNumTagFields(FSOUND_STREAM *stream, int *count);
// The name is zero-terminated 8-bit text; the value holds `length` bytes
// followed by four zero bytes. Both stay valid until the stream is closed.
signed char FSOUND_Stream_GetTagField(FSOUND_STREAM *stream, int index, int *type, char **name, void **value,
                                      int *length);
