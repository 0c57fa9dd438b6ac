// Bloom, second step: spreads what bloom.fx kept up and down and weakens it a little. The engine
// adds the result onto the whole screen.
texture tex0;

shared {
    const float kTexelHeight = 1.0 / 192.0;
    const float kStrength = 0.8;
}

pixelshader UpAndDown {
    void main() {
        const float weights[7] = float[](0.16, 0.15, 0.13, 0.10, 0.07, 0.05, 0.03);
        vec3 sum = texture(tex0, vx_TexCoord0).rgb * weights[0];
        for (int i = 1; i < 7; ++i) {
            vec2 offset = vec2(0.0, 2.0 * float(i) * kTexelHeight);
            sum += (texture(tex0, vx_TexCoord0 + offset).rgb + texture(tex0, vx_TexCoord0 - offset).rgb) * weights[i];
        }
        vx_FragColor = vec4(sum * kStrength, 1.0);
    }
}

technique Bloom {
    pass UpAndDown {
        PixelShader = UpAndDown;
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
