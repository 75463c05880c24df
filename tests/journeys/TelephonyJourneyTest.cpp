// Dialing from the Dial menu and the phone button, and Fields ▸ Make Telephone Links, in
// the program as main() assembles it; the desktop's telephone handler is the scripted
// presenter's URL opener.
#include "JourneyTestBase.h"

#include "EditorToolbarController.h"
#include "FreeformTextView.h"
#include "PreferencesController.h"
#include "RichText.h"
#include "Toolbar.h"
#include "ToolbarItem.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

namespace {

class TelephonyJourneyTest : public JourneyTestBase {
protected:
    void SetUp() override
    {
        // No real serial port is written to.
        PreferencesController::setModemProbeSeams([] { return QStringList(); },
                                                  [](double) { return 0.0; });
        JourneyTestBase::SetUp();
    }
    void TearDown() override
    {
        JourneyTestBase::TearDown();
        PreferencesController::setModemProbeSeams({}, {});
    }
    void beforeLaunch() override
    {
        m_defaults.setObject(QStringLiteral("nnn-nnnn\nnnn-nnn-nnnn\n(nnn) nnn-nnnn"),
                             "PhoneNumberTemplates");
        m_defaults.setInteger(1, "DialingMethod");
    }

    void shoot(QWidget* window, const QString& name) const
    {
        if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
            window->grab().save(qEnvironmentVariable("NORVA_SHOTS") + '/' + name);
    }

    QStringList openedUrls() const
    {
        QStringList urls;
        for (const QUrl& url : m_presenter.openedUrls())
            urls.append(url.toString());
        return urls;
    }

    static QToolButton* phoneButton(EditorWindowController* editor)
    {
        for (QToolButton* button : editor->window()->findChildren<QToolButton*>()) {
            const QAction* action = button->defaultAction();
            const auto* item = action ? qobject_cast<ToolbarItem*>(action->parent()) : nullptr;
            if (button->isVisible() && item && item->itemIdentifier() == "DialDefault")
                return button;
        }
        return nullptr;
    }

    // The links of the text view: each linked text and its address.
    static QList<QPair<QString, QString>> linksOf(const QTextDocument& text)
    {
        QList<QPair<QString, QString>> links;
        for (QTextBlock block = text.begin(); block.isValid(); block = block.next())
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
                if (fragment.fragment().charFormat().isAnchor())
                    links.append({fragment.fragment().text(),
                                  fragment.fragment().charFormat().anchorHref()});
        return links;
    }
};

TEST_F(TelephonyJourneyTest, DialBasic_OpensTheRecordsNumber_RecordAfterRecord)
{
    const QString path =
        writeDatafile("Phones.nv3", {{"F1", "Name"}, {"F2", "Phone"}},
                      {{"Ada", "555-1234"}, {"Bob", "(555) 123-4567"}, {"Cy", "none"}}, "Basic");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    // The Dial menu's first set is Basic.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "dialPhone:"));
    EXPECT_EQ(openedUrls(), QStringList{"tel://555-1234"});

    // The next record's number; the blanks make the address the digits alone.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "goToNextRecord:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "dialPhone:"));
    EXPECT_EQ(openedUrls(), (QStringList{"tel://555-1234", "tel://5551234567"}));

    // A record without a number beeps, and nothing opens.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "goToNextRecord:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "dialPhone:"));
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_EQ(m_presenter.openedUrls().size(), 2);

    // The phone button dials with the default set, from the first record again.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "goToFirstRecord:"));
    // The user put the phone item into the toolbar.
    ASSERT_TRUE(
        editor->toolbarController().toolbar()->insertItemWithItemIdentifier("DialDefault", 0));
    QCoreApplication::processEvents();
    QToolButton* phone = phoneButton(editor);
    ASSERT_TRUE(phone);
    QTest::mouseClick(phone, Qt::LeftButton);
    EXPECT_EQ(openedUrls().size(), 3);
    EXPECT_EQ(openedUrls().back(), "tel://555-1234");

    // By the modem with none chosen: the Modem pane, and the method stays.
    m_defaults.setInteger(3, "DialingMethod");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "dialPhone:"));
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible() && window->windowTitle() == "Modem")
                    return true;
            return false;
        },
        3000));
    EXPECT_EQ(m_defaults.integerForKey("DialingMethod"), 3);
}

TEST_F(TelephonyJourneyTest, MakeTelephoneLinks_FromTheFieldsMenu_LinksSurviveSaveAndReopen)
{
    const QString path = writeDatafile("Links.nv3", {{"F1", "Name"}, {"F2", "Phone"}},
                                       {{"Ada", "555-1234"}, {"Bob", "Home 555-9876"}}, "Basic");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    QTest::keyClicks(view, "Call (555) 123-4567 today");

    ASSERT_TRUE(chooseMenuItem(editor->window(), "createLinksForAllTelephoneNumbers:"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_presenter.alerts().isEmpty(); }, 5000));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "2 Links Added");
    EXPECT_EQ(linksOf(*view->document()),
              (QList<QPair<QString, QString>>{{"(555) 123-4567", "tel://(555)%20123-4567"}}));
    EXPECT_TRUE(editor->window()->isWindowModified());
    shoot(editor->window(), "telephone-links.png");
    // The window under the sheet takes the keys again, as the window manager hands them.
    activate(editor->window());

    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(editor->window()->isWindowModified());
    editor->window()->close();
    QCoreApplication::processEvents();
    ASSERT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));

    activate(&m_assembly->startWindow());
    editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->engine().recordAtIndex(0)->fields().stringForKey("F2"), "tel://555-1234");
    EXPECT_EQ(editor->engine().recordAtIndex(1)->fields().stringForKey("F2"), "Home 555-9876");
    EXPECT_EQ(linksOf(*editor->freeformTextView()->document()),
              (QList<QPair<QString, QString>>{{"(555) 123-4567", "tel://(555)%20123-4567"}}));

    // A second pass after the first: the field holds its link already.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "createLinksForAllTelephoneNumbers:"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_presenter.alerts().size() == 2; }, 5000));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "1 Link Added");
    EXPECT_EQ(editor->engine().recordAtIndex(0)->fields().stringForKey("F2"), "tel://555-1234");
}

} // namespace
