#pragma once
// Answering the dialogs of the axis window's table actions in GUI tests, the way AnswerNextModal
// does it: a timer looks for the active modal dialog while the dialog's own event loop runs.
#include <QApplication>
#include <QFileDialog>
#include <QStringList>
#include <QTimer>

#include <vector>

#include <gtest/gtest.h>

#include "ModalAnswer.h"
#include "common/CMsgDlg.h"

namespace kvl::test {

// Answers every message dialog shown while it lives, with OK (or Cancel), and keeps their texts.
class MessageAnswerer {
public:
    static constexpr int kPollMs = 5;

    explicit MessageAnswerer(bool accept = true)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, accept] {
            auto *message = qobject_cast<CMsgDlg *>(QApplication::activeModalWidget());
            if (!message || !message->isVisible())
                return;
            texts.append(message->Text());
            icons.push_back(message->IconShown());
            accept ? message->accept() : message->reject();
        });
        m_timer.start(kPollMs);
    }

    QStringList texts;
    std::vector<CMsgDlg::Icon> icons;   // the picture of each, in the same order

private:
    QTimer m_timer;
};

// Answers the next file dialog with `path`.
inline void AnswerFileDialog(const QString &path)
{
    AnswerNextModal([path](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        ASSERT_NE(files, nullptr);
        files->selectFile(path);
        QMetaObject::invokeMethod(files, "accept");
    });
}

} // namespace kvl::test
