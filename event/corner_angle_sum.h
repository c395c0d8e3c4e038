// The inside test of the events' ground quadrilaterals (trigger areas and
// the crusher zones): the angle sum under which a point sees the corners.
#pragma once

#include "event/event_record.h"

// The sum of the angles under which `hero` sees the quadrilateral's four
// edges, in degrees through the game's arc-cosine table: 360 inside and on
// the boundary, less outside. Height is ignored.
float CornerAngleSum(const RwV3d (&corners)[kEventCorners], const RwV3d &hero);
