#include "plugin/installed_reader_with_fallback.h"

#include <utility>

namespace sonavid {

InstalledReaderWithFallback::InstalledReaderWithFallback(std::unique_ptr<MediaReader> installed,
                                                         std::unique_ptr<MediaReader> builtin)
    : installed_(std::move(installed)), builtin_(std::move(builtin)) {}

bool InstalledReaderWithFallback::load(std::u16string_view path) {
  current_ = nullptr;
  const bool installedLoaded = installed_->load(path);
  if (installedLoaded && installed_->type() != kTypeNone) {
    current_ = installed_.get();
    return true;
  }
  if (builtin_->load(path) && builtin_->type() != kTypeNone) {
    current_ = builtin_.get();
    return true;
  }
  // Neither knows the file: a file the installed reader opened is still a loaded file of no
  // type (the media-type macro may name its extension).
  if (installedLoaded) current_ = installed_.get();
  return installedLoaded;
}

int32_t InstalledReaderWithFallback::type() const {
  return current_ != nullptr ? current_->type() : kTypeNone;
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
