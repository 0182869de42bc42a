#include "common/platform_posix.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "common/text.h"

namespace sonavid {
namespace {

// Converts with an open iconv descriptor, replacing each input unit it cannot convert by
// `fallback`.
std::string convert(iconv_t cd, std::string_view input, size_t unitSize, std::string_view fallback) {
  std::string out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // Unconvertible or incomplete input: emit the fallback and skip one unit.
      out.append(fallback);
      const size_t skip = std::min(unitSize, inLeft);
      in += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

// Paths come back to the bytes they were made from, names that are not UTF-8 included.
std::string toUtf8Path(std::u16string_view path) { return utf16ToFileNameBytes(path); }

bool writeAll(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// Rewrites a file through its own handle (for a folder that takes no new files). The old bytes
// are read first and kept; if the new ones cannot be written and flushed, they are put back.
bool rewriteInPlace(const std::string& target, std::string_view bytes) {
  const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat st {};
  std::string old;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    old.resize(static_cast<size_t>(st.st_size));
    ok = pread(fd, old.data(), old.size(), 0) == static_cast<ssize_t>(old.size());
  }
  if (!ok) {
    close(fd);
    return false;
  }
  const auto writeFromStart = [fd](std::string_view content) {
    return lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, content) &&
           ftruncate(fd, static_cast<off_t>(content.size())) == 0 && fsync(fd) == 0;
  };
  ok = writeFromStart(bytes);
  if (!ok) writeFromStart(old);
  close(fd);
  return ok;
}

class PosixFile : public RandomAccessFile {
 public:
  PosixFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~PosixFile() override { close(fd_); }
  uint64_t size() const override { return size_; }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= size_) return 0;
    size_t total = 0;
    while (total < count) {
      ssize_t got = pread(fd_, static_cast<char*>(buffer) + total, count - total,
                          static_cast<off_t>(offset + total));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      total += static_cast<size_t>(got);
    }
    return total;
  }

 private:
  int fd_;
  uint64_t size_;
};

}  // namespace

PosixPlatform::PosixPlatform(std::string iconvName) : iconvName_(std::move(iconvName)) {}

PosixPlatform::~PosixPlatform() {
  for (void* cd : {toUtf16_, fromUtf16_, shiftJisToUtf16_}) {
    if (cd != nullptr) iconv_close(static_cast<iconv_t>(cd));
  }
}

// Opening a converter costs far more than a short conversion, so each direction is opened once
// and kept.
void* PosixPlatform::converter(void*& slot, const char* to, const char* from) const {
  if (slot == nullptr) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    slot = cd;
  }
  return slot;
}

// Decodes with a converter to UTF-16LE; each byte it cannot convert becomes U+FFFD.
std::u16string PosixPlatform::toUtf16(void*& slot, const char* from, std::string_view bytes) const {
  std::lock_guard<std::mutex> lock(mutex_);
  void* cd = converter(slot, "UTF-16LE", from);
  if (cd == nullptr) return {};
  const std::string utf16 =
      convert(static_cast<iconv_t>(cd), bytes, 1, std::string_view("\xFD\xFF", 2));
  std::u16string out(utf16.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<uint8_t>(utf16[2 * i]) |
                                   (static_cast<uint8_t>(utf16[2 * i + 1]) << 8));
  }
  return out;
}

std::u16string PosixPlatform::ansiToUtf16(std::string_view bytes) const {
  return toUtf16(toUtf16_, iconvName_.c_str(), bytes);
}

std::u16string PosixPlatform::shiftJisToUtf16(std::string_view bytes) const {
  return toUtf16(shiftJisToUtf16_, "CP932", bytes);
}

unsigned PosixPlatform::ansiCodePage() const {
  std::string name;
  for (char c : iconvName_) {
    name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  for (const char* japanese : {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "MS_KANJI", "WINDOWS-31J"}) {
    if (name == japanese) return 932;
  }
  if (name == "UTF-8") return 65001;
  // "CP1252", "WINDOWS-1252", "CP932" ...
  for (std::string_view prefix : {"CP", "WINDOWS-"}) {
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        name.find_first_not_of("0123456789", prefix.size()) == std::string::npos &&
        name.size() - prefix.size() <= 5) {
      return static_cast<unsigned>(std::stoul(name.substr(prefix.size())));
    }
  }
  return 0;
}

std::string PosixPlatform::utf16ToAnsi(std::u16string_view text) const {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  void* cd = converter(fromUtf16_, iconvName_.c_str(), "UTF-16LE");
  if (cd == nullptr) return {};
  return convert(static_cast<iconv_t>(cd), bytes, 2, "?");
}

bool PosixPlatform::fileExists(std::u16string_view path) const {
  struct stat st {};
  return stat(toUtf8Path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixPlatform::renameFile(std::u16string_view from, std::u16string_view to) const {
  // Like MoveFile: never replace an existing target.
  if (fileExists(to)) return false;
  return std::rename(toUtf8Path(from).c_str(), toUtf8Path(to).c_str()) == 0;
}

bool PosixPlatform::deleteFile(std::u16string_view path) const {
  return unlink(toUtf8Path(path).c_str()) == 0;
}

bool PosixPlatform::replaceFile(std::u16string_view path, std::string_view bytes) const {
  std::string target = toUtf8Path(path);
  // A symbolic link stays a link: the file it names is the one replaced.
  struct stat link {};
  if (lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char* resolved = realpath(target.c_str(), nullptr);
    if (resolved == nullptr) return false;  // a dangling link: no file to write through to
    target = resolved;
    std::free(resolved);
  }
  struct stat original {};
  const bool exists = stat(target.c_str(), &original) == 0;
  if (exists && !S_ISREG(original.st_mode)) return false;
  if (exists && (original.st_mode & 0222) == 0) return false;  // read-only: the user's choice

  // A temporary file of that name can only be left over from an interrupted write.
  const std::string temp = target + ".tmp~";
  struct stat stale {};
  if (lstat(temp.c_str(), &stale) == 0 && !S_ISDIR(stale.st_mode)) unlink(temp.c_str());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    const bool folderRefuses = errno == EACCES || errno == EPERM;
    return exists && folderRefuses && rewriteInPlace(target, bytes);
  }
  if (exists) {
    // The new file takes the old one's owner (where allowed) and permissions.
    [[maybe_unused]] const int owned = fchown(fd, original.st_uid, original.st_gid);
    fchmod(fd, original.st_mode & 07777);
  }
  const bool ok = writeAll(fd, bytes) && fsync(fd) == 0;
  close(fd);
  if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

std::unique_ptr<RandomAccessFile> PosixPlatform::openForReading(std::u16string_view path) const {
  // Non-blocking, so that a named pipe among the files does not wait for a writer; it is then
  // turned down as not a regular file.
  int fd = open(toUtf8Path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd, static_cast<uint64_t>(st.st_size));
}

std::u16string PosixPlatform::hostExecutablePath() const {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  return n > 0 ? fileNameBytesToUtf16(std::string_view(buffer, static_cast<size_t>(n)))
               : std::u16string();
}

Platform& systemPlatform() {
  static PosixPlatform instance;
  return instance;
}

}  // namespace sonavid
