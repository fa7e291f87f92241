#pragma once
// The benchmarks' name for the integration rig.
#include "link_env.h"
