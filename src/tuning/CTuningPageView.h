#pragma once
// CTuningPageView: a text browser that shows one of the shipped auto-tuning pages of the current
// language, or a plain sentence naming the file when the page is missing. User-interface thread only.
#include <QTextBrowser>

#include <string_view>

namespace kvl {
class CAppSettings;
}

namespace kvl::tuning {

class CTuningPageView : public QTextBrowser {
    Q_OBJECT
public:
    CTuningPageView(const CAppSettings &settings, std::string_view page, QWidget *parent);

    // Whether the page file was found and shown.
    bool PageShown() const { return m_shown; }
    // The file the view shows or looked for.
    const QString &PageFile() const { return m_file; }

private:
    QString m_file;
    bool m_shown = false;
};

} // namespace kvl::tuning
