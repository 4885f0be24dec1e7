// The scroll message: the greetings and credits that run across the top of
// the picture.
#pragma once

enum { scrollTextLength = 1209 };

// Exactly scrollTextLength bytes of 7-bit ASCII, plus a terminating zero
// that is not drawn: 8 blanks, the message, an asterisk and 8 blanks.
extern const char scrollText[scrollTextLength + 1];
