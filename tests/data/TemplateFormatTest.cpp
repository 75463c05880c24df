#include "TemplateFormat.h"

#include "CorpusReplay.h"
#include "PropertyList.h"
#include "SystemLog.h"
#include "TemplateFuzzChecks.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/template/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray xml(const PlistValue& value)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writePropertyList(value, buffer, PlistFormat::Xml));
    return buffer.data();
}

QByteArray fixtureOfCorpus(const QString& name)
{
    QFile file(QStringLiteral(NORVA_CORPUS_DIR "/template/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(TemplateFormatTest, Read_RefusesWhatIsNoTemplateWithTheReason)
{
    const PlistDictionary settings{{"DataFormat", 1}};
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"not a property list", "<plist><dict>", ""},
        {"root not a dictionary", fixture("not-a-dictionary.zlabel"),
         "The file is not a template."},
        {"no settings", fixture("no-settings.zlabel"), "The template has no settings."},
        {"no design", fixture("no-design.zlabel"), "The template has no design."},
        {"newer settings", fixture("newer-format.zlabel"),
         "The template was written by a newer version of Norva."},
        {"settings not a dictionary",
         xml(PlistDictionary{{"Settings", PlistArray{}}, {"Design", PlistArray{}}}),
         "The template has no settings."},
        {"design not an array",
         xml(PlistDictionary{{"Settings", settings}, {"Design", PlistDictionary{}}}),
         "The template has no design."},
        {"design entry not a dictionary",
         xml(PlistDictionary{{"Settings", settings}, {"Design", PlistArray{"Rectangle"}}}),
         "The template's design is damaged."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TemplateFormat::Result<TemplateFormat::Contents> read = TemplateFormat::read(c.bytes);
        ASSERT_FALSE(read.ok());
        if (c.message.isEmpty())
            EXPECT_TRUE(read.error.message.startsWith("The file is not a template or is damaged ("))
                << read.error.message.toStdString();
        else
            EXPECT_EQ(read.error.message.toStdString(), c.message.toStdString());
    }
}

TEST(TemplateFormatTest, ReadAndWrite_KeepTheDesignInOrderAndStampTheFormat)
{
    const TemplateFormat::Result<TemplateFormat::Contents> read =
        TemplateFormat::read(fixture("two-shapes.zlabel"));
    ASSERT_TRUE(read.ok()) << read.error.message.toStdString();
    ASSERT_EQ(read.value->design.size(), 2);
    EXPECT_EQ(*read.value->design[0].asDictionary()->find("Class")->asString(), "Rectangle");

    // Settings without a format number are stamped with the one this version writes.
    read.value->settings->dictionary().remove("DataFormat");
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    ASSERT_TRUE(
        TemplateFormat::write(read.value->settings->dictionary(), read.value->design, written));
    const TemplateFormat::Result<TemplateFormat::Contents> again =
        TemplateFormat::read(written.data());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(PlistValue(again.value->design), PlistValue(read.value->design));
    EXPECT_EQ(again.value->settings->dictionary().find("DataFormat")->integerValue(), 1);

    const TemplateFormat::Result<TemplateFormat::Contents> empty =
        TemplateFormat::read(fixture("label.zlabel"));
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty.value->design.isEmpty());
}

TEST(TemplateFormatTest, Read_LeavesOutWhatXmlCannotHoldSoThatEverySaveWorks)
{
    ScopedLogCapture log;
    const TemplateFormat::Result<TemplateFormat::Contents> read =
        TemplateFormat::read(fixtureOfCorpus("uid-in-settings.zlabel"));
    ASSERT_TRUE(read.ok()) << read.error.message.toStdString();
    EXPECT_FALSE(read.value->settings->dictionary().find("Units"));
    EXPECT_TRUE(PlistValue(read.value->design).hasXmlForm());
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(TemplateFuzzCorpusReplayTest, TemplateCorpus_RefusesWithAReasonOrRoundTrips)
{
    replayCorpus(QStringLiteral("template"), templateRoundTripHolds);
}
