#include "common/CMsgDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <utility>

#include "base/CEventLog.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "ui/CSvgPicture.h"

namespace kvl {

namespace {
constexpr int kTextMinWidth = 320;
constexpr int kIconSide = 40;
constexpr int kRemoteIconSide = 20;
constexpr char kRemotePicture[] = "remote";
constexpr char kLocalPicture[] = "local";
constexpr char kChoiceLabel[] = "FLOAT";
constexpr char kHomeCaption[] = "Manu";
constexpr char kRemoteCaption[] = "REMOTE";
constexpr char kOkCaption[] = "OK";
constexpr char kCancelCaption[] = "Cancel";
// OK and Cancel take the captions of the confirmation dialog's section.
constexpr char kConfirmSection[] = "IDD_KVL_VER2_CONFIRM";
// The manual home button takes the axis window's captions.
constexpr char kAxisWindowSection[] = "IDD_KVL_VER2_PROGSTEP_DIALOG";

int ValidAxis(int axis)
{
    return axis >= 0 && axis < CAppValues::kSlotCount ? axis : -1;
}
} // namespace

QString CMsgDlg::s_okCaption = QString::fromLatin1(kOkCaption);
QString CMsgDlg::s_cancelCaption = QString::fromLatin1(kCancelCaption);
QString CMsgDlg::s_homeCaption = QString::fromLatin1(kHomeCaption);

CMsgDlg::CMsgDlg(QWidget *parent, const QString &title, const QString &text, bool withCancel,
                 int axis, bool withExtraButtons, CAppValues *choiceValues, ServiceHooks service)
    : QDialog(parent), m_axis(ValidAxis(axis)), m_values(choiceValues),
      // The service buttons act on a controller on the bus, never on the offline window's slot.
      m_withService(withExtraButtons && m_axis >= 0 && m_axis < CAppValues::kAxisCount), m_service(std::move(service))
{
    setObjectName(QStringLiteral("msgDialog"));
    setWindowTitle(title.isEmpty() ? DefaultTitle() : title);
    setModal(true);

    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("msgIcon"));
    SetIcon(withCancel ? Icon::kQuestion : Icon::kInformation);
    m_icon->setAlignment(Qt::AlignTop);
    m_text = new QLabel(text.isEmpty() ? DefaultText() : text, this);
    m_text->setObjectName(QStringLiteral("msgText"));
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(kTextMinWidth);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *top = new QHBoxLayout;
    top->addWidget(m_icon);
    top->addWidget(m_text, 1);

    auto *buttons = new QHBoxLayout;
    // Service buttons that are not asked for take no place.
    m_home = new QPushButton(s_homeCaption, this);
    m_home->setObjectName(QStringLiteral("homeButton"));
    m_home->setAutoDefault(false);
    m_remote = new QPushButton(QString::fromLatin1(kRemoteCaption), this);
    m_remote->setObjectName(QStringLiteral("remoteButton"));
    m_remote->setAutoDefault(false);
    m_remote->setIcon(CSvgPicture::Icon(QString::fromLatin1(kLocalPicture)));
    m_remote->setIconSize(QSize(kRemoteIconSide, kRemoteIconSide));
    m_home->setVisible(m_withService);
    m_remote->setVisible(m_withService);
    connect(m_home, &QPushButton::clicked, this, &CMsgDlg::PressHome);
    connect(m_remote, &QPushButton::clicked, this, &CMsgDlg::RefreshRemote);
    buttons->addWidget(m_home);
    buttons->addWidget(m_remote);
    if (m_values) {
        auto *label = new QLabel(QString::fromLatin1(kChoiceLabel), this);
        m_choice = new QComboBox(this);
        m_choice->setObjectName(QStringLiteral("floatChoice"));
        for (int i = 0; i < kChoiceCount; ++i)
            m_choice->addItem(QString::number(i));
        const int current = m_axis >= 0 ? m_values->decimals[m_axis] : 0;
        m_choice->setCurrentIndex(current >= 0 && current < kChoiceCount ? current : 0);
        label->setBuddy(m_choice);
        buttons->addWidget(label);
        buttons->addWidget(m_choice);
    }
    buttons->addStretch(1);
    m_ok = new QPushButton(s_okCaption, this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(m_ok);
    if (withCancel) {
        m_cancel = new QPushButton(s_cancelCaption, this);
        m_cancel->setObjectName(QStringLiteral("cancelButton"));
        connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(m_cancel);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CMsgDlg::Show(QWidget *parent, const QString &title, const QString &text, bool withCancel,
                   int axis, bool withExtraButtons, CAppValues *choiceValues, ServiceHooks service)
{
    CMsgDlg dialog(parent, title, text, withCancel, axis, withExtraButtons, choiceValues,
                   std::move(service));
    return dialog.exec() == QDialog::Accepted;
}

bool CMsgDlg::ShowWarning(QWidget *parent, const QString &title, const QString &text)
{
    CMsgDlg dialog(parent, title, text);
    dialog.SetIcon(Icon::kWarning);
    return dialog.exec() == QDialog::Accepted;
}

void CMsgDlg::SetIcon(Icon icon)
{
    m_iconKind = icon;
    const QStyle::StandardPixmap pictures[] = {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxQuestion,
                                               QStyle::SP_MessageBoxWarning};
    m_icon->setPixmap(style()->standardIcon(pictures[static_cast<int>(icon)]).pixmap(kIconSide, kIconSide));
}

QString CMsgDlg::Text() const
{
    return m_text->text();
}

void CMsgDlg::ApplyTexts(const CLanguageTexts &texts, int debugLevel)
{
    s_okCaption = CWindowTexts::Text(texts, "IDC_BTN_OK", kConfirmSection, QString::fromLatin1(kOkCaption));
    s_cancelCaption =
        CWindowTexts::Text(texts, "IDC_BTN_CAN", kConfirmSection, QString::fromLatin1(kCancelCaption));
    const char *homeKey =
        debugLevel == CAppSettings::kServiceLevel ? "IDC_Z_PHASE_DETECTION" : "IDC_MANU";
    s_homeCaption =
        CWindowTexts::Text(texts, homeKey, kAxisWindowSection, QString::fromLatin1(kHomeCaption));
}

void CMsgDlg::PressHome()
{
    if (!m_withService)
        return;
    setEnabled(false);
    if (m_service.manualHome)
        m_service.manualHome(m_axis);
    setEnabled(true);
}

void CMsgDlg::RefreshRemote()
{
    if (!m_withService)
        return;
    m_remoteShown = m_service.remote && m_service.remote(m_axis);
    m_remote->setIcon(CSvgPicture::Icon(QString::fromLatin1(m_remoteShown ? kRemotePicture : kLocalPicture)));
}

void CMsgDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // What the user was told, for the daily log: warnings and errors above all.
    if (!m_logged) {
        m_logged = true;
        CEventLog::Write(m_iconKind == Icon::kWarning ? "warning" : "message",
                         (windowTitle() + QStringLiteral(": ") + m_text->text()).toStdString());
    }
    RefreshRemote();
}

void CMsgDlg::accept()
{
    if (m_choice && m_values && m_axis >= 0)
        m_values->decimals[m_axis] = m_choice->currentIndex();
    QDialog::accept();
}

} // namespace kvl
