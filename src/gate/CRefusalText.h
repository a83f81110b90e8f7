#pragma once
// CRefusalText: a write the gate refused, in the words of the user's language: which device, which
// item (a step's column by the grid's own caption) and why. Texts come from the language file's
// section "IDD_KVL_WRITE_GATE"; a missing text falls back to its English form. Stateless.
#include <functional>
#include <string>
#include <vector>

#include "protocol/WriteRefusal.h"

namespace kvl {

class CRefusalText {
public:
    static constexpr const char *kSection = "IDD_KVL_WRITE_GATE";
    // The most lines one message lists; the rest are counted.
    static constexpr int kMaxLines = 12;

    // (key, section) -> UTF-8 text; empty when the language has none.
    using TextLookup = std::function<std::string(const std::string &key, const std::string &section)>;

    // "Axis 3, step 12, Position [mm]: 9999.9990 is outside -10.0000 to 100.0000".
    static std::string Line(const WriteRefusal &refusal, const TextLookup &texts);
    // The title of the message.
    static std::string Title(const TextLookup &texts);
    // The head line, one line per refusal (at most kMaxLines, then how many more), "\n" between.
    static std::string Message(const std::vector<WriteRefusal> &refusals, const TextLookup &texts);
};

} // namespace kvl
