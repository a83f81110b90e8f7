#include "params/CKVL_VER2_ParameterListDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include "common/CBusyIndicator.h"
#include "common/CHelpKey.h"
#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "params/CParamGridEditor.h"
#include "params/CParamGridModel.h"
#include "params/CParamListFiles.h"
#include "points/CAxisWindowModel.h"

namespace kvl::params {

namespace {

constexpr int kTipRead = 60;
constexpr int kTipWrite = 61;
constexpr int kTipDriverMark = 40;
constexpr int kTipFileMark = 41;
constexpr int kTipFiles = 62;
constexpr int kBusyGuardMs = 100;
constexpr int kHiddenAreaWidth = 24;
constexpr int kHiddenAreaHeight = 8;
constexpr int kMarkSize = 14;
constexpr int kNameColumnWidth = 260;
constexpr int kGridMinimumWidth = 760;
constexpr int kGridMinimumHeight = 420;

QLabel *MarkLabel(QWidget *parent, const QColor &colour, const char *name)
{
    auto *mark = new QLabel(parent);
    mark->setObjectName(QString::fromLatin1(name));
    mark->setFixedSize(kMarkSize, kMarkSize);
    mark->setAutoFillBackground(true);
    mark->setFrameShape(QFrame::Box);
    QPalette palette = mark->palette();
    palette.setColor(QPalette::Window, colour);
    mark->setPalette(palette);
    return mark;
}

QPushButton *Button(QWidget *parent, const char *name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CKVL_VER2_ParameterListDlg::CKVL_VER2_ParameterListDlg(CWindowContext &context, AxisLink axis, QWidget *parent)
    : QDialog(parent), m_context(context), m_link(std::move(axis)), m_axis(m_link.model->Identity().axis)
{
    setObjectName(QStringLiteral("paramListWindow%1").arg(m_axis));
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_model = std::make_unique<CParamListModel>(context.Commands(), context.Values(), m_link.model->Params(),
                                                m_link.model->Offline(), MakeHooks());
    BuildLayout();
    CHelpKey::Install(this, context, QStringLiteral("params"));
    m_gridEditor = new CParamGridEditor(*m_model, m_grid, m_gridModel, this);
    m_files = new CParamListFiles(context, *this);
    ConnectAxisWindow();
    RefreshView();
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) {
        if (isVisible()) {
            m_model->Retext();
            ApplyTexts();
        }
    });
}

CKVL_VER2_ParameterListDlg::~CKVL_VER2_ParameterListDlg()
{
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

CParamListModel::Hooks CKVL_VER2_ParameterListDlg::MakeHooks()
{
    CParamListModel::Hooks hooks;
    hooks.changed = [this] {
        if (m_gridModel)
            RefreshView();
    };
    hooks.busyBegin = [this] {
        m_progressClock.invalidate();
        m_context.Busy().SetAnchor(this);
        return m_context.Busy().Begin(true, kBusyGuardMs);
    };
    hooks.busyEnd = [this] { m_context.Busy().End(true); };
    // The indicator is drawn once a spinner frame at most: drawing after every exchange would
    // cost more than the exchange on a fast line.
    hooks.progress = [this](int done, int total) {
        if (done < total && m_progressClock.isValid() && m_progressClock.elapsed() < CBusyIndicator::kFrameMs)
            return;
        m_progressClock.start();
        m_context.Busy().Progress(done, total);
    };
    hooks.message = [this](const CParamListModel::Message &message) { return ShowMessage(message); };
    hooks.notify = [this](const ParamNotice &notice) { Notify(notice); };
    hooks.axisFlags = [this](bool &servoOn, bool &programActive) {
        if (!m_link.window)
            return;
        points::CAxisWindowModel &axis = *m_link.model;
        servoOn = axis.ServoLamp();
        programActive = axis.Running() || axis.Paused();
    };
    hooks.pushAbove = [this](int limit, int lastStep) { return PushAbove(limit, lastStep); };
    hooks.openAccessDialog = [this] { Q_EMIT accessDialogRequested(m_axis); };
    return hooks;
}

// The axis window's jog and feed take their ranges and current values from this list while it
// exists, and report here what they wrote.
void CKVL_VER2_ParameterListDlg::ConnectAxisWindow()
{
    QPointer<CKVL_VER2_ParameterListDlg> self(this);
    m_link.model->SetParameterListHooks(
        [self](int number, double &min, double &max) { return self && self->m_model->Range(number, min, max); },
        [self](int number, double &value) { return self && self->m_model->Value(number, value); },
        [self](int number, bool ok, const std::string &text) {
            if (self)
                self->m_model->ParameterWritten(number, ok, text);
        });
}

bool CKVL_VER2_ParameterListDlg::PushAbove(int limit, int lastStep) const
{
    if (!m_link.window)
        return false;
    const points::CPointTable &table = m_link.model->Table();
    for (int step = 0; step < lastStep && table.IsStep(step); ++step) {
        const points::CKVL_VER2_ProgData &record = table.Working(step);
        if (!record.IsEmpty() && record.Push() > limit)
            return true;
    }
    return false;
}

void CKVL_VER2_ParameterListDlg::Notify(const ParamNotice &notice)
{
    if (!m_link.window)
        return;
    points::CAxisWindowModel &axis = *m_link.model;
    switch (notice.kind) {
    case ParamNotice::Kind::JogSpeedChanged:
        axis.JogSpeedChanged();
        break;
    case ParamNotice::Kind::FeedAmountChanged:
        axis.FeedAmountChanged();
        break;
    case ParamNotice::Kind::DeviceNameChanged:
        axis.DeviceNameChanged(notice.name.Bytes());
        ApplyTexts(); // the title names the axis
        break;
    case ParamNotice::Kind::OperationTypeChanged:
        // Through the window: it resets its grid and tells the axis' monitor the new I/O mode.
        if (m_link.operationTypeChanged)
            m_link.operationTypeChanged(notice.clearControllerTable);
        break;
    case ParamNotice::Kind::DirectionChanged:
        if (m_link.parameter5Changed)
            m_link.parameter5Changed();
        break;
    case ParamNotice::Kind::ValuesChanged:
        axis.ParametersChanged();
        break;
    case ParamNotice::Kind::ValuesRead:
        axis.ParametersRead(notice.numbers);
        break;
    }
}

bool CKVL_VER2_ParameterListDlg::ShowMessage(const CParamListModel::Message &message)
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const QString title =
        message.title.Empty() ? QString() : CWindowTexts::Text(texts, message.title.key, message.title.section);
    QString text = CWindowTexts::Text(texts, message.text.key, message.text.section,
                                      QString::fromStdString(message.text.key));
    for (const int number : message.numbers) {
        text += QStringLiteral("\n%1  %2").arg(number).arg(
            QString::fromStdString(m_model->CellText(number, CParamListModel::kColName)));
    }
    return CMsgDlg::Show(this, title, text, message.withCancel);
}

// --- layout

void CKVL_VER2_ParameterListDlg::BuildLayout()
{
    auto *column = new QVBoxLayout(this);
    auto *edge = new QHBoxLayout;
    edge->setContentsMargins(0, 0, 0, 0);
    for (size_t i = 0; i < m_hiddenAreas.size(); ++i) {
        auto *area = new QWidget(this);
        area->setObjectName(QStringLiteral("hiddenArea%1").arg(i + 1));
        area->setFixedSize(kHiddenAreaWidth, kHiddenAreaHeight);
        area->installEventFilter(this);
        m_hiddenAreas[i] = area;
    }
    edge->addWidget(m_hiddenAreas[0]);
    edge->addStretch(1);
    edge->addWidget(m_hiddenAreas[1]);
    column->addLayout(edge);
    column->addWidget(BuildButtons());
    column->addWidget(BuildFind());

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabBar"));
    for (int tab = 0; tab < CParamListModel::kTabCount; ++tab)
        m_tabs->addTab(QString::fromLatin1(kFullDisplay));
    m_tabs->setExpanding(false);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) { PressTab(tab); });
    column->addWidget(m_tabs);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("paramGrid"));
    m_gridModel = new CParamGridModel(*m_model, m_grid);
    m_grid->setModel(m_gridModel);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setMinimumSize(kGridMinimumWidth, kGridMinimumHeight);
    column->addWidget(m_grid, 1);
}

