#include "common/CWindowTexts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "config/CLanguageTexts.h"

namespace kvl {

int CWindowTexts::Apply(const CLanguageTexts &texts, const std::vector<Caption> &captions,
                        const Decorate &decorateTitle)
{
    int fromFile = 0;
    for (const Caption &caption : captions) {
        const std::string text = texts.Text(caption.key, caption.section);
        if (!text.empty())
            ++fromFile;
        QString shown = text.empty() ? QString::fromUtf8(caption.builtIn) : QString::fromStdString(text);
        if (caption.widget->isWindow() && decorateTitle)
            shown = decorateTitle(shown);
        SetCaption(caption.widget, shown);
    }
    return fromFile;
}

void CWindowTexts::ApplyTooltips(const CLanguageTexts &texts, const std::vector<Tooltip> &tooltips)
{
    for (const Tooltip &tooltip : tooltips)
        tooltip.widget->setToolTip(QString::fromStdString(texts.Tooltip(tooltip.number)));
}

QString CWindowTexts::Text(const CLanguageTexts &texts, std::string_view key, std::string_view section,
                           const QString &builtIn)
{
    const std::string text = texts.Text(key, section);
    return text.empty() ? builtIn : QString::fromStdString(text);
}

void CWindowTexts::SetCaption(QWidget *widget, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else if (auto *box = qobject_cast<QGroupBox *>(widget))
        box->setTitle(text);
    else
        widget->setWindowTitle(text);
}

} // namespace kvl
