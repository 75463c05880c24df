#pragma once

#include <QByteArrayView>
#include <QString>

#include <map>
#include <memory>

class QStringDecoder;

// Decodes the 8-bit text of RTF in its code page (\ansicpg, \mac, \pc, a font's
// \fcharset), through ICU for the legacy and double-byte pages. Decoders are made once
// per code page; an unknown page reads as Windows-1252.
class RtfCodePage {
public:
    static constexpr int Windows1252 = 1252;

    RtfCodePage();
    ~RtfCodePage();

    QString decode(QByteArrayView bytes, int codePage);

    // The code page a font's character set implies, or 0 when it implies none.
    static int codePageForCharset(int charset);

private:
    QStringDecoder& decoderFor(int codePage);

    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};
