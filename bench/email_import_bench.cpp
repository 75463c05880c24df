// E-mail import of a large mailbox file and of a large mail folder into a new datafile,
// headless, beside Python's mailbox module reading the same mailbox.
//   email_import_bench [benchmark options]   one message parsed, of each kind
//   email_import_bench --measure             generates both, times each import once

#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DocumentOnlyWindow.h"
#include "EmailMessage.h"
#include "FeatureContext.h"
#include "ImportEmailSheetController.h"
#include "ImportRecordSink.h"
#include "Mailbox.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

constexpr int MessageCount = 20'000;
constexpr int Mozilla = 6;
constexpr int AppleMail = 2;

double secondsSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

QByteArray words(QRandomGenerator& random, int bytes)
{
    static const char* const pool[] = {"caf=C3=A9", "meeting", "tomorrow", "report",
                                       "the",       "numbers", "quarter",  "=E2=80=9Cok=E2=80=9D",
                                       "and",       "please"};
    QByteArray text;
    int column = 0;
    while (text.size() < bytes) {
        const char* word = pool[random.bounded(10)];
        text.append(word).append(' ');
        column += int(qstrlen(word)) + 1;
        if (column > 66) {
            text.append("=\n");
            column = 0;
        }
    }
    return text;
}

// About 5 KB a message; every other one multipart text and HTML, quoted-printable.
QByteArray generateMessage(QRandomGenerator& random, int index)
{
    QByteArray headers = "Subject: Message " + QByteArray::number(index) + "\nDate: Tue, " +
                         QByteArray::number(1 + index % 28) +
                         " Mar 2026 10:00:00 +0100\nFrom: Ann <ann@example.com>\n"
                         "To: bo@example.com\nMessage-ID: <" +
                         QByteArray::number(index) + "@example.com>\nMIME-Version: 1.0\n";
    if (index % 2 == 0) {
        return headers +
               "Content-Type: text/plain; charset=\"UTF-8\"\n"
               "Content-Transfer-Encoding: quoted-printable\n\n" +
               words(random, 4600) + "\n";
    }
    return headers + "Content-Type: multipart/alternative; boundary=\"b" +
           QByteArray::number(index) + "\"\n\n--b" + QByteArray::number(index) +
           "\nContent-Type: text/plain; charset=\"UTF-8\"\n"
           "Content-Transfer-Encoding: quoted-printable\n\n" +
           words(random, 2000) + "\n--b" + QByteArray::number(index) +
           "\nContent-Type: text/html; charset=\"UTF-8\"\n"
           "Content-Transfer-Encoding: quoted-printable\n\n<html><body><p>" +
           words(random, 2200) + "</p></body></html>\n--b" + QByteArray::number(index) + "--\n";
}

QByteArray generateMailbox(int count)
{
    QRandomGenerator random(61);
    QByteArray mailbox;
    mailbox.reserve(qsizetype(count) * 5200);
    for (int index = 0; index < count; ++index)
        mailbox += "From - Tue Mar  3 10:00:00 2026\n" + generateMessage(random, index) + "\n";
    return mailbox;
}

struct NewDatafile {
    NewDatafile()
    {
        QStringList names;
        for (const QString& name : EmailMessage::fieldNames())
            names.append(name);
        document.datafileSettings()->setFields(DatafileDocument::arrayForFieldNames(names));
    }
    DatafileDocument document;
    DocumentOnlyWindow window{document};
    FeatureContext context{window};
};

void BM_ParseMessage(benchmark::State& state)
{
    QRandomGenerator random(61);
    const QByteArray message = "x\n" + generateMessage(random, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(EmailMessage::createRecordFromMessage(message, message.size(),
                                                                       Mozilla, QString(), true));
    state.SetBytesProcessed(state.iterations() * message.size());
}
// Plain, then multipart.
BENCHMARK(BM_ParseMessage)->Arg(0)->Arg(1);

double importMailbox(const QByteArray& mailbox, bool textOnly, qint64& added)
{
    NewDatafile datafile;
    QElapsedTimer timer;
    timer.start();
    added = ImportEmailSheetController::convertEmailFile(mailbox, Mozilla, textOnly, false,
                                                         datafile.context, {});
    return secondsSince(timer);
}

// What the folder import does, on one thread: the list, then each file read, parsed and
// made a record, the records added in batches.
double importFolder(const QString& folder, bool textOnly, qint64& added)
{
    NewDatafile datafile;
    QElapsedTimer timer;
    timer.start();
    added = 0;
    QList<ImportRecordSink::Record> pending;
    QElapsedTimer sinceAdded;
    sinceAdded.start();
    for (const QString& path : MailFolder::buildLionEmailFileArray(folder)) {
        std::optional<QByteArray> bytes = MailFolder::readMessageFile(path);
        if (!bytes)
            continue;
        const qsizetype end = MailFolder::emlxMessageEnd(*bytes);
        const EmailMessage::Content content = EmailMessage::createRecordFromMessage(
            std::move(*bytes), end, AppleMail, QFileInfo(path).fileName(), textOnly);
        pending.append(ImportEmailSheetController::recordFor(content, textOnly));
        // As the import's main thread adds them: what arrived in a tenth of a second.
        if (sinceAdded.elapsed() >= 100) {
            ImportRecordSink::insert(datafile.context, pending);
            pending.clear();
            sinceAdded.start();
        }
        ++added;
    }
    ImportRecordSink::insert(datafile.context, pending);
    return secondsSince(timer);
}

int measure()
{
    QTemporaryDir dir;
    const QByteArray mailbox = generateMailbox(MessageCount);
    const QString mailboxPath = dir.filePath("generated.mbox");
    {
        QFile file(mailboxPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(mailbox) < 0)
            return 1;
    }
    const double mailboxMB = double(mailbox.size()) / 1e6;
    qint64 added = 0;
    const double textOnly = importMailbox(mailbox, true, added);
    std::printf("mailbox %.1f MB, %lld messages: plain text %.3f s (%.1f MB/s)\n", mailboxMB,
                qlonglong(added), textOnly, mailboxMB / textOnly);
    const double rich = importMailbox(mailbox, false, added);
    std::printf("  rich text from HTML %.3f s\n", rich);
    std::fflush(stdout);
    if (const std::optional<double> python =
            pythonSeconds(QStringLiteral(NORVA_BENCH_DIR "/email_compare.py"), mailboxPath))
        std::printf("python mailbox %.3f s; python / ours (plain text) = %.2f, python / ours "
                    "(rich) = %.2f\n",
                    *python, *python / textOnly, *python / rich);
    else
        std::printf("python mailbox: could not run\n");

    const QString folder = dir.filePath("Mail");
    QRandomGenerator random(62);
    for (int index = 0; index < MessageCount; ++index) {
        const QString sub = QStringLiteral("%1/Box%2.mbox/Messages").arg(folder).arg(index % 20);
        if (index < 20)
            QDir().mkpath(sub);
        const QByteArray message = generateMessage(random, index);
        QFile file(QStringLiteral("%1/%2.emlx").arg(sub).arg(index));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(QByteArray::number(message.size()) + "\n" + message + "<plist/>\n");
    }
    const double folderText = importFolder(folder, true, added);
    std::printf("folder of %lld emlx files: plain text %.3f s\n", qlonglong(added), folderText);
    const double folderRich = importFolder(folder, false, added);
    std::printf("  rich text from HTML %.3f s\n", folderRich);
    std::printf("peak RSS %.1f MB\n", peakRssMB());
    return 0;
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "--measure")
        return measure();
    return runRegisteredBenchmarks(argc, argv);
}
