#pragma once
// CCodePageText: text as a file of a user language holds it, in that language's code page (CP932
// Japanese, CP936 Chinese, CP1252 English), together with the code page. It is never UTF-8 and
// does not pass for a std::string: everything the program works with, shows or prints is UTF-8, and
// this type exists only at the places where a file is read or written. Turning one into the other
// is a call that names the direction (ToUtf8, FromUtf8), so a text of one kind cannot slip into
// the other unseen. Value type; any thread.
#include <string>
#include <string_view>

namespace kvl {

class CCodePageText {
public:
    CCodePageText() = default;
    CCodePageText(std::string bytes, int codePage) : m_bytes(std::move(bytes)), m_codePage(codePage) {}

    // UTF-8 in the code page (a character the code page lacks becomes "?").
    static CCodePageText FromUtf8(std::string_view utf8, int codePage);
    // The text in UTF-8 (an undecodable byte becomes U+FFFD).
    std::string ToUtf8() const;

    // The bytes as the file holds them, for writing and for byte-wise checks.
    const std::string &Bytes() const { return m_bytes; }
    int CodePage() const { return m_codePage; }
    bool Empty() const { return m_bytes.empty(); }

    bool operator==(const CCodePageText &) const = default;

private:
    std::string m_bytes;
    int m_codePage = 0;
};

} // namespace kvl
