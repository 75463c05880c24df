#include "UserDefaults.h"

#include "PropertyList.h"
#include "SystemLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

PlistDictionary storedDictionary(const QString& path)
{
    const PlistReadResult result = readPropertyList(contents(path));
    return result.ok() && result.value.isDictionary() ? *result.value.asDictionary()
                                                      : PlistDictionary();
}

class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::unique_ptr<UserDefaults> open() const
    {
        return std::make_unique<UserDefaults>(m_dir.path());
    }
    QString appFile() const { return m_dir.filePath(QStringLiteral("Norva.plist")); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(UserDefaultsTest, Synchronize_EveryKindOfValue_ReadsBackWithTheSameKinds)
{
    const PlistDictionary values{
        {"Bool", true},
        {"Integer", qint64(-1234567890123)},
        {"Real", 0.1},
        {"String", "Norva Pro Datafiles\r\ttab"},
        {"Date", PlistDate{700000000.0}},
        {"Data", QByteArray("\x00\x01\xff", 3)},
        {"Array", PlistArray{"a", 1, PlistDictionary{{"SetName", "Home"}}}},
        {"Dictionary", PlistDictionary{{"Prefix", "9"}, {"IsDefault", false}}},
    };
    {
        auto writer = open();
        for (const PlistDictionary::Entry& entry : values)
            writer->setObject(entry.value, entry.key);
        ASSERT_TRUE(writer->synchronize());
    }
    EXPECT_TRUE(contents(appFile()).startsWith("<?xml"));

    auto reader = open();
    for (const PlistDictionary::Entry& entry : values) {
        SCOPED_TRACE(entry.key.toStdString());
        const PlistValue read = reader->objectForKey(entry.key);
        EXPECT_EQ(read.type(), entry.value.type());
        EXPECT_EQ(read, entry.value);
    }
    const PlistArray array = *reader->arrayForKey(QStringLiteral("Array"));
    EXPECT_EQ(array.at(1).type(), PlistValue::Type::Integer);
    EXPECT_EQ(reader->dictionaryForKey(QStringLiteral("Dictionary"))
                  ->value(QStringLiteral("IsDefault"))
                  .type(),
              PlistValue::Type::Boolean);
}

TEST_F(UserDefaultsTest, RegisterDefaults_RegisteredValue_ShowsThroughButNeverReachesTheFile)
{
    {
        auto defaults = open();
        defaults->registerDefaults({{"EditorMode", "List"}, {"ModemDialingDelayTicks", 125}});
        defaults->registerDefaults({{"EditorMode", "Basic"}});
        defaults->setInteger(200, QStringLiteral("ModemDialingDelayTicks"));
        defaults->setBool(true, QStringLiteral("RestorePreviousSession"));

        EXPECT_EQ(defaults->stringForKey(QStringLiteral("EditorMode")), QStringLiteral("Basic"));
        EXPECT_EQ(defaults->integerForKey(QStringLiteral("ModemDialingDelayTicks")), 200);
        EXPECT_EQ(defaults->registrationDomain().value(QStringLiteral("ModemDialingDelayTicks")),
                  PlistValue(125));
        ASSERT_TRUE(defaults->synchronize());
    }
    const PlistDictionary stored = storedDictionary(appFile());
    EXPECT_EQ(stored.keys(), (QStringList{QStringLiteral("ModemDialingDelayTicks"),
                                          QStringLiteral("RestorePreviousSession")}));
    EXPECT_TRUE(open()->objectForKey(QStringLiteral("EditorMode")).isNull());
}

TEST_F(UserDefaultsTest, TypedReadings_FollowThePlatformsConversions)
{
    struct Case {
        const char* name;
        PlistValue value; // null: the key is missing
        std::optional<QString> string;
        qint64 integer;
        bool boolean;
        double real;
    };
    const Case cases[] = {
        {"integer", 42, QStringLiteral("42"), 42, true, 42},
        {"real", 2.5, QStringLiteral("2.5"), 2, true, 2.5},
        {"boolean", true, QStringLiteral("1"), 1, true, 1},
        {"numeric string", "125", QStringLiteral("125"), 125, true, 125},
        {"YES", "YES", QStringLiteral("YES"), 0, true, 0},
        {"NO", "NO", QStringLiteral("NO"), 0, false, 0},
        {"empty string", "", QStringLiteral(""), 0, false, 0},
        {"date", PlistDate{5}, std::nullopt, 0, false, 0},
        {"data", QByteArray("1"), std::nullopt, 0, false, 0},
        {"array", PlistArray{"1"}, std::nullopt, 0, false, 0},
        {"missing", PlistValue(), std::nullopt, 0, false, 0},
    };
    auto defaults = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString key = QString::fromUtf8(c.name);
        defaults->setObject(c.value, key);
        EXPECT_EQ(defaults->stringForKey(key), c.string);
        EXPECT_EQ(defaults->integerForKey(key), c.integer);
        EXPECT_EQ(defaults->boolForKey(key), c.boolean);
        EXPECT_DOUBLE_EQ(defaults->doubleForKey(key), c.real);
        EXPECT_FLOAT_EQ(defaults->floatForKey(key), float(c.real));
        EXPECT_EQ(defaults->arrayForKey(key).has_value(), c.value.isArray());
        EXPECT_EQ(defaults->dictionaryForKey(key).has_value(), c.value.isDictionary());
        EXPECT_EQ(defaults->dataForKey(key).has_value(), c.value.isData());
    }
    // An empty string is a value, not a missing one.
    EXPECT_FALSE(defaults->stringForKey(QStringLiteral("empty string"))->isNull());
}

