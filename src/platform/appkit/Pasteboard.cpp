#include "Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace Pasteboard {

QMimeData* richTextData(const QByteArray& rtfd, const QByteArray& rtf, const QString& plainText)
{
    auto* data = new QMimeData;
    data->setData(RtfdType, rtfd);
    data->setData(RtfType, rtf);
    data->setText(plainText);
    return data;
}

bool hasText()
{
    static QPointer<QClipboard> watched;
    static bool known = false;
    static bool text = false;
    if (!qGuiApp)
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (watched != clipboard) {
        watched = clipboard;
        known = false;
        QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [] { known = false; });
    }
    if (!known) {
        const QMimeData* data = clipboard->mimeData();
        text = data && data->hasText();
        known = true;
    }
    return text;
}

} // namespace Pasteboard
