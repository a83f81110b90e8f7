#include "app/CQtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "config/CAppSettings.h"

namespace kvl {

namespace {
// Qt's translation files of its base module: qtbase_<locale>.qm.
constexpr char kQtBasePrefix[] = "qtbase_";
} // namespace

CQtTranslations::CQtTranslations(QString folder)
    : m_folder(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : std::move(folder))
{
}

CQtTranslations::~CQtTranslations()
{
    Remove();
}

QString CQtTranslations::LocaleOf(int language)
{
    switch (language) {
    case CAppSettings::kLanguageJapanese:
        return QStringLiteral("ja");
    case CAppSettings::kLanguageChinese:
        return QStringLiteral("zh_CN");
    default:
        return QString();
    }
}

bool CQtTranslations::Apply(int language)
{
    Remove();
    const QString locale = LocaleOf(language);
    if (locale.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLatin1String(kQtBasePrefix) + locale, m_folder))
        return false;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
    return true;
}

void CQtTranslations::Remove()
{
    if (!m_translator)
        return;
    QCoreApplication::removeTranslator(m_translator.get());
    m_translator.reset();
}

} // namespace kvl