TEST_F(UserDefaultsTest, StringArrayForKey_OnlyAnArrayOfStrings_Answers)
{
    auto defaults = open();
    defaults->setObject(PlistArray{"a", "b"}, QStringLiteral("Strings"));
    defaults->setObject(PlistArray{"a", 1}, QStringLiteral("Mixed"));
    EXPECT_EQ(defaults->stringArrayForKey(QStringLiteral("Strings")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_FALSE(defaults->stringArrayForKey(QStringLiteral("Mixed")).has_value());
    EXPECT_FALSE(defaults->stringArrayForKey(QStringLiteral("Missing")).has_value());
}

TEST_F(UserDefaultsTest, Keys_WithPathAndPunctuationCharacters_RoundTrip)
{
    const QStringList keys{QStringLiteral("Folder/Sub/Key"), QStringLiteral("a.b.c"),
                           QStringLiteral("../../escape"),   QStringLiteral("[x]=y; z\\\"q"),
                           QStringLiteral("é ü 日本"),       QStringLiteral("")};
    {
        auto writer = open();
        for (qsizetype i = 0; i < keys.size(); ++i)
            writer->setInteger(i + 1, keys[i]);
        ASSERT_TRUE(writer->synchronize());
    }
    auto reader = open();
    for (qsizetype i = 0; i < keys.size(); ++i)
        EXPECT_EQ(reader->integerForKey(keys[i]), i + 1) << keys[i].toStdString();
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Norva.plist")});
}

TEST_F(UserDefaultsTest, StoredAndReadContainers_AreCopies_EditingThemChangesNoDefault)
{
    auto defaults = open();
    PlistDictionary home{{"SetName", "Home"}};
    PlistArray sets{home};
    defaults->setObject(sets, QStringLiteral("DialingSetList"));
    home.insert(QStringLiteral("SetName"), "Edited by the caller");
    sets.append("extra");

    PlistArray read = *defaults->arrayForKey(QStringLiteral("DialingSetList"));
    PlistDictionary(*read.at(0).asDictionary()).insert(QStringLiteral("SetName"), "Edited");
    read.append("also extra");

    const PlistValue expected = PlistArray{PlistDictionary{{"SetName", "Home"}}};
    EXPECT_EQ(defaults->objectForKey(QStringLiteral("DialingSetList")), expected);
}

TEST_F(UserDefaultsTest, Changes_StayInMemoryUntilSynchronizeOrDestruction)
{
    auto defaults = open();
    defaults->setBool(true, QStringLiteral("GeneralQuitAfterLastFile"));
    EXPECT_FALSE(QFile::exists(appFile()));
    defaults.reset();
    EXPECT_TRUE(open()->boolForKey(QStringLiteral("GeneralQuitAfterLastFile")));
}

TEST_F(UserDefaultsTest, SetObject_NullValueOrRemove_RevealsTheRegisteredValue)
{
    auto defaults = open();
    defaults->registerDefaults({{"GeneralToolbarFormat", 5}});
    defaults->setInteger(2, QStringLiteral("GeneralToolbarFormat"));
    defaults->setObject(PlistValue(), QStringLiteral("GeneralToolbarFormat"));
    EXPECT_EQ(defaults->integerForKey(QStringLiteral("GeneralToolbarFormat")), 5);

    defaults->setInteger(2, QStringLiteral("GeneralToolbarFormat"));
    defaults->removeObjectForKey(QStringLiteral("GeneralToolbarFormat"));
    EXPECT_EQ(defaults->integerForKey(QStringLiteral("GeneralToolbarFormat")), 5);
}

TEST_F(UserDefaultsTest, SetObject_ValueNoPropertyListCanHold_IsRefusedAndSavingStillWorks)
{
    ScopedLogCapture log;
    auto defaults = open();
    defaults->setObject(PlistArray{"a", PlistValue()}, QStringLiteral("WithNull"));
    defaults->setObject(PlistDictionary{{"Uid", PlistUid{3}}}, QStringLiteral("WithUid"));
    defaults->setObject("kept", QStringLiteral("Good"));

    EXPECT_TRUE(defaults->objectForKey(QStringLiteral("WithNull")).isNull());
    EXPECT_TRUE(defaults->objectForKey(QStringLiteral("WithUid")).isNull());
    EXPECT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(defaults->synchronize());
    EXPECT_EQ(open()->stringForKey(QStringLiteral("Good")), QStringLiteral("kept"));
}

TEST_F(UserDefaultsTest, UnreadableFile_IsLoggedKeptAsideAndOnlyReplacedOnceSomethingIsSet)
{
    const QByteArray corruptFiles[] = {
        QByteArray("not a property list at all"),
        QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>A</key>"),
        QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"),
    };
    for (const QByteArray& corrupt : corruptFiles) {
        SCOPED_TRACE(corrupt.toStdString());
        QFile::remove(appFile() + QStringLiteral(".corrupt"));
        putFile(appFile(), corrupt);

        ScopedLogCapture log;
        auto defaults = open();
        EXPECT_TRUE(defaults->objectForKey(QStringLiteral("A")).isNull());
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines().first().contains(appFile()));

        // Reading, removing a missing key and saving leave the user's file alone.
        defaults->removeObjectForKey(QStringLiteral("A"));
        EXPECT_TRUE(defaults->synchronize());
        EXPECT_EQ(contents(appFile()), corrupt);
        EXPECT_FALSE(QFile::exists(appFile() + QStringLiteral(".corrupt")));

        defaults->setBool(true, QStringLiteral("GeneralBeepWhenFindFails"));
        EXPECT_TRUE(defaults->synchronize());
        EXPECT_EQ(contents(appFile() + QStringLiteral(".corrupt")), corrupt);
        EXPECT_TRUE(open()->boolForKey(QStringLiteral("GeneralBeepWhenFindFails")));
    }
}

TEST_F(UserDefaultsTest, Synchronize_FolderCannotBeMade_FailsAndTriesAgainLater)
{
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    putFile(blocker, "a file where the folder should be");
    ScopedLogCapture log;
    UserDefaults defaults(blocker + QStringLiteral("/Norva"));
    defaults.setBool(true, QStringLiteral("Key"));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(log.lines().size(), 1);

    ASSERT_TRUE(QFile::remove(blocker));
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_TRUE(UserDefaults(blocker + QStringLiteral("/Norva")).boolForKey(QStringLiteral("Key")));
}

TEST_F(UserDefaultsTest, PersistentDomains_AreSeparateFilesThatRoundTripAndCanBeRemoved)
{
    const PlistDictionary loginItems{{"AutoLaunchedApplicationDictionary", PlistArray{"x"}}};
    {
        auto defaults = open();
        EXPECT_FALSE(defaults->persistentDomainForName(QStringLiteral("loginwindow")).has_value());
        defaults->setPersistentDomain(loginItems, QStringLiteral("loginwindow"));
        defaults->setPersistentDomain({{"N", 1}}, QStringLiteral("../a/b"));
        defaults->setPersistentDomain({{"N", 2}}, QStringLiteral("..%2Fa%2Fb"));
        ASSERT_TRUE(defaults->synchronize());
    }
    // Names never reach outside the folder and never share a file.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("loginwindow.plist"))));

    auto defaults = open();
    EXPECT_EQ(PlistValue(*defaults->persistentDomainForName(QStringLiteral("loginwindow"))),
              PlistValue(loginItems));
    EXPECT_EQ(defaults->persistentDomainForName(QStringLiteral("../a/b"))->value("N"),
              PlistValue(1));
    EXPECT_EQ(defaults->persistentDomainForName(QStringLiteral("..%2Fa%2Fb"))->value("N"),
              PlistValue(2));
    EXPECT_TRUE(
        defaults->objectForKey(QStringLiteral("AutoLaunchedApplicationDictionary")).isNull());

    defaults->removePersistentDomainForName(QStringLiteral("loginwindow"));
    EXPECT_FALSE(defaults->persistentDomainForName(QStringLiteral("loginwindow")).has_value());
    ASSERT_TRUE(defaults->synchronize());
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("loginwindow.plist"))));
}

TEST_F(UserDefaultsTest, PersistentDomain_OfTheApplication_IsWhatTheGettersSearch)
{
    auto defaults = open();
    defaults->setPersistentDomain({{"EditorMode", "Basic"}}, QStringLiteral("Norva"));
    EXPECT_EQ(defaults->stringForKey(QStringLiteral("EditorMode")), QStringLiteral("Basic"));
    defaults->setInteger(3, QStringLiteral("DefaultSynchMethod"));
    EXPECT_EQ(defaults->persistentDomainForName(QStringLiteral("Norva"))->size(), 2);
}

TEST_F(UserDefaultsTest, StandardUserDefaults_InstalledInstance_IsAnsweredUntilItGoesAway)
{
    {
        UserDefaults mine(m_dir.path());
        UserDefaults::setStandardUserDefaults(&mine);
        EXPECT_EQ(&UserDefaults::standardUserDefaults(), &mine);
    }
    // The default instance reads its file only on first use, so asking for its folder
    // touches none of the user's files.
    EXPECT_EQ(UserDefaults::standardUserDefaults().folderPath(), UserDefaults::defaultFolderPath());
    EXPECT_TRUE(UserDefaults::defaultFolderPath().endsWith(QStringLiteral("/Norva")));
}
