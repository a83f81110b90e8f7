#pragma once
// The character and key rules of the in-cell editors (the one-line cell edit and the drop-down
// choice list placed over a grid cell): which typed characters an editor takes, how Up and Down
// wrap around a choice list, and which choice a typed character selects. Shared by every grid that
// edits in place (the point table, the parameter list, the tuning window). Stateless; any thread.
#include <string>
#include <vector>

namespace kvl {

class CCellInputRules {
public:
    // The characters an editor takes when its accepted-characters text is empty.
    static constexpr char kDefaultExtraChars[] = "+-.";

    // Whether an editor takes a typed character (backspace is a key and always taken). A space is
    // never taken. A free-text editor takes every other character; otherwise a non-empty `accepted`
    // text lists the characters taken, and an empty one means digits, letters A-Z and a-z, "+",
    // "-" and ".".
    static bool TakesChar(char32_t c, const std::string &accepted, bool freeText);

    // The entry a choice list moves to from `index` with Up (up) or Down: Up on the first entry
    // gives the last, Down on the last gives the first; -1 when the list is empty.
    static int WrappedChoice(int index, int count, bool up);

    // The first entry that begins with the character in upper case (an ASCII letter is compared
    // as its capital; other characters as they are); -1 when none does.
    static int ChoiceStartingWith(const std::vector<std::string> &choices, char32_t c);
};

} // namespace kvl
