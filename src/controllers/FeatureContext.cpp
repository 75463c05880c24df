#include "FeatureContext.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "InternalInconsistency.h"
#include "SubsetSortedData.h"

QString FeatureWindow::windowTitle() const
{
    const DatafileDocument* document = datafileDocument();
    return document ? document->displayName() : QString();
}

FeatureContext::FeatureContext(FeatureWindow& window, Responder* actions,
                               CurrentRecordEngine* engine, ProgressSheet* progress)
    : m_window(window), m_actions(actions), m_engine(engine), m_progress(progress)
{
    if (!m_progress) {
        m_noProgress = std::make_unique<ProgressSheet>();
        m_progress = m_noProgress.get();
    }
}

DatafileChanges& FeatureContext::changes() const
{
    DatafileDocument* document = m_window.datafileDocument();
    if (!document)
        throw InternalInconsistency(QStringLiteral("This feature needs a datafile."));
    return document->changes();
}

std::shared_ptr<DatafileSettingsData> FeatureContext::settings() const
{
    const DatafileDocument* document = m_window.datafileDocument();
    return document ? document->datafileSettings() : nullptr;
}

bool FeatureContext::isMobile() const
{
    const DatafileDocument* document = m_window.datafileDocument();
    return document && document->isMobile();
}

std::shared_ptr<SubsetSortedData> FeatureContext::catalog() const
{
    if (m_engine)
        return m_engine->catalog();
    const DatafileDocument* document = m_window.datafileDocument();
    return document ? document->datafileCatalog() : nullptr;
}

bool FeatureContext::haveCurrentSelection() const
{
    const std::shared_ptr<SubsetSortedData> shown = catalog();
    return shown && shown->countSelected() != shown->count();
}

CurrentRecordEngine& FeatureContext::engine() const
{
    if (!m_engine)
        throw InternalInconsistency(QStringLiteral("This feature needs a current record."));
    return *m_engine;
}

std::shared_ptr<RecordData> FeatureContext::currentRecord() const
{
    return m_engine ? m_engine->currentRecord() : nullptr;
}

void FeatureContext::registerAction(const QString& selector, Responder::Action action) const
{
    if (m_actions)
        m_actions->registerAction(selector, std::move(action));
}
