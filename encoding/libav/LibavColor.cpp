#include "encoding/libav/LibavColor.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

ColorTags colorTagsFor(const std::wstring &colorSpace, const std::wstring &colorRange)
{
    ColorTags tags;
    if (colorSpace == L"Rec.709") {
        tags.primaries = AVCOL_PRI_BT709;
        tags.transfer = AVCOL_TRC_BT709;
        tags.matrix = AVCOL_SPC_BT709;
        tags.swsMatrix = SWS_CS_ITU709;
    } else if (colorSpace == L"Rec.2020") {
        tags.primaries = AVCOL_PRI_BT2020;
        tags.transfer = AVCOL_TRC_BT2020_10;
        tags.matrix = AVCOL_SPC_BT2020_NCL;
        tags.swsMatrix = SWS_CS_BT2020;
    } else if (colorSpace == L"Rec.601") {
        tags.primaries = AVCOL_PRI_SMPTE170M;
        tags.transfer = AVCOL_TRC_BT709;
        tags.matrix = AVCOL_SPC_SMPTE170M;
        tags.swsMatrix = SWS_CS_ITU601;
    } else {
        tags.primaries = AVCOL_PRI_UNSPECIFIED;
        tags.transfer = AVCOL_TRC_UNSPECIFIED;
        tags.matrix = AVCOL_SPC_UNSPECIFIED;
        tags.swsMatrix = SWS_CS_DEFAULT;
    }
    tags.fullRange = colorRange == L"Full (0-255)";
    return tags;
}
