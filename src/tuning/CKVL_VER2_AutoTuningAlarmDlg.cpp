#include "tuning/CKVL_VER2_AutoTuningAlarmDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "tuning/CTuningPageView.h"
#include "tuning/CTuningPages.h"

namespace kvl::tuning {

namespace {
constexpr char kSection[] = "IDD_KVL_VER2_TUNING_ALARM_DIALIG";
constexpr int kDangerPictureSide = 48;
constexpr char kDangerStyle[] = "color: #c00000; font-weight: bold; font-size: 16pt;";
} // namespace

CKVL_VER2_AutoTuningAlarmDlg::CKVL_VER2_AutoTuningAlarmDlg(CWindowContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("tuningAlarmDialog"));
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("dangerPicture"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kDangerPictureSide, kDangerPictureSide));
    picture->setAlignment(Qt::AlignTop);
    m_danger = new QLabel(this);
    m_danger->setObjectName(QStringLiteral("dangerLabel"));
    m_danger->setStyleSheet(QString::fromLatin1(kDangerStyle));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("alarmMessage"));
    m_message->setWordWrap(true);
    auto *words = new QVBoxLayout;
    words->addWidget(m_danger);
    words->addWidget(m_message);
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(words, 1);

    m_page = new CTuningPageView(context.Settings(), CTuningPages::kAlarmPage, this);
    m_page->setObjectName(QStringLiteral("alarmPage"));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_page, 1);
    layout->addLayout(bottom);
    ApplyTexts();
}

void CKVL_VER2_AutoTuningAlarmDlg::ApplyTexts()
{
    const auto decorate = [this](const QString &title) { return m_context.DecorateTitle(title); };
    CWindowTexts::Apply(m_context.Settings().Texts(),
                        {{this, "IDD_KVL_VER2_TUNING_ALARM_DIALIG", kSection, "Danger"},
                         {m_danger, "IDC_ST_DANGER", kSection, "DANGER"},
                         {m_message, "IDC_ST_ALARM_MSG", kSection,
                          "The axis moves by itself during auto tuning."}},
                        decorate);
}

} // namespace kvl::tuning
