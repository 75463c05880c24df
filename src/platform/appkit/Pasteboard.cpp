#include "Pasteboard.h"

#include <QMimeData>

namespace Pasteboard {

QMimeData* richTextData(const QByteArray& rtfd, const QByteArray& rtf, const QString& plainText)
{
    auto* data = new QMimeData;
    data->setData(RtfdType, rtfd);
    data->setData(RtfType, rtf);
    data->setText(plainText);
    return data;
}

} // namespace Pasteboard
