#pragma once
// Fixture of the parameter list window tests: the application on its in-process demo bus
// (English), an axis window opened from the axis link, and its parameter list shown by the axis
// window's Param button. Modal dialogs are answered by a watcher that records their texts.
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <deque>

#include "AxisWindowFixture.h"
#include "params/CKVL_VER2_ParameterListDlg.h"

namespace kvl::test {

// While it lives, answers every modal message dialog in turn (OK unless told otherwise) and
// records its text.
class ModalWatch {
public:
    ModalWatch();
    ~ModalWatch();
    ModalWatch(const ModalWatch &) = delete;
    ModalWatch &operator=(const ModalWatch &) = delete;
    // The next dialogs are answered with these (true OK, false Cancel), then OK.
    void Answer(std::deque<bool> answers) { m_answers = std::move(answers); }
    const QStringList &Texts() const { return m_texts; }

private:
    QTimer m_timer;
    std::deque<bool> m_answers;
    QStringList m_texts;
};

class ParamListFixture : public AxisWindowFixture {
protected:
    // The axis window of `address` and its parameter list, shown by the Param button.
    params::CKVL_VER2_ParameterListDlg *OpenList(int address);
    std::int32_t SimParam(int address, int number);
    void SetSimParam(int address, int number, std::int32_t value);
    // Edits the file value of `number` through the grid's in-cell editor and commits with Enter.
    void Edit(params::CKVL_VER2_ParameterListDlg &list, int number, const QString &text);
    // Waits until the busy indicator takes a new run (it refuses one within 100 ms of the last).
    void WaitBusyReady();
    // The language text of (key, section).
    QString Text(const char *key, const char *section) const;

    points::CKVL_VER2_ProgStepDlg *m_axis = nullptr;
};

} // namespace kvl::test
