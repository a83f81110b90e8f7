#pragma once
// CFileChooser: the file and folder dialogs every window opens. Always Qt's own widget dialog, the
// same on every desktop and in the user's language (CQtTranslations), never without a title: an
// open or save dialog is titled by the language's text for it. Stateless; user-interface thread.
#include <QString>

class QWidget;

namespace kvl {

class CLanguageTexts;

class CFileChooser {
public:
    enum class Kind {
        kOpen,          // an existing file
        kOpenAnyName,   // any name: the caller's read says itself when the file is missing
        kSave,          // a new or existing file, the overwrite confirmed by the dialog
    };
    // Sections whose own key gives an open or a save dialog's title; the "Common" keys below
    // stand in for them.
    static constexpr char kOpenSection[] = "IDD_KVL_FILEOPEN_DIALOG";
    static constexpr char kSaveSection[] = "IDD_KVL_FILESAVE_DIALOG";
    static constexpr char kOpenCommonKey[] = "IDS_FILEDLG_A001";
    static constexpr char kSaveCommonKey[] = "IDS_FILEDLG_A002";
    static constexpr char kOpenBuiltIn[] = "Open File";
    static constexpr char kSaveBuiltIn[] = "Save As";

    // The title of an open (either kind) or a save dialog in the current language.
    static QString Title(const CLanguageTexts &texts, Kind kind);
    // Asks for a file matching `filter` ("Data Files (*.csv)"); empty when the user cancelled.
    // Saving, a name without an extension gets the filter's first one before the check for an
    // existing file. `objectName` names the dialog for tests.
    static QString AskFile(QWidget *parent, const CLanguageTexts &texts, Kind kind, const QString &filter,
                           const QString &objectName = QString());
    // Asks for a folder, starting in `start`; empty when the user cancelled.
    static QString AskFolder(QWidget *parent, const QString &title, const QString &start);
};

} // namespace kvl
