#include "Render/PPerspectiveCamera.h"

#include "core/SettingsVariables.h"

float CameraZoom = -1.0f;

namespace {

// Clip-space corners of the frustum: x, y in {−1, 1}, depth in {0, 1}.
constexpr PVector3 kClipCorners[8] = {
    {-1, -1, 0}, {1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1},
};

// The three corners that each plane passes through, in plane order; the normal
// (B − A) × (C − A) points into the frustum.
constexpr int kPlaneCorners[CPPerspectiveCamera::PlaneCount][3] = {
    {0, 1, 2}, {6, 7, 5}, {2, 6, 4}, {7, 3, 5}, {2, 3, 6}, {1, 0, 4},
};

PPlane PlaneThrough(const PVector3& a, const PVector3& b, const PVector3& c)
{
    return PlaneFromPointNormal(a, Vec3Cross(b - a, c - a));
}

}  // namespace

CPPerspectiveCamera::CPPerspectiveCamera()
    : m_viewProjection(MatrixIdentity()),
      m_inverseView(MatrixIdentity()),
      m_inverseViewProjection(MatrixIdentity())
{
    ComputeFrustumPlanes();
}

int32_t CPPerspectiveCamera::GetSize() const { return sizeof(*this); }

std::string CPPerspectiveCamera::GetClassName() const { return "CPPerspectiveCamera"; }

void CPPerspectiveCamera::SetEye(const PVector3& eye)
{
    m_eye = eye;
    m_viewDirty = true;
}

void CPPerspectiveCamera::SetTarget(const PVector3& target)
{
    m_target = target;
    m_viewDirty = true;
}

void CPPerspectiveCamera::SetUp(const PVector3& up)
{
    m_up = up;
    m_viewDirty = true;
}

void CPPerspectiveCamera::SetFieldOfView(float fieldOfView)
{
    m_fieldOfView = fieldOfView;
    m_projectionDirty = true;
}

void CPPerspectiveCamera::SetNearClip(float nearClip)
{
    m_nearClip = nearClip;
    m_projectionDirty = true;
}

void CPPerspectiveCamera::SetFarClip(float farClip)
{
    m_farClip = farClip;
    m_projectionDirty = true;
}

void CPPerspectiveCamera::UpdateMatrices()
{
    const bool changed = m_viewDirty || m_projectionDirty;
    if (m_viewDirty) {
        m_view = MatrixLookAtLH(m_eye, m_target, m_up);
        m_inverseView = MatrixInverse(m_view);
        m_viewDirty = false;
    }
    if (m_projectionDirty) {
        BuildProjection();
        m_projectionDirty = false;
    }
    if (!changed) {
        return;
    }
    m_viewProjection = m_view * m_projection;
    m_inverseViewProjection = MatrixInverse(m_viewProjection);
    ComputeFrustumPlanes();
}

void CPPerspectiveCamera::BuildProjection()
{
    const float width = float(g_screenWidth);
    const float height = float(g_screenHeight);
    if (CameraZoom > 0.0f) {
        m_projection = MatrixOrthoLH(width / CameraZoom, height / CameraZoom, m_nearClip, m_farClip);
    } else {
        m_projection = MatrixPerspectiveFovLH(m_fieldOfView, width / height, m_nearClip, m_farClip);
    }
}

void CPPerspectiveCamera::ComputeFrustumPlanes()
{
    PVector3 corners[8];
    for (int i = 0; i < 8; ++i) {
        const PVector3& c = kClipCorners[i];
        const PVector4 p = Vec4Transform({c.x, c.y, c.z, 1.0f}, m_inverseViewProjection);
        corners[i] = {p.x / p.w, p.y / p.w, p.z / p.w};
    }
    for (int i = 0; i < PlaneCount; ++i) {
        const int* abc = kPlaneCorners[i];
        m_planes[i] = PlaneThrough(corners[abc[0]], corners[abc[1]], corners[abc[2]]);
    }
}

bool CPPerspectiveCamera::TestBox(const PVector3& min, const PVector3& max) const
{
    const PVector3 corners[8] = {
        {min.x, min.y, min.z}, {min.x, max.y, min.z}, {max.x, max.y, min.z}, {max.x, min.y, min.z},
        {min.x, min.y, max.z}, {min.x, max.y, max.z}, {max.x, max.y, max.z}, {max.x, min.y, max.z},
    };
    for (const PPlane& plane : m_planes) {
        bool inside = false;
        for (const PVector3& corner : corners) {
            if (PlaneDotCoord(plane, corner) > 0.0f) {
                inside = true;
                break;
            }
        }
        if (!inside) {
            return false;
        }
    }
    return true;
}
