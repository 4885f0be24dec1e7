// Two passes share this stage: below 0.5 the selector v[0][1] picks the
// enlargement of the background with film grain, above it the scroller's
// glyphs, blended over the picture by their alpha.
varying vec3 z;
varying mat4 v;
varying vec2 vTexCoord;

uniform sampler2D t;

void main()
{
    if (v[0][1] < 0.5) {
        float time = v[0][0];
        // A new grain every frame: the time shifts the hash's input.
        float h = fract(sin(dot(z.xy + time, vec2(12.9898, 78.233))) * 43758.5453);
        vec2 n = vec2(h, h);
        // The window's -1..1 spans the whole background texture; the jitter
        // moves the read by under half a texel.
        vec2 p = 0.5 * z.xy + vec2(0.5, 0.5) + 0.0007 * n;
        gl_FragColor = texture2D(t, p) + 0.02 * h;
    } else {
        gl_FragColor = texture2D(t, vTexCoord);
    }
}
