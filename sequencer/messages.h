#pragma once

#include <string>

// The sequencer's own texts, code page 1252 bytes; a line break is LF CR. The waiting
// prompts it shares with the blinker are in app/texts.h.

inline const std::string kDownloadingText = "Downloading...\n\r\n\rLaden...";
inline const std::string kErasingText =
    "Erasing...\n\r\n\rL\xF6"
    "schen...";
inline const std::string kProgrammingText = "Programming...\n\r\n\rProgrammierung...";

inline const std::string kCalibrationOffFailedText =
    "Calibration off failed. Redo by pressing START.\n\r\n\r"
    "Calibration off Fehler. Vorgang wiederholen durch START dr\xFC"
    "cken.";
inline const std::string kDownloadFailedText =
    "Download failed. Redo by pressing START.\n\r\n\r"
    "Fehler beim Laden. Vorgang wiederholen durch START dr\xFC"
    "cken.";
inline const std::string kErasingFailedText =
    "Erasing failed. Redo by pressing START.\n\r\n\r"
    "Fehler beim L\xF6"
    "schen. Vorgang wiederholen durch START dr\xFC"
    "cken.";
inline const std::string kDataTransferFailedText =
    "Data transfer failed. Redo by pressing START.\n\r\n\r"
    "Fehler beim Daten \xFC"
    "bertragen. Vorgang wiederholen durch START dr\xFC"
    "cken.";
inline const std::string kProgrammingFailedText =
    "Programming failed. Redo by pressing START.\n\r\n\r"
    "Fehler beim Programmieren. Vorgang wiederholen durch START dr\xFC"
    "cken.";
inline const std::string kSuccessText =
    "Velka successfully updated.\n\r\n\rVelka Update erfolgreich beendet.";

inline const std::string kStartCaption = "START";
inline const std::string kStopCaption = "STOP";
inline const std::string kQuitCaption = "QUIT";
