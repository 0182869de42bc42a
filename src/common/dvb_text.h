// Texts of DVB service information: ETSI EN 300 468 Annex A.
#pragma once

#include <string>
#include <string_view>

namespace sonavid {

// UTF-16 text of a DVB SI text. A first byte below 0x20 selects the character table: 0x01-0x0B
// ISO/IEC 8859-5..15, 0x10 0x00 n ISO/IEC 8859-n, 0x11 UCS-2 (big-endian), 0x15 UTF-8; any
// other byte starts the text in the default table (ISO/IEC 6937 with the euro sign at 0xA4,
// whose diacritic bytes compose with the letter after them). The emphasis codes are dropped
// and the CR/LF code is a line break ("\r\n"). A table this decoder does not have (Korean,
// Chinese, an encoding_type_id) gives an empty text.
std::u16string decodeDvbText(std::string_view bytes);

}  // namespace sonavid
