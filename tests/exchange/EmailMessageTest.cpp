// Mail bodies decoded on bytes, messages read into the e-mail fields and a text, mailbox
// files cut into messages and message files measured.
#include "EmailMessage.h"
#include "Mailbox.h"
#include "MimeBodyDecoders.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

using Content = EmailMessage::Content;

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/email/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray withCarriageReturns(QByteArray bytes)
{
    return bytes.replace('\n', '\r');
}

Content parse(const QByteArray& message, int client, bool textOnly = false,
              const QString& fileName = QString())
{
    return EmailMessage::createRecordFromMessage(message, message.size(), client, fileName,
                                                 textOnly);
}

// The QP decoders read in a character set, as the parser does.
QString quotedPrintable(QByteArray bytes, const char* charset)
{
    MimeBodyDecoders::convertQuotedPrintable(bytes, false);
    return MimeBodyDecoders::decodeCharset(bytes, charset).value_or(QStringLiteral("<failed>"));
}

} // namespace

TEST(MimeBodyDecodersTest, Base64_DecodesTheLeadingAlphabetRunOnly)
{
    EXPECT_EQ(MimeBodyDecoders::convertBase64("QQ=="), QByteArray("A"));
    EXPECT_EQ(MimeBodyDecoders::convertBase64("SGVsbG8="), QByteArray("Hello"));
    // A line end stops the run.
    EXPECT_EQ(MimeBodyDecoders::convertBase64("SGVs\nbG8="), QByteArray("Hel"));
    EXPECT_EQ(MimeBodyDecoders::convertBase64("Q"), QByteArray());
    EXPECT_EQ(MimeBodyDecoders::convertBase64(""), QByteArray());
    char buffer[8];
    EXPECT_EQ(MimeBodyDecoders::Base64decode(buffer, "SGVsbA", 6), 4u);
    EXPECT_EQ(QByteArray(buffer), QByteArray("Hell"));
}

TEST(MimeBodyDecodersTest, QuotedPrintable_EveryEscapeIsItsByteInTheCharset)
{
    const struct {
        const char* encoded;
        const char* charset;
        QString decoded;
    } cases[] = {
        {"=3D41", "UTF-8", QStringLiteral("=41")},
        {"a=0D=0Ab=0Dc=0Ad", "UTF-8", QStringLiteral("a\nb\nc\nd")},
        {"caf=C3=A9", "UTF-8", QStringLiteral("café")},
        {"=93hi=94", "windows-1252", QStringLiteral("\u201Chi\u201D")},
        {"=23 =24", nullptr, QStringLiteral("# $")},
        {"=E9", nullptr, QStringLiteral("È")},
        {"=e9", "ISO-8859-1", QStringLiteral("é")},
        {"=84", "windows-1252", QStringLiteral("\u201E")},
        // Not an escape: left as written.
        {"=G1 =", "UTF-8", QStringLiteral("=G1 =")},
    };
    for (const auto& test : cases)
        EXPECT_EQ(quotedPrintable(test.encoded, test.charset), test.decoded) << test.encoded;
    QByteArray simple("=E9");
    MimeBodyDecoders::convertQuotedPrintableSimple(simple);
    EXPECT_EQ(simple, QByteArray("\xE9"));
}

TEST(MimeBodyDecodersTest, SoftReturns_RemovedAndCounted)
{
    QByteArray text("a=\r\nb=\nc=\rd=");
    EXPECT_EQ(MimeBodyDecoders::removeSoftReturns(text, 6), 4);
    EXPECT_EQ(text, QByteArray("abcd="));
}

TEST(MimeBodyDecodersTest, Charset_BytesOutsideItFail_UnlessLossy)
{
    EXPECT_FALSE(MimeBodyDecoders::decodeCharset("\xC3(", "UTF-8"));
    EXPECT_EQ(MimeBodyDecoders::decodeCharset("\xC3(", "UTF-8", true), QStringLiteral("\uFFFD("));
    EXPECT_EQ(MimeBodyDecoders::decodeCharset(QByteArray("ab\0cd", 5), "UTF-8"),
              QStringLiteral("ab"));
}

