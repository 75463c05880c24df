// The features' context with and without an editor window's parts: a headless run has
// no current record, no window and no progress sheet, and its features still work.
#include "FeatureContext.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "DocumentOnlyWindow.h"
#include "EditorDatafileController.h"
#include "InternalInconsistency.h"
#include "ScriptedPresenter.h"
#include "SortedData.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LoggingProgress : public ProgressSheet {
public:
    void startIndeterminateProgressPanel(const QString& message) override
    {
        log << "start " + message;
    }
    void endIndeterminateProgressPanel() override { log << "end"; }
    QStringList log;
};

class FeatureContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Presenter::setShared(&m_presenter);
        for (const char* identifier : {"a", "b", "c"}) {
            auto record = std::make_shared<RecordData>();
            m_document.datafileRecords()->setRecord(record, QString::fromLatin1(identifier));
            m_document.datafileCatalog()->insertIdentifierAtEnd(QString::fromLatin1(identifier));
        }
        m_document.datafileCatalog()->rebuildSelectedIdentifiers();
    }
    void TearDown() override { Presenter::setShared(nullptr); }

    ScriptedPresenter m_presenter;
    DatafileDocument m_document;
    DocumentOnlyWindow m_window{m_document};
};

TEST_F(FeatureContextTest, Headless_DocumentCatalog_NoCurrentRecord_StepsDoNothing)
{
    const FeatureContext context(m_window);
    EXPECT_EQ(context.document(), &m_document);
    EXPECT_EQ(context.settings(), m_document.datafileSettings());
    EXPECT_EQ(context.catalog(), m_document.datafileCatalog());
    EXPECT_FALSE(context.haveCurrentSelection());
    m_document.datafileCatalog()->omitIdentifier("b", true);
    EXPECT_TRUE(context.haveCurrentSelection());

    EXPECT_FALSE(context.hasCurrentRecordEngine());
    EXPECT_EQ(context.currentRecord(), nullptr);
    EXPECT_THROW(context.engine(), InternalInconsistency);
    EXPECT_EQ(context.window(), nullptr);
    EXPECT_EQ(context.host().windowTitle(), m_document.displayName());
    EXPECT_FALSE(context.nowSyncing());
    // Neither unregistered actions nor an unshown progress sheet fail.
    context.registerAction("mergeDatafiles:", [](QObject*) { FAIL(); });
    context.progress().startIndeterminateProgressPanel("Reading Datafile");
    context.progress().endIndeterminateProgressPanel();
    EXPECT_EQ(context.progress().progressPanel(), nullptr);
}

TEST_F(FeatureContextTest, WithWindowParts_EnginesCatalogAndRecord_ActionsAndProgressReachThem)
{
    CurrentRecordEngine engine{CurrentRecordEngine::Views{}};
    // The window shows its own selection: the first record alone.
    auto shown = SortedData::catalogWithSortedArray<SubsetSortedData>(
        std::nullopt, m_document.datafileRecords(), nullptr);
    shown->insertIdentifierAtEnd("a");
    shown->rebuildSelectedIdentifiers();
    engine.setCatalog(shown);
    engine.setCurrentRecord(m_document.datafileRecords()->recordForIdentifier("a"));
    Responder actions;
    LoggingProgress progress;
    const FeatureContext context(m_window, &actions, &engine, &progress);

    EXPECT_EQ(context.catalog(), shown);
    EXPECT_EQ(context.currentRecord(), engine.currentRecord());
    EXPECT_EQ(&context.engine(), &engine);

    int ran = 0;
    context.registerAction("printDocument:", [&ran](QObject*) { ++ran; });
    EXPECT_TRUE(actions.performAction("printDocument:"));
    EXPECT_EQ(ran, 1);
    context.progress().startIndeterminateProgressPanel("Preparing...");
    context.progress().endIndeterminateProgressPanel();
    EXPECT_EQ(progress.log, QStringList({"start Preparing...", "end"}));
}

TEST_F(FeatureContextTest, FeatureOnHeadlessContext_RunsItsCommandsWithoutAWindow)
{
    Responder actions;
    FeatureContext context(m_window, &actions);
    EditorDatafileController datafile(context);

    // A datafile never saved has no file to show.
    EXPECT_TRUE(actions.performAction("revealInFinder:"));
    EXPECT_EQ(m_presenter.beepCount(), 1);
    QTemporaryDir dir;
    const QString path = dir.filePath("People.nv3");
    m_document.setFileURL(QUrl::fromLocalFile(path));
    EXPECT_TRUE(actions.performAction("revealInFinder:"));
    EXPECT_EQ(m_presenter.revealedPaths(), QStringList{path});
}

} // namespace
