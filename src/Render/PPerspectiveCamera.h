#pragma once
#include <cstdint>
#include <string>

#include "Render/PBaseCamera.h"

// The orthographic zoom of the render cameras: at 0 or below they project in perspective,
// above 0 orthographically, showing screen width / zoom by screen height / zoom world units.
// −1 at start; the level sets it on load.
extern float CameraZoom;

// A camera built from an eye point, a target, an up vector, a vertical field of view and two
// clip distances. Besides the view and projection it keeps the six world-space frustum planes
// for culling boxes. The setters only store and mark what must be rebuilt; the owner calls
// UpdateMatrices before the frame is drawn.
class CPPerspectiveCamera : public CPBaseCamera {
public:
    enum Plane { Near, Far, Left, Right, Top, Bottom, PlaneCount };

    // Identity view and projection, with the frustum of the identity (the clip-space box).
    // Nothing is dirty: set the eye, target, up, field of view and clip distances first.
    CPPerspectiveCamera();

    int32_t GetSize() const override;
    std::string GetClassName() const override;

    void SetEye(const PVector3& eye);
    void SetTarget(const PVector3& target);
    void SetUp(const PVector3& up);
    // Vertical field of view in radians.
    void SetFieldOfView(float fieldOfView);
    void SetNearClip(float nearClip);
    void SetFarClip(float farClip);

    const PVector3& GetEye() const { return m_eye; }
    const PVector3& GetTarget() const { return m_target; }
    const PVector3& GetUp() const { return m_up; }
    float GetFieldOfView() const { return m_fieldOfView; }
    float GetNearClip() const { return m_nearClip; }
    float GetFarClip() const { return m_farClip; }

    // Rebuilds the view and/or projection that changed, then view × projection, its inverse
    // and the frustum planes. Does nothing when nothing changed. The projection's aspect is
    // the screen size of the moment.
    void UpdateMatrices();

    // False when the axis-aligned box lies entirely on the outer side of one frustum plane (a
    // box that only touches a plane counts as outside); true otherwise.
    bool TestBox(const PVector3& min, const PVector3& max) const;

    // World-space frustum plane; its normal is unnormalised and points into the frustum.
    const PPlane& GetPlane(Plane plane) const { return m_planes[plane]; }
    const PMatrix& GetViewProjection() const { return m_viewProjection; }
    // The camera's world transform.
    const PMatrix& GetInverseView() const { return m_inverseView; }
    const PMatrix& GetInverseViewProjection() const { return m_inverseViewProjection; }

private:
    void BuildProjection();
    void ComputeFrustumPlanes();

    PPlane m_planes[PlaneCount] = {};
    PVector3 m_target{};
    PVector3 m_eye{};
    PVector3 m_up{};
    float m_fieldOfView = 0.0f;
    float m_nearClip = 0.0f;
    float m_farClip = 0.0f;
    bool m_projectionDirty = false;
    bool m_viewDirty = false;
    PMatrix m_viewProjection;
    PMatrix m_inverseView;
    PMatrix m_inverseViewProjection;
};
