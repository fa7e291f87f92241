#pragma once
// The benchmarks' name for the stored rows of the tests.
#include "test_rows.h"
