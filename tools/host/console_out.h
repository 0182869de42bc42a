// UTF-8 output on standard output, whether it is a console, a file or a pipe.
#pragma once

#include <string_view>

namespace sonavid::host {

void writeOut(std::u16string_view text);
void writeErr(std::string_view utf8);

}  // namespace sonavid::host
