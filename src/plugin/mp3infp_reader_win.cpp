#include "plugin/mp3infp_reader_win.h"

#include <cstring>
#include <utility>

namespace sonavid {
namespace {

template <typename Function>
Function ordinalFunction(HMODULE module, WORD ordinal) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

// Texts beyond this many UTF-16 units are not converted (the conversion APIs count in int).
constexpr size_t kMaxConvertedUnits = 1u << 24;

}  // namespace

std::string toAnsi(std::u16string_view text) {
  if (text.empty() || text.size() > kMaxConvertedUnits) return {};
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, source, length, nullptr, 0,
                                         nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, source, length,
                                          bytes.data(), needed, nullptr, nullptr);
  bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return bytes;
}

std::u16string fromAnsi(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxConvertedUnits) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string text(static_cast<size_t>(needed), u'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length,
                                          reinterpret_cast<wchar_t*>(text.data()), needed);
  text.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return text;
}

std::unique_ptr<Mp3infpReader> Mp3infpReader::fromModule(HMODULE module,
                                                         std::u16string libraryPath) {
  if (module == nullptr) return nullptr;
  const auto load = ordinalFunction<Mp3infpLoadFn>(module, kMp3infpLoadOrdinal);
  const auto type = ordinalFunction<Mp3infpTypeFn>(module, kMp3infpTypeOrdinal);
  const auto value = ordinalFunction<Mp3infpValueFn>(module, kMp3infpValueOrdinal);
  if (load == nullptr || type == nullptr || value == nullptr) return nullptr;
  return std::unique_ptr<Mp3infpReader>(
      new Mp3infpReader(module, std::move(libraryPath), load, type, value));
}

Mp3infpReader::Mp3infpReader(HMODULE module, std::u16string libraryPath, Mp3infpLoadFn load,
                             Mp3infpTypeFn type, Mp3infpValueFn value)
    : module_(module),
      libraryPath_(std::move(libraryPath)),
      load_(load),
      type_(type),
      value_(value) {}

Mp3infpReader::~Mp3infpReader() { FreeLibrary(module_); }

bool Mp3infpReader::load(std::u16string_view path) {
  loaded_ = false;
  const std::string ansiPath = toAnsi(path);
  // An empty path would leave the choice of file to the library.
  if (ansiPath.empty()) return false;
  loaded_ = load_(nullptr, ansiPath.c_str()) == 0;
  return loaded_;
}

int32_t Mp3infpReader::type() const { return loaded_ ? type_() : kTypeNone; }

std::u16string Mp3infpReader::value(std::u16string_view name) const {
  if (!loaded_) return {};
  const std::string ansiName = toAnsi(name);
  char* text = nullptr;
  value_(ansiName.c_str(), &text);
  if (text == nullptr) return {};
  // Copied at once: the text belongs to the library and changes with its next call.
  return fromAnsi(std::string_view(text, strnlen(text, kMaxMp3infpValueBytes)));
}

}  // namespace sonavid
