#pragma once
// CKVL_VER2_AutoTuningAlarmDlg: the danger notice shown before auto-tuning. A danger picture, the
// warning texts, the shipped danger page of the current language and OK; closing it any other way
// answers "no". Modal; user-interface thread only.
#include <QDialog>

class QLabel;
class QPushButton;

namespace kvl {
class CWindowContext;
}

namespace kvl::tuning {

class CTuningPageView;

class CKVL_VER2_AutoTuningAlarmDlg : public QDialog {
    Q_OBJECT
public:
    CKVL_VER2_AutoTuningAlarmDlg(CWindowContext &context, QWidget *parent);

    CTuningPageView *Page() const { return m_page; }
    QPushButton *OkButton() const { return m_ok; }
    QLabel *DangerLabel() const { return m_danger; }
    QLabel *MessageLabel() const { return m_message; }

private:
    void ApplyTexts();

    CWindowContext &m_context;
    QLabel *m_danger = nullptr;
    QLabel *m_message = nullptr;
    CTuningPageView *m_page = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace kvl::tuning
