#include "common/CConfirm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"

namespace kvl {

namespace {
constexpr int kEntryMinWidth = 200;
} // namespace

CConfirm::CConfirm(CWindowContext &context, const CConfirmModel::Request &request, QWidget *owner,
                   QWidget *paramList, FollowLevel follow)
    : QDialog(owner), m_context(context), m_list(paramList), m_guardsList(paramList != nullptr),
      m_follow(std::move(follow))
{
    setObjectName(QStringLiteral("confirmDialog"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = std::make_unique<CConfirmModel>(context.Values(), context.Settings().Texts(),
                                              context.Settings().DebugLevel(), request, MakeHooks());
    BuildLayout();
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
}

CConfirm *CConfirm::Open(CWindowContext &context, const CConfirmModel::Request &request,
                         QWidget *owner, QWidget *paramList, FollowLevel follow)
{
    auto *dialog = new CConfirm(context, request, owner, paramList, std::move(follow));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->m_entry->setFocus();
    return dialog;
}

CConfirmModel::Hooks CConfirm::MakeHooks()
{
    CConfirmModel::Hooks hooks;
    hooks.message = [this](const std::string &text) {
        CMsgDlg::Show(this, QString(), QString::fromStdString(text));
    };
    hooks.levelChanged = [this](int level) {
        // A list given at opening that has gone since: the stored level is all that changes.
        if (m_follow && (!m_guardsList || m_list))
            m_follow(level);
    };
    return hooks;
}

void CConfirm::BuildLayout()
{
    m_label = new QLabel(this);
    m_entry = new QLineEdit(this);
    m_entry->setObjectName(QStringLiteral("confirmEntry"));
    m_entry->setEchoMode(QLineEdit::Password);
    m_entry->setMinimumWidth(kEntryMinWidth);
    m_label->setBuddy(m_entry);
    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &CConfirm::PressOk);
    connect(m_cancel, &QPushButton::clicked, this, &CConfirm::PressCancel);

    auto *entryRow = new QHBoxLayout;
    entryRow->addWidget(m_label);
    entryRow->addWidget(m_entry, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(entryRow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CConfirm::ApplyTexts()
{
    constexpr const char *kSection = CConfirmModel::kSection;
    CWindowTexts::Apply(m_context.Settings().Texts(),
                        {{this, "IDD_KVL_CONFIRM", kSection, "Version"},
                         {m_label, "IDC_STA_PASSWD", kSection, "Password"},
                         {m_ok, "IDC_BTN_OK", kSection, "OK"},
                         {m_cancel, "IDC_BTN_CAN", kSection, "Cancel"}},
                        [this](const QString &title) { return m_context.DecorateTitle(title); });
}

void CConfirm::PressOk()
{
    const CConfirmModel::Result result = m_model->Check(m_entry->text().toStdString());
    if (result.close) {
        close();
        return;
    }
    if (result.clearEntry)
        m_entry->clear();
    m_entry->setFocus();
}

void CConfirm::PressCancel()
{
    close();
}

} // namespace kvl
