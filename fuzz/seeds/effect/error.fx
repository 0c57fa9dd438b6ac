// The effect of materials whose effect cannot be made: a pulsing magenta that nobody misses.
// Where the shader cannot run, the second technique draws the unlit vertex colour.
float time;

pixelshader Pulse
{
    void main()
    {
        float level = 0.75 + 0.25 * sin(time * 6.0);
        vx_FragColor = vec4(level, 0.0, level, 1.0);
    }
}

technique Shader
{
    pass Magenta
    {
        PixelShader = Pulse;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
    }
}

technique FixedFunction
{
    pass Magenta
    {
        Lighting = false;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = Diffuse;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = Diffuse;
    }
}
