#pragma once

#include <QString>
#include <QStringList>

// Every place where the program's Windows-born folder and file names meet the
// platform. Callers ask for the meaning ("the default recording folder"), this
// file answers for the platform it was built for. Nothing here creates folders.
namespace StandardLocations {

// The user's videos folder + "/Korvex" (Windows: C:/Videos/Korvex).
QString defaultRecordingPath();

// Folder of the running program (manuals, scripts, message log live there).
QString applicationDirectory();

// Per-user application data folder for Korvex/Korvex; holds latest_take.json.
QString applicationDataFolder();

// DaVinci Resolve's Utility script folders, the system-wide one first and the
// per-user fallback second (Windows: PROGRAMDATA and APPDATA based).
QString resolveSystemScriptFolder();
QString resolveUserScriptFolder();

// Temporary folder for downloads.
QString temporaryFolder();

// File names of downloaded setup programs ("Korvex_Setup_Update.exe" and
// "Korvex_OnlineSetup.exe" on Windows).
QString updateSetupFileName();
QString installerSetupFileName();

// Default install folder of the online installer.
QString defaultInstallFolder();

} // namespace StandardLocations
