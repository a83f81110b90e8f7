#pragma once
// CMsgDlg: the one message dialog of the tool. A title ("Message" when empty), a text ("None!"
// when empty), OK or OK/Cancel, an optional "FLOAT" choice 0/1/2 that becomes the axis' decimals
// setting (CAppValues::decimals of the values handed in) when OK is pressed, and, when the caller
// asks for them, two service buttons that act on the dialog's axis: a manual home and a
// remote-state button whose picture says whether the controller is in remote operation (asked
// when the dialog shows and on RefreshRemote). What the service buttons do arrives as
// ServiceHooks (CServiceButtons over the command layer). Texts arrive in UTF-8 (CLanguageTexts
// converts the language file's code page). Modal; user-interface thread only.
#include <QDialog>
#include <QString>

#include <functional>

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

    // What the service buttons do on an axis 0..15. Either may be empty: the manual home then
    // sends nothing and the remote-state button shows local.
    struct ServiceHooks {
        std::function<void(int axis)> manualHome;
        std::function<bool(int axis)> remote;   // true: the controller is in remote operation
    };

    // With `choiceValues`, the "FLOAT" choice shows that axis' decimals setting and OK stores it there.
    CMsgDlg(QWidget *parent, const QString &title, const QString &text, bool withCancel = false,
            int axis = 0, bool withExtraButtons = false, CAppValues *choiceValues = nullptr,
            ServiceHooks service = {});

    // Builds the dialog, runs it modally and returns whether OK was pressed.
    static bool Show(QWidget *parent, const QString &title, const QString &text,
                     bool withCancel = false, int axis = 0, bool withExtraButtons = false,
                     CAppValues *choiceValues = nullptr, ServiceHooks service = {});

    // The same with OK only and the warning icon: for a failure the user must act on (a file
    // that could not be saved).
    static bool ShowWarning(QWidget *parent, const QString &title, const QString &text);

    // The picture beside the text: information (OK only), question (OK and Cancel) or warning.
    enum class Icon { kInformation, kQuestion, kWarning };
    void SetIcon(Icon icon);
    Icon IconShown() const { return m_iconKind; }

    static QString DefaultTitle() { return QStringLiteral("Message"); }
    static QString DefaultText() { return QStringLiteral("None!"); }

    QString Text() const;
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QComboBox *Choice() const { return m_choice; }
    QPushButton *HomeButton() const { return m_home; }
    QPushButton *RemoteButton() const { return m_remote; }

    // Whether the remote-state button shows remote operation (false: local).
    bool RemoteShown() const { return m_remoteShown; }

    // Captions of OK, Cancel and the manual home button in the current language, for the dialogs
    // made from now on (on opening and on every language switch); in service mode (debug level
    // 10) the manual home button takes the Z-phase detection caption.
    static void ApplyTexts(const CLanguageTexts &texts, int debugLevel = 0);

    // The manual home button: the dialog is disabled while the axis is told to take its present
    // position as the origin; it stays open.
    void PressHome();
    // Asks the axis again and redraws the remote-state button.
    void RefreshRemote();

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    int m_axis = 0;
    CAppValues *m_values = nullptr;
    QLabel *m_icon = nullptr;
    Icon m_iconKind = Icon::kInformation;
    bool m_logged = false;   // the text went into the daily log when first shown
    QLabel *m_text = nullptr;
    QComboBox *m_choice = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_home = nullptr;
    QPushButton *m_remote = nullptr;
    bool m_withService = false;
    ServiceHooks m_service;
    bool m_remoteShown = false;
    static QString s_okCaption;
    static QString s_cancelCaption;
    static QString s_homeCaption;
};

} // namespace kvl
