#pragma once
// CColourButton: a button that shows a colour as a swatch and, when pressed, lets the user choose
// another in the platform's colour dialog. Parent-owned; user-interface thread.
#include <QColor>
#include <QPushButton>

namespace kvl {

class CColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColourButton(QWidget *parent = nullptr);

    void SetColour(const QColor &colour);
    QColor Colour() const { return m_colour; }

Q_SIGNALS:
    void colourChosen(const QColor &colour);

private:
    void Choose();

    QColor m_colour = Qt::white;
};

} // namespace kvl
