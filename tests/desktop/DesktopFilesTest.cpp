// What `cmake --install` gives the desktop: the MIME types of the four kinds of file, the
// desktop entry that opens them, and the icon, read back as the desktop reads them.
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString datafileType = QStringLiteral("application/x-norva-datafile");
const QString mobileDatafileType = QStringLiteral("application/x-norva-mobile-datafile");
const QString labelType = QStringLiteral("application/x-norva-label");
const QString envelopeType = QStringLiteral("application/x-norva-envelope");

class DesktopFilesTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_prefix = new QTemporaryDir;
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(
            QStringLiteral(NORVA_CMAKE_COMMAND),
            {"--install", NORVA_BUILD_DIR, "--prefix", s_prefix->path(), "--component", "desktop"});
        s_installed = install.waitForFinished(60000) &&
                      install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
        s_installLog = QString::fromLocal8Bit(install.readAll());
        // Only the prefix answers: neither the user's own types nor the system's. (Qt 6.4
        // lets a later folder's weaker match win over ours, which the desktop does not.)
        qputenv("XDG_DATA_HOME", QFile::encodeName(s_prefix->filePath("nobody")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(s_prefix->filePath("share")));
    }

    static void TearDownTestSuite()
    {
        delete s_prefix;
        s_prefix = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(s_installed) << s_installLog.toStdString(); }

    static QString installed(const QString& path) { return s_prefix->filePath("share/" + path); }

    // A fixture copied under another name, so that only its name or only its content speaks.
    QString copy(const QString& fixture, const QString& name)
    {
        const QString path = m_files.filePath(name);
        EXPECT_TRUE(QFile::copy(QStringLiteral(NORVA_FIXTURES_DIR "/") + fixture, path))
            << fixture.toStdString();
        return path;
    }

    static QTemporaryDir* s_prefix;
    static bool s_installed;
    static QString s_installLog;
    QTemporaryDir m_files;
};

QTemporaryDir* DesktopFilesTest::s_prefix = nullptr;
bool DesktopFilesTest::s_installed = false;
QString DesktopFilesTest::s_installLog;

} // namespace

TEST_F(DesktopFilesTest, EachKindOfFile_IsKnownByItsNameAndADatafileOrTemplateByItsContentAlone)
{
    const struct {
        const char* fixture;
        const char* name;
        const QString& type;
    } cases[] = {
        {"datafile/good.nv3", "Addresses.nv3", datafileType},
        {"datafile/good.nv3", "Addresses.nvm", mobileDatafileType},
        {"template/label.zlabel", "Shipping.zlabel", labelType},
        {"template/envelope.zenv", "Letters.zenv", envelopeType},
        // Without a name the desktop knows, the property list's first keys tell.
        {"datafile/good.nv3", "Addresses", datafileType},
        {"datafile/null-setting.nv3", "Binary addresses", datafileType},
        {"template/envelope.zenv", "Letters", envelopeType},
        {"template/binary-envelope.zenv", "Binary letters", envelopeType},
    };
    const QMimeDatabase mimeTypes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(mimeTypes.mimeTypeForFile(copy(c.fixture, c.name)).name().toStdString(),
                  c.type.toStdString());
    }
    EXPECT_EQ(mimeTypes.mimeTypeForName(datafileType).comment().toStdString(),
              "Norva Pro Datafile");
    EXPECT_EQ(mimeTypes.mimeTypeForName(mobileDatafileType).comment().toStdString(),
              "Norva Mobile Datafile");
    EXPECT_EQ(mimeTypes.mimeTypeForName(labelType).comment().toStdString(), "Norva Label");
    EXPECT_EQ(mimeTypes.mimeTypeForName(envelopeType).comment().toStdString(), "Norva Envelope");
    // Another property list is none of them.
    const QString other =
        mimeTypes.mimeTypeForFile(copy("datafile/not-a-datafile.nv3", "List")).name();
    EXPECT_FALSE(other.startsWith("application/x-norva")) << other.toStdString();
}

TEST_F(DesktopFilesTest, TheDesktopEntry_OpensTheFourKindsAndItsIconIsInTheThemeAtEverySize)
{
    // The keys of the entry's main group, as the desktop reads them.
    QFile file(installed("applications/norva.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QHash<QString, QString> entry;
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (qsizetype line = lines.indexOf("[Desktop Entry]") + 1;
         line > 0 && line < lines.size() && !lines[line].startsWith('['); ++line) {
        if (const qsizetype equals = lines[line].indexOf('='); equals > 0)
            entry.insert(lines[line].left(equals), lines[line].mid(equals + 1));
    }
    EXPECT_EQ(entry.value("Exec").toStdString(), "norva %F");
    EXPECT_EQ(entry.value("Icon").toStdString(), "norva");
    QStringList types = entry.value("MimeType").split(';', Qt::SkipEmptyParts);
    types.sort();
    QStringList expected{datafileType, mobileDatafileType, labelType, envelopeType};
    expected.sort();
    EXPECT_EQ(types, expected);

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        SCOPED_TRACE(size);
        QImageReader icon(
            installed(QStringLiteral("icons/hicolor/%1x%1/apps/norva.png").arg(size)));
        EXPECT_EQ(icon.format().toStdString(), "png");
        EXPECT_EQ(icon.size(), QSize(size, size));
    }
}