QWidget *CKVL_VER2_ParameterListDlg::BuildButtons()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    m_driverGroup = new QGroupBox(row);
    auto *driver = new QHBoxLayout(m_driverGroup);
    m_read = Button(m_driverGroup, "readButton");
    m_write = Button(m_driverGroup, "writeButton");
    m_driverMark = MarkLabel(m_driverGroup, CParamGridModel::kMarkedColour, "driverMark");
    driver->addWidget(m_read);
    driver->addWidget(m_write);
    driver->addWidget(m_driverMark);
    connect(m_read, &QPushButton::clicked, this, &CKVL_VER2_ParameterListDlg::PressRead);
    connect(m_write, &QPushButton::clicked, this, &CKVL_VER2_ParameterListDlg::PressWrite);

    m_fileGroup = new QGroupBox(row);
    auto *file = new QHBoxLayout(m_fileGroup);
    m_load = Button(m_fileGroup, "loadButton");
    m_save = Button(m_fileGroup, "saveButton");
    m_print = Button(m_fileGroup, "printButton");
    m_fileMark = MarkLabel(m_fileGroup, CParamGridModel::kMarkedColour, "fileMark");
    for (QPushButton *button : {m_load, m_save, m_print})
        file->addWidget(button);
    file->addWidget(m_fileMark);

    layout->addWidget(m_driverGroup);
    layout->addWidget(m_fileGroup);
    layout->addStretch(1);
    return row;
}

