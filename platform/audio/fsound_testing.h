// Test seams of the sound library, kept out of its production interface.
#pragma once

// Make the next `count` FSOUND_Init calls fail, or the next `count`
// FSOUND_Stream_Close calls report failure.
void fsound_fail_inits(int count);
void fsound_fail_closes(int count);
// How many streams were opened since the program started.
unsigned fsound_open_count(void);
