#include "ui/CColourButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace kvl {

namespace {

constexpr int kSwatchWidth = 48;
constexpr int kSwatchHeight = 16;

} // namespace

CColourButton::CColourButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setIconSize(QSize(kSwatchWidth, kSwatchHeight));
    connect(this, &QPushButton::clicked, this, &CColourButton::Choose);
    SetColour(m_colour);
}

void CColourButton::SetColour(const QColor &colour)
{
    m_colour = colour;
    QPixmap swatch(kSwatchWidth, kSwatchHeight);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, kSwatchWidth - 1, kSwatchHeight - 1);
    painter.end();
    setIcon(QIcon(swatch));
    setToolTip(colour.name(QColor::HexRgb));
}

void CColourButton::Choose()
{
    const QColor chosen = QColorDialog::getColor(m_colour, this);
    if (!chosen.isValid())
        return;
    SetColour(chosen);
    Q_EMIT colourChosen(chosen);
}

} // namespace kvl
