// Rewrites the media-info macro applies to the values of particular fields.
#pragma once

#include <string>
#include <string_view>

#include "core/substitution.h"

namespace sonavid {

// Takes from an audio format summary the part between its first ", " and the next period:
// the playing time in whole seconds in the reader's "AFMT" wording.
inline constexpr std::u16string_view kDefaultTimeExpression = u"s/^.*?, (.*?)\\..*$/\\1/";

// "m:ss (TEXTsec)" for a text read as a number of seconds (0 when it is not an integer); the
// text itself stands in the brackets as it was given.
std::u16string formatPlayingTime(std::u16string_view secondsText);

// The seconds text of an audio format summary ("" when the summary has none), for a reader
// that gives no "TIME" value.
std::u16string secondsFromAudioFormat(std::u16string_view audioFormat, Substitution& substitution);

// Every ":" becomes "'" (a colon cannot stand in a file name).
void rewriteTimeValue(std::u16string& value);

// "bits/s" and then "b/s" become "bps".
void rewriteAudioFormatValue(std::u16string& value);

// Line feeds are removed (a comment's lines run together; carriage returns stay).
void removeLineFeeds(std::u16string& value);

// Applies a substitution command; the value stays unchanged when the command is empty,
// invalid or does not match.
void applySubstitution(std::u16string& value, std::u16string_view command,
                       Substitution& substitution);

}  // namespace sonavid
