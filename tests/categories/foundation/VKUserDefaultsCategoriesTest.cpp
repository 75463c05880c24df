#include "VKUserDefaultsCategories.h"

#include "UserDefaults.h"

#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

using namespace VKUserDefaultsCategories;

namespace {

class VKUserDefaultsCategoriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_defaults.registerDefaults({{"ModemDialingDelayTicks", 125},
                                     {"ShowNowDialing", false},
                                     {"ModemStartCallsString", "atdt"}});
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.path()};
};

} // namespace

TEST_F(VKUserDefaultsCategoriesTest, ChangedFromFactorySettingsForKeys_AnswersPerTable)
{
    struct Case {
        const char* name;
        PlistDictionary userValues;
        QStringList keys;
        bool changed;
    };
    const QString delay = QStringLiteral("ModemDialingDelayTicks");
    const QString start = QStringLiteral("ModemStartCallsString");
    const QString unregistered = QStringLiteral("DialingSetList");
    const Case cases[] = {
        {"no keys", {{"ModemDialingDelayTicks", 7}}, {}, false},
        {"no user values", {}, {delay, start}, false},
        {"user values equal to the registered ones",
         {{"ModemDialingDelayTicks", 125.0}, {"ShowNowDialing", 0}},
         {delay, QStringLiteral("ShowNowDialing")},
         false},
        {"one differs", {{"ModemStartCallsString", "ATDT"}}, {delay, start}, true},
        {"a number stored as text", {{"ModemDialingDelayTicks", "125"}}, {delay}, true},
        {"nothing registered, nothing stored", {}, {delay, unregistered}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        UserDefaults defaults(folder.path());
        defaults.registerDefaults(m_defaults.registrationDomain());
        for (const PlistDictionary::Entry& entry : c.userValues)
            defaults.setObject(entry.value, entry.key);
        EXPECT_EQ(changedFromFactorySettingsForKeys(defaults, c.keys), c.changed);
        if (c.keys.size() == 1) {
            EXPECT_EQ(changedFromFactorySettingsForKey(defaults, c.keys.first()), c.changed);
        }
    }
}

TEST_F(VKUserDefaultsCategoriesTest, RestoreFactorySettingsForKeys_RemovesOnlyThoseUserValues)
{
    m_defaults.setInteger(60, QStringLiteral("ModemDialingDelayTicks"));
    m_defaults.setObject("ATDP", QStringLiteral("ModemStartCallsString"));
    m_defaults.setBool(true, QStringLiteral("GeneralQuitAfterLastFile"));

    restoreFactorySettingsForKeys(m_defaults, {QStringLiteral("ModemDialingDelayTicks"),
                                               QStringLiteral("ModemStartCallsString")});

    EXPECT_EQ(m_defaults.integerForKey(QStringLiteral("ModemDialingDelayTicks")), 125);
    EXPECT_EQ(m_defaults.stringForKey(QStringLiteral("ModemStartCallsString")),
              QStringLiteral("atdt"));
    EXPECT_TRUE(m_defaults.boolForKey(QStringLiteral("GeneralQuitAfterLastFile")));
    EXPECT_FALSE(
        changedFromFactorySettingsForKeys(m_defaults, {QStringLiteral("ModemDialingDelayTicks"),
                                                       QStringLiteral("ModemStartCallsString")}));
    EXPECT_EQ(m_defaults.persistentDomainForName(QStringLiteral("Norva"))->keys(),
              QStringList{QStringLiteral("GeneralQuitAfterLastFile")});
}

TEST_F(VKUserDefaultsCategoriesTest, Gray_StoresTheWhiteLevelAndGivesAnOpaqueGrey)
{
    setGray(m_defaults, QColor::fromRgbF(0.25f, 0.25f, 0.25f, 0.5f), QStringLiteral("Gray"));
    EXPECT_NEAR(m_defaults.floatForKey(QStringLiteral("Gray")), 0.25, 1e-4); // QColor keeps 16 bits
    EXPECT_EQ(m_defaults.objectForKey(QStringLiteral("Gray")).type(), PlistValue::Type::Real);

    const QColor gray = grayForKey(m_defaults, QStringLiteral("Gray"));
    EXPECT_NEAR(gray.redF(), 0.25, 1e-4);
    EXPECT_EQ(gray.redF(), gray.greenF());
    EXPECT_EQ(gray.greenF(), gray.blueF());
    EXPECT_EQ(gray.alphaF(), 1.0f);

    setGray(m_defaults, QColor(Qt::red), QStringLiteral("Red"));
    EXPECT_NEAR(m_defaults.floatForKey(QStringLiteral("Red")), 0.299, 1e-4);
}

TEST_F(VKUserDefaultsCategoriesTest, GrayForKey_MissingOrOutOfRange_GivesAValidGrey)
{
    m_defaults.setDouble(7.0, QStringLiteral("TooLight"));
    m_defaults.setDouble(std::nan(""), QStringLiteral("NotANumber"));
    EXPECT_EQ(grayForKey(m_defaults, QStringLiteral("Missing")), QColor(Qt::black));
    EXPECT_EQ(grayForKey(m_defaults, QStringLiteral("TooLight")), QColor(Qt::white));
    EXPECT_EQ(grayForKey(m_defaults, QStringLiteral("NotANumber")), QColor(Qt::black));
}
