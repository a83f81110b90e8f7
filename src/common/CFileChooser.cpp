#include "common/CFileChooser.h"

#include <QFileDialog>
#include <QRegularExpression>

#include "common/CWindowTexts.h"
#include "config/CLanguageTexts.h"

namespace kvl {

namespace {

// "csv" of "Data Files (*.csv)": the extension of the first pattern that names one.
QString FirstExtension(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QString CFileChooser::Title(const CLanguageTexts &texts, Kind kind)
{
    const bool save = kind == Kind::kSave;
    const char *section = save ? kSaveSection : kOpenSection;
    const QString common = CWindowTexts::Text(texts, save ? kSaveCommonKey : kOpenCommonKey,
                                              CLanguageTexts::kCommonSection,
                                              QString::fromLatin1(save ? kSaveBuiltIn : kOpenBuiltIn));
    return CWindowTexts::Text(texts, section, section, common);
}

QString CFileChooser::AskFile(QWidget *parent, const CLanguageTexts &texts, Kind kind, const QString &filter,
                              const QString &objectName)
{
    QFileDialog dialog(parent, Title(texts, kind));
    dialog.setObjectName(objectName);
    dialog.setNameFilter(filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(kind == Kind::kSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(kind == Kind::kOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // A name typed without an extension gets the filter's before the dialog looks for an
    // existing file, so replacing one is asked about with the name that will be written.
    if (kind == Kind::kSave) {
        dialog.setDefaultSuffix(FirstExtension(dialog.selectedNameFilter()));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString &chosen) { dialog.setDefaultSuffix(FirstExtension(chosen)); });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString CFileChooser::AskFolder(QWidget *parent, const QString &title, const QString &start)
{
    QFileDialog dialog(parent, title, start);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace kvl
