#include "Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace Pasteboard {

namespace {

struct Watch {
    QPointer<QClipboard> clipboard;
    quint64 changes = 0;
    bool textKnown = false;
    bool text = false;
};

// The clipboard, watched from the first question on.
Watch& watched()
{
    static Watch watch;
    QClipboard* clipboard = qGuiApp ? QGuiApplication::clipboard() : nullptr;
    if (watch.clipboard != clipboard) {
        watch.clipboard = clipboard;
        watch.textKnown = false;
        if (clipboard)
            QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [] {
                ++watch.changes;
                watch.textKnown = false;
            });
    }
    return watch;
}

} // namespace

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
    Watch& watch = watched();
    if (!watch.clipboard)
        return false;
    if (!watch.textKnown) {
        const QMimeData* contents = watch.clipboard->mimeData();
        watch.text = contents && contents->hasText();
        watch.textKnown = true;
    }
    return watch.text;
}

quint64 changeCount()
{
    return watched().changes;
}

void setData(QMimeData* data)
{
    Watch& watch = watched();
    if (!watch.clipboard) {
        delete data;
        return;
    }
    const quint64 before = watch.changes;
    watch.clipboard->setMimeData(data);
    // A platform that tells of the change later, or not at all for our own, still counts it.
    if (watch.changes == before) {
        ++watch.changes;
        watch.textKnown = false;
    }
}

const QMimeData* data()
{
    Watch& watch = watched();
    return watch.clipboard ? watch.clipboard->mimeData() : nullptr;
}

} // namespace Pasteboard
