#include "StartAppFixture.h"

#include "ModalAnswer.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <fstream>
#include <iterator>

#include <unistd.h>

#include "config/CIniEx.h"

namespace kvl::test {

void StartAppFixture::SetUp()
{
    m_scratch = std::make_unique<ScratchSystemFolder>();
    ASSERT_TRUE(m_scratch->Ok()) << "the build writes the system folder beside the tests";
    m_folder = m_scratch->Folder();
}

void StartAppFixture::TearDown()
{
    m_app.reset();
    m_scratch.reset();
}

CKVL_ControlApp &StartAppFixture::StartApp(int systemLanguageId, bool demo, const QString &instanceName)
{
    CKVL_ControlApp::Options options;
    options.systemLanguageId = systemLanguageId;
    options.demo = demo;
    options.startFolder = QString::fromStdString(m_folder.string());
    options.systemFolder = QString::fromStdString(m_scratch->System().string());
    options.instanceName = instanceName;
    options.helpFile = m_helpFile;
    options.portDevice = m_portDevice;
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
    test::AnswerNextModal(std::move(answer));
}

} // namespace kvl::test
