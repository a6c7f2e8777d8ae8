#pragma once

#include <string>

// The shell's texts, code page 1252 bytes; a line break is LF CR.

inline const std::string kApplicationTitle = "TALVEK Updater";
inline const std::string kDeviceName = "Velka";
inline const std::string kFirmwareRelease = "4.4";

// The four waiting prompts, which the blinker blinks; the sequencer writes them.
inline const std::string kPowerOnPrompt =
    "Power on Velka now. Waiting for Velka...\n\r\n\rVelka jetzt einschalten. Warte auf Velka...";
inline const std::string kConnectPrompt =
    "Connect update adapter and press START.\n\r\n\rUpdate Adaper anschliessen und START dr\xFC"
    "cken.";
inline const std::string kAdapterNotFoundPrompt =
    "Adaper not found. Please connect adapter now...\n\r\n\r"
    "Adapter nicht gefunden. Bitte Adapter jetzt anschliessen...";
inline const std::string kPowerCyclePrompt =
    "Switch Velka OFF and ON again.\n\r\n\rVelka aus und wieder einschalten.";

// What is new in the firmware the program carries; shown at every start.
inline const std::string kReleaseNotes =
    "V4.4 Info: Check the manual!   Anleitung beachten!\n\r\n\r"
    " Stickreaction selectable (Soft,Medium,Hard,Extreme)\n\r"
    " Tail Stop Tuning\n\r"
    " Swashplate and Tail control improvements\n\r"
    " Better stick reaction\n\r"
    " Engine OFF when no signal\n\r"
    " New receiver type DSMX\n\r\n\r"
    " Steuerreaktion einstellbar (Weich,Mittel,Hart,Extrem)\n\r"
    " Heck Stop Tuning\n\r"
    " TS und Heck Regelung verbessert\n\r"
    " Steuerfolgsamkeit verbessert\n\r"
    " Motor AUS bei Signalausfall\n\r"
    " Neuer Empf\xE4"
    "ngertyp DSMX\n\r";

inline const std::string kNotesButtonCaption = "OK";
