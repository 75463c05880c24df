#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

// A picture archived as the platform's image: its size in points and its
// representations, of which the bitmap one holds TIFF data, read and written through
// Qt's image plugins. The archive's own bytes are written back; an image of our own is
// archived with one TIFF bitmap representation. An archive that does not decode keeps
// its bytes, with a null image and the reason.
class ArchivedImage {
public:
    ArchivedImage() = default;
    // An image of our own at a size in points; an empty size is the pixel size.
    explicit ArchivedImage(const QImage& image, QSizeF size = QSizeF());

    // Logs one line when the data does not decode.
    static ArchivedImage fromData(const QByteArray& data);

    bool isDecoded() const { return m_error.isEmpty(); }
    // Why the data did not decode; empty when it did.
    const QString& error() const { return m_error; }
    const QImage& image() const { return m_image; }
    QSizeF size() const { return m_size; }

    // The bytes read, or the image archived anew; empty for no image, or when TIFF
    // cannot be written here.
    QByteArray toData() const;

    static QByteArray encode(const QImage& image, QSizeF size);

private:
    QImage m_image;
    QSizeF m_size;
    // The bytes read, none for an image of our own.
    std::optional<QByteArray> m_originalData;
    QString m_error;
};
