#include "common/CBusyIndicator.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "common/CBusyWindow.h"
#include "common/CWindowTexts.h"
#include "config/CLanguageTexts.h"

namespace kvl {

namespace {
constexpr char kProgressKey[] = "IDS_BUSY_PROGRESS";
} // namespace

QString CBusyIndicator::s_progressFormat = QStringLiteral("%1 of %2");

CBusyIndicator::CBusyIndicator(CBusyGuard::Clock clock, QObject *parent)
    : QObject(parent), m_clock(clock ? std::move(clock) : CBusyGuard::Clock(CBusyGuard::SteadyClockMs)),
      m_guard(m_clock)
{
}

CBusyIndicator::~CBusyIndicator()
{
    delete m_window.data();
}

bool CBusyIndicator::Begin(bool suppress, int windowMs)
{
    const CBusyGuard::BeginResult result = m_guard.Begin(suppress, windowMs);
    if (result == CBusyGuard::BeginResult::kRefused)
        return false;
    if (result == CBusyGuard::BeginResult::kFirst)
        ShowWindow();
    return true;
}

void CBusyIndicator::End(bool remember)
{
    if (m_guard.End(remember))
        HideWindow();
}

void CBusyIndicator::Progress(int done, int total)
{
    if (!m_window)
        return;
    m_window->SetProgressText(total > 0 ? s_progressFormat.arg(done).arg(total) : QString());
    Repaint();
}

void CBusyIndicator::Activity(const QString &text)
{
    if (!m_window)
        return;
    m_window->SetProgressText(text);
    Repaint();
}

void CBusyIndicator::Repaint()
{
    if (!m_window || !m_window->isVisible())
        return;
    // Input stays queued until the transfer ends. Timers may fire: the transfers turn status
    // polling off and the facade refuses a nested exchange, so nothing slips onto the bus.
    m_window->update();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool CBusyIndicator::Shown() const
{
    return m_window && m_window->Opened();
}

int CBusyIndicator::Frame() const
{
    if (m_shownAtMs < 0)
        return 0;
    return static_cast<int>(((m_clock() - m_shownAtMs) / kFrameMs) % kFrameCount);
}

QString CBusyIndicator::ProgressText() const
{
    return m_window ? m_window->ProgressText() : QString();
}

QWidget *CBusyIndicator::Window() const
{
    return m_window.data();
}

void CBusyIndicator::SetProgressFormat(const QString &format)
{
    s_progressFormat = format.contains(QLatin1String("%1")) && format.contains(QLatin1String("%2"))
                           ? format
                           : QStringLiteral("%1 of %2");
}

void CBusyIndicator::ApplyTexts(const CLanguageTexts &texts)
{
    SetProgressFormat(CWindowTexts::Text(texts, kProgressKey, CLanguageTexts::kCommonSection));
}

void CBusyIndicator::ShowWindow()
{
    if (!m_window)
        m_window = new CBusyWindow([this] { return Frame(); }, kFrameCount, kFrameMs);
    m_window->SetProgressText(QString());
    QWidget *anchor = m_anchor ? m_anchor.data() : QApplication::activeWindow();
    QRect area;
    if (anchor && anchor->isVisible())
        area = anchor->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        m_window->move(area.center() - QPoint(m_window->width() / 2, m_window->height() / 2));
    m_shownAtMs = m_clock();
    m_window->Open();
    Repaint();
}

void CBusyIndicator::HideWindow()
{
    if (m_window)
        m_window->Close();
    m_shownAtMs = -1;
}

} // namespace kvl
