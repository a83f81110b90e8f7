#include "params/CParamGridEditor.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>

#include <limits>

#include "common/CCellCombox.h"
#include "common/CCellEdit.h"
#include "params/CParamGridModel.h"
#include "params/CParamListModel.h"

namespace kvl::params {

namespace {

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

CParamGridEditor::CParamGridEditor(CParamListModel &model, QTableView *grid, CParamGridModel *gridModel,
                                   QObject *parent)
    : QObject(parent), m_model(model), m_grid(grid), m_gridModel(gridModel)
{
    m_edit = new CCellEdit(m_grid->viewport());
    m_edit->setObjectName(QStringLiteral("paramCellEdit"));
    m_edit->hide();
    m_combox = new CCellCombox(m_grid->viewport());
    m_combox->setObjectName(QStringLiteral("paramCellCombox"));
    m_combox->SetHolder(m_grid);
    m_combox->hide();
    for (QWidget *editor : {static_cast<QWidget *>(m_edit), static_cast<QWidget *>(m_combox)}) {
        editor->setFont(m_grid->font());
        editor->installEventFilter(this);
    }
    m_grid->installEventFilter(this);
    const auto enterFromEditor = [this](int key, Qt::KeyboardModifiers) {
        if (IsEnter(key))
            CommitOpenEdit();
    };
    connect(m_edit, &CCellEdit::keyPassed, this, enterFromEditor);
    connect(m_combox, &CCellCombox::keyPassed, this, enterFromEditor);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!Editing())
            Open(index.row());
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { CommitOpenEdit(); });
    for (QScrollBar *bar : {m_grid->verticalScrollBar(), m_grid->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (!m_placing)
                CommitOpenEdit();
        });
    }
}

bool CParamGridEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        (watched == m_grid || watched == m_edit || watched == m_combox))
        return EnterOrEscape(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}

bool CParamGridEditor::EnterOrEscape(QKeyEvent *event)
{
    const int key = event->key();
    if (!IsEnter(key) && key != Qt::Key_Escape)
        return false;
    if (Editing()) {
        CommitOpenEdit();
    } else if (IsEnter(key)) {
        const QModelIndex current = m_grid->currentIndex();
        if (current.isValid())
            Open(current.row());
    }
    // Escape with no editor does nothing, and neither key reaches the window's buttons.
    return true;
}

bool CParamGridEditor::Open(int row)
{
    const int number = m_gridModel->NumberAt(row);
    if (number == 0)
        return false;
    const CParamListModel::Editor editor = m_model.OpenEditor(number);
    if (editor.kind == CParamListModel::Editor::Kind::None)
        return false;
    const QModelIndex index = m_gridModel->index(row, CParamListModel::kColFile);
    m_placing = true;
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(index);
    m_placing = false;
    m_number = number;
    const QRect cell = m_grid->visualRect(index);
    const QVariant fill = m_gridModel->data(index, Qt::BackgroundRole);
    const QColor background = fill.isValid() ? fill.value<QBrush>().color() : m_grid->palette().color(QPalette::Base);
    const QColor text = m_grid->palette().color(QPalette::Text);
    if (editor.kind == CParamListModel::Editor::Kind::Choice) {
        m_combox->clear();
        for (const std::string &choice : editor.choices)
            m_combox->addItem(QString::fromStdString(choice));
        m_combox->setCurrentIndex(editor.choice);
        m_combox->SetColours(text, background);
        m_combox->setGeometry(cell);
        m_combox->show();
        m_combox->setFocus(Qt::OtherFocusReason);
        return true;
    }
    switch (editor.kind) {
    case CParamListModel::Editor::Kind::Integer:
        m_edit->SetType(CCellEdit::Type::kInteger);
        break;
    case CParamListModel::Editor::Kind::Real:
        m_edit->SetType(CCellEdit::Type::kReal);
        break;
    default:
        m_edit->SetType(CCellEdit::Type::kText);
        break;
    }
    m_edit->SetAcceptedChars(editor.accepted);
    m_edit->setMaxLength(editor.maxLength > 0 ? editor.maxLength : std::numeric_limits<short>::max());
    if (editor.kind != CParamListModel::Editor::Kind::Text)
        m_edit->SetLimits(editor.min, editor.max);
    m_edit->SetColours(text, background);
    m_edit->setText(QString::fromStdString(editor.text));
    m_edit->selectAll();
    m_edit->setGeometry(cell);
    m_edit->show();
    m_edit->setFocus(Qt::OtherFocusReason);
    return true;
}

void CParamGridEditor::HideEditors()
{
    if (m_edit->isVisible() || m_combox->isVisible())
        m_grid->setFocus(Qt::OtherFocusReason);
    m_edit->hide();
    m_combox->hide();
}

void CParamGridEditor::CommitOpenEdit()
{
    // A confirmation's own event loop may move the focus: that commits nothing twice.
    if (!Editing() || m_committing)
        return;
    m_committing = true;
    const int number = m_number;
    const QString text = m_combox->isVisible() ? m_combox->currentText() : m_edit->text();
    HideEditors();
    m_number = 0;
    m_model.Commit(number, text.toStdString());
    m_committing = false;
}

} // namespace kvl::params
