#pragma once
// CWindowTexts: the one way a window puts its language texts on its widgets. A window lists in a
// table which widget shows which text, as (widget, key, section, built-in caption), and applies
// the table on opening and on every language switch (CKVL_ControlApp::languageChanged). Where
// the language file has no text for a key, or an empty one, the widget shows its built-in
// caption again, so a switch to a language that lacks a text never leaves the previous
// language's text behind. Tooltips come by number from the same file.
// Stateless; user-interface thread only.
#include <QString>

#include <functional>
#include <string_view>
#include <vector>

class QWidget;

namespace kvl {

class CLanguageTexts;

class CWindowTexts {
public:
    // A caption: a label's or a button's text, a group box's title, or (for a window) the title.
    struct Caption {
        QWidget *widget;
        std::string_view key;
        std::string_view section;
        const char *builtIn;       // UTF-8, shown where the language file has no text
    };
    // ("TOOLTIPS<number>", "TOOLTIPS") as the widget's tooltip; none where the file has none.
    struct Tooltip {
        QWidget *widget;
        int number;
    };
    // What a window makes of its title text (the demo-bus mark, a version suffix).
    using Decorate = std::function<QString(const QString &)>;

    // Sets every caption of `captions` from `texts`; a window's title passes through
    // `decorateTitle` when one is given. Returns how many captions came from the file.
    static int Apply(const CLanguageTexts &texts, const std::vector<Caption> &captions,
                     const Decorate &decorateTitle = {});
    static void ApplyTooltips(const CLanguageTexts &texts, const std::vector<Tooltip> &tooltips);

    // The text of (key, section) in the current language, or `builtIn` when it is missing or empty.
    static QString Text(const CLanguageTexts &texts, std::string_view key, std::string_view section,
                        const QString &builtIn = {});
    // Puts `text` where `widget` shows its caption (see Caption).
    static void SetCaption(QWidget *widget, const QString &text);
};

} // namespace kvl
