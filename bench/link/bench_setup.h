#pragma once

#include "app_context.h"
#include "bench_figures.h"
#include "link_fixture.h"

