// Text laid out for a console window: the console itself breaks a line wherever its window ends,
// mid-word, so the programs wrap what they write at spaces first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

// Each line of utf8 wrapped at spaces into rows of at most width columns, an East Asian wide
// character counting two. A row that continues a line starts with the line's own leading spaces
// and 2 more, so that a wrapped line stands apart from the next. A word longer than a row, a long
// path, is kept whole across rows: broken after its last \ or / that fits, else where the row
// ends. Line ends stay where they were: text that ends without one still does.
std::string wrapText(std::string_view utf8, size_t width);

}  // namespace common
