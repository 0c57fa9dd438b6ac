#include "Render/ShadowProjection.h"

PMatrix g_shadowProjection = MatrixIdentity();
