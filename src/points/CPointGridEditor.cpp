#include "points/CPointGridEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

#include "common/CCellCombox.h"
#include "common/CCellEdit.h"
#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "points/CAxisWindowModel.h"
#include "points/CPointGridModel.h"
#include "points/CPointLoadLimits.h"

namespace kvl::points {

namespace {

using Opened = CPointTableEditor::Opened;
using BlockResult = CPointTableEditor::BlockResult;

constexpr Qt::KeyboardModifiers kMenuModifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The character a key press types (no shortcut, no control key, never a space), or 0.
char32_t TypedChar(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const QList<uint> chars = event->text().toUcs4();
    if (chars.size() != 1 || chars.front() <= 0x20 || chars.front() == 0x7f)
        return 0;
    return static_cast<char32_t>(chars.front());
}

CCellEdit::Type EditType(EditorKind kind)
{
    switch (kind) {
    case EditorKind::Integer:
        return CCellEdit::Type::kInteger;
    case EditorKind::Real:
        return CCellEdit::Type::kReal;
    default:
        return CCellEdit::Type::kText;
    }
}

} // namespace

CPointGridEditor::CPointGridEditor(CWindowContext &context, CAxisWindowModel &model, QTableView *grid,
                                   CPointGridModel *gridModel, QObject *parent)
    : QObject(parent), m_context(context), m_model(model), m_grid(grid), m_gridModel(gridModel),
      m_editor(model.Table())
{
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_edit = new CCellEdit(m_grid->viewport());
    m_edit->setObjectName(QStringLiteral("cellEdit"));
    m_combox = new CCellCombox(m_grid->viewport());
    m_combox->setObjectName(QStringLiteral("cellCombox"));
    m_combox->SetHolder(m_grid);
    for (QWidget *editor : {static_cast<QWidget *>(m_edit), static_cast<QWidget *>(m_combox)}) {
        editor->setFont(m_grid->font());
        editor->installEventFilter(this);
    }
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    m_grid->window()->installEventFilter(this);

    const auto enterFromEditor = [this](int key, Qt::KeyboardModifiers) {
        if (IsEnter(key))
            CommitOpenEdit();
    };
    connect(m_edit, &CCellEdit::keyPassed, this, enterFromEditor);
    connect(m_combox, &CCellCombox::keyPassed, this, enterFromEditor);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        Show(m_editor.Open(index.row() + 1, index.column(), ServoOn()));
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { CommitOpenEdit(); });
    for (QScrollBar *bar : {m_grid->verticalScrollBar(), m_grid->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (!m_placing)
                CommitOpenEdit();
        });
    }

    m_menu = new QMenu(m_grid);
    m_menu->setObjectName(QStringLiteral("blockMenu"));
    m_copyAction = m_menu->addAction(QStringLiteral("Copy"), this, &CPointGridEditor::Copy);
    m_pasteAction = m_menu->addAction(QStringLiteral("Paste"), this, &CPointGridEditor::Paste);
    m_deleteAction = m_menu->addAction(QStringLiteral("Delete"), this, &CPointGridEditor::Delete);
    m_cutAction = m_menu->addAction(QStringLiteral("Cut"), this, &CPointGridEditor::Cut);
}

bool CPointGridEditor::ServoOn() const
{
    return m_model.ServoLamp();
}

// --- events

bool CPointGridEditor::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == m_grid)
            return GridKey(static_cast<QKeyEvent *>(event));
        if (watched == m_edit || watched == m_combox)
            return EditorKey(static_cast<QKeyEvent *>(event));
        break;
    case QEvent::MouseButtonPress:
        if (watched == m_grid->viewport())
            return ViewportMouse(static_cast<QMouseEvent *>(event));
        break;
    case QEvent::Wheel:
        if (watched == m_grid->viewport() || watched == m_grid->window()) {
            Wheel(static_cast<QWheelEvent *>(event)->angleDelta().y());
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool CPointGridEditor::GridKey(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    if (key == Qt::Key_Tab && modifiers == Qt::NoModifier) {
        Tab();
    } else if (IsEnter(key) || key == Qt::Key_Escape) {
        EnterOnGrid();
    } else if (ctrl && key == Qt::Key_C) {
        Copy();
    } else if (ctrl && key == Qt::Key_V) {
        Paste();
    } else if (ctrl && key == Qt::Key_X) {
        Cut();
    } else if (key == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        Delete();
    } else if (ctrl && key == Qt::Key_Z) {
        Undo();
    } else if ((ctrl && key == Qt::Key_Y) || (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z)) {
        Redo();
    } else if (const char32_t c = TypedChar(event)) {
        const CPointTableEditor::CellPos cell = CurrentCell();
        Show(m_editor.OpenTyped(cell.row, cell.column, c, ServoOn()));
    } else {
        return false;
    }
    return true;
}

bool CPointGridEditor::EditorKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier) {
        Tab();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        // Escape commits like Enter; it never cancels.
        CommitOpenEdit();
        return true;
    }
    return false;
}

