// Umbrella header of the animation plug-ins: the animation toolkit,
// hierarchical animation, skinning, morphing and delta morphing.
#pragma once

#include "rtanim.h"
#include "rphanim.h"
#include "rpskin.h"
#include "rpmorph.h"
#include "rpdmorph.h"
