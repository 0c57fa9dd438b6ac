#include "Render/PBaseCamera.h"

CPBaseCamera::CPBaseCamera() : m_view(MatrixIdentity()), m_projection(MatrixIdentity()) {}

int32_t CPBaseCamera::GetSize() const { return sizeof(*this); }

std::string CPBaseCamera::GetClassName() const { return "CPBaseCamera"; }
