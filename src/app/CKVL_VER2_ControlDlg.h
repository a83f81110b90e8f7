#pragma once
// CKVL_VER2_ControlDlg: the start window. It shows the product picture, the three language
// buttons (offered by the system's language, the current one marked), Help, Next (opens the axis
// link window, created once and kept) and the version text. Closing it ends the program: the
// application object then destroys every other window and writes the settings back.
// Owned by CKVL_ControlApp; user-interface thread only.
#include <QDialog>

#include <array>

class QLabel;

namespace kvl {

class CKVL_ControlApp;
class CPictureButton;

class CKVL_VER2_ControlDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_CONTROL_DIALOG";
    static constexpr char kVersionMajor[] = "2";
    static constexpr char kVersionMinor[] = "0.2010.0928";
    static constexpr int kHelpTooltip = 1;
    static constexpr int kNextTooltip = 2;

    explicit CKVL_VER2_ControlDlg(CKVL_ControlApp &app, QWidget *parent = nullptr);

    // "Ver 2.0.2010.0928".
    static QString VersionText();
    // Re-reads every caption and tooltip from the current language.
    void ApplyTexts();
    // Language buttons by language number 1 to 3.
    CPictureButton *LanguageButton(int language) const;
    CPictureButton *NextButton() const { return m_next; }
    CPictureButton *HelpButton() const { return m_help; }
    QLabel *VersionLabel() const { return m_version; }
    // The axis link window once Next created it.
    QWidget *LinkWindow() const;
    // The help page this window opens.
    static QString HelpFile();

    void PressNext();
    void PressHelp();
    void PressLanguage(int language);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;

private:
    void BuildLayout();
    void UpdateLanguageButtons();

    CKVL_ControlApp &m_app;
    std::array<CPictureButton *, 3> m_languages{};
    CPictureButton *m_next = nullptr;
    CPictureButton *m_help = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_languageLabel = nullptr;
    QLabel *m_helpLabel = nullptr;
    QLabel *m_version = nullptr;
    bool m_closed = false;
};

} // namespace kvl
