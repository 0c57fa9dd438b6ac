// The flash of an explosion: the texture times the vertex colour, added onto what lies behind in
// proportion to its alpha, kept out of the depth buffer.
texture tex0;

technique Flash
{
    pass Blended
    {
        Lighting = false;
        CullMode = None;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = One;
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
