#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class FeatureContext;
class RecordData;

// One run of Make Telephone Links over the shown records, in display order. The links are
// worked out in slices on the main thread, between which the window keeps drawing its
// progress sheet; each record's new values go through the records door, unstamped.
class TelephoneLinkPass : public QObject {
    Q_OBJECT

public:
    // Called once, with the number of links made.
    using Finished = std::function<void(qint64 linkCount)>;

    TelephoneLinkPass(FeatureContext& context, Finished finished);
    ~TelephoneLinkPass() override;

    // Takes the shown records and works through them; the first slice waits for the
    // event loop.
    void start();
    // Works through every record left at once (benchmarks and headless runs).
    void runToEnd();
    qint64 linkCount() const { return m_linkCount; }

    // How long one slice may keep the event loop waiting.
    static constexpr int sliceMilliseconds = 30;

private:
    // Whether records are left.
    bool runSlice(int milliseconds);
    void scheduleSlice();
    void finish();

    FeatureContext& m_context;
    Finished m_finished;
    QList<std::shared_ptr<RecordData>> m_records;
    QStringList m_fieldIdentifiers;
    QStringList m_formats;
    qsizetype m_next = 0;
    qint64 m_linkCount = 0;
    bool m_finishedCalled = false;
};
