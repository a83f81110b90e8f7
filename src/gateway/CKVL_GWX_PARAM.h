#pragma once
// CKVL_GWX_PARAM: the unit parameters page of the network unit window. The unit's comment, poll
// interval, broadcast delay, retries, the two speeds and the communication switch, edited into
// the window's configuration as the user types or chooses. Six clicks in a row on the comment
// label ask for the unit's version (versionClicked). User-interface thread.
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kvl {

class CLanguageTexts;
struct CGatewayConfig;

class CKVL_GWX_PARAM : public QWidget {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_PARAM";

    CKVL_GWX_PARAM(CGatewayConfig &config, QWidget *parent = nullptr);

    void ApplyTexts(const CLanguageTexts &texts);
    // The configuration as the fields show it.
    void RefreshView();

    QLineEdit *CommentEdit() const { return m_comment; }
    QLineEdit *IntervalEdit() const { return m_interval; }
    QLineEdit *BroadcastEdit() const { return m_broadcast; }
    QLineEdit *ResetTimesEdit() const { return m_resetTimes; }
    QComboBox *SpeedToPcList() const { return m_speedToPc; }
    QComboBox *SpeedToDriversList() const { return m_speedToDrivers; }
    QComboBox *ForbiddingList() const { return m_forbidding; }
    QLabel *CommentLabel() const { return m_commentLabel; }

Q_SIGNALS:
    void commentLabelClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CGatewayConfig &m_config;
    QLineEdit *m_comment = nullptr;
    QLineEdit *m_interval = nullptr;
    QLineEdit *m_broadcast = nullptr;
    QLineEdit *m_resetTimes = nullptr;
    QComboBox *m_speedToPc = nullptr;
    QComboBox *m_speedToDrivers = nullptr;
    QComboBox *m_forbidding = nullptr;
    QLabel *m_commentLabel = nullptr;
    std::array<QLabel *, 7> m_labels{};
};

} // namespace kvl
