#include "settings/ini_form.h"

#include "common/int_reading.h"
#include "common/platform.h"
#include "common/text.h"

namespace sonavid {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

bool isBlank(char16_t c) { return c <= 0x20; }

std::u16string_view trimBlanks(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Lower case of one UTF-16 unit for the alphabets people use in names; others stay as they are.
char16_t foldChar(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs capital and small letters side by side, with two runs shifted.
    if (c == 0x178) return 0xFF;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
      return (c & 1) ? static_cast<char16_t>(c + 1) : c;
    }
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c & 1) ? c : static_cast<char16_t>(c + 1);
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
  return c;
}

// A key or value must stay on its own line when written.
std::u16string withoutLineBreaks(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c == u'\r' || c == u'\n') c = u' ';
  }
  return out;
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    const auto first = static_cast<uint8_t>(bytes[2 * i]);
    const auto second = static_cast<uint8_t>(bytes[2 * i + 1]);
    out[i] = bigEndian ? static_cast<char16_t>((first << 8) | second)
                       : static_cast<char16_t>(first | (second << 8));
  }
  return out;
}

std::string encodeUtf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    const auto low = static_cast<char>(c & 0xFF);
    const auto high = static_cast<char>(c >> 8);
    bytes.push_back(bigEndian ? high : low);
    bytes.push_back(bigEndian ? low : high);
  }
  return bytes;
}

// Whether a text decoded by a guessed encoding gives the very bytes it came from when encoded
// again: only then does writing it back as UTF-16 keep what the file said.
bool guessRoundTrips(std::string_view bytes, SettingsEncoding encoding, std::u16string_view text) {
  switch (encoding) {
    case SettingsEncoding::Utf16Le: return encodeUtf16(text, false) == bytes;
    case SettingsEncoding::Utf16Be: return encodeUtf16(text, true) == bytes;
    case SettingsEncoding::Ansi: return platform().utf16ToAnsi(text) == bytes;
    default: return true;  // a byte-order mark is no guess
  }
}

// Section names are trimmed like a "[name]" line is when read, and a line break inside one
// is written as a space, so a name finds the section it writes.
std::u16string sectionNameOf(std::u16string_view name) {
  return std::u16string(trimBlanks(withoutLineBreaks(name)));
}

bool startsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

// Last key line of that name in a section (const or not).
template <typename SectionType>
auto* lastKeyLine(SectionType& section, std::u16string_view key) {
  decltype(&section.lines.front()) found = nullptr;
  for (auto it = section.lines.rbegin(); it != section.lines.rend() && !found; ++it) {
    if (it->isKey() && iniNamesEqual(it->key(), key)) found = &*it;
  }
  return found;
}

}  // namespace

std::u16string foldIniName(std::u16string_view name) {
  std::u16string out(name);
  for (char16_t& c : out) c = foldChar(c);
  return out;
}

bool iniNamesEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (foldChar(a[i]) != foldChar(b[i])) return false;
  }
  return true;
}

SettingsEncoding detectSettingsEncoding(std::string_view bytes) {
  if (startsWith(bytes, "\xFF\xFE")) return SettingsEncoding::Utf16LeMarked;
  if (startsWith(bytes, "\xFE\xFF")) return SettingsEncoding::Utf16BeMarked;
  if (startsWith(bytes, "\xEF\xBB\xBF")) return SettingsEncoding::Utf8Marked;
  // UTF-16 without a mark: ASCII-range text (brackets, "=", key names) puts a zero byte in
  // every code unit, always at the same side. Most units of a real settings file are such
  // units; a stray zero byte in ANSI text (a trailing NUL) is nowhere near that.
  if (bytes.empty() || bytes.size() % 2 != 0) return SettingsEncoding::Ansi;
  size_t asciiLe = 0;
  size_t asciiBe = 0;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const bool firstZero = bytes[i] == '\0';
    const bool secondZero = bytes[i + 1] == '\0';
    if (!firstZero && secondZero) ++asciiLe;
    if (firstZero && !secondZero) ++asciiBe;
  }
  const size_t units = bytes.size() / 2;
  if (asciiLe * 2 > units) return SettingsEncoding::Utf16Le;
  if (asciiBe * 2 > units) return SettingsEncoding::Utf16Be;
  return SettingsEncoding::Ansi;
}

