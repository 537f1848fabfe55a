// Test seams of the message boxes, kept out of their production interface.
#pragma once

// Answer the next boxes with these buttons, in order, without showing them.
void message_box_queue_answer(int button);
// With the headless policy on, every box is answered at once even when a
// screen exists. The environment variable VELMORA_MSGBOX=headless sets it for
// a whole program.
void message_box_set_headless(bool headless);
