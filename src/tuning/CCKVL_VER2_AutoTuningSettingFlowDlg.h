#pragma once
// CCKVL_VER2_AutoTuningSettingFlowDlg: the guide to the auto-tuning settings. A heading, the three
// shipped guide pages of the current language one above the other with arrows between them, and
// OK; closing it any other way answers "no". Modal; user-interface thread only.
#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace kvl {
class CWindowContext;
}

namespace kvl::tuning {

class CTuningPageView;

class CCKVL_VER2_AutoTuningSettingFlowDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageCount = 3;

    CCKVL_VER2_AutoTuningSettingFlowDlg(CWindowContext &context, QWidget *parent);

    CTuningPageView *Page(int index) const { return m_pages.at(static_cast<std::size_t>(index)); }
    QLabel *Heading() const { return m_heading; }
    QPushButton *OkButton() const { return m_ok; }

private:
    void ApplyTexts();

    CWindowContext &m_context;
    QLabel *m_heading = nullptr;
    std::array<CTuningPageView *, kPageCount> m_pages{};
    QPushButton *m_ok = nullptr;
};

} // namespace kvl::tuning
