#include "contenders.h"

#include <MediaInfo/MediaInfo.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tfilestream.h>

#include <string>

#include "common/platform.h"
#include "counting_platform.h"
#include "media/builtin_reader.h"
#include "media/file_reads.h"
#include "plugin/engine_services.h"

namespace sonavid::bench {
namespace {

constexpr std::u16string_view kInfoParameters[] = {u",TIME", u",AFMT", u",VFMT", u",INAM"};
constexpr std::u16string_view kFieldCodes[] = {u"TIME", u"AFMT", u"VFMT", u"INAM"};

// What the floor reads of every file: the reader's own first read at the start and its read
// at the end (none for a file the first holds whole). A floor that read more than the reader
// does would flatter the ratio.
constexpr size_t kFloorHeadBytes = media::kHeadProbeBytes;
constexpr size_t kFloorTailBytes = media::kTailBlockBytes;

size_t textLength(const char16_t* text) { return std::char_traits<char16_t>::length(text); }

// Passes every call on to a TagLib file stream and counts the bytes it reads.
class CountingStream : public TagLib::IOStream {
 public:
  explicit CountingStream(const char* path) : stream_(path, true) {}
  TagLib::FileName name() const override { return stream_.name(); }
  TagLib::ByteVector readBlock(unsigned long length) override {
    TagLib::ByteVector block = stream_.readBlock(length);
    ++calls;
    bytes += block.size();
    return block;
  }
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  bool readOnly() const override { return true; }
  bool isOpen() const override { return stream_.isOpen(); }
  void seek(long offset, Position p) override { stream_.seek(offset, p); }
  void clear() override { stream_.clear(); }
  long tell() const override { return stream_.tell(); }
  long length() override { return stream_.length(); }
  void truncate(long) override {}

  unsigned long long calls = 0;
  unsigned long long bytes = 0;

 private:
  TagLib::FileStream stream_;
};

size_t tagLibValues(const TagLib::FileRef& ref) {
  if (ref.isNull()) return 0;
  size_t sum = 1;
  if (const TagLib::AudioProperties* audio = ref.audioProperties()) {
    sum += static_cast<size_t>(audio->lengthInMilliseconds()) + audio->bitrate() +
           audio->sampleRate() + audio->channels();
  }
  if (const TagLib::Tag* tag = ref.tag()) sum += tag->title().size();
  return sum;
}

MediaInfoLib::MediaInfo& mediaInfo() {
  static MediaInfoLib::MediaInfo instance;
  return instance;
}

}  // namespace

void startEngineRun() { executeMacro(nullptr); }

size_t readWithEngine(const CorpusFile& file, int fileNumber) {
  MacroRequest request;
  request.directory = file.folder;
  request.fileName = file.name;
  request.fileNumber = fileNumber;
  request.callNumber = kFirstCallOnFile;
  request.macroIndex = kMediaTypeMacro;
  size_t sum = textLength(executeMacro(&request));
  request.macroIndex = kMediaInfoMacro;
  for (std::u16string_view parameters : kInfoParameters) {
    ++request.callNumber;
    request.parameterText = parameters;
    sum += textLength(executeMacro(&request));
  }
  return sum;
}

size_t readWithBuiltinReader(const CorpusFile& file) {
  media::BuiltinReader reader;
  if (!reader.load(file.fullPath)) return 0;
  size_t sum = static_cast<size_t>(reader.type());
  for (std::u16string_view code : kFieldCodes) sum += reader.value(code).size();
  return sum;
}

size_t readFloor(const CorpusFile& file) {
  const auto opened = platform().openForReading(file.fullPath);
  if (!opened) return 0;
  char head[kFloorHeadBytes];
  char tail[kFloorTailBytes];
  const uint64_t size = opened->size();
  size_t sum = opened->readAt(0, head, sizeof head);
  if (size > sizeof head) {
    const uint64_t tailStart = size - sizeof tail > sizeof head ? size - sizeof tail : sizeof head;
    sum += opened->readAt(tailStart, tail, sizeof tail);
  }
  return sum;
}

void noteEngineReads(std::vector<CorpusFile>& corpus) {
  CountingPlatform counting;
  setPlatform(&counting);
  startEngineRun();
  int number = 0;
  for (CorpusFile& file : corpus) {
    file.engineReads.clear();
    counting.log = &file.engineReads;
    readWithEngine(file, number++);
  }
  setPlatform(nullptr);
}

size_t replayEngineReads(const CorpusFile& file) {
  const auto opened = platform().openForReading(file.fullPath);
  if (!opened) return 0;
  // One buffer for every file, as large as the largest read (the engine's own reads go to
  // buffers of their own, so this is if anything the cheaper way).
  static std::vector<char> buffer;
  size_t sum = static_cast<size_t>(opened->size());
  for (const ReadCall& call : file.engineReads) {
    if (buffer.size() < call.count) buffer.resize(call.count);
    sum += opened->readAt(call.offset, buffer.data(), call.count);
  }
  return sum;
}

size_t readWithTagLib(const CorpusFile& file) {
  const TagLib::FileRef ref(file.path.c_str(), true, TagLib::AudioProperties::Average);
  return tagLibValues(ref);
}

size_t readWithMediaInfo(const CorpusFile& file) {
  MediaInfoLib::MediaInfo& info = mediaInfo();
  if (info.Open(file.widePath) == 0) return 0;
  size_t sum = info.Get(MediaInfoLib::Stream_General, 0, L"Duration").size();
  sum += info.Get(MediaInfoLib::Stream_General, 0, L"Format").size();
  sum += info.Get(MediaInfoLib::Stream_General, 0, L"Title").size();
  info.Close();
  return sum;
}

std::u16string builtinValue(const CorpusFile& file, std::u16string_view code) {
  media::BuiltinReader reader;
  reader.load(file.fullPath);
  return reader.value(code);
}

long long tagLibLengthMs(const CorpusFile& file) {
  const TagLib::FileRef ref(file.path.c_str(), true, TagLib::AudioProperties::Average);
  if (ref.isNull() || ref.audioProperties() == nullptr) return -1;
  return ref.audioProperties()->lengthInMilliseconds();
}

long long mediaInfoDurationMs(const CorpusFile& file) {
  MediaInfoLib::MediaInfo& info = mediaInfo();
  if (info.Open(file.widePath) == 0) return -1;
  const std::wstring text = info.Get(MediaInfoLib::Stream_General, 0, L"Duration");
  info.Close();
  try {
    return static_cast<long long>(std::stod(text));
  } catch (...) {
    return -1;
  }
}

unsigned long long tagLibBytesRead(const CorpusFile& file, unsigned long long& calls) {
  CountingStream stream(file.path.c_str());
  {
    const TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
    tagLibValues(ref);
  }
  calls = stream.calls;
  return stream.bytes;
}

}  // namespace sonavid::bench
