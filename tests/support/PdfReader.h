#pragma once

// What a PDF file says, as poppler's tools read it back: its page count and its text.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

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

} // namespace PdfReader
