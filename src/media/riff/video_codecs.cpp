#include "media/riff/video_codecs.h"

#include "common/text.h"

namespace sonavid::media {
namespace {

struct CodecName {
  std::string_view fourCc;  // upper case
  std::u16string_view name;
};

constexpr CodecName kCodecNames[] = {
    {"XVID", u"XviD MPEG4"},
    {"DIVX", u"DivX5"},
    {"DX50", u"DivX5"},
    {"DIV3", u"DivX3"},
    {"DIV4", u"DivX3"},
    {"DIV5", u"DivX3"},
    {"DIV6", u"DivX3"},
    {"FMP4", u"FFmpeg MPEG4"},
    {"MP4V", u"MPEG4"},
    {"M4S2", u"MS MPEG4 v2 (ISO)"},
    {"MP4S", u"MS MPEG4 v1 (ISO)"},
    {"MPG4", u"MS MPEG4 v1"},
    {"MP42", u"MS MPEG4 v2"},
    {"MP43", u"MS MPEG4 v3"},
    {"3IV2", u"3ivx"},
    {"MJPG", u"Motion JPEG"},
    {"AVRN", u"Motion JPEG"},
    {"H264", u"H.264"},
    {"X264", u"H.264"},
    {"AVC1", u"H.264"},
    {"HEVC", u"H.265"},
    {"H265", u"H.265"},
    {"X265", u"H.265"},
    {"MPG1", u"MPEG1"},
    {"MPG2", u"MPEG2"},
    {"MPEG", u"MPEG"},
    {"WMV1", u"Windows Media Video 7"},
    {"WMV2", u"Windows Media Video 8"},
    {"WMV3", u"Windows Media Video 9"},
    {"WVC1", u"Windows Media Video 9 Advanced"},
    {"DVSD", u"DV"},
    {"DV25", u"DV"},
    {"DV50", u"DV50"},
    {"CVID", u"Cinepak"},
    {"IV31", u"Indeo 3"},
    {"IV32", u"Indeo 3"},
    {"IV41", u"Indeo 4"},
    {"IV50", u"Indeo 5"},
    {"MSVC", u"Microsoft Video 1"},
    {"CRAM", u"Microsoft Video 1"},
    {"MRLE", u"Microsoft RLE"},
    {"HFYU", u"Huffyuv"},
    {"FFVH", u"FFmpeg Huffyuv"},
    {"FFV1", u"FFV1"},
    {"VP80", u"VP8"},
    {"VP90", u"VP9"},
    {"MAGY", u"MagicYUV"},
    {"UYVY", u"Uncompressed UYVY"},
    {"YUY2", u"Uncompressed YUY2"},
    {"YV12", u"Uncompressed YV12"},
    {"I420", u"Uncompressed I420"},
    {"DIB ", u"Uncompressed RGB"},
};

}  // namespace

std::u16string videoCodecName(std::string_view fourCc) {
  if (fourCc.size() != 4) return {};
  if (fourCc == std::string_view("\0\0\0\0", 4)) return u"Uncompressed RGB";
  std::string upper(fourCc);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (const CodecName& entry : kCodecNames) {
    if (entry.fourCc == upper) return std::u16string(entry.name);
  }
  std::u16string code;
  for (char c : fourCc) {
    code.push_back(c >= 0x20 && c <= 0x7E ? static_cast<char16_t>(c) : u'?');
  }
  while (!code.empty() && code.back() == u' ') code.pop_back();
  return code;
}

}  // namespace sonavid::media