bool CPointGridEditor::ViewportMouse(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        return false;
    const QPoint inGrid = m_grid->viewport()->mapTo(m_grid, event->position().toPoint());
    if (!CPointTableEditor::MenuOpens(true, (event->modifiers() & kMenuModifiers) != 0, inGrid.x(), inGrid.y()))
        return false;
    CommitOpenEdit();
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const std::string_view common = CLanguageTexts::kCommonSection;
    m_copyAction->setText(CWindowTexts::Text(texts, "IDS_EDIT_COPY", common, QStringLiteral("Copy")));
    m_pasteAction->setText(CWindowTexts::Text(texts, "IDS_EDIT_PASTE", common, QStringLiteral("Paste")));
    m_deleteAction->setText(CWindowTexts::Text(texts, "IDS_EDIT_DEL", common, QStringLiteral("Delete")));
    m_cutAction->setText(CWindowTexts::Text(texts, "IDS_EDIT_CUT", common, QStringLiteral("Cut")));
    // The press leaves the selection as it is: the menu acts on it.
    m_menu->popup(event->globalPosition().toPoint());
    return true;
}

void CPointGridEditor::Wheel(int delta)
{
    QScrollBar *bar = m_grid->verticalScrollBar();
    const int first = bar->value() + 1;
    bar->setValue(CPointTableEditor::WheelFirstRow(first, delta, m_gridModel->rowCount()) - 1);
}

// --- editing

CPointTableEditor::CellPos CPointGridEditor::CurrentCell() const
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return {0, 0};
    return {current.row() + 1, current.column()};
}

void CPointGridEditor::EnterOnGrid()
{
    if (m_editor.Editing()) {
        CommitOpenEdit();
        return;
    }
    const CPointTableEditor::CellPos cell = CurrentCell();
    Show(m_editor.Open(cell.row, cell.column, ServoOn()));
}

void CPointGridEditor::Tab()
{
    CommitOpenEdit();
    const CPointTableEditor::CellPos from = CurrentCell();
    if (from.row < 1)
        return;
    const CPointTableEditor::CellPos to = CPointTableEditor::TabTarget(from, m_gridModel->rowCount());
    const QModelIndex index = m_gridModel->index(to.row - 1, to.column);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(index);
    if (CPointTableEditor::TabOpens(to.column))
        Show(m_editor.OpenAfterTab(to.row, to.column, ServoOn()));
}

void CPointGridEditor::Show(const CPointTableEditor::OpenResult &opened)
{
    switch (opened.what) {
    case Opened::kNothing:
        return;
    case Opened::kStartRowMoved:
        m_model.SetStartRow(opened.row);
        Changed();
        return;
    case Opened::kRowCreated:
        Changed();
        return;
    case Opened::kEditor:
        ShowEditor(opened);
        return;
    }
}

