// Services the portable code needs from the operating system: the ANSI code page, files and
// the host executable's path. Windows and POSIX each provide one implementation; tests may
// install their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sonavid {

// A file opened for positioned reads. Reads never move a shared cursor.
class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  virtual uint64_t size() const = 0;
  // Reads up to `count` bytes at `offset`; returns how many were read (0 at or past the end).
  virtual size_t readAt(uint64_t offset, void* buffer, size_t count) = 0;
  // The `count` bytes at `offset` when this file already holds them in memory (a cache put in
  // front of another file), else an empty view: a parser can then look at them in place.
  virtual std::string_view heldBytes(uint64_t /*offset*/, size_t /*count*/) const { return {}; }
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Conversions between UTF-16 and the system ANSI code page. Characters with no equivalent
  // become the code page's default character.
  virtual std::u16string ansiToUtf16(std::string_view bytes) const = 0;
  virtual std::string utf16ToAnsi(std::u16string_view text) const = 0;
  // Number of the ANSI code page (932, 1252, ...); 0 when it has no Windows number.
  virtual unsigned ansiCodePage() const = 0;
  // Shift-JIS (code page 932) to UTF-16, whatever the ANSI code page; as ansiToUtf16 otherwise.
  virtual std::u16string shiftJisToUtf16(std::string_view bytes) const = 0;

  virtual bool fileExists(std::u16string_view path) const = 0;
  virtual bool renameFile(std::u16string_view from, std::u16string_view to) const = 0;
  virtual bool deleteFile(std::u16string_view path) const = 0;

  // Whole contents of a file, or nothing when it cannot be opened, is larger than maxBytes or
  // gives fewer bytes than its size. Read through openForReading.
  std::optional<std::string> readWholeFile(std::u16string_view path, size_t maxBytes) const;
  // Writes `bytes` as the file at `path` so that a failed write leaves the old file whole:
  // into the temporary file `<path>.tmp~` beside it (a stale one is replaced), then over the
  // original. A symbolic link is written through to the file it names; the file keeps its
  // permissions and attributes. A read-only file is not written. When the folder takes no new
  // file but the file itself is writable, the file is rewritten in place, its old bytes kept
  // until the new ones are flushed and put back if that fails. Returns whether the file now
  // holds `bytes`.
  virtual bool replaceFile(std::u16string_view path, std::string_view bytes) const = 0;

  virtual std::unique_ptr<RandomAccessFile> openForReading(std::u16string_view path) const = 0;

  // Full path of the running program (the host process, not the plug-in).
  virtual std::u16string hostExecutablePath() const = 0;
};

// The platform in use: the system's own unless a test installed another.
Platform& platform();
// Installs a platform for the current process (null restores the system's own). The caller
// keeps ownership.
void setPlatform(Platform* replacement);

// Largest settings file the plug-in reads (a hand-edited file beyond this reads as missing).
inline constexpr size_t kMaxSettingsFileBytes = 16u * 1024 * 1024;

}  // namespace sonavid
