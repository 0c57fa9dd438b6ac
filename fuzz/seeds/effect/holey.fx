// Lit, textured parts with holes (grilles, fences): texels whose alpha is below one half are
// not drawn, and both faces are drawn so the holes show the other side.
texture tex0;

technique Holey
{
    pass Cut
    {
        CullMode = None;
        AlphaTestEnable = true;
        AlphaFunc = GreaterEqual;
        AlphaRef = 128;
        ColorOp[0] = Modulate;
        ColorArg1[0] = Texture;
        ColorArg2[0] = Current;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = Texture;
        ColorOp[1] = Disable;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
    }
}
