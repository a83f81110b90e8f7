#include "StartAppFixture.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <fstream>
#include <iterator>

#include <unistd.h>

#include "config/CIniEx.h"
#include "link/CAppState.h"
#include "link/CPortResolver.h"

namespace kvl::test {

namespace {
constexpr int kModalPollMs = 5;
}

void StartAppFixture::SetUp()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kvl_start_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_folder = pattern;
    const std::filesystem::path shipped =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "system";
    ASSERT_TRUE(std::filesystem::exists(shipped / "kvl_motor.ini")) << shipped;
    std::filesystem::copy(shipped, m_folder / "system", std::filesystem::copy_options::recursive);
    CIniEx::SetSystemFolder((m_folder / "system").string());
    CAppState::Instance().Reset();
    CPortResolver::Instance().Clear();
}

void StartAppFixture::TearDown()
{
    m_app.reset();
    CIniEx::SetSystemFolder(std::string());
    CAppState::Instance().Reset();
    CPortResolver::Instance().Clear();
    std::error_code ec;
    std::filesystem::remove_all(m_folder, ec);
}

CKVL_ControlApp &StartAppFixture::StartApp(int systemLanguageId, bool demo, const QString &instanceName)
{
    CKVL_ControlApp::Options options;
    options.systemLanguageId = systemLanguageId;
    options.demo = demo;
    options.startFolder = QString::fromStdString(m_folder.string());
    options.instanceName = instanceName;
    m_app = std::make_unique<CKVL_ControlApp>(options);
    EXPECT_EQ(m_app->Start(), CKVL_ControlApp::StartResult::kStarted) << m_app->DemoError().toStdString();
    return *m_app;
}

std::string StartAppFixture::SystemFile(const std::string &name) const
{
    return (m_folder / "system" / name).string();
}

std::string StartAppFixture::ReadSystemFile(const std::string &name) const
{
    std::ifstream in(SystemFile(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void StartAppFixture::WriteSystemFile(const std::string &name, const std::string &bytes) const
{
    std::ofstream out(SystemFile(name), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void StartAppFixture::AnswerNextModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(kModalPollMs);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

} // namespace kvl::test
