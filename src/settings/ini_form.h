// Settings files in INI form: read whole into memory, changed there, written back whole.
//
// Lines end in CR LF (LF or CR alone are accepted on reading). Every line is trimmed of blanks
// (space and control characters). "[name]" starts a section; "key=value" belongs to the
// section above it; lines before the first section, empty lines and ";" comments carry nothing
// and are not written back. A line without "=" inside a section is kept in place. Names match
// without regard to letter case; of duplicated keys or sections the last one counts.
//
// A file is decoded by its byte-order mark (FF FE UTF-16LE, FE FF UTF-16BE, EF BB BF UTF-8,
// none: the ANSI code page, or UTF-16 when it plainly is UTF-16 without a mark) whether it is
// opened for reading or for change, and always written as UTF-16LE with FF FE. A file read
// without a mark is written back only when its text, encoded again, gives the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sonavid {

// Most section and key lines kept from one file; a file with more reads as unreadable (empty,
// never written), so a hand-made file cannot make the plug-in allocate without bound.
inline constexpr size_t kMaxIniLines = 1'000'000;

// Name comparison used for sections and keys: simple case folding of ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and the full-width Latin letters.
std::u16string foldIniName(std::u16string_view name);
bool iniNamesEqual(std::u16string_view a, std::u16string_view b);

enum class SettingsEncoding { Utf16LeMarked, Utf16BeMarked, Utf8Marked, Utf16Le, Utf16Be, Ansi };

// The encoding of a settings file's bytes: by their byte-order mark; without one ANSI, unless
// the bytes have an even length and more than half of their code units are ASCII characters
// with the zero byte on one side (UTF-16 without a mark, in that byte order).
SettingsEncoding detectSettingsEncoding(std::string_view bytes);
std::u16string decodeSettingsBytes(std::string_view bytes, SettingsEncoding encoding);
std::u16string decodeSettingsBytes(std::string_view bytes);

// The values of one section, indexed for reading many keys at once. Views point into the
// IniForm it came from and are valid while that form is not changed or destroyed.
class IniSectionReader {
 public:
  std::optional<std::u16string_view> find(std::u16string_view key) const;
  std::u16string readText(std::u16string_view key, std::u16string_view fallback = {}) const;
  int32_t readInt(std::u16string_view key, int32_t fallback) const;

 private:
  friend class IniForm;
  std::unordered_map<std::u16string, std::u16string_view> values_;  // by folded key
};

class IniForm {
 public:
  IniForm() = default;

  // Reads the file at `path`. A missing file gives an empty form. A file that exists but cannot
  // be read whole (too large, unreadable, a short read, too many lines) also reads as empty, and
  // the form refuses to write it back so the original is never replaced by a fragment. So it
  // does for a file without a byte-order mark whose decoded text does not encode back to it.
  static IniForm load(std::u16string_view path);
  // Builds a form from decoded text (no file behind it).
  static IniForm parse(std::u16string_view text);

  // A section name given to any of these is trimmed of blanks the way a "[name]" line is when
  // read, so " Name " reads and writes the section [Name].
  bool hasSection(std::u16string_view section) const;
  std::optional<std::u16string_view> find(std::u16string_view section,
                                          std::u16string_view key) const;
  std::u16string readText(std::u16string_view section, std::u16string_view key,
                          std::u16string_view fallback = {}) const;
  // Integer reading of the value; a missing key or a refused text gives `fallback`.
  int32_t readInt(std::u16string_view section, std::u16string_view key, int32_t fallback) const;
  // An integer that is true when not zero.
  bool readBool(std::u16string_view section, std::u16string_view key, bool fallback) const;
  IniSectionReader section(std::u16string_view section) const;

  // Changes the last occurrence of the key, or appends the key to the section (the section to
  // the end of the file). Line breaks inside a key or value become spaces so that a value can
  // never start a line of its own.
  void writeText(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  void writeInt(std::u16string_view section, std::u16string_view key, int32_t value);
  void writeBool(std::u16string_view section, std::u16string_view key, bool value);
  // Removes every section of that name with all its lines.
  void eraseSection(std::u16string_view section);
  // Erases the section, then appends it anew at the end with these key lines in order.
  void replaceSection(std::u16string_view section,
                      const std::vector<std::pair<std::u16string, std::u16string>>& keyValues);

  // The whole form as text: per section its name line, its lines, an empty line; CR LF each.
  std::u16string toText() const;
  // toText() as UTF-16LE bytes after the mark FF FE.
  std::string toBytes() const;
  // Writes the form back to the file it was loaded from. Returns false when nothing was
  // written (no file behind the form, the original could not be read faithfully, or the write
  // failed).
  bool save() const;
  // Writes the form to `path` through a temporary file; false when that failed.
  bool saveAs(std::u16string_view path) const;

  const std::u16string& path() const { return path_; }
  bool readFailed() const { return readFailed_; }
  // Whether save() refuses to replace the file this form was read from.
  bool keepsOriginal() const { return keepOriginal_; }

 private:
  // A kept line of a section. For a key line `text` is "key=value" (both trimmed) and `equals`
  // the position of its "="; for a line without "=" `equals` is npos.
  struct Line {
    std::u16string text;
    size_t equals = std::u16string::npos;
    bool isKey() const { return equals != std::u16string::npos; }
    std::u16string_view key() const { return std::u16string_view(text).substr(0, equals); }
    std::u16string_view value() const { return std::u16string_view(text).substr(equals + 1); }
  };
  struct Section {
    std::u16string name;
    std::vector<Line> lines;
  };

  const Section* findSection(std::u16string_view name) const;
  Section& sectionForChange(std::u16string_view name);

  std::vector<Section> sections_;
  std::u16string path_;
  bool readFailed_ = false;
  bool keepOriginal_ = false;
};

}  // namespace sonavid
