#pragma once

#include <string>

// Colour tags of an output file and the matching RGB to YUV conversion, from
// the recording's colour space and range names. Values are FFmpeg's
// (AVColorPrimaries, AVColorTransferCharacteristic, AVColorSpace, SWS_CS_*).
struct ColorTags
{
    int primaries = 2; // unspecified
    int transfer = 2;
    int matrix = 2;
    int swsMatrix = 5; // SWS_CS_DEFAULT (BT.601), what players assume for an untagged file
    bool fullRange = false;
};

// "Rec.709", "Rec.2020" and "Rec.601" tag the file; any other name leaves it
// untagged. Only "Full (0-255)" gives full range, anything else limited.
ColorTags colorTagsFor(const std::wstring &colorSpace, const std::wstring &colorRange);
