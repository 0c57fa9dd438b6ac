// The sample scene's cube: its texture under the fixed-function lighting.
texture tex0;

technique Lit
{
    pass Textured
    {
        Lighting = true;
        CullMode = CCW;
        ColorOp[0] = Modulate;
        ColorArg1[0] = Texture;
        ColorArg2[0] = Current;
        ColorOp[1] = Disable;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
    }
}