std::u16string decodeSettingsBytes(std::string_view bytes, SettingsEncoding encoding) {
  switch (encoding) {
    case SettingsEncoding::Utf16LeMarked: return decodeUtf16(bytes.substr(2), false);
    case SettingsEncoding::Utf16BeMarked: return decodeUtf16(bytes.substr(2), true);
    case SettingsEncoding::Utf8Marked: return utf8ToUtf16(bytes.substr(3));
    case SettingsEncoding::Utf16Le: return decodeUtf16(bytes, false);
    case SettingsEncoding::Utf16Be: return decodeUtf16(bytes, true);
    case SettingsEncoding::Ansi: break;
  }
  return platform().ansiToUtf16(bytes);
}

std::u16string decodeSettingsBytes(std::string_view bytes) {
  return decodeSettingsBytes(bytes, detectSettingsEncoding(bytes));
}

std::optional<std::u16string_view> IniSectionReader::find(std::u16string_view key) const {
  const auto it = values_.find(foldIniName(key));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::u16string IniSectionReader::readText(std::u16string_view key,
                                          std::u16string_view fallback) const {
  return std::u16string(find(key).value_or(fallback));
}

int32_t IniSectionReader::readInt(std::u16string_view key, int32_t fallback) const {
  const auto value = find(key);
  return value ? readInt32Or(*value, fallback) : fallback;
}

IniForm IniForm::parse(std::u16string_view text) {
  IniForm form;
  size_t keptLines = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(u"\r\n", pos);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = trimBlanks(text.substr(pos, end - pos));
    // CR LF is one break; a lone CR or LF is one too.
    pos = end;
    if (pos < text.size() && text[pos] == u'\r') ++pos;
    if (pos < text.size() && text[pos] == u'\n') ++pos;

    if (line.empty() || line.front() == u';') continue;
    const bool startsSection = line.size() >= 2 && line.front() == u'[' && line.back() == u']';
    if (!startsSection && form.sections_.empty()) continue;  // before any section
    if (++keptLines > kMaxIniLines) {
      IniForm refused;
      refused.readFailed_ = true;
      refused.keepOriginal_ = true;
      return refused;
    }
    if (startsSection) {
      form.sections_.push_back({std::u16string(trimBlanks(line.substr(1, line.size() - 2))), {}});
      continue;
    }
    Line kept;
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
      kept.text = std::u16string(line);
    } else {
      const std::u16string_view key = trimBlanks(line.substr(0, equals));
      kept.text.reserve(line.size());
      kept.text.append(key);
      kept.equals = kept.text.size();
      kept.text.push_back(u'=');
      kept.text.append(trimBlanks(line.substr(equals + 1)));
    }
    form.sections_.back().lines.push_back(std::move(kept));
  }
  return form;
}

IniForm IniForm::load(std::u16string_view path) {
  const Platform& system = platform();
  const std::optional<std::string> bytes = system.readWholeFile(path, kMaxSettingsFileBytes);
  IniForm form;
  if (bytes) {
    const SettingsEncoding encoding = detectSettingsEncoding(*bytes);
    const std::u16string text = decodeSettingsBytes(*bytes, encoding);
    form = parse(text);
    // Text whose encoding was guessed is written back only when the guess reproduces the
    // file; otherwise the file would be replaced by what was misread.
    form.keepOriginal_ = form.readFailed_ || !guessRoundTrips(*bytes, encoding, text);
  } else if (system.fileExists(path)) {
    form.readFailed_ = true;
    form.keepOriginal_ = true;
  }
  form.path_ = std::u16string(path);
  return form;
}

const IniForm::Section* IniForm::findSection(std::u16string_view name) const {
  const std::u16string wanted = sectionNameOf(name);
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (iniNamesEqual(it->name, wanted)) return &*it;
  }
  return nullptr;
}

