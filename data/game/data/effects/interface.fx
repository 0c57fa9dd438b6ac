// Interface screens and texts: the texture as it is, texel for texel (point filtering), blended
// by its alpha over everything drawn before.
texture tex0;

technique Screen
{
    pass Blended
    {
        Lighting = false;
        CullMode = None;
        ZEnable = false;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = Texture;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = Texture;
        ColorOp[1] = Disable;
        MinFilter[0] = Point;
        MagFilter[0] = Point;
        MipFilter[0] = Point;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
    }
}
