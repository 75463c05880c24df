#pragma once

// What a PDF file says, as poppler's tools read it back: its page count, its text, where
// its words lie and how a page looks.
#include <QDir>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace PdfReader {

inline QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// -1 when the file is no PDF poppler can read.
inline int pageCount(const QString& path)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of one page (from 1), or of every page, laid out as on the paper; ligatures
// ("ﬁ") in letters of their own.
inline QString text(const QString& path, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << path << QStringLiteral("-"))
        .normalized(QString::NormalizationForm_KC);
}

// A word of a page and its box, in points from the paper's top left corner.
struct Word {
    QString text;
    QRectF box;
};

// The words of one page (from 1), in reading order; ligatures in letters of their own.
inline QList<Word> words(const QString& path, int page)
{
    const QString html =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" "
                       "yMax=\"([-\\d.]+)\">([^<]*)</word>"));
    QList<Word> found;
    for (const QRegularExpressionMatch& match : word.globalMatch(html)) {
        QString text = match.captured(5);
        text.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        const QPointF topLeft(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF bottomRight(match.captured(3).toDouble(), match.captured(4).toDouble());
        found.append(
            {text.normalized(QString::NormalizationForm_KC), QRectF(topLeft, bottomRight)});
    }
    return found;
}

// The first word of a page with that text; an empty box when there is none.
inline QRectF wordBox(const QList<Word>& words, const QString& text)
{
    for (const Word& word : words)
        if (word.text == text)
            return word.box;
    return QRectF();
}

// One page (from 1) drawn at a resolution; a null image when poppler cannot draw it.
inline QImage pageImage(const QString& path, int page, int dotsPerInch)
{
    QTemporaryDir dir;
    const QString prefix = QDir(dir.path()).filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dotsPerInch),
         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
         QStringLiteral("-singlefile"), path, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

} // namespace PdfReader
