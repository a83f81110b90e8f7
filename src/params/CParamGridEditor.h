#pragma once
// CParamGridEditor: the parameter list's editable grid. It owns the two in-cell editors
// (CCellEdit for numbers and texts, CCellCombox for choices), opens the one the parameter's type
// asks for on a double click or Enter (only in the file column, only where the rules allow it),
// and commits through CParamListModel when the current cell changes, the grid scrolls, or Enter
// or Escape is pressed (Escape does not cancel). While the grid or an editor has the keyboard
// focus, Enter and Escape never reach the window's other controls.
// Made by the parameter list window, which owns it (Qt parent); user-interface thread.
#include <QObject>

class QKeyEvent;
class QTableView;

namespace kvl {
class CCellCombox;
class CCellEdit;
} // namespace kvl

namespace kvl::params {

class CParamGridModel;
class CParamListModel;

class CParamGridEditor : public QObject {
    Q_OBJECT
public:
    CParamGridEditor(CParamListModel &model, QTableView *grid, CParamGridModel *gridModel, QObject *parent);

    // Opens the editor of the file value in `row` (0-based); false when the rules refuse.
    bool Open(int row);
    // Commits an open edit (before a read, a write or anything that replaces the rows).
    void CommitOpenEdit();
    bool Editing() const { return m_number != 0; }

    CCellEdit *CellEdit() const { return m_edit; }
    CCellCombox *CellCombox() const { return m_combox; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool EnterOrEscape(QKeyEvent *event);
    void HideEditors();

    CParamListModel &m_model;
    QTableView *m_grid;
    CParamGridModel *m_gridModel;
    CCellEdit *m_edit = nullptr;
    CCellCombox *m_combox = nullptr;
    int m_number = 0;        // the parameter being edited; 0 none
    bool m_placing = false;  // the scroll that brings the cell into view commits nothing
    bool m_committing = false;
};

} // namespace kvl::params
