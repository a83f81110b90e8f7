#include "app/CKVL_ControlApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QWidget>

#include "app/CKVL_VER2_ControlDlg.h"
#include "common/CBusyIndicator.h"
#include "common/CHelpWindow.h"
#include "common/CMsgDlg.h"
#include "common/CUnkeptEdits.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "gate/CRefusalText.h"
#include "gate/CWriteGate.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"

namespace kvl {

namespace {
constexpr char kDemoTitleSuffix[] = " [Demo bus]";
constexpr char kRaiseRequest[] = "raise\n";
// Inserted before the extension of the English help page for the other languages' pages.
constexpr char kHelpSuffixJapanese[] = "_ja";
constexpr char kHelpSuffixChinese[] = "_zh";
constexpr int kConnectWaitMs = 1000;
constexpr const char *kCommonSection = CLanguageTexts::kCommonSection;

// The instance lock and the local server's socket are per user and per session: they live in the
// user's runtime folder ($XDG_RUNTIME_DIR), which only the user may enter and which the session's
// end clears, not in the shared temporary folder.
QString InstanceKey(const QString &name)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder).filePath(name);
}
} // namespace

CKVL_ControlApp::CKVL_ControlApp(Options options, QObject *parent)
    : CWindowContext(parent), m_options(std::move(options)),
      m_systemLanguageId(m_options.systemLanguageId != 0 ? m_options.systemLanguageId
                                                         : CAppSettings::SystemLanguageId()),
      m_settings(std::make_unique<CAppSettings>(m_values, m_options.systemFolder.toStdString())),
      m_comm(std::make_unique<CCommImplement>()),
      m_commands(std::make_unique<CServoCommands>(m_comm.get())),
      m_gate(std::make_unique<CWriteGate>(*m_settings)),
      m_refusalTimer(new QTimer(this)),
      m_shutdownTimer(new QTimer(this)),
      m_busy(new CBusyIndicator({}, this)),
      m_port(*m_settings, m_comm->Ports()),
      m_baseFont(QApplication::font())
{
    m_commands->SetWriteGate(m_gate.get());
    m_refusalTimer->setSingleShot(true);
    connect(m_refusalTimer, &QTimer::timeout, this, &CKVL_ControlApp::ShowRefusals);
    m_shutdownTimer->setSingleShot(true);
    connect(m_shutdownTimer, &QTimer::timeout, this, &CKVL_ControlApp::Shutdown);
    m_commands->SetRefusalHook([this](const WriteRefusal &refusal) {
        m_refusals.push_back(refusal);
        if (!m_refusalTimer->isActive())
            m_refusalTimer->start(0);
    });
}

CKVL_ControlApp::~CKVL_ControlApp()
{
    m_shutdownTimer->stop();
    DestroyWindows();
    delete m_startDlg.data();
    m_comm->SetHooks({});
    m_settings->showMessage = nullptr;
    m_settings->languageChanged = nullptr;
    m_commands->SetRefusalHook({});
    m_commands->SetWriteGate(nullptr);
    m_commands.reset();
    m_gate.reset();
    m_comm.reset();
    if (m_demoBus)
        m_demoBus->Stop();
    m_demoBus.reset();
    if (m_server)
        m_server->close();
    QApplication::setFont(m_baseFont);
}

CKVL_ControlApp::StartResult CKVL_ControlApp::Start()
{
    if (!m_options.instanceName.isEmpty() && !ClaimInstance()) {
        BringToFront();
        return StartResult::kAlreadyRunning;
    }
    m_values.startFolder = (m_options.startFolder.isEmpty() ? QDir::currentPath() : m_options.startFolder)
                               .toStdString();
    InstallHooks();
    m_settings->languageChanged = [this](int language) { OnLanguageChanged(language); };
    m_settings->showMessage = [this](const std::string &text) {
        Message(QString(), QString::fromStdString(text));
    };
    const bool settingsOpened = m_settings->Start(m_systemLanguageId);
    m_comm->SetTrace(m_settings->TraceOn(), m_values.startFolder);
    if (settingsOpened)
        LoadDevicePaths();
    // After the stored paths: a device that is stored already keeps its number.
    if (!m_options.demo && !m_options.portDevice.isEmpty())
        m_port.UseForThisRun(m_comm->Ports().AssignNumber(m_options.portDevice.toStdString()));
    if (m_options.demo && !StartDemoBus())
        return StartResult::kDemoFailed;
    m_startDlg = new CKVL_VER2_ControlDlg(*this);
    m_busy->SetAnchor(m_startDlg);
    return StartResult::kStarted;
}

