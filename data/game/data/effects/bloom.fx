// Bloom, first step: keeps what is bright in the small copy of the scene and spreads it sideways.
// The engine binds the copy (256 x 192) to every texture parameter and draws it into another
// target of that size; bloom2.fx then spreads the result up and down.
texture tex0;

shared {
    const float kTexelWidth = 1.0 / 256.0;
    const float kThreshold = 0.55;

    // What lies above the threshold, stretched back to the full range.
    vec3 Bright(vec2 uv) {
        vec3 colour = texture(tex0, uv).rgb;
        return max(colour - vec3(kThreshold), vec3(0.0)) / (1.0 - kThreshold);
    }
}

pixelshader BrightSideways {
    void main() {
        const float weights[7] = float[](0.16, 0.15, 0.13, 0.10, 0.07, 0.05, 0.03);
        vec3 sum = Bright(vx_TexCoord0) * weights[0];
        for (int i = 1; i < 7; ++i) {
            vec2 offset = vec2(2.0 * float(i) * kTexelWidth, 0.0);
            sum += (Bright(vx_TexCoord0 + offset) + Bright(vx_TexCoord0 - offset)) * weights[i];
        }
        vx_FragColor = vec4(sum, 1.0);
    }
}

technique Bloom {
    pass Sideways {
        PixelShader = BrightSideways;
        ZEnable = false;
        ZWriteEnable = false;
        AlphaBlendEnable = false;
        CullMode = None;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
    }
}
