#pragma once
// CUnkeptEdits: the question before edits that are neither saved to a file nor written to the
// device are dropped. A window that holds such edits (the axis window's point table, the
// parameter list, the network unit's pages) is a Holder; the window itself asks when it closes,
// and the application asks every Holder before the program ends. Save runs the window's own
// Save with its file dialog; Discard lets the edits go (no second question about them); Cancel
// keeps the window open. User-interface thread only.
#include <QString>
#include <QStringList>

class QWidget;

namespace kvl {

class CLanguageTexts;

class CUnkeptEdits {
public:
    static constexpr char kSection[] = "IDD_KVL_UNKEPT_EDITS";

    class Holder {
    public:
        virtual ~Holder() = default;
        // What holds such edits, named for the question ("The point table of axis 1"); empty
        // when nothing does.
        virtual QStringList UnkeptEdits() const = 0;
        // Saves the edits of `what` (one of the names above) with the window's Save; false when
        // they were not saved (the file dialog cancelled, the save failed).
        virtual bool SaveUnkeptEdits(const QString &what) = 0;
        // The user let the edits of `what` go.
        virtual void LetUnkeptEditsGo(const QString &what) = 0;
    };

    // Asks about each of the holder's unkept edits in turn; true when the window may close (each
    // was saved or let go), false at the first Cancel or Save that did not save.
    static bool Ask(QWidget *window, const CLanguageTexts &texts, Holder &holder);

    // A text of the section, with its English form where the language file has none.
    static QString Text(const CLanguageTexts &texts, const char *key, const char *builtIn);
};

} // namespace kvl
