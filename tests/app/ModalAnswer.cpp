#include "ModalAnswer.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace kvl::test {

namespace {
constexpr int kModalPollMs = 5;
} // namespace

void AnswerNextModal(std::function<void(QWidget *)> answer)
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
