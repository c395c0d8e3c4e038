// Registry internals shared by registration and extension streaming.
#pragma once

#include "rwplugin.h"
