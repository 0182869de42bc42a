#include "media/formats.h"

namespace sonavid::media {

// Not read yet: no file is recognised as this format.
bool readAsf(RandomAccessFile& /*file*/, MediaInfo& /*info*/) { return false; }

}  // namespace sonavid::media
