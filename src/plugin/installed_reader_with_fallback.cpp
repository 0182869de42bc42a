#include "plugin/installed_reader_with_fallback.h"

#include <utility>

#include "core/media_types.h"

namespace sonavid {
namespace {

// The installed reader names the first eight media types. Any other code it reports (6, or a
// code of its own above 9) means nothing to the plug-in and is not taken for one of the codes
// the plug-in gives its own types.
constexpr int kInstalledReaderTypeCount = 8;

bool isInstalledReaderType(int32_t code) {
  const int index = mediaTypeIndexOfCode(code);
  return index >= 0 && index < kInstalledReaderTypeCount;
}

}  // namespace

InstalledReaderWithFallback::InstalledReaderWithFallback(std::unique_ptr<MediaReader> installed,
                                                         std::unique_ptr<MediaReader> builtin)
    : installed_(std::move(installed)), builtin_(std::move(builtin)) {}

bool InstalledReaderWithFallback::load(std::u16string_view path) {
  current_ = nullptr;
  const bool installedLoaded = installed_->load(path);
  if (installedLoaded && isInstalledReaderType(installed_->type())) {
    current_ = installed_.get();
    return true;
  }
  if (builtin_->load(path) && builtin_->type() != kTypeNone) {
    current_ = builtin_.get();
    return true;
  }
  // Neither knows the file: a file the installed reader opened is still a loaded file of no
  // type (the media-type macro may name its extension), whatever code it reported.
  if (installedLoaded) current_ = installed_.get();
  return installedLoaded;
}

int32_t InstalledReaderWithFallback::type() const {
  if (current_ == nullptr) return kTypeNone;
  const int32_t code = current_->type();
  if (current_ == installed_.get() && !isInstalledReaderType(code)) return kTypeNone;
  return code;
}

std::u16string InstalledReaderWithFallback::value(std::u16string_view name) const {
  return current_ != nullptr ? current_->value(name) : std::u16string();
}

void InstalledReaderWithFallback::copyValue(std::u16string_view name, std::u16string& out) const {
  if (current_ != nullptr) {
    current_->copyValue(name, out);
  } else {
    out.clear();
  }
}

}  // namespace sonavid
