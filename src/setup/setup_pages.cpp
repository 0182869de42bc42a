#include "setup/setup_pages.h"

namespace sonavid::setup {

std::vector<std::u16string_view> offeredBaseCodes(int page) {
  std::vector<std::u16string_view> codes = {kCodeTime, kCodeAudio};
  if (isPage(page) && kPages[page].offersVideo) codes.push_back(kCodeVideo);
  return codes;
}

}  // namespace sonavid::setup
