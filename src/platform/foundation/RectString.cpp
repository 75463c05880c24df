#include "RectString.h"

#include "PlistValue.h"
#include "StringFormat.h"

#include <array>

namespace {

class RectScanner {
public:
    explicit RectScanner(QStringView text) : m_text(text) {}

    bool expect(QChar c)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool number(double* value)
    {
        skipSpace();
        const qsizetype start = m_at;
        qsizetype at = m_at;
        if (at < m_text.size() && (m_text[at] == u'-' || m_text[at] == u'+'))
            ++at;
        bool digits = false;
        while (at < m_text.size() && (m_text[at].isDigit() || m_text[at] == u'.' ||
                                      m_text[at] == u'e' || m_text[at] == u'E' ||
                                      ((m_text[at] == u'-' || m_text[at] == u'+') &&
                                       (m_text[at - 1] == u'e' || m_text[at - 1] == u'E')))) {
            digits = digits || m_text[at].isDigit();
            ++at;
        }
        if (!digits)
            return false;
        *value = PlistValue::leadingDouble(m_text.sliced(start, at - start));
        m_at = at;
        return true;
    }

private:
    void skipSpace()
    {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }

    QStringView m_text;
    qsizetype m_at = 0;
};

} // namespace

QString stringFromRect(const QRectF& rect)
{
    return stringWithFormat(QStringLiteral("{{%.17g, %.17g}, {%.17g, %.17g}}"), rect.x(), rect.y(),
                            rect.width(), rect.height());
}

QRectF rectFromString(QStringView text)
{
    std::array<double, 4> values{};
    RectScanner scanner(text);
    const auto pair = [&](double* first, double* second) {
        return scanner.expect(u'{') && scanner.number(first) && scanner.expect(u',') &&
               scanner.number(second) && scanner.expect(u'}');
    };
    if (scanner.expect(u'{') && pair(&values[0], &values[1]) && scanner.expect(u','))
        pair(&values[2], &values[3]);
    return QRectF(values[0], values[1], values[2], values[3]);
}
