#pragma once
// CConfirm: the version and access-level dialog. One entry, OK and Cancel; CConfirmModel decides
// what the entry does. Modeless: it is opened from the axis window's corner button and from the
// parameter list, shows itself without blocking its owner and deletes itself when closed. When
// the model raises the access level, the parameter list given at opening follows it, if that
// window still exists; otherwise only the level is stored. User-interface thread only.
#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

#include "common/CConfirmModel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kvl {

class CWindowContext;

class CConfirm : public QDialog {
    Q_OBJECT
public:
    // What the owner's parameter list does when the level changes.
    using FollowLevel = std::function<void(int level)>;

    // `paramList`: the window whose view follows the level (none: `follow` is called whenever
    // the level changes, for an owner that passes it on itself).
    CConfirm(CWindowContext &context, const CConfirmModel::Request &request, QWidget *owner,
             QWidget *paramList, FollowLevel follow);

    // Makes the dialog over `owner`, shows it and returns it (it deletes itself when closed).
    static CConfirm *Open(CWindowContext &context, const CConfirmModel::Request &request,
                          QWidget *owner, QWidget *paramList = nullptr, FollowLevel follow = {});

    void ApplyTexts();
    // OK: the entry's check; Cancel: closes without effect.
    void PressOk();
    void PressCancel();

    CConfirmModel &Model() { return *m_model; }
    QLineEdit *Entry() const { return m_entry; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }

private:
    void BuildLayout();
    CConfirmModel::Hooks MakeHooks();

    CWindowContext &m_context;
    std::unique_ptr<CConfirmModel> m_model;
    QPointer<QWidget> m_list;
    bool m_guardsList = false;
    FollowLevel m_follow;
    QLabel *m_label = nullptr;
    QLineEdit *m_entry = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace kvl
