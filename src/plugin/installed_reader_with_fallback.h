// The media reader in use when an installed reader library is found: the installed reader
// answers every file it knows, and the built-in reader answers the files it reports as of no
// type (the types it predates: FLAC, Matroska, transport streams, raw AAC ...), so those types
// work whether or not a reader library is installed.
#pragma once

#include <memory>

#include "core/media_reader.h"

namespace sonavid {

class InstalledReaderWithFallback final : public MediaReader {
 public:
  InstalledReaderWithFallback(std::unique_ptr<MediaReader> installed,
                              std::unique_ptr<MediaReader> builtin);

  // The installed reader loads the file first. When it reports no type the plug-in names for
  // it (0 among them), or refuses the file, the built-in reader reads it; its answer is taken only when it knows the type. A file
  // that neither reader knows keeps the installed reader's result, so a file the installed
  // reader refused still fails to load, as it did without the fallback.
  bool load(std::u16string_view path) override;
  int32_t type() const override;
  std::u16string value(std::u16string_view name) const override;
  void copyValue(std::u16string_view name, std::u16string& out) const override;

  const MediaReader& installed() const { return *installed_; }
  // Whether the file loaded last is answered by the built-in reader.
  bool answeredByBuiltin() const { return current_ == builtin_.get(); }

 private:
  std::unique_ptr<MediaReader> installed_;
  std::unique_ptr<MediaReader> builtin_;
  // The reader that answers for the file loaded last; null before the first load and after a
  // load that failed.
  const MediaReader* current_ = nullptr;
};

}  // namespace sonavid
