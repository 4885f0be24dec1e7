// The greetings and credits of the scroller. Only characters with a glyph
// and blanks; the closing asterisk draws as an empty cell like the blanks.
#include "assets/scrollText.h"

// Eight blanks in front and behind: the line enters from an empty band and
// leaves it empty before it comes round again.
const char scrollText[scrollTextLength + 1] =
    "        welcome to vemlodar - a small real-time presentation that runs by itself "
    "for two hundred and thirty seconds. what you see is a cube swollen by noise inside "
    "a worn-down spherical shell, glowing through a haze over a checkered floor, while "
    "the camera sweeps slowly around it. every pixel of it is ray-marched at five "
    "hundred and twelve by two hundred and fifty-six, then stretched over your whole "
    "screen with a little film grain... no image files, no models - just three short "
    "shader texts, a sixteen-cubed volume of noise grown from a fixed seed, and this "
    "line of text. the glyphs you are reading were drawn in code too, out of rounded "
    "boxes, polygons and fillets, sheared into italics, packed as runs. a small platform "
    "layer of our own lets the same source run on two systems, and a capture tool "
    "renders any moment without a display. the music is a four-channel module, composed "
    "in code as well. greetings go out to everyone who still makes things like this - "
    "the coders who count cycles, the musicians who fit a song into a few patterns, the "
    "pixel artists, the organisers who keep the parties going, and you, watching to the "
    "end. thank you! make something and share it! vemlodar signing off!*        ";
