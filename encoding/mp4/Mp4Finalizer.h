#pragma once

#include <string>

// Turns a fragmented MP4 or QuickTime file (a sample-less moov with 'mvex',
// then moof/mdat fragments, perhaps an 'mfra' index) into a regular one in
// place, without moving any media data: the 'mfra' is cut off, one complete
// movie box indexing the existing samples is appended, and the header of the
// sample-less movie box is rewritten into that of one 'mdat' spanning all
// fragments, so readers see ftyp, mdat, moov and no fragment at the top level.
//
// The file is decodable at every moment: nothing is written before the whole
// file has been read and checked, the new movie box lands first as a 'free'
// box and is synced, becomes a second 'moov' (readers keep using the first),
// and a single header write then switches the file over. A file that does
// not parse (cut off, malformed, a sample outside the media data) is left
// exactly as it was.
//
// Runs on the calling thread; touches nothing but the file.
namespace Mp4 {

struct FinalizeResult
{
    bool ok = false;
    std::string error;   // why the file stays as it was (or, with stopAfterWrites, was left half done)
    int fragments = 0;   // moof boxes indexed
    int64_t samples = 0; // over all tracks
};

// `stopAfterWrites` >= 0 ends after that many writes to the file, as a
// process that dies mid-way would (for tests of the intermediate states).
FinalizeResult finalizeFragmentedFile(const std::string &path, int stopAfterWrites = -1);

} // namespace Mp4
