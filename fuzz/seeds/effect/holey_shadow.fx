// The shadow of parts with holes (layer 16): a translucent black where the part's texture is
// solid, nothing where it has holes.
texture tex0;

pixelshader HoleyShadow
{
    void main()
    {
        if (texture(tex0, vx_TexCoord0).a < 0.5) discard;
        vx_FragColor = vec4(0.0, 0.0, 0.0, 0.5);
    }
}

technique Shadow
{
    pass Darken
    {
        PixelShader = HoleyShadow;
        Lighting = false;
        ZWriteEnable = false;
        CullMode = None;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
    }
}