IniForm::Section& IniForm::sectionForChange(std::u16string_view name) {
  std::u16string wanted = sectionNameOf(name);
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (iniNamesEqual(it->name, wanted)) return *it;
  }
  sections_.push_back({std::move(wanted), {}});
  return sections_.back();
}

bool IniForm::hasSection(std::u16string_view section) const {
  return findSection(section) != nullptr;
}

std::optional<std::u16string_view> IniForm::find(std::u16string_view section,
                                                 std::u16string_view key) const {
  const Section* found = findSection(section);
  const Line* line = found ? lastKeyLine(*found, key) : nullptr;
  if (line == nullptr) return std::nullopt;
  return line->value();
}

std::u16string IniForm::readText(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback) const {
  return std::u16string(find(section, key).value_or(fallback));
}

int32_t IniForm::readInt(std::u16string_view section, std::u16string_view key,
                         int32_t fallback) const {
  const auto value = find(section, key);
  return value ? readInt32Or(*value, fallback) : fallback;
}

bool IniForm::readBool(std::u16string_view section, std::u16string_view key, bool fallback) const {
  return readInt(section, key, fallback ? 1 : 0) != 0;
}

IniSectionReader IniForm::section(std::u16string_view section) const {
  IniSectionReader reader;
  if (const Section* found = findSection(section)) {
    for (const Line& line : found->lines) {
      if (line.isKey()) reader.values_[foldIniName(line.key())] = line.value();  // last wins
    }
  }
  return reader;
}

void IniForm::writeText(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value) {
  Section& target = sectionForChange(section);
  const std::u16string cleanValue = withoutLineBreaks(value);
  if (Line* existing = lastKeyLine(target, key)) {
    existing->text.resize(existing->equals + 1);  // the key keeps its place and its spelling
    existing->text.append(cleanValue);
    return;
  }
  Line added;
  added.text = withoutLineBreaks(key);
  added.equals = added.text.size();
  added.text.push_back(u'=');
  added.text.append(cleanValue);
  target.lines.push_back(std::move(added));
}

void IniForm::writeInt(std::u16string_view section, std::u16string_view key, int32_t value) {
  writeText(section, key, toU16(value));
}

void IniForm::writeBool(std::u16string_view section, std::u16string_view key, bool value) {
  writeText(section, key, value ? u"1" : u"0");
}

void IniForm::eraseSection(std::u16string_view section) {
  const std::u16string name = sectionNameOf(section);
  std::erase_if(sections_, [&](const Section& s) { return iniNamesEqual(s.name, name); });
}

void IniForm::replaceSection(
    std::u16string_view section,
    const std::vector<std::pair<std::u16string, std::u16string>>& keyValues) {
  eraseSection(section);
  Section fresh{sectionNameOf(section), {}};
  fresh.lines.reserve(keyValues.size());
  for (const auto& [key, value] : keyValues) {
    Line line;
    line.text = withoutLineBreaks(key);
    line.equals = line.text.size();
    line.text.push_back(u'=');
    line.text.append(withoutLineBreaks(value));
    fresh.lines.push_back(std::move(line));
  }
  sections_.push_back(std::move(fresh));
}

std::u16string IniForm::toText() const {
  std::u16string text;
  for (const Section& section : sections_) {
    text.push_back(u'[');
    text.append(section.name);
    text.push_back(u']');
    text.append(kLineBreak);
    for (const Line& line : section.lines) {
      text.append(line.text);
      text.append(kLineBreak);
    }
    text.append(kLineBreak);
  }
  return text;
}

std::string IniForm::toBytes() const { return "\xFF\xFE" + encodeUtf16(toText(), false); }

bool IniForm::save() const {
  if (path_.empty() || keepOriginal_) return false;
  return saveAs(path_);
}

bool IniForm::saveAs(std::u16string_view path) const {
  return platform().replaceFile(path, toBytes());
}

}  // namespace sonavid