void CPointGridEditor::ShowEditor(const CPointTableEditor::OpenResult &opened)
{
    const QModelIndex index = m_gridModel->index(opened.row - 1, opened.column);
    m_placing = true;
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_grid->scrollTo(index);
    m_placing = false;
    const QRect cell = m_grid->visualRect(index);
    // The cell's own colours; the grid's where the cell has none.
    const QVariant foreground = m_gridModel->data(index, Qt::ForegroundRole);
    const QVariant fill = m_gridModel->data(index, Qt::BackgroundRole);
    const QColor text =
        foreground.isValid() ? foreground.value<QBrush>().color() : m_grid->palette().color(QPalette::Text);
    const QColor background = fill.isValid() ? fill.value<QBrush>().color() : m_grid->palette().color(QPalette::Base);
    const CellEditor &editor = opened.editor;
    if (editor.kind == EditorKind::Choice) {
        m_combox->clear();
        for (const std::string &choice : editor.choices)
            m_combox->addItem(QString::fromStdString(choice));
        m_combox->setCurrentIndex(opened.choice);
        m_combox->SetColours(text, background);
        m_combox->setGeometry(cell);
        m_combox->show();
        m_combox->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_edit->SetType(EditType(editor.kind));
    m_edit->SetAcceptedChars(editor.acceptedChars);
    m_edit->setMaxLength(editor.maxLength > 0 ? editor.maxLength : std::numeric_limits<short>::max());
    if (editor.limited)
        m_edit->SetLimits(editor.min, editor.max);
    m_edit->SetColours(text, background);
    m_edit->setAlignment(m_gridModel->data(index, Qt::TextAlignmentRole).value<Qt::Alignment>());
    m_edit->setText(QString::fromStdString(opened.text));
    if (opened.caretAtEnd)
        m_edit->end(false);
    else
        m_edit->selectAll();
    m_edit->setGeometry(cell);
    m_edit->show();
    m_edit->setFocus(Qt::OtherFocusReason);
}

void CPointGridEditor::HideEditors()
{
    // The grid takes the focus first, so that the choice list does not pass on its loss.
    if (m_edit->isVisible() || m_combox->isVisible())
        m_grid->setFocus(Qt::OtherFocusReason);
    m_edit->hide();
    m_combox->hide();
}

void CPointGridEditor::CommitOpenEdit()
{
    if (!m_editor.Editing())
        return;
    const QString text = m_combox->isVisible() ? m_combox->currentText() : m_edit->text();
    const CommitResult result = m_editor.Commit(text.toStdString());
    HideEditors();
    Changed();
    ShowMessages(result.messages);
}

void CPointGridEditor::ShowMessages(const std::vector<StepMessage> &messages)
{
    const CLanguageTexts &texts = m_context.Settings().Texts();
    for (const StepMessage &message : messages)
        CMsgDlg::Show(m_grid->window(), QString(), CWindowTexts::Text(texts, message.key, message.section));
}

void CPointGridEditor::Changed()
{
    m_gridModel->Refresh();
}

// --- blocks and history

CellBlock CPointGridEditor::SelectedBlock() const
{
    const QItemSelection selection = m_grid->selectionModel()->selection();
    const CPointTableEditor::CellPos current = CurrentCell();
    CellBlock block{current.row, current.row, current.column, current.column};
    bool first = true;
    for (const QItemSelectionRange &range : selection) {
        if (first) {
            block = {range.top() + 1, range.bottom() + 1, range.left(), range.right()};
            first = false;
            continue;
        }
        block.rowFirst = std::min(block.rowFirst, range.top() + 1);
        block.rowLast = std::max(block.rowLast, range.bottom() + 1);
        block.colFirst = std::min(block.colFirst, range.left());
        block.colLast = std::max(block.colLast, range.right());
    }
    return block;
}

void CPointGridEditor::Copy()
{
    CommitOpenEdit();
    if (m_editor.Copy(SelectedBlock()) == BlockResult::kDone)
        QApplication::clipboard()->setText(QString::fromStdString(m_editor.ClipboardText()));
}

void CPointGridEditor::Paste()
{
    CommitOpenEdit();
    const CPointTableEditor::CellPos cell = CurrentCell();
    // Cells copied in another program (or another window of the tool) are on the system clipboard;
    // a copy made here is there too and keeps its own buffer's column rule.
    const std::string system = QApplication::clipboard()->text().toStdString();
    const bool foreign = !system.empty() && (!m_editor.Buffer().HasBuffer() || system != m_editor.ClipboardText());
    const BlockResult result = foreign ? m_editor.PasteText(system, cell.row, cell.column, ServoOn())
                                       : m_editor.Paste(cell.row, cell.column, ServoOn());
    switch (result) {
    case BlockResult::kDone:
        Changed();
        ShowPasteLimited();
        break;
    case BlockResult::kColumnMismatch: {
        const CLanguageTexts &texts = m_context.Settings().Texts();
        const StepMessage title = CPointBlockEditor::PasteErrorTitle();
        const StepMessage text = CPointBlockEditor::PasteError();
        CMsgDlg::Show(m_grid->window(), CWindowTexts::Text(texts, title.key, title.section),
                      CWindowTexts::Text(texts, text.key, text.section));
        break;
    }
    case BlockResult::kServoOn:
    case BlockResult::kNothing:
        break;
    }
}

void CPointGridEditor::ShowPasteLimited()
{
    const std::vector<CsvLimitedValue> &limited = m_editor.PasteLimited();
    if (limited.empty())
        return;
    const CLanguageTexts &texts = m_context.Settings().Texts();
    const char *common = CLanguageTexts::kCommonSection;
    const auto text = [&texts, common](const char *key, const char *builtIn) {
        return CWindowTexts::Text(texts, key, common, QString::fromUtf8(builtIn)).toStdString();
    };
    const CPointLoadLimits::Wording wording{
        text("IDS_PASTE_LIMITED", "Some pasted values were limited as if typed:"),
        text("IDS_PASTE_LIMITED_LINE", "Step %1, %2: %3 pasted, %4 kept"),
        text("IDS_LOAD_LIMITED_MORE", "... and %1 more values.")};
    const std::string message = CPointLoadLimits::Describe(limited, m_model.Table().Rules().Texts(), wording);
    CMsgDlg::Show(m_grid->window(), QString(), QString::fromStdString(message));
}

void CPointGridEditor::Delete()
{
    CommitOpenEdit();
    if (m_editor.Delete(SelectedBlock(), ServoOn()) == BlockResult::kDone)
        Changed();
}

void CPointGridEditor::Cut()
{
    CommitOpenEdit();
    if (m_editor.Cut(SelectedBlock(), ServoOn()) == BlockResult::kDone) {
        QApplication::clipboard()->setText(QString::fromStdString(m_editor.ClipboardText()));
        Changed();
    }
}

void CPointGridEditor::Undo()
{
    CommitOpenEdit();
    if (m_editor.Undo())
        Changed();
}

void CPointGridEditor::Redo()
{
    CommitOpenEdit();
    if (m_editor.Redo())
        Changed();
}

void CPointGridEditor::RecordChange()
{
    CommitOpenEdit();
    m_editor.RecordChange();
}

void CPointGridEditor::TableReplaced()
{
    m_editor.TableReplaced();
    HideEditors();
    Changed();
}

} // namespace kvl::points