QWidget *CKVL_VER2_ParameterListDlg::BuildFind()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_filter = new QLineEdit(row);
    m_filter->setObjectName(QStringLiteral("filterBox"));
    m_filter->setClearButtonEnabled(true);
    m_differences = new QCheckBox(row);
    m_differences->setObjectName(QStringLiteral("differencesOnly"));
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_gridEditor->CommitOpenEdit();
        m_model->SetFilter(text.toStdString());
    });
    connect(m_differences, &QCheckBox::toggled, this, [this](bool on) {
        m_gridEditor->CommitOpenEdit();
        m_model->SetDifferencesOnly(on);
    });
    layout->addWidget(m_filter, 1);
    layout->addWidget(m_differences);
    return row;
}

QWidget *CKVL_VER2_ParameterListDlg::HiddenArea(int area) const
{
    return area == CParamListModel::kHiddenAreaFirst    ? m_hiddenAreas[0]
           : area == CParamListModel::kHiddenAreaSecond ? m_hiddenAreas[1]
                                                        : nullptr;
}

// --- texts and view

void CKVL_VER2_ParameterListDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const QString suffix = QString::fromStdString(m_model->TitleSuffix());
    CWindowTexts::Apply(texts,
                        {{this, kSection, kSection, "Parameters"},
                         {m_read, "IDC_DRV_READ", kSection, "Read"},
                         {m_write, "IDC_DRV_WRITE", kSection, "Write"},
                         {m_load, "IDC_FILE_READ", kSection, "Open file"},
                         {m_save, "IDC_FILE_SAVE", kSection, "Save file"},
                         {m_print, "IDC_FILE_PRINT", kSection, "Print"},
                         {m_driverGroup, "IDC_PMT_DRV_TITLE", kSection, "Controller"},
                         {m_fileGroup, "IDC_PMT_FILE_TITLE", kSection, "File"},
                         {m_differences, "IDC_PMT_DIFF_ONLY", kSection, "Differences only"}},
                        [this, suffix](const QString &title) {
                            const QString tag = m_link.window && m_link.axisTag ? m_link.axisTag() : QString();
                            return m_context.DecorateTitle(title + suffix + tag);
                        });
    m_filter->setPlaceholderText(CWindowTexts::Text(texts, "IDC_PMT_FILTER", kSection, QStringLiteral("Find")));
    for (int tab = 0; tab < CParamListModel::kTabCount; ++tab) {
        const std::string key = "ID_TAB" + std::to_string(tab);
        m_tabs->setTabText(tab, CWindowTexts::Text(texts, key, kSection, QString::fromLatin1(kFullDisplay)));
    }
    QStringList captions;
    for (int column = 1; column <= CParamListModel::kColumnCount; ++column) {
        const std::string key = "ID_PARM_COL" + std::to_string(column);
        captions << CWindowTexts::Text(texts, key, kSection);
    }
    m_gridModel->SetCaptions(captions);
    CWindowTexts::ApplyTooltips(texts, {{m_read, kTipRead},
                                        {m_write, kTipWrite},
                                        {m_driverMark, kTipDriverMark},
                                        {m_fileMark, kTipFileMark},
                                        {m_load, kTipFiles},
                                        {m_save, kTipFiles},
                                        {m_print, kTipFiles}});
    m_grid->resizeColumnsToContents();
    if (m_grid->columnWidth(CParamListModel::kColName) > kNameColumnWidth)
        m_grid->setColumnWidth(CParamListModel::kColName, kNameColumnWidth);
}

