#include "tuning/CCKVL_VER2_AutoTuningSettingFlowDlg.h"

#include <QFont>
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
constexpr char kSection[] = "KVL_VER2_AutoTuningSettingFlowDlg";
constexpr char kHeadingFamily[] = "Arial";
constexpr int kHeadingPixelHeight = 20;
constexpr int kArrowSide = 24;
constexpr int kPageMinHeight = 140;
constexpr std::array<std::string_view, CCKVL_VER2_AutoTuningSettingFlowDlg::kPageCount> kPages = {
    CTuningPages::kFlowPage1, CTuningPages::kFlowPage2, CTuningPages::kFlowPage3};
} // namespace

CCKVL_VER2_AutoTuningSettingFlowDlg::CCKVL_VER2_AutoTuningSettingFlowDlg(CWindowContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("tuningFlowDialog"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("flowHeading"));
    QFont headingFont(QString::fromLatin1(kHeadingFamily));
    headingFont.setPixelSize(kHeadingPixelHeight);
    headingFont.setWeight(QFont::ExtraBold);
    headingFont.setItalic(true);
    m_heading->setFont(headingFont);
    layout->addWidget(m_heading);

    const QPixmap arrow = style()->standardIcon(QStyle::SP_ArrowDown).pixmap(kArrowSide, kArrowSide);
    for (int index = 0; index < kPageCount; ++index) {
        if (index > 0) {
            auto *arrowLabel = new QLabel(this);
            arrowLabel->setPixmap(arrow);
            arrowLabel->setAlignment(Qt::AlignCenter);
            layout->addWidget(arrowLabel);
        }
        auto *page = new CTuningPageView(context.Settings(), kPages.at(static_cast<std::size_t>(index)), this);
        page->setObjectName(QStringLiteral("flowPage%1").arg(index + 1));
        page->setMinimumHeight(kPageMinHeight);
        m_pages.at(static_cast<std::size_t>(index)) = page;
        layout->addWidget(page, 1);
    }

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_ok);
    layout->addLayout(bottom);
    ApplyTexts();
}

void CCKVL_VER2_AutoTuningSettingFlowDlg::ApplyTexts()
{
    const auto decorate = [this](const QString &title) { return m_context.DecorateTitle(title); };
    CWindowTexts::Apply(m_context.Settings().Texts(),
                        {{this, "KVL_VER2_AutoTuningSettingFlowDlg", kSection, "Setting Flow"},
                         {m_heading, "IDC_ST_AUTO_TUNING", kSection, "Auto tuning"}},
                        decorate);
}

} // namespace kvl::tuning
