#pragma once
#include <cstdint>
#include <string>

#include "core/PMMObject.h"
#include "math/PMath.h"

// The view and projection of one render layer: before drawing a layer that has a camera, the
// renderer sets the device's view and projection transforms to these two matrices. The plain
// camera holds them as given; the renderer's screen camera is one (pixel coordinates, y down).
class CPBaseCamera : public IPMMObject {
public:
    CPBaseCamera();

    int32_t GetSize() const override;
    std::string GetClassName() const override;

    // Copies the world-to-view matrix.
    void SetView(const PMatrix& view) { m_view = view; }

    const PMatrix& GetView() const { return m_view; }
    const PMatrix& GetProjection() const { return m_projection; }

protected:
    PMatrix m_view;
    PMatrix m_projection;
};
