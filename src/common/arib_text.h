// Texts of Japanese digital broadcasting (ISDB): the 8-bit character coding of ARIB STD-B24
// volume 1 (its second part), as the service and event descriptors of the SI tables carry it.
#pragma once

#include <string>
#include <string_view>

namespace sonavid {

// UTF-16 text of an ARIB STD-B24 8-bit coded text. Starts from the designations of SI texts
// (G0 Kanji, G1 alphanumeric, G2 hiragana, G3 katakana; GL = G0, GR = G2) and follows the
// locking and single shifts and the designation escapes. Alphanumerics and kana are full-width
// at normal size (NSZ) and half-width at middle or small size (MSZ, SSZ), as a receiver draws
// them; a drawn character (DRCS) becomes U+3013, one per character; APR is a line break
// ("\r\n"); the other control codes and their parameters are skipped. A text cut inside a
// character, an escape or a control's parameters is decoded up to that point.
std::u16string decodeAribText(std::string_view bytes);

}  // namespace sonavid
