#pragma once

#include "build_policy.h"

namespace vorna::uploader {

// The whole program of either build: the command-line mode when options are given, the window
// otherwise.
int uploaderMain(Build build, int argc, char** argv);

} // namespace vorna::uploader
