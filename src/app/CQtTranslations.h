#pragma once
// CQtTranslations: Qt's own texts (the file, print and print preview dialogs, the standard buttons
// of its message boxes) in the user's language, from the qtbase_ translations of Qt's translation
// folder (Debian: qt6-translations-l10n). Owned by the application object, which applies the
// language at every switch; destroying it takes the translation back out of the application.
// Without the translation files Qt keeps its English texts. User-interface thread only.
#include <QString>

#include <memory>

class QTranslator;

namespace kvl {

class CQtTranslations {
public:
    // `folder`: where the qtbase_<locale>.qm files are; empty: Qt's own translation folder.
    explicit CQtTranslations(QString folder = QString());
    ~CQtTranslations();
    CQtTranslations(const CQtTranslations &) = delete;
    CQtTranslations &operator=(const CQtTranslations &) = delete;

    // Replaces the installed translation by the one of `language` (a language number); English,
    // an unknown number or a missing file leave none installed. True when one is installed.
    bool Apply(int language);
    bool Installed() const { return m_translator != nullptr; }
    // The locale name of Qt's translation file of a language number ("ja", "zh_CN"); empty for
    // English and unknown numbers, whose texts are Qt's built-in ones.
    static QString LocaleOf(int language);

private:
    void Remove();

    QString m_folder;
    std::unique_ptr<QTranslator> m_translator;
};

} // namespace kvl
