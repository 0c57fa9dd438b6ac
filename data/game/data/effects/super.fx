// The super weapon's flash over the whole screen: the vertex colour added onto the picture in
// proportion to its alpha, which carries the flash's strength.
technique Flash
{
    pass Added
    {
        Lighting = false;
        CullMode = None;
        ZEnable = false;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = One;
        ColorOp[0] = SelectArg2;
        ColorArg2[0] = Diffuse;
        AlphaOp[0] = SelectArg2;
        AlphaArg2[0] = Diffuse;
    }
}
