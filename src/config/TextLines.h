#pragma once
// Splitting the text of a file into lines, the way every text file of the tool is read back:
// CR LF, LF and a lone CR each end a line; a last line without an end counts too.
// Stateless; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace kvl {

std::vector<std::string> SplitTextLines(std::string_view content);
// True when the last line has no line end: every file the tool writes ends each line, so such a
// file was cut short (a copy broken off, a disk filled up).
bool EndsMidLine(std::string_view content);

} // namespace kvl
