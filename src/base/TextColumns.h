#pragma once
// The width a UTF-8 text takes in a fixed-pitch font: one column a character, two for the wide
// characters of Japanese and Chinese (ideographs, kana, Hangul, full-width forms). A printout
// that lines up its columns with spaces counts these, not bytes. Bytes that are no UTF-8 count
// one column each. Stateless.
#include <cstddef>
#include <string_view>

namespace kvl {

std::size_t TextColumns(std::string_view utf8);

} // namespace kvl
