#pragma once
// CCellEdit: the one-line edit placed over a grid cell while it is edited (the point table, the
// parameter list, the tuning window). It takes only the characters of its accepted-characters
// text (CCellInputRules; never a space), keeps Enter, Home, End and the arrow keys to itself so
// that they do not move the focus in the window, and passes an Enter key press on to its holder
// through keyPassed (with the forward-all-keys flag, every key press). The minimum and maximum are
// kept for the owner, which applies them when it commits; the edit does not. Created hidden by
// the grid that owns it; user-interface thread.
#include <QColor>
#include <QLineEdit>

#include <limits>
#include <string>

namespace kvl {

class CCellEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class Type { kInteger, kReal, kText };

    explicit CCellEdit(QWidget *parent = nullptr);

    void SetType(Type type) { m_type = type; }
    Type GetType() const { return m_type; }
    // Empty: digits, letters, "+", "-" and "." (a text edit takes every character but the space).
    void SetAcceptedChars(const std::string &chars) { m_accepted = chars; }
    const std::string &AcceptedChars() const { return m_accepted; }
    void SetLimits(double min, double max);
    double Min() const { return m_min; }
    double Max() const { return m_max; }
    void SetColours(const QColor &text, const QColor &background);
    void SetForwardAllKeys(bool on) { m_forwardAll = on; }
    bool ForwardAllKeys() const { return m_forwardAll; }

Q_SIGNALS:
    // A key press for the window that holds the edit: Enter always, every key with forward-all.
    void keyPassed(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Type m_type = Type::kText;
    std::string m_accepted;
    double m_min = -std::numeric_limits<double>::infinity();
    double m_max = std::numeric_limits<double>::infinity();
    bool m_forwardAll = false;
};

} // namespace kvl
