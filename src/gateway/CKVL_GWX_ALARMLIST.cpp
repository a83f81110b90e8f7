#include "gateway/CKVL_GWX_ALARMLIST.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"

namespace kvl {

namespace {

QPushButton *Button(QWidget *parent, const char *name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CKVL_GWX_ALARMLIST::CKVL_GWX_ALARMLIST(CWindowContext &context, bool offline, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("gwxAlarmPage"));
    CGatewayAlarmList::Hooks hooks;
    hooks.message = [this](const std::string &text) { CMsgDlg::Show(this, QString(), QString::fromStdString(text)); };
    hooks.ask = [this](const std::string &text) {
        return CMsgDlg::Show(this, QString(), QString::fromStdString(text), true);
    };
    const CLanguageTexts &texts = context.Settings().Texts();
    hooks.text = [&texts](const std::string &key, const std::string &section) { return texts.Text(key, section); };
    m_model = std::make_unique<CGatewayAlarmList>(context.Commands(), offline, std::move(hooks));

    auto *column = new QVBoxLayout(this);
    m_box = new QGroupBox(this);
    auto *inside = new QVBoxLayout(m_box);
    m_list = new QListWidget(m_box);
    m_list->setObjectName(QStringLiteral("alarmList"));
    inside->addWidget(m_list);
    column->addWidget(m_box, 1);
    auto *buttons = new QHBoxLayout;
    m_get = Button(this, "getButton");
    m_reset = Button(this, "resetButton");
    m_clear = Button(this, "clearButton");
    buttons->addWidget(m_get);
    buttons->addWidget(m_reset);
    buttons->addWidget(m_clear);
    buttons->addStretch();
    column->addLayout(buttons);
    for (QPushButton *button : {m_get, m_reset, m_clear})
        button->setEnabled(!offline);
    connect(m_get, &QPushButton::clicked, this, &CKVL_GWX_ALARMLIST::PressGet);
    connect(m_reset, &QPushButton::clicked, this, &CKVL_GWX_ALARMLIST::PressReset);
    connect(m_clear, &QPushButton::clicked, this, &CKVL_GWX_ALARMLIST::PressClear);
    m_model->Get();
    RefreshView();
}

CKVL_GWX_ALARMLIST::~CKVL_GWX_ALARMLIST() = default;

void CKVL_GWX_ALARMLIST::ApplyTexts(const CLanguageTexts &texts)
{
    constexpr const char *section = CGatewayAlarmList::kSection;
    CWindowTexts::Apply(texts, {{m_box, "IDC_GWX_ALARMLIST", section, "Alarm history"},
                                {m_get, "IDC_BUTTON_ALARMLIST", section, "Get"},
                                {m_reset, "IDC_ALARM_RESET", section, "Alarm reset"},
                                {m_clear, "IDC_BUTTON_CLR_HIS", section, "Clear history"}});
    m_model->Rebuild();
    RefreshView();
}

void CKVL_GWX_ALARMLIST::RefreshView()
{
    m_list->clear();
    for (const std::string &entry : m_model->Entries())
        m_list->addItem(QString::fromStdString(entry));
}

void CKVL_GWX_ALARMLIST::PressGet()
{
    m_model->Get();
    RefreshView();
}

void CKVL_GWX_ALARMLIST::PressReset()
{
    m_model->Reset();
}

void CKVL_GWX_ALARMLIST::PressClear()
{
    m_model->Clear();
    RefreshView();
}

void CKVL_GWX_ALARMLIST::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kvl
