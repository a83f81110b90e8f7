#pragma once
// CMsgDlg: the one message dialog of the tool. A title ("Message" when empty), a text ("None!"
// when empty), OK or OK/Cancel, an optional "FLOAT" choice 0/1/2 that becomes the axis' decimals
// setting (CAppValues::decimals of the values handed in) when OK is pressed, and two service buttons (manual home, remote
// state) that have their place in the layout but stay hidden for now. Texts arrive in UTF-8
// (CLanguageTexts converts the language file's code page). Modal; user-interface thread only.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;

namespace kvl {

class CLanguageTexts;
struct CAppValues;

class CMsgDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kChoiceCount = 3;

    // With `choiceValues`, the "FLOAT" choice shows that axis' decimals setting and OK stores it there.
    CMsgDlg(QWidget *parent, const QString &title, const QString &text, bool withCancel = false,
            int axis = 0, bool withExtraButtons = false, CAppValues *choiceValues = nullptr);

    // Builds the dialog, runs it modally and returns whether OK was pressed.
    static bool Show(QWidget *parent, const QString &title, const QString &text,
                     bool withCancel = false, int axis = 0, bool withExtraButtons = false,
                     CAppValues *choiceValues = nullptr);

    static QString DefaultTitle() { return QStringLiteral("Message"); }
    static QString DefaultText() { return QStringLiteral("None!"); }

    QString Text() const;
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QComboBox *Choice() const { return m_choice; }
    QPushButton *HomeButton() const { return m_home; }
    QPushButton *RemoteButton() const { return m_remote; }

    // Captions of OK and Cancel in the current language, for the dialogs made from now on (on
    // opening and on every language switch).
    static void ApplyTexts(const CLanguageTexts &texts);

    void accept() override;

private:
    int m_axis = 0;
    CAppValues *m_values = nullptr;
    QLabel *m_text = nullptr;
    QComboBox *m_choice = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_home = nullptr;
    QPushButton *m_remote = nullptr;
    static QString s_okCaption;
    static QString s_cancelCaption;
};

} // namespace kvl
