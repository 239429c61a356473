#pragma once
// Readable rectangles and sizes in GoogleTest failure messages.

#include <QRect>
#include <QSize>

#include <ostream>

inline void PrintTo(const QRect &rect, std::ostream *out)
{
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << " x "
         << rect.height() << ')';
}

inline void PrintTo(const QSize &size, std::ostream *out)
{
    *out << "QSize(" << size.width() << " x " << size.height() << ')';
}
