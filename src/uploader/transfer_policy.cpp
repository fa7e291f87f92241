#include "transfer_policy.h"

namespace vorna::uploader {

using std::chrono::milliseconds;

namespace {
// Both builds say why a port failed in the same words.
const PortFaultTexts& portFaultTexts() {
    static const PortFaultTexts texts{
        .missing = QStringLiteral("%1: no such device"),
        .inUse = QStringLiteral("%1: in use by another program"),
        .permissionDenied = QStringLiteral("%1: permission denied"),
        .permissionGroup = QStringLiteral("%1: permission denied. The device belongs to the group "
                                          "%2: the user must be a member of it, then log in "
                                          "again."),
    };
    return texts;
}
} // namespace

const TransferPolicy& sirvexTransfer() {
    static const TransferPolicy policy{
        .image = sirvexPolicy(),
        .announcement = "\t\t\r\r",
        .announcementAnswer = "%",
        .userStarts = true,
        .selectsFirstPort = true,
        .readableFileBeforeTransfer = false,
        .identifyAttempts = 10,
        .requiredFamily = 2,
        .readsVersion = true,
        .sendsEepromAndConfiguration = false,
        .resetsAfterWriting = false,
        .rowPause = milliseconds(2),
        .firstRowPause = milliseconds(0),
        .progressField = TextField::Progress,
        .commandSteps = false,
        .caption = "Sirvex 3.0",
        .statusIdle = "Connection Lost - Reset the instrument",
        .statusTurnOn = "Turn On Instrument",
        .statusOnLine = "Instrument On-Line",
        .statusNotRecognised = "Connection Lost - Instrument not recognized",
        .statusDetect = "Detect USB",
        .statusReadyToRestart = "Instrument On-Line - Restart",
        .versionFormat = " - BL v %x",
        .statusIdentifying = "",
        .progressIdle = "Progress",
        .readingTargetText = "Progress: Reading Target",
        .programmingText = "",
        .rowProgressFormat = "Progress: Programming device %.0f %%",
        .titleProgressFormat = "Sirvex 3.0 - %2.0f%% Sent",
        .finishedStatus = "",
        .verifyingText = "Progress: Verifying device",
        .verifiedFormat = "Verified %d rows",
        .verifyFailedFormat = "Verify failed at 0x%x",
        .procedureFailedBox = "Procedure Failed.\nPress Exit and Repeat.",
        .connectionLostBox = "Connection Lost.\nInstrument not connected?",
        .connectionLostStatus = "",
        .portSetupFailedBox = "",
        .downloadCompletedBox = "",
        .portTexts = portFaultTexts(),
        .fileFieldShowsPath = true,
        .aboutMenuText = "",
        .aboutText = "",
        .exitCodeAfterTransfer = 0,
    };
    return policy;
}

const TransferPolicy& tamrixTransfer() {
    static const TransferPolicy policy{
        .image = tamrixPolicy(),
        .announcement = "",
        .announcementAnswer = "",
        .userStarts = false,
        .selectsFirstPort = false,
        .readableFileBeforeTransfer = true,
        .identifyAttempts = 1,
        .requiredFamily = -1,
        .readsVersion = false,
        .sendsEepromAndConfiguration = true,
        .resetsAfterWriting = true,
        .rowPause = milliseconds(0),
        .firstRowPause = milliseconds(100),
        .progressField = TextField::Status,
        .commandSteps = true,
        .caption = "Sirvex 2.1.U.O.",
        .statusIdle = "",
        .statusTurnOn = "Turn On Instrument",
        .statusOnLine = "",
        .statusNotRecognised = "",
        .statusDetect = "",
        .statusReadyToRestart = "",
        .versionFormat = "",
        .statusIdentifying = "Reading Target Device ID",
        .progressIdle = "",
        .readingTargetText = "",
        .programmingText = "Programming Device...",
        .rowProgressFormat = "Programming Device %2.0f%% Sent",
        .titleProgressFormat = "Sirvex %2.0f%% Sent",
        .finishedStatus = "UpLoader End.",
        .verifyingText = "Verifying Device...",
        .verifiedFormat = "Verified %d rows",
        .verifyFailedFormat = "Verify failed at 0x%X",
        .procedureFailedBox = "",
        .connectionLostBox = "Connection Lost",
        .connectionLostStatus = "Connection Lost",
        .portSetupFailedBox = "Setting COM",
        .downloadCompletedBox = "Download Completed!",
        .portTexts = portFaultTexts(),
        .fileFieldShowsPath = false,
        .aboutMenuText = "Infor&mazioni su Tamrix",
        .aboutText = "Sirvex Ver. 1.5.U.O",
        .exitCodeAfterTransfer = 1,
    };
    return policy;
}

const TransferPolicy& transferPolicyFor(Build build) {
    return build == Build::Sirvex ? sirvexTransfer() : tamrixTransfer();
}

} // namespace vorna::uploader
