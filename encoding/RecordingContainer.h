#pragma once

#include <string>

// The container of a take's camera files, in the order of the settings
// page's list ("MP4", "MKV", "MOV", "TS"; its fifth entry, AVI, cannot be
// recorded).
enum class RecordingContainer { Mp4, Mkv, Mov, Ts };

// The container of a format index: 0 MP4, 1 MKV, 2 MOV, 3 TS. Any other
// index (AVI, or one from a newer or damaged settings store) records MP4
// and sets `fellBack`.
RecordingContainer recordingContainerFor(int formatIndex, bool *fellBack = nullptr);

// "mp4", "mkv", "mov", "ts": the camera files' extension.
std::string containerExtension(RecordingContainer container);

// The libavformat muxer that writes it ("mp4", "matroska", "mov", "mpegts").
std::string containerMuxer(RecordingContainer container);

// MP4 and MOV are written as fragments and made regular at stop.
bool isIsoMediaContainer(RecordingContainer container);
