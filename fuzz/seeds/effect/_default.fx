// The effect of materials whose own effect file is missing: the lit vertex colour modulated by
// the first texture, filtered smoothly.
texture tex0;

technique Default
{
    pass Lit
    {
        ColorOp[0] = Modulate;
        ColorArg1[0] = Texture;
        ColorArg2[0] = Current;
        AlphaOp[0] = Modulate;
        AlphaArg1[0] = Texture;
        AlphaArg2[0] = Current;
        ColorOp[1] = Disable;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
    }
}
