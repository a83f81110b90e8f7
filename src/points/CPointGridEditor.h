#pragma once
// CPointGridEditor: puts the point-table editing rules (CPointTableEditor) on the axis window's
// grid. It owns the two in-cell editors (CCellEdit, CCellCombox) and the block menu, watches the
// grid for double-clicks, typed characters, Tab / Enter / Escape, Ctrl+C / V / X, Delete,
// Ctrl+Z / Y / Shift+Z, right-clicks, the wheel, leaving a cell and scrolling, and shows the
// messages of a commit or a refused paste. Copy also leaves the block on the system clipboard
// as tab-separated text for other programs; Paste takes the tool's own copy buffer, or text
// another program put on the clipboard (at the current cell, through the same paste rules).
// Made by the axis window, which owns it (Qt parent) with the grid; user-interface thread.
#include <QObject>
#include <QPoint>

#include <vector>

#include "points/CPointTableEditor.h"

class QAction;
class QKeyEvent;
class QMenu;
class QModelIndex;
class QMouseEvent;
class QTableView;

namespace kvl {
class CCellCombox;
class CCellEdit;
class CWindowContext;
} // namespace kvl

namespace kvl::points {

class CAxisWindowModel;
class CPointGridModel;

class CPointGridEditor : public QObject {
    Q_OBJECT
public:
    CPointGridEditor(CWindowContext &context, CAxisWindowModel &model, QTableView *grid, CPointGridModel *gridModel,
                     QObject *parent);

    // Commits an open in-cell edit (before anything else reads or replaces the table).
    void CommitOpenEdit();
    // A change made outside the grid is about to happen (teach, a file load): recorded for undo.
    void RecordChange();
    // The table was replaced (a Read, a new operation type): the open edit closes uncommitted and
    // the undo history ends.
    void TableReplaced();

    // The block operations and the history, as the menu and the keys run them.
    void Copy();
    void Paste();
    void Delete();
    void Cut();
    void Undo();
    void Redo();

    CPointTableEditor &Editor() { return m_editor; }
    CCellEdit *CellEdit() const { return m_edit; }
    CCellCombox *CellCombox() const { return m_combox; }
    QMenu *BlockMenu() const { return m_menu; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool GridKey(QKeyEvent *event);
    bool EditorKey(QKeyEvent *event);
    bool ViewportMouse(QMouseEvent *event);
    void Wheel(int delta);
    void Tab();
    void EnterOnGrid();
    void Show(const CPointTableEditor::OpenResult &opened);
    void ShowEditor(const CPointTableEditor::OpenResult &opened);
    void HideEditors();
    void ShowMessages(const std::vector<StepMessage> &messages);
    // The message listing the values a paste limited, as a file load lists them.
    void ShowPasteLimited();
    void Changed();
    CellBlock SelectedBlock() const;
    CPointTableEditor::CellPos CurrentCell() const;
    bool ServoOn() const;

    CWindowContext &m_context;
    CAxisWindowModel &m_model;
    QTableView *m_grid;
    CPointGridModel *m_gridModel;
    CPointTableEditor m_editor;
    CCellEdit *m_edit = nullptr;
    CCellCombox *m_combox = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_cutAction = nullptr;
    // Set while an editor is being placed: the scroll that brings its cell into view commits nothing.
    bool m_placing = false;
};

} // namespace kvl::points
