// The datafile hot keys sheet driven as a user would: its rows' keys, paths, Browse,
// Add and Remove, then OK or Cancel.
#include "HotKeySheetController.h"

#include "DocumentFixture.h"
#include "FilePathField.h"
#include "HotKeyHandler.h"
#include "PopUpButton.h"
#include "VKViewsListView.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>

namespace {

class HotKeySheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DocumentFixture::TearDown();
    }

    HotKeySheetController* open()
    {
        m_sheet = VKSheetController::controller<HotKeySheetController>();
        m_sheet->show([this] { ++m_stored; });
        return m_sheet;
    }
    HotKeyHandler* row(int index) const
    {
        return static_cast<HotKeyHandler*>(m_sheet->datafileView()->handlers().at(size_t(index)));
    }
    int rowCount() const { return m_sheet->datafileView()->count(); }
    QList<qint64> keys() const
    {
        QList<qint64> modes;
        for (int index = 0; index < rowCount(); ++index)
            modes << row(index)->mode();
        return modes;
    }
    void flushRemovals() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    HotKeySheetController* m_sheet = nullptr;
    int m_stored = 0;
};

} // namespace

TEST_F(HotKeySheetControllerTest, NoStoredKeys_OneRowWithKeyOne_ApplicationModal)
{
    open();
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0)->mode(), 1);
    EXPECT_EQ(row(0)->modePopup()->titleOfSelectedItem(), "1");
    EXPECT_EQ(row(0)->pathField()->text(), "");
    EXPECT_FALSE(row(0)->removeButton()->isEnabled());
    EXPECT_TRUE(row(0)->addButton()->isEnabled());
    EXPECT_TRUE(m_sheet->window()->isVisible());
    EXPECT_EQ(m_sheet->window()->windowModality(), Qt::ApplicationModal);

    QStringList titles;
    QList<int> tags;
    for (const QAction* item : row(0)->modePopup()->itemArray()) {
        titles << item->text();
        tags << PopUpButton::tag(item);
    }
    EXPECT_EQ(titles, QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}));
    EXPECT_EQ(tags, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    m_sheet->performAction("help:");
    ASSERT_EQ(m_presenter.openedUrls().size(), 1);
    EXPECT_EQ(m_presenter.openedUrls().first().fileName(), "DatafilesHotKeys.html");
}

TEST_F(HotKeySheetControllerTest, Add_TakesTheFirstFreeKeyAfterItsRow_TenRowsDisableAdd)
{
    m_defaults.setObject(PlistArray{PlistDictionary{{"Mode", 1}, {"Path", "/a.nv3"}},
                                    PlistDictionary{{"Mode", 3}, {"Path", "/c.nv3"}}},
                         "HotKeySettings");
    open();
    const int twoRows = m_sheet->window()->height();
    row(0)->addButton()->click();
    EXPECT_EQ(keys(), QList<qint64>({1, 2, 3}));
    EXPECT_EQ(row(1)->pathField()->text(), "");
    // The window follows its rows in height, in width the user's.
    EXPECT_GT(m_sheet->window()->height(), twoRows);
    EXPECT_EQ(m_sheet->window()->minimumHeight(), m_sheet->window()->maximumHeight());

    while (rowCount() < 10)
        row(rowCount() - 1)->addButton()->click();
    EXPECT_EQ(keys(), QList<qint64>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    for (int index = 0; index < 10; ++index) {
        EXPECT_FALSE(row(index)->addButton()->isEnabled()) << index;
        EXPECT_TRUE(row(index)->removeButton()->isEnabled()) << index;
    }

    // The other rows' keys are greyed out in a row's pop-up.
    row(9)->removeButton()->click();
    row(1)->removeButton()->click();
    flushRemovals();
    EXPECT_TRUE(row(0)->addButton()->isEnabled());
    Q_EMIT row(0)->modePopup()->menu()->aboutToShow();
    QStringList enabled;
    for (const QAction* item : row(0)->modePopup()->itemArray())
        if (item->isEnabled())
            enabled << item->text();
    EXPECT_EQ(enabled, QStringList({"1", "2", "0"}));
}

TEST_F(HotKeySheetControllerTest, Okay_StoresTheRowsInOrder_CancelStoresNothing)
{
    open();
    row(0)->pathField()->setText("~/Work.nv3");
    row(0)->addButton()->click();
    row(1)->modePopup()->itemWithTag(10)->trigger();
    row(1)->pathField()->setText("/Data/Home.nvm");
    m_sheet->cancel();
    EXPECT_FALSE(m_defaults.arrayForKey("HotKeySettings"));
    EXPECT_EQ(m_stored, 0);

    // Each showing starts from what is stored.
    open();
    EXPECT_EQ(rowCount(), 1);
    row(0)->pathField()->setText("~/Work.nv3");
    row(0)->addButton()->click();
    row(1)->modePopup()->itemWithTag(10)->trigger();
    row(1)->pathField()->setText("/Data/Home.nvm");
    m_sheet->okayButton()->click();
    EXPECT_FALSE(m_sheet->window()->isVisible());
    EXPECT_EQ(m_stored, 1);
    EXPECT_EQ(
        PlistValue(m_defaults.arrayForKey("HotKeySettings").value_or(PlistArray())),
        PlistValue(PlistArray{
            PlistDictionary{{"Mode", 1}, {"Path", "~/Work.nv3"}, {"KeyEquivalent", "1"}},
            PlistDictionary{{"Mode", 10}, {"Path", "/Data/Home.nvm"}, {"KeyEquivalent", "0"}}}));
}

TEST_F(HotKeySheetControllerTest, Browse_ChoosesADatafileKeptWithTheHomeFolderAsTilde)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", m_dir.path().toUtf8());
    m_defaults.setObject(QUrl::fromLocalFile(m_dir.path()).toString() + '/', "DatafilesFolderURL");
    open();
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(m_dir.filePath("Clients.nv3"))});
    row(0)->browseButton()->click();
    EXPECT_EQ(row(0)->pathField()->text(), "~/Clients.nv3");
    ASSERT_EQ(m_presenter.openPanels().size(), 1);
    const OpenPanelRequest& panel = m_presenter.openPanels().first().request;
    EXPECT_EQ(panel.fileTypes, QStringList({"nv3", "nvm"}));
    EXPECT_EQ(panel.directory, QFileInfo(m_dir.path()).canonicalFilePath());
    EXPECT_FALSE(panel.allowsMultipleSelection);
    EXPECT_EQ(m_presenter.openPanels().first().window, m_sheet->window());

    // Cancelled: the path stays.
    row(0)->browseButton()->click();
    EXPECT_EQ(row(0)->pathField()->text(), "~/Clients.nv3");
    qputenv("HOME", home);
}

TEST_F(HotKeySheetControllerTest, KeyEquivalent_DigitsThenZero_NothingWithoutAKey)
{
    const std::pair<qint64, QString> cases[] = {{1, "1"},  {9, "9"}, {10, "0"},
                                                {11, "0"}, {0, ""},  {-1, ""}};
    for (const auto& [mode, key] : cases)
        EXPECT_EQ(HotKeyHandler::keyEquivalentForMode(mode), key) << mode;
}
