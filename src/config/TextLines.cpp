#include "config/TextLines.h"

namespace kvl {

std::vector<std::string> SplitTextLines(std::string_view content)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool EndsMidLine(std::string_view content)
{
    return !content.empty() && content.back() != '\n' && content.back() != '\r';
}

} // namespace kvl
