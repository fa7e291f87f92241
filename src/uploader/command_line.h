#pragma once

#include "transfer_policy.h"

#include <QStringList>
#include <cstdio>

namespace vorna::uploader {

// Exit codes of the command-line mode.
namespace exit_code {
inline constexpr int kSuccess = 0;
inline constexpr int kTransferFailed = 1;
inline constexpr int kUsage = 2; // bad arguments, unreadable file, port that cannot be opened
inline constexpr int kNoAnnouncement = 3;
} // namespace exit_code

// True when the arguments ask for the command-line mode rather than the window.
bool wantsCommandLine(const QStringList& arguments);

// Runs one transfer from the command line (a QCoreApplication must exist): waits for the
// announcement, then transfers the file as the build does, printing the status and progress
// texts to 'out' and failures to 'err'.
int runCommandLine(const TransferPolicy& policy, const QStringList& arguments,
                   const TransferTiming& timing = {}, FILE* out = stdout, FILE* err = stderr);

} // namespace vorna::uploader
