#pragma once
// CKVL_GWX_ALARMLIST: the alarm list page of the network unit window: the unit's alarm history
// with Get, Alarm reset and Clear history (CGatewayAlarmList). Offline the buttons are disabled;
// online the history is read when the page is made. Enter and Escape do nothing here.
// User-interface thread.
#include <QWidget>

#include <memory>

#include "gateway/CGatewayAlarmList.h"

class QGroupBox;
class QListWidget;
class QPushButton;

namespace kvl {

class CLanguageTexts;
class CWindowContext;

class CKVL_GWX_ALARMLIST : public QWidget {
    Q_OBJECT
public:
    CKVL_GWX_ALARMLIST(CWindowContext &context, bool offline, QWidget *parent = nullptr);
    ~CKVL_GWX_ALARMLIST() override;

    void ApplyTexts(const CLanguageTexts &texts);
    void RefreshView();

    void PressGet();
    void PressReset();
    void PressClear();

    CGatewayAlarmList &Model() { return *m_model; }
    QListWidget *List() const { return m_list; }
    QPushButton *GetButton() const { return m_get; }
    QPushButton *ResetButton() const { return m_reset; }
    QPushButton *ClearButton() const { return m_clear; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<CGatewayAlarmList> m_model;
    QGroupBox *m_box = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_get = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_clear = nullptr;
};

} // namespace kvl
