#pragma once

#include <QDateTime>
#include <QString>

// Names and numbers of a take's folders and files.
namespace TakeNaming {

// The session folder's name from what the operator typed: trimmed; blank or
// the placeholder "SESSION_001_ACTIVE" gives "Session_yyyy-MM-dd_HH-mm-ss" of
// now. Characters that Windows and common file systems forbid in a name
// (< > : " / \ | ? * and control characters) become "_", and a name of dots
// only becomes underscores, so the folder always stays inside the recording
// folder. "Interview" stays "Interview".
QString sessionName(const QString &typed, const QDateTime &now);

// 1 + the largest number N of the "Take_N" folders in sessionFolder (names
// that do not parse as a number are ignored), 1 when there is none.
int nextTakeNumber(const QString &sessionFolder);

// "Take_01", "Camera_03.mp4" (or .mkv, .mov, .ts: the container's
// extension), "Channel_01_Audio.wav" (two digits at least).
QString takeFolderName(int number);
QString cameraFileName(int channelId, const QString &extension = QStringLiteral("mp4"));
QString channelAudioFileName(int channelId);

// "HH:MM:SS:FF" of an elapsed time at 30 frames per second (01:02:03:29 at
// 1 h 2 min 3.999 s); negative times read as 0.
QString timecode(int64_t elapsedMs);

} // namespace TakeNaming
