// The renderer's shadow material (layer 16): objects drawn a second time, flattened onto the
// ground by the layer's shadow projection, as a translucent black.
pixelshader Shadow
{
    void main()
    {
        vx_FragColor = vec4(0.0, 0.0, 0.0, 0.5);
    }
}

technique Shadow
{
    pass Darken
    {
        PixelShader = Shadow;
        Lighting = false;
        ZWriteEnable = false;
        CullMode = None;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
    }
}
