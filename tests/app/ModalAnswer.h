#pragma once
// Answers the next modal dialog of a GUI test: `answer` runs with the dialog as soon as it is
// shown, from the dialog's own event loop (a test cannot click it from outside exec()).
#include <functional>

class QWidget;

namespace kvl::test {

void AnswerNextModal(std::function<void(QWidget *)> answer);

} // namespace kvl::test
