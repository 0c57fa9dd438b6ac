// Interface screens that ask for smooth drawing: the texture filtered linearly (for scaled or
// turned elements), blended by its alpha over everything drawn before.
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
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
    }
}
