#pragma once

#include "build_policy.h"
#include "port_fault.h"

#include <chrono>

namespace vorna::uploader {

// Where a build shows a text.
enum class TextField {
    Status,   // the connection status field / status line
    Progress, // the caption of the progress frame (the current build only)
};

// How the two builds run the bootloader exchange and their windows. Like BuildPolicy (which
// covers the image) these are data read by one code path.
struct TransferPolicy {
    const BuildPolicy& image;

    // Announcement
    const char* announcement;        // the text the current build insists on ("" = unchecked)
    const char* announcementAnswer;  // sent back once recognised ("" = none)
    bool userStarts;                 // Start / Restart buttons; otherwise one go on announcement
    bool selectsFirstPort;           // the port list applies its first entry
    bool readableFileBeforeTransfer; // an announcement without a readable file transfers nothing

    // Identification
    int identifyAttempts;
    int requiredFamily; // -1: any family the table knows
    bool readsVersion;

    // Writing
    bool sendsEepromAndConfiguration;
    bool resetsAfterWriting;
    std::chrono::milliseconds rowPause;      // between rows
    std::chrono::milliseconds firstRowPause; // between the row-0 request and its read
    TextField progressField;                 // where reading/programming texts go
    bool commandSteps; // the bar steps after each write and read of identification and row 0

    // Texts
    const char* caption;
    const char* statusIdle;           // port chosen, or the direct port closed
    const char* statusTurnOn;         // Start pressed / file chosen
    const char* statusOnLine;         // announcement recognised
    const char* statusNotRecognised;  // wrong announcement
    const char* statusDetect;         // looking for ports again
    const char* statusReadyToRestart; // all rows written
    const char* versionFormat;        // appended to the status, takes the version byte
    const char* statusIdentifying;
    const char* progressIdle;        // progress frame caption at rest
    const char* readingTargetText;   // after requesting row 0
    const char* programmingText;     // before the first row
    const char* rowProgressFormat;   // takes the percent (double)
    const char* titleProgressFormat; // takes the percent (double)
    const char* finishedStatus;      // after the reset that ends a one-go transfer
    const char* verifyingText;       // reading the written rows back
    const char* verifiedFormat;      // takes the number of rows read back (int)
    const char* verifyFailedFormat;  // takes the device address (unsigned) of the first wrong
                                     // instruction
    const char* procedureFailedBox;
    const char* connectionLostBox;
    const char* connectionLostStatus; // status after a lost connection ("" = statusIdle)
    const char* portSetupFailedBox;   // the direct port could not be set up ("" = not shown)
    const char* downloadCompletedBox; // after a one-go transfer ("" = none)
    const PortFaultTexts& portTexts;  // why a port could not be opened

    // Window
    bool fileFieldShowsPath;   // the file field shows the whole path (else the file's name)
    const char* aboutMenuText; // "" = no about box
    const char* aboutText;
    int exitCodeAfterTransfer; // the window of a one-go transfer ends with this code
};

const TransferPolicy& sirvexTransfer();
const TransferPolicy& tamrixTransfer();
const TransferPolicy& transferPolicyFor(Build build);

// Time limits of a transfer. The defaults are the builds' own; tests shorten them.
struct TransferTiming {
    std::chrono::milliseconds replyTimeout{20000}; // any reply from the bootloader
    std::chrono::milliseconds commandPause{100};   // after identification attempts, the reset
    std::chrono::milliseconds announceGap{200};    // longest pause between announcement pieces
    int maxRowRetries = 10;                        // resends of a refused row
};

} // namespace vorna::uploader
