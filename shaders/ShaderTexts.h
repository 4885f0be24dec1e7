// The three shader texts as the program holds them: each .glsl file beside
// this header, byte for byte, with a terminating zero.
#pragma once

extern const char vMainObject[];
extern const char fMainBackground[];
extern const char fOffscreeCopy[];
