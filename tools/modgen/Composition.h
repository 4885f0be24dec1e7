// The soundtrack, composed: 24 patterns of four bars in D minor at 100 beats
// a minute, 230.4 seconds from its quiet start to its fade, after which it
// starts over.
#pragma once

#include "tools/modgen/ProTrackerModule.h"

// Channels as Amiga players pan them: 1 and 4 left, 2 and 3 right. Drums and
// pad on the left, bass and the upper voice on the right, so that each side
// has a low and a high part.
enum { drumChannel = 0, bassChannel = 1, upperChannel = 2, padChannel = 3 };

// Speed 6 ticks a row at 100 beats a minute: a row is 0.15 s, a beat four
// rows, a bar sixteen, and a pattern 9.6 s.
enum { songSpeed = 6, songTempo = 100 };

Module ComposeSoundtrack(void);
