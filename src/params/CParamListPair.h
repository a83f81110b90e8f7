#pragma once
// CParamListPair: the parameter list window's two lists. The driver list is the axis' own
// parameter list (values last read from or written to the controller), borrowed from the axis
// window that owns it; the file list is this pair's copy, the values the user edits, loads, saves
// and writes. Also numbers the rows a tab shows. Owned by the parameter list window or the
// command-line tool; the driver list must outlive it. One thread.
#include <vector>

#include "params/CParamList.h"

namespace kvl {
class CIniEx;
} // namespace kvl

namespace kvl::params {

class CParamListPair {
public:
    // The file list starts as a copy of the driver list.
    explicit CParamListPair(CParamList &driver);

    CParamList &Driver() { return m_driver; }
    const CParamList &Driver() const { return m_driver; }
    CParamList &File() { return m_file; }
    const CParamList &File() const { return m_file; }

    // The file list becomes a copy of the driver list again (the window's opening).
    void CopyDriverToFile();

    // Walks 1..49, 100..count: shown parameters get rows 1, 2, ... in both lists, hidden ones
    // (and empty slots) -1. Returns the numbers shown, in row order.
    std::vector<int> AssignRows(int tab, int level, int count);

    // Display names, choices and range texts of both lists again from the axis' parameter store
    // (after a language change); values stay.
    void ReloadTexts(const CIniEx &store, int count);

    // Whether the row of `number` is marked (its two values differ).
    bool Marked(int number) const;

    // Edits neither saved nor written: the file list is measured against the values it held when
    // it was last copied from the driver list, read, written whole, saved or loaded.
    void KeepEdits();
    bool HasUnkeptEdits() const;

    // Copies the value (not the definition) of `from` into `to`: integer, real, chosen index or
    // text. Records of different types are left alone.
    static void CopyValue(const CParamData &from, CParamData &to);

private:
    CParamList &m_driver;
    CParamList m_file;
    CParamList m_kept;
};

} // namespace kvl::params
