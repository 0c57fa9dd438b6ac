// Foliage: like holey.fx, but leaves keep their thinner edges (a lower alpha cut) and the
// texture repeats without filtering across its border.
texture tex0;

technique Tree
{
    pass Leaves
    {
        CullMode = None;
        AlphaTestEnable = true;
        AlphaFunc = GreaterEqual;
        AlphaRef = 80;
        ColorOp[0] = Modulate;
        ColorArg1[0] = Texture;
        ColorArg2[0] = Current;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = Texture;
        ColorOp[1] = Disable;
        AddressU[0] = Wrap;
        AddressV[0] = Wrap;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
    }
}
