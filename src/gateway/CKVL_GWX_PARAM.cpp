#include "gateway/CKVL_GWX_PARAM.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

#include "common/CWindowTexts.h"
#include "config/CLanguageTexts.h"
#include "base/TextNumber.h"
#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayFieldRange.h"

namespace kvl {

namespace {

constexpr int kCommentLength = 16;
constexpr char kNetworkSection[] = "IDD_KVL_GWX_EXTERNAL_NETWORK_PARAM";
// Speed codes 1, 2, 3 are list positions 0, 1, 2.
const QStringList kSpeeds{QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")};

QLineEdit *Digits(QWidget *parent, int length, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(length);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QComboBox *List(QWidget *parent, const QStringList &entries, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    return list;
}

} // namespace

CKVL_GWX_PARAM::CKVL_GWX_PARAM(CGatewayConfig &config, QWidget *parent) : QWidget(parent), m_config(config)
{
    setObjectName(QStringLiteral("gwxParamPage"));
    auto *form = new QFormLayout(this);
    m_comment = new QLineEdit(this);
    m_comment->setObjectName(QStringLiteral("commentEdit"));
    m_comment->setMaxLength(kCommentLength);
    m_interval = Digits(this, CGatewayFieldRange::kMsDigits, "intervalEdit");
    m_broadcast = Digits(this, CGatewayFieldRange::kMsDigits, "broadcastEdit");
    m_resetTimes = Digits(this, CGatewayFieldRange::kResetTimesDigits, "resetTimesEdit");
    m_speedToPc = List(this, kSpeeds, "speedToPcList");
    m_speedToDrivers = List(this, kSpeeds, "speedToDriversList");
    m_forbidding = List(this, {QStringLiteral("Invalid"), QStringLiteral("Valid")}, "forbiddingList");
    const std::array<QWidget *, 7> fields{m_comment,   m_interval,       m_speedToPc, m_speedToDrivers,
                                          m_forbidding, m_broadcast, m_resetTimes};
    for (size_t i = 0; i < fields.size(); ++i) {
        m_labels[i] = new QLabel(this);
        form->addRow(m_labels[i], fields[i]);
    }
    m_commentLabel = m_labels[0];
    m_commentLabel->installEventFilter(this);

    connect(m_comment, &QLineEdit::textEdited, this, [this](const QString &text) { m_config.comment = text.toStdString(); });
    // Ten digits reach past what the unit takes: a larger number is limited to the largest, and the
    // field shows the value kept once the user leaves it.
    const auto number = [this](QLineEdit *edit, CGatewayField::Id field, int &value) {
        connect(edit, &QLineEdit::textEdited, this, [field, &value](const QString &text) {
            const CGatewayFieldRange::Bounds bounds = CGatewayFieldRange::BoundsOf(field);
            const std::string digits = text.toStdString();
            const std::optional<long long> read = StrictInteger(digits, bounds.min, bounds.max);
            value = static_cast<int>(read ? *read : digits.empty() ? bounds.min : bounds.max);
        });
        connect(edit, &QLineEdit::editingFinished, this, [edit, &value] { edit->setText(QString::number(value)); });
    };
    number(m_interval, CGatewayField::kInterval, m_config.interval);
    number(m_broadcast, CGatewayField::kBroadcastDelay, m_config.broadcastDelay);
    number(m_resetTimes, CGatewayField::kResetTimes, m_config.resetTimes);
    connect(m_speedToPc, &QComboBox::activated, this, [this](int position) { m_config.speedToPc = position + 1; });
    connect(m_speedToDrivers, &QComboBox::activated, this,
            [this](int position) { m_config.speedToDrivers = position + 1; });
    connect(m_forbidding, &QComboBox::activated, this, [this](int position) { m_config.commForbidding = position; });
    RefreshView();
}

void CKVL_GWX_PARAM::ApplyTexts(const CLanguageTexts &texts)
{
    CWindowTexts::Apply(texts, {{m_labels[0], "IDC_ST_COMMENT", kSection, "Comment"},
                                {m_labels[1], "IDC_ST_INTERVAL", kSection, "Interrupt interval [ms]"},
                                {m_labels[2], "IDC_ST_SPEED_PC", kSection, "Speed to the PC [bps]"},
                                {m_labels[3], "IDC_ST_SPEED_BOARD", kSection, "Speed to the drivers [bps]"},
                                {m_labels[4], "IDC_ST_COMMUNICATION_FORBIDDING", kSection, "Communication forbidding"},
                                {m_labels[5], "IDC_ST_BROADCAST", kSection, "Broadcast delay [ms]"},
                                {m_labels[6], "IDC_ST_RESET_TIMES", kSection, "Reset times"}});
    m_forbidding->setItemText(0, CWindowTexts::Text(texts, "IDC_ST_UNIT_INVALID", kNetworkSection,
                                                    QStringLiteral("Invalid")));
    m_forbidding->setItemText(1, CWindowTexts::Text(texts, "IDC_ST_UNIT_VALID", kNetworkSection,
                                                    QStringLiteral("Valid")));
}

void CKVL_GWX_PARAM::RefreshView()
{
    m_comment->setText(QString::fromStdString(m_config.comment));
    m_interval->setText(QString::number(m_config.interval));
    m_broadcast->setText(QString::number(m_config.broadcastDelay));
    m_resetTimes->setText(QString::number(m_config.resetTimes));
    // A code outside its list (a unit may report one) is shown as the nearest entry, and that
    // entry is what Write sends: what is written is what is shown.
    m_config.speedToPc = std::clamp(m_config.speedToPc, 1, 3);
    m_config.speedToDrivers = std::clamp(m_config.speedToDrivers, 1, 3);
    m_config.commForbidding = m_config.commForbidding != 0 ? 1 : 0;
    m_speedToPc->setCurrentIndex(m_config.speedToPc - 1);
    m_speedToDrivers->setCurrentIndex(m_config.speedToDrivers - 1);
    m_forbidding->setCurrentIndex(m_config.commForbidding);
}

bool CKVL_GWX_PARAM::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_commentLabel && event->type() == QEvent::MouseButtonPress)
        Q_EMIT commentLabelClicked();
    return QWidget::eventFilter(watched, event);
}

} // namespace kvl