TEST(EmailMessageTest, Multipart_HeadersAndRichTextByDefault_PlainPartWithTextOnly)
{
    for (const bool carriageReturns : {false, true}) {
        const QByteArray lf = fixture("multipart.eml");
        const QByteArray message = carriageReturns ? withCarriageReturns(lf) : lf;
        const int client = carriageReturns ? 4 : 6;
        SCOPED_TRACE(client);
        const Content rich = parse(message, client, false, QStringLiteral("a.emlx"));
        // A folded header keeps its first line, leading blank included.
        EXPECT_EQ(rich.fields[EmailMessage::SubjectField], QStringLiteral(" Lunch on"));
        EXPECT_EQ(rich.fields[EmailMessage::DateField],
                  QStringLiteral(" Tue, 3 Mar 2026 10:00:00 +0100"));
        EXPECT_EQ(rich.fields[EmailMessage::FromField], QStringLiteral(" Ann <ann@example.com>"));
        // Reply-To as mail writes it; the first one counts.
        EXPECT_EQ(rich.fields[EmailMessage::ReplyToField],
                  QStringLiteral(" Ann Home <ann@home.example>"));
        EXPECT_EQ(rich.fields[EmailMessage::ToField], QStringLiteral(" bo@example.com"));
        EXPECT_EQ(rich.fields[EmailMessage::CcField], QStringLiteral(" cy@example.com"));
        EXPECT_EQ(rich.fields[EmailMessage::FileNameField], QStringLiteral("a.emlx"));
        EXPECT_EQ(rich.fields[EmailMessage::ReferencesField], QStringLiteral(" <a1@example.com>"));
        ASSERT_TRUE(rich.html);
        const EmailMessage::RecordText richText = EmailMessage::recordText(rich, false);
        EXPECT_EQ(richText.text, QStringLiteral("Café at noon"));
        EXPECT_FALSE(richText.rtfd.isEmpty());

        const Content plain = parse(message, client, true);
        EXPECT_FALSE(plain.html);
        EXPECT_EQ(plain.text, QStringLiteral("Café at noon, a line that is broken softly."));
        const EmailMessage::RecordText plainText = EmailMessage::recordText(plain, true);
        EXPECT_EQ(plainText.text, plain.text);
        EXPECT_TRUE(plainText.rtfd.isEmpty());
    }
}

TEST(EmailMessageTest, LineEndSet_ByClient_AnyOtherNumberIsLF)
{
    const QByteArray lf = fixture("multipart.eml");
    for (const int client : {-1, 0, 2, 5, 6, 10, 12})
        EXPECT_EQ(parse(lf, client).fields[EmailMessage::ToField],
                  QStringLiteral(" bo@example.com"))
            << client;
    for (const int client : {3, 4, 7, 8, 9}) {
        EXPECT_EQ(parse(withCarriageReturns(lf), client).fields[EmailMessage::ToField],
                  QStringLiteral(" bo@example.com"))
            << client;
        EXPECT_FALSE(parse(lf, client).fields[EmailMessage::ToField]) << client;
    }
}

TEST(EmailMessageTest, NoBlankLine_EmptyMessageWithItsHeaders)
{
    const Content content = parse(fixture("no-blank-line.eml"), 6);
    EXPECT_EQ(content.text, QStringLiteral("<EMPTY MESSAGE>"));
    EXPECT_EQ(content.fields[EmailMessage::SubjectField], QStringLiteral(" Headers only"));
    EXPECT_EQ(content.fields[EmailMessage::FromField], QStringLiteral(" Dee <dee@example.com>"));
    EXPECT_FALSE(content.fields[EmailMessage::DateField]);
}

TEST(EmailMessageTest, Base64HtmlPart_DecodedAfterItsHeaders)
{
    const Content content = parse(fixture("base64-html.eml"), 6);
    ASSERT_TRUE(content.html);
    EXPECT_EQ(EmailMessage::recordText(content, false).text, QStringLiteral("Grüße aus Köln"));
    EXPECT_EQ(EmailMessage::recordText(content, true).text, QStringLiteral("Grüße aus Köln"));
}

TEST(EmailMessageTest, Gb2312TextPart_ReadAsGbkWhenGb2312CannotHoldIt)
{
    const Content content = parse(fixture("gbk-body.eml"), 6);
    EXPECT_EQ(content.text, QStringLiteral("\u5803\u4e2d\u6587"));
    // The boundary is the whole quoted value, one character or many.
    QByteArray shortBoundary = fixture("gbk-body.eml");
    shortBoundary.replace("=_g", "g");
    EXPECT_EQ(parse(shortBoundary, 6).text, QStringLiteral("\u5803\u4e2d\u6587"));
}

