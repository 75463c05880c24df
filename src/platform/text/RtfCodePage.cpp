#include "RtfCodePage.h"

#include <QStringDecoder>

namespace {

QByteArray converterName(int codePage)
{
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    switch (codePage) {
    case 10000:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        return "cp" + QByteArray::number(codePage);
    }
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

RtfCodePage::RtfCodePage() = default;
RtfCodePage::~RtfCodePage() = default;

QString RtfCodePage::decode(QByteArrayView bytes, int codePage)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    // Each run is decoded whole and on its own: a double-byte character split across
    // runs is not joined, and the decoder carries no state into the next run.
    QStringDecoder& decoder = decoderFor(codePage);
    QString text = decoder.decode(bytes);
    decoder.resetState();
    return text;
}

QStringDecoder& RtfCodePage::decoderFor(int codePage)
{
    auto found = m_decoders.find(codePage);
    if (found != m_decoders.end())
        return *found->second;
    auto decoder = std::make_unique<QStringDecoder>(converterName(codePage).constData());
    if (!decoder->isValid())
        decoder = std::make_unique<QStringDecoder>("windows-1252");
    return *m_decoders.emplace(codePage, std::move(decoder)).first->second;
}

int RtfCodePage::codePageForCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}
