#pragma once

// Replays a saved fuzzing corpus as an ordinary test: every input must satisfy the
// fuzzer's own check.
#include <QByteArrayView>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

inline void replayCorpus(const QString& folder, bool (*holds)(QByteArrayView))
{
    int count = 0;
    QDirIterator files(QStringLiteral(NORVA_CORPUS_DIR "/") + folder, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        EXPECT_TRUE(holds(file.readAll())) << file.fileName().toStdString();
        ++count;
    }
    EXPECT_GT(count, 0) << "no corpus in " << folder.toStdString();
}
