// The background scene: a noise-swollen cube inside a noise-eroded shell,
// glowing through a haze, over a checkered floor, marched along one ray per
// pixel. Everything irregular comes from the noise volume on unit 0.
varying vec3 z;
varying mat4 v;
varying vec2 vTexCoord;

uniform sampler3D Texture0;

// Octaves at 2 * 1.93^k times the point, each weighted by reduction^k.
vec3 noise(vec3 pos, int iterations, float reduction)
{
    float n = 1.0;
    pos = 2.0 * pos;
    vec3 result = vec3(0.0, 0.0, 0.0);
    while (iterations > 0) {
        result += texture3D(Texture0, pos).xyz * n;
        n = n * reduction;
        pos = pos * 1.93;
        iterations--;
    }
    return result;
}

// What the volume emits: a hot core fading to a dim rim, tinted by the
// detail noise.
vec3 color(vec3 pos, vec3 noiseStuff, vec3 colMult)
{
    float dist = length(pos);
    float m = smoothstep(0.3, 1.2, dist);
    float brightness = smoothstep(-1.2, 0.0, -m);
    float stuffi = noiseStuff.y * noiseStuff.z;
    colMult = colMult - stuffi * vec3(8.1, 18.5, 13.2);
    return abs(stuffi) * vec3(0.7, 0.4, 0.2)
        + mix(vec3(1.0, 1.0, 1.0) - colMult, colMult, m) * brightness
        + 0.2 * (1.0 - brightness);
}

void main()
{
    float fTime0_X = v[0][0];

    vec3 rayDir = normalize(z * vec3(1.0, 0.6, 1.0));
    // The floor is seen through a camera that neither moves with nor turns
    // with the scene's.
    vec3 fRayDir = rayDir;

    // Within each second the camera rushes ahead and then slows down.
    float sw1 = floor(fTime0_X);
    float sw2 = fTime0_X - sw1;
    float swoosher = sw1 + pow(sw2, 0.6);

    vec3 camPos = vec3(1.5 * sin(swoosher * 0.7), -0.5 + cos(swoosher * 1.3),
                       -7.0 + 3.0 * sin(swoosher * 0.5));
    // Position and direction turn alike, so the camera circles the origin
    // and keeps it in view.
    float alpha = swoosher * 2.37;
    camPos.yz = vec2(cos(alpha) * camPos.y - sin(alpha) * camPos.z,
                     sin(alpha) * camPos.y + cos(alpha) * camPos.z);
    rayDir.yz = vec2(cos(alpha) * rayDir.y - sin(alpha) * rayDir.z,
                     sin(alpha) * rayDir.y + cos(alpha) * rayDir.z);
    alpha = swoosher * 2.17;
    camPos.xz = vec2(cos(alpha) * camPos.x - sin(alpha) * camPos.z,
                     sin(alpha) * camPos.x + cos(alpha) * camPos.z);
    rayDir.xz = vec2(cos(alpha) * rayDir.x - sin(alpha) * rayDir.z,
                     sin(alpha) * rayDir.x + cos(alpha) * rayDir.z);

    vec3 rayPos = camPos;
    vec3 fRayPos = vec3(sin(fTime0_X * 0.9), 2.0, cos(fTime0_X * 0.7));
    vec3 totalColor = vec3(0.0, 0.0, 0.0);
    float totalDensity = 0.0;
    // The least step grows with the distance travelled, so far rays end.
    float coneSize = 0.003;
    float sceneSize = 20.0;

    while (length(rayPos) < sceneSize && totalDensity < 0.95) {
        vec3 tmpPos = rayPos;
        vec3 noiseData = noise(tmpPos * 0.015 + vec3(0.0, fTime0_X * 0.003, 0.0), 5, 0.5);
        float firstNoise = clamp(0.4 - abs(noiseData.x), 0.0, 0.4);
        firstNoise = firstNoise * (firstNoise * 2.0);
        vec3 noiseData2 = noise(noiseData * 0.2 + rayPos * 0.1 - vec3(0.0, fTime0_X * 0.017, 0.0),
                                5, 0.8);
        float noiseVal = noiseData2.x * 0.2;

        // Negative inside the cube, pushed outward by the noise.
        vec3 absPos = abs(tmpPos);
        float sphere = max(max(absPos.x, absPos.y), absPos.z) - 1.0 - firstNoise;
        // Negative inside the shell; the detail noise eats into it, never
        // adds to it.
        float sphere2 = abs(length(tmpPos) - 1.0 - firstNoise) + 0.1;
        float outer = sphere2 - 1.8 * firstNoise;
        outer = max(outer, min(outer, 0.0) + noiseVal);
        float implicitVal = min(sphere, outer);

        vec3 colMult = vec3(0.8, 0.3, 0.1);
        // Negative below the tilted floor plane of the floor camera's space.
        float floorDist = fRayPos.y - 0.4 * fRayPos.z + 1.5;

        totalColor += vec3(1.0 / 50.0, 1.0 / 70.0, 1.0 / 90.0) * 0.75;
        totalDensity += 2.0 / (300.0 * exp(2.0 * max(implicitVal, 0.0)));

        if (implicitVal < 0.0) {
            float localDensity = clamp(0.0 - max(120.0 * noiseVal, 0.1) * implicitVal, 0.0, 1.0);
            totalColor += (1.0 - totalDensity) * color(rayPos * 0.4, noiseData2, colMult)
                * localDensity;
            totalDensity += (1.0 - totalDensity) * localDensity;
        }

        if (floorDist < 0.0) {
            // Opaque: the march ends after this step.
            float localDensity = 1.0;
            vec3 baseRayPos = 0.5 * fRayPos - floor(0.5 * fRayPos) - 0.5
                + 0.1 * noise(0.4 * fRayPos, 5, 0.5);
            float dist = 2.0 * max(abs(abs(baseRayPos.x) - 0.25), abs(abs(baseRayPos.z) - 0.25));
            float amount = dist;
            if (baseRayPos.x * baseRayPos.z < 0.0)
                amount = 1.0 - amount;
            amount = smoothstep(0.45, 0.55, amount);
            vec3 col = mix(vec3(0.0, 0.0, 0.0), vec3(0.3, 0.5, 0.7), amount);
            totalColor += (1.0 - totalDensity) * col * localDensity;
            totalDensity += (1.0 - totalDensity) * localDensity;
        }

        // Short steps near a surface, up to 2.01 far from everything.
        float stepSize = min(implicitVal, floorDist) * 0.8;
        stepSize = 0.01 + smoothstep(0.0, 2.0, stepSize) * 2.0;
        stepSize = max(coneSize, stepSize);
        coneSize += stepSize * 0.003;
        rayPos += rayDir * stepSize;
        fRayPos += fRayDir * stepSize;
    }

    // The sky by the height of where the ray ended, as seen from the origin.
    float grad = normalize(rayPos).y;
    totalColor += (1.0 - totalDensity)
        * (grad * vec3(0.0, 0.1, 0.2) + (1.0 - grad) * vec3(0.0, 0.2, 0.3));
    gl_FragColor = vec4(totalColor - vec3(0.1, 0.1, 0.1), 1.0);
}