bool CKVL_ControlApp::ClaimInstance()
{
    const QString key = InstanceKey(m_options.instanceName);
    m_lock = std::make_unique<QLockFile>(key + QStringLiteral(".lock"));
    // A lock left by a crashed run is taken over (QLockFile checks the owner's process).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock())
        return false;
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(key);
    m_server->listen(key);
    // The window the user last worked in is the one a second start brings back.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && now->window() && now->window() != m_lastActive)
            m_lastActive = now->window();
    });
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains("raise"))
                    RaiseWindows();
            });
        }
    });
    return true;
}

void CKVL_ControlApp::BringToFront()
{
    QLocalSocket socket;
    socket.connectToServer(InstanceKey(m_options.instanceName));
    if (!socket.waitForConnected(kConnectWaitMs))
        return;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
}

void CKVL_ControlApp::RaiseWindows()
{
    // Where the user was: a dialog that waits for an answer, else the window last worked in,
    // else the start window.
    QWidget *window = QApplication::activeModalWidget();
    if (!window && m_lastActive && m_lastActive->isVisible())
        window = m_lastActive;
    if (!window)
        window = m_startDlg;
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void CKVL_ControlApp::LoadDevicePaths()
{
    for (int n = 1; n <= kHighestStoredPort; ++n) {
        const std::string path = m_settings->DevicePath(n);
        if (!path.empty())
            m_comm->Ports().SetPath(n, path);
    }
}

void CKVL_ControlApp::InstallHooks()
{
    LinkHooks hooks;
    hooks.commWarning = [this] {
        CMsgDlg::Show(QApplication::activeWindow(), QString(),
                      Text("IDS_WARNMSG_COMTIMEOUT", "COMMON"));
    };
    hooks.pumpEvents = [] { QCoreApplication::processEvents(); };
    m_comm->SetHooks(std::move(hooks));
}

void CKVL_ControlApp::ShowRefusals()
{
    // A message in the middle of an exchange or a transfer would hold it; it waits for the end.
    if (m_comm->Busy() || m_busy->Nesting() > 0) {
        m_refusalTimer->start(kBusyRetryMs);
        return;
    }
    if (m_refusals.empty())
        return;
    const CRefusalText::TextLookup texts = [this](const std::string &key, const std::string &section) {
        return Text(key, section).toStdString();
    };
    const std::vector<WriteRefusal> refusals = std::exchange(m_refusals, {});
    Message(QString::fromStdString(CRefusalText::Title(texts)),
            QString::fromStdString(CRefusalText::Message(refusals, texts)));
}

void CKVL_ControlApp::WatchBulkRead(std::function<void(int received)> sink)
{
    LinkHooks hooks = m_comm->Hooks();
    hooks.bulkReadProgress = std::move(sink);
    m_comm->SetHooks(std::move(hooks));
}

bool CKVL_ControlApp::StartDemoBus()
{
    sim::SimOptions options;
    std::string error;
    if (!options.Parse({}, &error)) {
        m_demoError = QString::fromStdString(error);
        return false;
    }
    auto runner = std::make_unique<sim::BusRunner>(options.BuildBus(), options.runner);
    if (!runner->Open(&error) || !runner->Start()) {
        m_demoError = QString::fromStdString(error.empty() ? "the demo bus did not start" : error);
        return false;
    }
    m_port.UseDemoBus(m_comm->Ports().AssignNumber(runner->SlavePath()), runner->BusSpeed());
    m_demoBus = std::move(runner);
    return true;
}

const char *CKVL_ControlApp::LanguageFontFamily(int language)
{
    switch (language) {
    case CAppSettings::kLanguageChinese:
        return "Noto Sans CJK SC";
    case CAppSettings::kLanguageJapanese:
        return "Noto Sans CJK JP";
    default:
        return nullptr;
    }
}

void CKVL_ControlApp::OnLanguageChanged(int language)
{
    QFont font = m_baseFont;
    if (const char *family = LanguageFontFamily(language))
        font.setFamily(QLatin1String(family));
    QApplication::setFont(font);
    m_qtTranslations.Apply(language);
    CMsgDlg::ApplyTexts(m_settings->Texts(), m_settings->DebugLevel());
    CBusyIndicator::ApplyTexts(m_settings->Texts());
    Q_EMIT languageChanged(language);
}

CAppSettings &CKVL_ControlApp::Settings()
{
    return *m_settings;
}

CServoCommands &CKVL_ControlApp::Commands()
{
    return *m_commands;
}

CCommImplement &CKVL_ControlApp::Comm()
{
    return *m_comm;
}

CBusyIndicator &CKVL_ControlApp::Busy()
{
    return *m_busy;
}

int CKVL_ControlApp::PortNumber() const
{
    return m_port.Port();
}

int CKVL_ControlApp::Speed() const
{
    return m_port.OpenSpeed();
}

bool CKVL_ControlApp::ReopenPort(int speed)
{
    const int port = PortNumber();
    Commands().ClosePort();
    const bool open = Commands().OpenPort(port, speed) == 1;
    // Stored whatever the opening did: the unit answers at this speed from now on.
    m_port.Store(port, speed);
    return open;
}

bool CKVL_ControlApp::SetPortAndSpeed(int port, int speed)
{
    return m_port.Store(port, speed);
}

bool CKVL_ControlApp::SetDevicePath(int port, const std::string &path)
{
    return m_port.StorePath(port, path);
}

CBusPortAccess CKVL_ControlApp::BusPortAccess()
{
    return m_port.Access();
}

QWidget *CKVL_ControlApp::StartWindow()
{
    return m_startDlg;
}

CKVL_VER2_ControlDlg *CKVL_ControlApp::StartDialog() const
{
    return m_startDlg;
}

QString CKVL_ControlApp::DecorateTitle(const QString &title) const
{
    return DemoMode() ? title + QLatin1String(kDemoTitleSuffix) : title;
}

QString CKVL_ControlApp::HelpFile() const
{
    const QString english = m_options.helpFile.isEmpty() ? CKVL_VER2_ControlDlg::HelpFile() : m_options.helpFile;
    return HelpFileOf(english, m_settings->Language());
}

QString CKVL_ControlApp::HelpFileOf(const QString &englishPage, int language)
{
    const char *suffix = nullptr;
    if (language == CAppSettings::kLanguageJapanese)
        suffix = kHelpSuffixJapanese;
    else if (language == CAppSettings::kLanguageChinese)
        suffix = kHelpSuffixChinese;
    if (suffix == nullptr)
        return englishPage;
    const QFileInfo english(englishPage);
    const QString name = english.completeBaseName() + QLatin1String(suffix) + QLatin1Char('.') + english.suffix();
    const QString page = english.dir().filePath(name);
    return QFileInfo(page).isFile() ? page : englishPage;
}

CHelpWindow *CKVL_ControlApp::HelpWindow() const
{
    return m_windows.Find<CHelpWindow>(CWindowRegistry::Kind::kHelp);
}

void CKVL_ControlApp::ShowHelp(const QString &section)
{
    auto make = [this]() -> QWidget * {
        auto *help = new CHelpWindow(m_startDlg);
        help->ApplyTexts(m_settings->Texts());
        connect(this, &CKVL_ControlApp::languageChanged, help, [this, help] {
            help->ApplyTexts(m_settings->Texts());
            // The page of the new language, at the section the window was showing.
            if (help->isVisible())
                LoadHelp(*help, help->Section());
        });
        return help;
    };
    auto *window = m_windows.FindOrCreate<CHelpWindow>(CWindowRegistry::Kind::kHelp, CWindowRegistry::kNoAxis, make);
    window->ShowPage(HelpFile(), section, NotFoundText(), HelpTitle());
}

void CKVL_ControlApp::LoadHelp(CHelpWindow &window, const QString &section)
{
    window.LoadPage(HelpFile(), section, NotFoundText(), HelpTitle());
}

QString CKVL_ControlApp::NotFoundText() const
{
    return Text(CLanguageTexts::kMsgFileNotFound, kCommonSection, QStringLiteral("The file was not found."));
}

QString CKVL_ControlApp::HelpTitle() const
{
    return DecorateTitle(Text("IDC_STATIC_HELP", CKVL_VER2_ControlDlg::kSection, QStringLiteral("Help")));
}

QString CKVL_ControlApp::Text(std::string_view key, std::string_view section, const QString &builtIn) const
{
    return CWindowTexts::Text(m_settings->Texts(), key, section, builtIn);
}

bool CKVL_ControlApp::Message(const QString &title, const QString &text, bool withCancel)
{
    QWidget *parent = QApplication::activeWindow();
    return CMsgDlg::Show(parent ? parent : m_startDlg.data(), title, text, withCancel);
}

bool CKVL_ControlApp::MayEnd()
{
    // Every window of the tool, also those the registry does not hold (the offline parameter list).
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *holder = dynamic_cast<CUnkeptEdits::Holder *>(window);
        if (!holder || holder->UnkeptEdits().isEmpty())
            continue;
        CWindowRegistry::Present(window);
        if (!CUnkeptEdits::Ask(window, m_settings->Texts(), *holder))
            return false;
    }
    return true;
}

void CKVL_ControlApp::Shutdown()
{
    // A transfer or an exchange still running works on its window, which lets events through
    // between two exchanges: the windows go once it has ended, not under its feet.
    if (m_comm->Busy() || m_busy->Nesting() > 0) {
        m_shutdownTimer->start(kBusyRetryMs);
        return;
    }
    DestroyWindows();
}

void CKVL_ControlApp::DestroyWindows()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_windows.DestroyAll();
    m_settings->Close();
    m_comm->Close();
}

} // namespace kvl
