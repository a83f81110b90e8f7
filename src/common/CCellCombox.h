#pragma once
// CCellCombox: the drop-down choice list placed over a grid cell while it is edited (the point
// table, the parameter list, the tuning window). Up on the first entry selects the last and Down
// on the last selects the first; a typed character that the accepted-characters rule does not
// take is dropped. An Enter key press is passed on to its holder through keyPassed, and so is an
// Enter when the list loses the keyboard focus to anything but its holder (or its own drop-down),
// so that leaving the list commits it. Created hidden by the grid that owns it; user-interface
// thread.
#include <QColor>
#include <QComboBox>
#include <QPointer>

#include <string>

namespace kvl {

class CCellCombox : public QComboBox {
    Q_OBJECT
public:
    explicit CCellCombox(QWidget *parent = nullptr);

    void SetAcceptedChars(const std::string &chars) { m_accepted = chars; }
    const std::string &AcceptedChars() const { return m_accepted; }
    void SetColours(const QColor &text, const QColor &background);
    // The widget that receives the passed-on keys itself; losing the focus to it passes nothing.
    void SetHolder(QWidget *holder) { m_holder = holder; }

Q_SIGNALS:
    void keyPassed(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    std::string m_accepted;
    QPointer<QWidget> m_holder;
};

} // namespace kvl