QStringList CKVL_VER2_ParameterListDlg::UnkeptEdits() const
{
    m_gridEditor->CommitOpenEdit();
    if (!m_model->Lists().HasUnkeptEdits())
        return {};
    const CLanguageTexts &texts = m_context.Settings().Texts();
    if (m_model->Offline())
        return {CUnkeptEdits::Text(texts, "IDS_UNKEPT_PARAMS_OFFLINE", "The offline parameter list")};
    return {CUnkeptEdits::Text(texts, "IDS_UNKEPT_PARAMS", "The parameter list of axis %1")
                .arg(QString::number(m_axis, 16).toUpper())};
}

bool CKVL_VER2_ParameterListDlg::SaveUnkeptEdits(const QString &)
{
    CWindowRegistry::Present(this);
    return m_files->Save();
}

void CKVL_VER2_ParameterListDlg::LetUnkeptEditsGo(const QString &)
{
    m_model->Lists().KeepEdits();
}

void CKVL_VER2_ParameterListDlg::RefreshView()
{
    const bool online = !m_model->Offline();
    m_read->setEnabled(online);
    m_write->setEnabled(online);
    m_gridModel->Refresh();
}

void CKVL_VER2_ParameterListDlg::showEvent(QShowEvent *event)
{
    if (m_model->NeedsRetext()) {
        m_model->Retext();
        ApplyTexts();
    }
    QDialog::showEvent(event);
}

bool CKVL_VER2_ParameterListDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (size_t i = 0; i < m_hiddenAreas.size(); ++i) {
            if (watched == m_hiddenAreas[i]) {
                PressHiddenArea(static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- operations

void CKVL_VER2_ParameterListDlg::PressRead()
{
    m_gridEditor->CommitOpenEdit();
    m_model->Read();
}

void CKVL_VER2_ParameterListDlg::PressWrite()
{
    m_gridEditor->CommitOpenEdit();
    m_model->Write();
}

void CKVL_VER2_ParameterListDlg::PressTab(int tab)
{
    m_gridEditor->CommitOpenEdit();
    if (m_tabs->currentIndex() != tab) {
        m_tabs->setCurrentIndex(tab); // comes back here through currentChanged
        return;
    }
    m_model->SetTab(tab);
}

void CKVL_VER2_ParameterListDlg::SetAccessLevel(int level)
{
    m_gridEditor->CommitOpenEdit();
    m_model->SetLevel(level);
    ApplyTexts();
}

void CKVL_VER2_ParameterListDlg::PressHiddenArea(int area)
{
    m_gridEditor->CommitOpenEdit();
    const int before = m_model->Level();
    m_model->PressHiddenArea(area);
    if (m_model->Level() != before)
        ApplyTexts();
}

} // namespace kvl::params