TEST(EmailMessageTest, Bodies_WholeBodyBase64AndEudoraHtml)
{
    const struct {
        const char* message;
        int client;
        std::optional<QString> text;
        std::optional<QString> html;
    } cases[] = {
        // The whole body, read as Mac OS Roman without a charset.
        {"x\nSubject: s\n\nplain \x8E body\n", 6, QStringLiteral("plain é body\n"), {}},
        // A base64 attachment and nothing to show: no text.
        {"x\nContent-Type: multipart/mixed; boundary=q\n\n--q\nContent-Type: image/png\n"
         "Content-Transfer-Encoding: base64\n\niVBORw0K\n--q--\n",
         6,
         {},
         {}},
        // A single base64 text body.
        {"x\nContent-Type: text/plain\nContent-Transfer-Encoding: base64\n\nSGVs\nbG8=\n",
         5,
         QStringLiteral("Hello"),
         {}},
        {"x\rSubject: s\r\r<x-html>Hi</x-html>\r", 4, {}, QStringLiteral("<html>Hi</html>")},
        {"x\nSubject: s\n\n", 6, {}, {}},
    };
    for (const auto& test : cases) {
        const Content content = parse(test.message, test.client);
        EXPECT_EQ(content.text, test.text) << test.message;
        EXPECT_EQ(content.html, test.html) << test.message;
    }
}

TEST(EmailMessageTest, SizeBeyondTheMessage_ReadsAsEmpty)
{
    const QByteArray message("x\nSubject: s\n\nbody\n");
    EXPECT_EQ(
        EmailMessage::createRecordFromMessage(message, message.size() + 40, 6, {}, false).text,
        QStringLiteral("<Empty Message>"));
    EXPECT_EQ(EmailMessage::createRecordFromMessage(message, 15, 6, {}, false).text,
              QStringLiteral("b"));
}

TEST(MailboxCutterTest, MessagesWithoutTheirSeparators_ByClient)
{
    const struct {
        int client;
        const char* mailbox;
        QList<QByteArray> messages;
    } cases[] = {
        {4,
         "From ???@??? Mon 1\rSubject: One\r\rbody one\r\rFrom ???@??? Tue 2\rSubject: Two\r\r"
         "body two\r",
         {"???@??? Mon 1\rSubject: One\r\rbody one\r", "Tue 2\rSubject: Two\r\rbody two\r"}},
        // Mozilla: a "From - " line after a blank one, or the escaped form.
        {6,
         "From - Mon\nSubject: A\n\nbody a\n\nFrom - Tue\nSubject: B\n\nbody b\n\n>From - Wed\n"
         "Subject: C\n\nc\nFrom - not a message\n",
         {"- Mon\nSubject: A\n\nbody a", "- Tue\nSubject: B\n\nbody b",
          "Wed\nSubject: C\n\nc\nFrom - not a message\n"}},
        {3, "junk From a\r\rFrom ???@??? b\r", {"a", "b\r"}},
        {5, "no separator here", {}},
        // Without a separator of its own, the first message runs to the end.
        {12, "From a\n\nFrom b\n", {"a\n\nFrom b\n"}},
        {7, "From \rFrom -x", {"", "x"}},
    };
    for (const auto& test : cases) {
        MailboxCutter cutter(test.mailbox, test.client);
        QList<QByteArray> messages;
        while (const std::optional<QByteArrayView> message = cutter.next())
            messages.append(message->toByteArray());
        EXPECT_EQ(messages, test.messages) << test.mailbox;
    }
}

TEST(MailFolderTest, EmlxMessageEnd_FromTheLengthLine_NeverPastTheFile)
{
    const struct {
        const char* file;
        qsizetype end;
    } cases[] = {
        {"5\nabcde<plist/>", 7}, {"   5  \nabcde", 12}, {"999999999999999999\nabc", 22},
        {"x\nabc", 2},           {"no line end", 1},    {"", 0},
    };
    for (const auto& test : cases)
        EXPECT_EQ(MailFolder::emlxMessageEnd(test.file), test.end) << test.file;
}
