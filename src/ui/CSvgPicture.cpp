#include "ui/CSvgPicture.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures live in a static library: their resource table must be registered by hand.
static void InitPictureResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace kvl {

namespace {
constexpr qreal kDisabledOpacity = 0.35;
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 96};
} // namespace

QString CSvgPicture::Path(const QString &name)
{
    static const bool registered = (InitPictureResources(), true);
    (void)registered;
    return QStringLiteral(":/kvl/pictures/%1.svg").arg(name);
}

bool CSvgPicture::Exists(const QString &name)
{
    QSvgRenderer renderer(Path(name));
    return renderer.isValid();
}

QPixmap CSvgPicture::Render(const QString &name, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(Path(name));
    if (!renderer.isValid() || size.isEmpty())
        return pixmap;
    QSize drawn = renderer.defaultSize().scaled(size, Qt::KeepAspectRatio);
    const QRectF target((size.width() - drawn.width()) / 2.0, (size.height() - drawn.height()) / 2.0,
                        drawn.width(), drawn.height());
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, target);
    return pixmap;
}

QIcon CSvgPicture::Icon(const QString &name)
{
    QIcon icon;
    for (int side : kIconSizes) {
        const QPixmap normal = Render(name, QSize(side, side));
        icon.addPixmap(normal, QIcon::Normal);
        QPixmap faded(normal.size());
        faded.fill(Qt::transparent);
        QPainter painter(&faded);
        painter.setOpacity(kDisabledOpacity);
        painter.drawPixmap(0, 0, normal);
        painter.end();
        icon.addPixmap(faded, QIcon::Disabled);
    }
    return icon;
}

} // namespace kvl
