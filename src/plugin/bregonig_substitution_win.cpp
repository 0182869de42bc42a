#include "plugin/bregonig_substitution_win.h"

#include <cwchar>
#include <utility>

namespace sonavid {
namespace {

template <typename Function>
Function namedFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The target of an empty text: start and end both point at this terminator.
wchar_t emptyTarget[1] = {L'\0'};

// Releases the library's record when the call is over, also when copying the output throws.
class RecordRelease {
 public:
  RecordRelease(BRegfreeWFn release, BregonigRecord*& record)
      : release_(release), record_(record) {}
  ~RecordRelease() {
    if (record_ != nullptr) release_(record_);
  }
  RecordRelease(const RecordRelease&) = delete;
  RecordRelease& operator=(const RecordRelease&) = delete;

 private:
  BRegfreeWFn release_;
  BregonigRecord*& record_;
};

}  // namespace

std::unique_ptr<BregonigSubstitution> BregonigSubstitution::fromModule(HMODULE module,
                                                                       std::u16string libraryPath) {
  if (module == nullptr) return nullptr;
  const auto substitute = namedFunction<BSubstWFn>(module, "BSubstW");
  const auto release = namedFunction<BRegfreeWFn>(module, "BRegfreeW");
  if (substitute == nullptr || release == nullptr) return nullptr;
  return std::unique_ptr<BregonigSubstitution>(
      new BregonigSubstitution(module, std::move(libraryPath), substitute, release));
}

BregonigSubstitution::BregonigSubstitution(HMODULE module, std::u16string libraryPath,
                                           BSubstWFn substitute, BRegfreeWFn release)
    : module_(module),
      libraryPath_(std::move(libraryPath)),
      substitute_(substitute),
      release_(release) {}

BregonigSubstitution::~BregonigSubstitution() { FreeLibrary(module_); }

SubstResult BregonigSubstitution::subst(std::u16string_view command, std::u16string_view target) {
  // Own NUL-terminated copies: the command is never a null pointer (an empty command is an empty
  // text), and the library may read the target up to its terminator.
  const std::u16string commandText(command);
  std::u16string targetText(target);
  wchar_t* start = emptyTarget;
  wchar_t* end = emptyTarget;
  emptyTarget[0] = L'\0';
  if (!targetText.empty()) {
    start = reinterpret_cast<wchar_t*>(targetText.data());
    end = start + targetText.size();
  }
  wchar_t message[kBregonigMessageUnits] = {};
  BregonigRecord* record = nullptr;
  SubstResult result;
  {
    RecordRelease release(release_, record);
    result.count = substitute_(reinterpret_cast<const wchar_t*>(commandText.c_str()), start, end,
                               &record, message);
    if (result.count > 0 && record != nullptr && record->output != nullptr) {
      const wchar_t* output = record->output;
      result.output.assign(reinterpret_cast<const char16_t*>(output),
                           wcsnlen(output, kMaxBregonigOutputUnits));
    }
    if (result.count < 0) {
      // The library's reason, cut at the buffer's end should it not be terminated.
      result.error.assign(reinterpret_cast<const char16_t*>(message),
                          wcsnlen(message, kBregonigMessageUnits));
    }
  }
  return result;
}

}  // namespace sonavid
