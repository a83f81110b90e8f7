#pragma once
// Test fixture of the start-up windows: a scratch copy of the shipped system folder (so that
// nothing a test stores touches the build), an application object made on demand with a chosen
// system language, and a helper that answers the next modal dialog.
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "support/ScratchSystemFolder.h"
#include "app/CKVL_ControlApp.h"

class QWidget;

namespace kvl::test {

class StartAppFixture : public ::testing::Test {
public:
    // Calls `answer` with the next modal dialog as soon as it is shown (from the event loop of
    // that dialog).
    static void AnswerNextModal(std::function<void(QWidget *)> answer);

protected:
    void SetUp() override;
    void TearDown() override;

    // Builds and starts the application object; the start window exists but is not shown.
    CKVL_ControlApp &StartApp(int systemLanguageId, bool demo = false,
                              const QString &instanceName = QString());
    std::string SystemFile(const std::string &name) const;
    std::string ReadSystemFile(const std::string &name) const;
    void WriteSystemFile(const std::string &name, const std::string &bytes) const;

    std::unique_ptr<ScratchSystemFolder> m_scratch;
    std::filesystem::path m_folder;
    std::unique_ptr<CKVL_ControlApp> m_app;
    // The help page StartApp gives the application; empty: the one beside the program.
    QString m_helpFile;
    // The device StartApp gives for this run only (kvl_motor --port); empty: none.
    QString m_portDevice;
};

} // namespace kvl::test
