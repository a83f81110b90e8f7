#pragma once
// CLampWidget: a round status lamp drawn from the tool's SVG pictures (off, on, busy, error),
// for the link status and later the axis windows' signal lamps. Owned by its parent window;
// user-interface thread only.
#include <QWidget>

namespace kvl {

class CLampWidget : public QWidget {
    Q_OBJECT
public:
    enum class State { kOff, kOn, kBusy, kError };

    explicit CLampWidget(QWidget *parent = nullptr, int side = 20);
    void SetState(State state);
    State GetState() const { return m_state; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    State m_state = State::kOff;
    int m_side;
};

} // namespace kvl
