#pragma once
// CRogChartProperty: the line property window of one chart series: name, mode (the modes the
// axis' model offers; only at parameter access level 1 or 2 may it be changed), offset with the
// unit of the chosen mode, colour (the platform colour dialog), width 1 to 10 and a visible toggle.
// OK hands the fields back through Result(); Cancel changes nothing. Modal; made by the waveform
// window. User-interface thread.
#include <QDialog>

#include "waveform/CRogModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvl {

class CWindowContext;

class CRogChartProperty : public QDialog {
    Q_OBJECT
public:
    CRogChartProperty(CWindowContext &context, const CRogModel &model, int row, QWidget *parent = nullptr);

    // The fields as they are now (what OK hands back).
    CRogModel::LineProperty Result() const;
    // The colour the colour button shows; PressColour() asks the platform dialog for it.
    void SetColour(uint32_t colour);
    void PressColour();

    QLineEdit *NameBox() const { return m_name; }
    QComboBox *ModeList() const { return m_mode; }
    QLineEdit *OffsetBox() const { return m_offset; }
    QLabel *OffsetUnit() const { return m_unit; }
    QPushButton *ColourButton() const { return m_colourButton; }
    QComboBox *WidthList() const { return m_width; }
    QPushButton *VisibleButton() const { return m_visible; }

private:
    void BuildLayout();
    void ApplyTexts();
    void RefreshUnit();

    CWindowContext &m_context;
    const CRogModel &m_model;
    CRogModel::LineProperty m_property;
    QLineEdit *m_name = nullptr;
    QComboBox *m_mode = nullptr;
    QLineEdit *m_offset = nullptr;
    QLabel *m_unit = nullptr;
    QPushButton *m_colourButton = nullptr;
    QComboBox *m_width = nullptr;
    QPushButton *m_visible = nullptr;
    QLabel *m_nameLabel = nullptr;
    QLabel *m_modeLabel = nullptr;
    QLabel *m_offsetLabel = nullptr;
    QLabel *m_colourLabel = nullptr;
    QLabel *m_widthLabel = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace kvl
