// The minimap on the screen layers: the level's map picture alone, unlit, over everything.
texture tex0;

technique Map
{
    pass Textured
    {
        Lighting = false;
        CullMode = None;
        ZEnable = false;
        ZWriteEnable = false;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = Texture;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = Texture;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
    }
}
