// kvl_screenshots: a tour of every window of the tool, each grabbed into a picture (the README's
// and the help's pictures). Starts the tool in the chosen language with a scratch copy of the
// system folder (nothing is stored in the build or the user's settings), on the demo bus or, with
// --port, on the bus behind a serial device (which must hold an MDC axis and the network unit),
// and lets CScreenTour visit the windows. With --dump-texts, every text of the visited windows goes
// to DIR/texts_<lang>.tsv (CTextDump). Exits 1 when a window could not be reached.
//   kvl_screenshots --lang en|ja|zh --out DIR [--port DEVICE] [--dump-texts DIR]
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <memory>

#include "app/CKVL_ControlApp.h"
#include "app/CScreenTour.h"
#include "app/CTextDump.h"
#include "config/CAppSettings.h"

namespace {

bool CopyFolder(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !CopyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setStyle(QStringLiteral("Fusion"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("en, ja or zh"), QStringLiteral("lang"),
                                  QStringLiteral("en"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Tour the bus behind this serial device"),
                                  QStringLiteral("device"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Output folder"), QStringLiteral("dir"),
                                 QStringLiteral("docs"));
    const QCommandLineOption dumpTexts(QStringLiteral("dump-texts"),
                                       QStringLiteral("Write every text of the visited windows to DIR/texts_<lang>.tsv"),
                                       QStringLiteral("dir"));
    parser.addOption(lang);
    parser.addOption(dumpTexts);
    parser.addOption(out);
    parser.addOption(port);
    parser.process(application);
    const QString language = parser.value(lang);
    const int languageId = language == QLatin1String("ja")   ? kvl::CAppSettings::kSystemLangJapanese
                           : language == QLatin1String("zh") ? kvl::CAppSettings::kSystemLangChinese
                           : language == QLatin1String("en") ? kvl::CAppSettings::kSystemLangEnglish
                                                             : 0;
    if (languageId == 0) {
        std::fprintf(stderr, "kvl_screenshots: --lang must be en, ja or zh\n");
        return 2;
    }
    const QDir outDir(parser.value(out));
    QDir().mkpath(outDir.absolutePath());

    QTemporaryDir scratch;
    const QString system = QDir(scratch.path()).filePath(QStringLiteral("system"));
    if (!scratch.isValid() ||
        !CopyFolder(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("system")), system)) {
        std::fprintf(stderr, "kvl_screenshots: cannot copy the system folder\n");
        return 1;
    }
    kvl::CKVL_ControlApp::Options options;
    options.demo = !parser.isSet(port);
    options.portDevice = parser.value(port);
    options.systemFolder = system;
    options.startFolder = scratch.path();
    options.systemLanguageId = languageId;
    kvl::CKVL_ControlApp app(options);
    if (app.Start() != kvl::CKVL_ControlApp::StartResult::kStarted) {
        std::fprintf(stderr, "kvl_screenshots: %s\n", qPrintable(app.DemoError()));
        return 1;
    }
    std::unique_ptr<kvl::CTextDump> dump;
    if (parser.isSet(dumpTexts)) {
        const QDir dumpDir(parser.value(dumpTexts));
        QDir().mkpath(dumpDir.absolutePath());
        dump = std::make_unique<kvl::CTextDump>(dumpDir.filePath(QStringLiteral("texts_%1.tsv").arg(language)));
        if (!dump->Ok()) {
            std::fprintf(stderr, "kvl_screenshots: cannot write the texts into %s\n", qPrintable(dumpDir.path()));
            return 1;
        }
    }
    const QStringList missed = kvl::CScreenTour(app, language, outDir, dump.get()).Run();
    if (!missed.isEmpty()) {
        std::fprintf(stderr, "kvl_screenshots: %lld window(s) not reached\n", static_cast<long long>(missed.size()));
        return 1;
    }
    return 0;
}
