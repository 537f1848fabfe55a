// Leaks that LeakSanitizer is not to report in the sanitizer build: none of
// them is ours. Compiled into every test program of that build.

// libsndfile keeps the Vorbis header state of an Ogg file it failed to open
// (a truncated file); the allocation is in libvorbis.
extern "C" const char *__lsan_default_suppressions() { return "leak:vorbis_info_init\n"; }
