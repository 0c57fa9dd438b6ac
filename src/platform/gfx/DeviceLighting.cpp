#include "platform/gfx/Device.h"

#include <algorithm>

#include <epoxy/gl.h>


namespace platform::gfx {

void Device::SetTransform(TransformType type, const PMatrix& matrix)
{
    const uint32_t index = static_cast<uint32_t>(type);
    if (index >= 3) return;
    transforms_[index] = matrix;
    transformsDirty_ = true;
    if (type == TransformType::View) lightingDirty_ = true;  // lights are lit in view space
}

const PMatrix& Device::GetTransform(TransformType type) const
{
    const uint32_t index = static_cast<uint32_t>(type);
    return transforms_[index < 3 ? index : 0];
}

void Device::SetMaterial(const Material& material)
{
    material_ = material;
    lightingDirty_ = true;
}

bool Device::SetLight(uint32_t index, const Light& light)
{
    if (index >= kMaxLights) return false;
    if (light.type != LightType::Directional) {
        if (light.type != LightType::Point && light.type != LightType::Spot) return false;
        if (light.range < 0.0f) return false;
        if (light.attenuation0 == 0.0f && light.attenuation1 == 0.0f && light.attenuation2 == 0.0f) return false;
    }
    lights_[index] = light;
    lightingDirty_ = true;
    return true;
}

bool Device::LightEnable(uint32_t index, bool enable)
{
    if (index >= kMaxLights) return false;
    lightEnabled_[index] = enable;
    lightingDirty_ = true;
    return true;
}

void Device::FlushUniforms()
{
    if (transformsDirty_) {
        const TransformInputs inputs{&transforms_[0], &transforms_[1], &transforms_[2],
                                     viewport_,       TargetWidth(),   TargetHeight(), Flipped()};
        PackTransforms(inputs, transformBlock_);
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[kTransformBinding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(transformBlock_), &transformBlock_);
        transformsDirty_ = false;
    }
    if (lightingDirty_) {
        PackLighting(renderStates_, material_, lights_, lightEnabled_, transforms_[1], lightingBlock_);
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[kLightingBinding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(lightingBlock_), &lightingBlock_);
        lightingDirty_ = false;
    }
    if (pixelDirty_) {
        PackPixel(renderStates_, stageStates_, pixelBlock_);
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[kPixelBinding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(pixelBlock_), &pixelBlock_);
        pixelDirty_ = false;
    }
}

}  // namespace platform::gfx
