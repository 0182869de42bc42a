#include "media/riff/video_codecs.h"

#include "common/text.h"

namespace sonavid::media {
namespace {

struct CodecName {
  std::string_view fourCc;  // upper case
  std::u16string_view name;
  std::string_view format;  // the common short name (as MediaInfo's Format, mostly)
};

constexpr CodecName kCodecNames[] = {
    {"XVID", u"XviD MPEG4", "MPEG-4"},
    {"DIVX", u"DivX5", "MPEG-4"},
    {"DX50", u"DivX5", "MPEG-4"},
    {"DIV3", u"DivX3", "MPEG-4"},
    {"DIV4", u"DivX3", "MPEG-4"},
    {"DIV5", u"DivX3", "MPEG-4"},
    {"DIV6", u"DivX3", "MPEG-4"},
    {"FMP4", u"FFmpeg MPEG4", "MPEG-4"},
    {"MP4V", u"MPEG4", "MPEG-4"},
    {"M4S2", u"MS MPEG4 v2 (ISO)", "MPEG-4"},
    {"MP4S", u"MS MPEG4 v1 (ISO)", "MPEG-4"},
    {"MPG4", u"MS MPEG4 v1", "MPEG-4"},
    {"MP42", u"MS MPEG4 v2", "MPEG-4"},
    {"MP43", u"MS MPEG4 v3", "MPEG-4"},
    {"3IV2", u"3ivx", "MPEG-4"},
    {"MJPG", u"Motion JPEG", "MJPEG"},
    {"AVRN", u"Motion JPEG", "MJPEG"},
    {"H264", u"H.264", "H264"},
    {"X264", u"H.264", "H264"},
    {"AVC1", u"H.264", "H264"},
    {"HEVC", u"H.265", "HEVC"},
    {"H265", u"H.265", "HEVC"},
    {"X265", u"H.265", "HEVC"},
    {"MPG1", u"MPEG1", "MPEG-1"},
    {"MPG2", u"MPEG2", "MPEG-2"},
    {"MPEG", u"MPEG", ""},
    {"WMV1", u"Windows Media Video 7", "WMV1"},
    {"WMV2", u"Windows Media Video 8", "WMV2"},
    {"WMV3", u"Windows Media Video 9", "WMV3"},
    {"WVC1", u"Windows Media Video 9 Advanced", "VC-1"},
    {"DVSD", u"DV", "DV"},
    {"DV25", u"DV", "DV"},
    {"DV50", u"DV50", "DV"},
    {"CVID", u"Cinepak", "Cinepak"},
    {"IV31", u"Indeo 3", "Indeo 3"},
    {"IV32", u"Indeo 3", "Indeo 3"},
    {"IV41", u"Indeo 4", "Indeo 4"},
    {"IV50", u"Indeo 5", "Indeo 5"},
    {"MSVC", u"Microsoft Video 1", "Microsoft Video 1"},
    {"CRAM", u"Microsoft Video 1", "Microsoft Video 1"},
    {"MRLE", u"Microsoft RLE", "RLE"},
    {"HFYU", u"Huffyuv", "HuffYUV"},
    {"FFVH", u"FFmpeg Huffyuv", "HuffYUV"},
    {"FFV1", u"FFV1", "FFV1"},
    {"VP80", u"VP8", "VP8"},
    {"VP90", u"VP9", "VP9"},
    {"MAGY", u"MagicYUV", "MagicYUV"},
    {"UYVY", u"Uncompressed UYVY", "YUV"},
    {"YUY2", u"Uncompressed YUY2", "YUV"},
    {"YV12", u"Uncompressed YV12", "YUV"},
    {"I420", u"Uncompressed I420", "YUV"},
    {"DIB ", u"Uncompressed RGB", "RGB"},
};

// The entry of a code, its case ignored; null for an unknown one.
const CodecName* findCodec(std::string_view fourCc) {
  char upper[4];
  for (size_t i = 0; i < 4; ++i) {
    const char c = fourCc[i];
    upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  for (const CodecName& entry : kCodecNames) {
    if (entry.fourCc == std::string_view(upper, 4)) return &entry;
  }
  return nullptr;
}

constexpr std::string_view kUncompressedRgb("\0\0\0\0", 4);

}  // namespace

std::string_view videoCodecFormat(std::string_view fourCc) {
  if (fourCc.size() != 4) return {};
  if (fourCc == kUncompressedRgb) return "RGB";
  const CodecName* entry = findCodec(fourCc);
  return entry != nullptr ? entry->format : std::string_view();
}

std::u16string videoCodecName(std::string_view fourCc) {
  if (fourCc.size() != 4) return {};
  if (fourCc == kUncompressedRgb) return u"Uncompressed RGB";
  if (const CodecName* entry = findCodec(fourCc)) return std::u16string(entry->name);
  std::u16string code;
  for (char c : fourCc) {
    code.push_back(c >= 0x20 && c <= 0x7E ? static_cast<char16_t>(c) : u'?');
  }
  while (!code.empty() && code.back() == u' ') code.pop_back();
  return code;
}

}  // namespace sonavid::media
