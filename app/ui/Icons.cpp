#include "app/ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(0x2b, 0x3a, 0x4a);
const QColor kBlue(0x1d, 0x6f, 0xc9);
const QColor kGreen(0x2e, 0x9d, 0x4f);
const QColor kRed(0xd0, 0x3b, 0x2f);

template <typename Draw>
QIcon drawn(int size, Draw draw)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return QIcon(pm);
}

void moduleBody(QPainter &p)
{
    // a DIN-rail I/O module: housing, terminal rows, status LEDs
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xe8, 0xec, 0xf1));
    p.drawRoundedRect(QRectF(6, 2, 20, 28), 2.5, 2.5);
    p.setBrush(QColor(0x9a, 0xa5, 0xb1));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(8 + i * 4, 4, 3, 3));
        p.drawRect(QRectF(8 + i * 4, 25, 3, 3));
    }
    p.setBrush(kBlue);
    p.drawRect(QRectF(9, 10, 14, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(11, 21), 1.3, 1.3);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(15, 21), 1.3, 1.3);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(19, 21), 1.3, 1.3);
}

}  // namespace

namespace Icons {

QIcon program()
{
    return drawn(64, moduleBody);
}

QIcon module()
{
    return drawn(96, moduleBody);
}

QIcon question()
{
    return toolbar("HelpContent");
}

QIcon toolbar(const QString &key)
{
    return drawn(48, [key](QPainter &p) {
        p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (key == "Open") {
            p.setBrush(QColor(0xf2, 0xc1, 0x4e));
            p.drawPolygon(QPolygonF({QPointF(3, 9), QPointF(12, 9), QPointF(15, 12), QPointF(29, 12),
                                     QPointF(29, 26), QPointF(3, 26)}));
            p.setBrush(QColor(0xf7, 0xd7, 0x7f));
            p.drawPolygon(QPolygonF({QPointF(6, 16), QPointF(31, 16), QPointF(28, 26), QPointF(3, 26)}));
        } else if (key == "Save" || key == "SaveAs") {
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 4, 14, 9));
            p.setBrush(QColor(0xdd, 0xe6, 0xf0));
            p.drawRect(QRectF(8, 17, 16, 11));
            if (key == "SaveAs") {
                p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(20, 30), QPointF(30, 20));
            }
        } else if (key == "MonitorStart") {
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
        } else if (key == "MonitorStop") {
            p.setBrush(kRed);
            p.drawRoundedRect(QRectF(7, 7, 18, 18), 2, 2);
        } else if (key == "ConfigUpload" || key == "ConfigDownload") {
            // module on the left, arrow to or from the computer
            p.setBrush(QColor(0xe8, 0xec, 0xf1));
            p.drawRoundedRect(QRectF(2, 6, 11, 20), 1.5, 1.5);
            p.setBrush(kBlue);
            p.drawRect(QRectF(4, 10, 7, 5));
            p.setPen(QPen(key == "ConfigUpload" ? kGreen : kRed, 3, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            if (key == "ConfigUpload") {
                p.drawLine(QPointF(16, 16), QPointF(29, 16));
                p.drawPolyline(QPolygonF({QPointF(24, 11), QPointF(29, 16), QPointF(24, 21)}));
            } else {
                p.drawLine(QPointF(29, 16), QPointF(16, 16));
                p.drawPolyline(QPolygonF({QPointF(21, 11), QPointF(16, 16), QPointF(21, 21)}));
            }
        } else if (key == "ConfigCompare") {
            // the module beside a sheet, an equals sign between them
            p.setBrush(QColor(0xe8, 0xec, 0xf1));
            p.drawRoundedRect(QRectF(2, 6, 11, 20), 1.5, 1.5);
            p.setBrush(kBlue);
            p.drawRect(QRectF(4, 10, 7, 5));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(20, 6, 10, 20));
            p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(14.5, 13.5), QPointF(18.5, 13.5));
            p.drawLine(QPointF(14.5, 18.5), QPointF(18.5, 18.5));
            p.setPen(QPen(kBlue, 1.6));
            for (int y : {11, 15, 19, 23})
                p.drawLine(QPointF(22.5, y), QPointF(27.5, y));
        } else if (key == "HelpContent") {
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QRectF(4, 4, 24, 24));
            p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
            QPainterPath q;
            q.moveTo(12.5, 12.5);
            q.cubicTo(12.5, 8, 19.5, 8, 19.5, 12.5);
            q.cubicTo(19.5, 15.5, 16, 15.5, 16, 19);
            p.setBrush(Qt::NoBrush);
            p.drawPath(q);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 23.5), 1.8, 1.8);
        }
    });
}

}  // namespace Icons
