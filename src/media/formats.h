// The container formats of the built-in media reader. Each unit owns its signature check and
// its reader: probe answers "does this file start like mine?" from the first bytes of the file;
// read fills `info` with the type code and every value it knows, or turns the file down.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/adts/adts.h"
#include "media/aiff/aiff.h"
#include "media/dsf/dsf.h"
#include "media/flac/flac.h"
#include "media/matroska/matroska.h"
#include "media/media_info.h"
#include "media/mpegps/mpegps.h"
#include "media/mpegts/mpegts.h"
#include "media/wavpack/wavpack.h"

namespace sonavid::media {

struct ContainerFormat {
  bool (*probe)(std::string_view head);
  bool (*read)(RandomAccessFile& file, MediaInfo& info);
};

bool probeRiff(std::string_view head);
bool readRiff(RandomAccessFile& file, MediaInfo& info);  // WAV, AVI, RIFF-wrapped MP3
bool probeAsf(std::string_view head);
bool readAsf(RandomAccessFile& file, MediaInfo& info);  // WMA, WMV
bool probeOgg(std::string_view head);
bool readOgg(RandomAccessFile& file, MediaInfo& info);  // Vorbis, Opus, FLAC in Ogg
bool probeMonkeys(std::string_view head);
bool readMonkeys(RandomAccessFile& file, MediaInfo& info);  // Monkey's Audio
bool probeMp4(std::string_view head);
bool readMp4(RandomAccessFile& file, MediaInfo& info);  // MP4 / M4A
bool probeTwinVq(std::string_view head);
bool readTwinVq(RandomAccessFile& file, MediaInfo& info);  // VQF
bool probeMpegAudio(std::string_view head);
bool readMpegAudio(RandomAccessFile& file, MediaInfo& info);  // MP3 (and MP1/MP2)

// Strong signatures first; raw AAC and MPEG audio have only a frame sync and go last, AAC
// (which demands several frames in a row) before MPEG audio. Formats found at a
// fixed place go before Monkey's Audio, whose signature may be searched for after junk.
inline constexpr ContainerFormat kContainerFormats[] = {
    {probeRiff, readRiff},
    {probeAsf, readAsf},
    {probeOgg, readOgg},
    {probeFlac, readFlac},
    {probeAiff, readAiff},
    {probeWavPack, readWavPack},
    {probeDsf, readDsf},
    {probeMonkeys, readMonkeys},
    {probeMp4, readMp4},
    {probeTwinVq, readTwinVq},
    {probeMatroska, readMatroska},
    {probeMpegTs, readMpegTs},
    {probeMpegPs, readMpegPs},
    {probeAdts, readAdts},
    {probeMpegAudio, readMpegAudio},
};

}  // namespace sonavid::media
