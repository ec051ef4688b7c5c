#include "encoding/RecordingContainer.h"

RecordingContainer recordingContainerFor(int formatIndex, bool *fellBack)
{
    if (fellBack)
        *fellBack = formatIndex < 0 || formatIndex > 3;
    switch (formatIndex) {
    case 1:
        return RecordingContainer::Mkv;
    case 2:
        return RecordingContainer::Mov;
    case 3:
        return RecordingContainer::Ts;
    default:
        return RecordingContainer::Mp4;
    }
}

std::string containerExtension(RecordingContainer container)
{
    switch (container) {
    case RecordingContainer::Mkv:
        return "mkv";
    case RecordingContainer::Mov:
        return "mov";
    case RecordingContainer::Ts:
        return "ts";
    case RecordingContainer::Mp4:
        break;
    }
    return "mp4";
}

std::string containerMuxer(RecordingContainer container)
{
    switch (container) {
    case RecordingContainer::Mkv:
        return "matroska";
    case RecordingContainer::Mov:
        return "mov";
    case RecordingContainer::Ts:
        return "mpegts";
    case RecordingContainer::Mp4:
        break;
    }
    return "mp4";
}

bool isIsoMediaContainer(RecordingContainer container)
{
    return container == RecordingContainer::Mp4 || container == RecordingContainer::Mov;
}
