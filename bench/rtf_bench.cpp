// Reading and writing the RTF of a 20-page styled text: about 400 words a page in
// paragraphs of mixed fonts, sizes, colours, links and list items.
#include "BenchMain.h"
#include "RichText.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <benchmark/benchmark.h>

namespace {

constexpr int Pages = 20;
constexpr int ParagraphsPerPage = 8;
constexpr int WordsPerParagraph = 50;

std::unique_ptr<QTextDocument> styledText()
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    QTextCharFormat body;
    body.setFontFamilies(QStringList{QStringLiteral("Helvetica")});
    body.setFontPointSize(12);
    QTextCharFormat bold = body;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red = body;
    red.setForeground(QColor(200, 20, 20));
    red.setFontItalic(true);
    QTextCharFormat link = body;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.com/page"));
    const QTextCharFormat formats[] = {body, bold, body, red, body, link};
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);

    for (int paragraph = 0; paragraph < Pages * ParagraphsPerPage; ++paragraph) {
        if (paragraph > 0) {
            QTextBlockFormat block;
            if (paragraph % 5 == 0)
                block.setAlignment(Qt::AlignJustify);
            block.setBottomMargin(6);
            cursor.insertBlock(block);
            if (paragraph % 8 == 7)
                cursor.createList(bullets);
        }
        for (int word = 0; word < WordsPerParagraph; ++word) {
            cursor.insertText(QStringLiteral("word%1 ").arg(word), formats[(paragraph + word) % 6]);
        }
        cursor.insertText(QString::fromUtf8("caf\u00e9 \u2014 \u20ac"), body);
    }
    return document;
}

const QTextDocument& document()
{
    static const std::unique_ptr<QTextDocument> text = styledText();
    return *text;
}

void BM_WriteRtf(benchmark::State& state)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray rtf = RichText::toRtf(document());
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.counters["rtf_bytes"] = double(bytes);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

void BM_ReadRtf(benchmark::State& state)
{
    const QByteArray rtf = RichText::toRtf(document());
    for (auto _ : state) {
        const RichTextResult result = RichText::fromRtf(rtf);
        if (!result.ok())
            state.SkipWithError("the RTF did not read");
        benchmark::DoNotOptimize(result.document.get());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
