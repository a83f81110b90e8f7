#pragma once
// CKVL_GWX_COLOR_SETTING: the colour settings window of the station list. One colour button per
// device type and per input mode; on showing they take the "CURRENT" colours of the colour
// settings file, DEFAULT puts the factory colours on them without writing, OK writes all twelve to
// "CURRENT" (a failed write is said and the window stays), CANCEL writes nothing.
// Opened modally by the station list page and destroyed after; user-interface thread.
#include <QColor>
#include <QDialog>

#include <array>

#include "gateway/CGatewayColourStore.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace kvl {

class CColourButton;
class CWindowContext;

class CKVL_GWX_COLOR_SETTING : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_COLOR_SETTING";

    CKVL_GWX_COLOR_SETTING(CWindowContext &context, CGatewayColourStore &store, QWidget *parent = nullptr);

    void ApplyTexts();
    void PressDefault();
    void PressOk();

    // The button of the configuration's colour `index` (the unit settings file's line 101 + index).
    CColourButton *ColourButton(int index) const { return m_buttons[static_cast<size_t>(index)]; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *DefaultButton() const { return m_default; }
    QPushButton *CancelButton() const { return m_cancel; }
    CGatewayColourStore::Colours Colours() const;
    // What paints the window's grey.
    QWidget *Body() const { return m_body; }

    // A stored colour (red in the low byte) as Qt's colour, and back.
    static QColor QColorOf(uint32_t value);
    static uint32_t ValueOf(const QColor &colour);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildLayout();
    QGroupBox *BuildGroup(QLabel *&head, const int *indices, int count);
    void ShowColours(const CGatewayColourStore::Colours &colours);

    CWindowContext &m_context;
    CGatewayColourStore &m_store;
    std::array<CColourButton *, CGatewayConfig::kColours> m_buttons{};
    std::array<QLabel *, CGatewayConfig::kColours> m_labels{};
    QWidget *m_body = nullptr;
    QGroupBox *m_deviceGroup = nullptr;
    QGroupBox *m_modeGroup = nullptr;
    QLabel *m_deviceHead = nullptr;
    QLabel *m_modeHead = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_default = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace kvl
