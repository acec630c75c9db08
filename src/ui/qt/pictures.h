// The program's pictures: SVG files compiled into the resources as ":/art/<name>.svg".
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <string_view>

namespace plendrik::ui::qt {

// The picture rendered at the size; a null pixmap when the picture is missing.
QPixmap picture(std::string_view name, QSize size);
QIcon pictureIcon(std::string_view name, QSize size);
// The lists' own mouse pointer; the arrow when its picture is missing.
QCursor listCursor();

} // namespace plendrik::ui::qt
