// The sample scene's panel on the screen layer: the vertex colour alone, blended by its alpha,
// over everything.
technique Panel
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
        ColorOp[0] = SelectArg2;
        ColorArg2[0] = Diffuse;
        AlphaOp[0] = SelectArg2;
        AlphaArg2[0] = Diffuse;
    }
}
