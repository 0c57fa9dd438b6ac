// A level's terrain: the level's colour picture over the whole terrain (first texture
// coordinates) times a detail texture (second coordinates), lit.
texture tex0;
texture tex1;
texture tex2;

technique Terrain
{
    pass Detailed
    {
        Lighting = true;
        CullMode = CCW;
        ColorOp[0] = Modulate;
        ColorArg1[0] = Texture;
        ColorArg2[0] = Current;
        ColorOp[1] = Modulate;
        ColorArg1[1] = Texture;
        ColorArg2[1] = Current;
        MinFilter[0] = Linear;
        MagFilter[0] = Linear;
        MipFilter[0] = Linear;
        MinFilter[1] = Linear;
        MagFilter[1] = Linear;
        MipFilter[1] = Linear;
    }
}
