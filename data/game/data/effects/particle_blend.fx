// Particles and spots: the texture times the vertex colour (which carries the fade), blended by
// their alpha and kept out of the depth buffer.
texture tex0;

technique Blend
{
    pass Blended
    {
        Lighting = false;
        CullMode = None;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
        ColorOp[0] = Modulate;
        ColorArg1[0] = Texture;
        ColorArg2[0] = Diffuse;
        AlphaOp[0] = Modulate;
        AlphaArg1[0] = Texture;
        AlphaArg2[0] = Diffuse;
        ColorOp[1] = Disable;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
    }
}
