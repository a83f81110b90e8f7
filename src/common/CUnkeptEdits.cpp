#include "common/CUnkeptEdits.h"

#include <QMessageBox>
#include <QPushButton>

#include "common/CWindowTexts.h"

namespace kvl {

QString CUnkeptEdits::Text(const CLanguageTexts &texts, const char *key, const char *builtIn)
{
    return CWindowTexts::Text(texts, key, kSection, QString::fromUtf8(builtIn));
}

bool CUnkeptEdits::Ask(QWidget *window, const CLanguageTexts &texts, Holder &holder)
{
    for (const QString &what : holder.UnkeptEdits()) {
        QMessageBox box(QMessageBox::Warning,
                        Text(texts, "IDS_UNKEPT_TITLE", "Unsaved edits"),
                        Text(texts, "IDS_UNKEPT_TEXT",
                             "%1 holds edits that are neither saved to a file nor written to the device. "
                             "Save them to a file before closing?")
                            .arg(what),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window);
        box.setObjectName(QStringLiteral("unkeptEditsQuestion"));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Save:
            if (!holder.SaveUnkeptEdits(what))
                return false;
            break;
        case QMessageBox::Discard:
            holder.LetUnkeptEditsGo(what);
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace kvl
