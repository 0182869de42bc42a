// Values of an MP3 file (also of a RIFF-wrapped one): TIME and AFMT from the stream, the tag
// fields under their suffixes (_v1 ID3v1, _v2 ID3v2, _APE APE tag, _rmp RIFF INFO list), and
// the plain codes, which take the first non-empty of _v2, _APE, _rmp and _v1. Each tag's album
// facts fill the ones the tags added before it lack, so the tags are added in that order.
#pragma once

#include <optional>
#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"
#include "media/mpeg_audio/mpeg_stream.h"
#include "media/tags/apev2.h"
#include "media/tags/id3v1.h"
#include "media/tags/id3v2.h"
#include "media/tags/trailing_tags.h"

namespace sonavid::media {

void addMpegStreamValues(const MpegStreamInfo& stream, MediaInfo& info);
void addId3v1Values(Id3v1Tag tag, MediaInfo& info);
void addId3v2Values(Id3v2Tag tag, MediaInfo& info);
void addApeValues(const ApeTag& tag, MediaInfo& info);
// After all tags are in: fills the plain codes.
void addPlainTagValues(MediaInfo& info);
// The ID3v2 tag that leads a bare audio stream (MP3, ADTS), if `head` (the file's first bytes)
// starts with one; `audioStart` is set to where the audio begins behind it. A short tag is read
// in one piece, a long one frame by frame.
std::optional<Id3v2Tag> readLeadingId3v2(RandomAccessFile& file, std::string_view head,
                                         uint64_t& audioStart);
// The tags of a bare audio stream (MP3, ADTS): the ID3v2 tag that leads the file, else one
// appended at its end, then the APE and ID3v1 tags at the end; then the plain codes.
void addStreamTagValues(std::optional<Id3v2Tag> leading, const TrailingTags& trailing,
                        MediaInfo& info);

}  // namespace sonavid::media
