#include "ui/qt/pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

namespace plendrik::ui::qt {

QPixmap picture(std::string_view name, QSize size) {
    const QString path =
        QStringLiteral(":/art/%1.svg").arg(QString::fromUtf8(name.data(), qsizetype(name.size())));
    // A picture not drawn yet is no error: the caller falls back to a plain look.
    if (size.isEmpty() || !QFile::exists(path))
        return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    // Rendered at the screen's scale so that pictures stay crisp on dense screens.
    const qreal scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon pictureIcon(std::string_view name, QSize size) {
    const QPixmap pixmap = picture(name, size);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QCursor listCursor() {
    const QPixmap pixmap = picture("pointer", QSize(32, 32));
    return pixmap.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(pixmap, 0, 0);
}

} // namespace plendrik::ui::qt
