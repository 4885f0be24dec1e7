// Shared by both programs. Positions arrive already in clip space; the
// model-view matrix is no transform but the frame's parameters (time, pass),
// handed on whole to the fragment stage.
varying vec3 z;
varying mat4 v;
varying vec2 vTexCoord;

void main()
{
    vTexCoord = gl_MultiTexCoord0.xy;
    v = gl_ModelViewMatrix;
    // Every vertex at the same depth; there is no depth buffer to test it.
    z = vec3(gl_Vertex.xy, 0.99);
    gl_Position = vec4(z, 1.0);
}
