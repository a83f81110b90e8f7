#pragma once
// CSvgPicture: the tool's SVG pictures (compiled in as Qt resources under ":/kvl/pictures/"),
// rendered at any size. Names are the file names without ".svg": "next", "help", "language",
// "actuator", "axis", "axis_off", "gateway", "port", "lamp_on", "lamp_off", "lamp_busy",
// "lamp_error", "remote", "local". User-interface thread only.
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace kvl {

class CSvgPicture {
public:
    // Resource path of a picture name.
    static QString Path(const QString &name);
    // True when the picture exists and parses.
    static bool Exists(const QString &name);
    // The picture drawn into a transparent pixmap of `size` (device pixels; aspect kept).
    static QPixmap Render(const QString &name, QSize size);
    // An icon that renders the picture sharply at every size it is asked for; a disabled
    // state is drawn faded.
    static QIcon Icon(const QString &name);
};

} // namespace kvl
