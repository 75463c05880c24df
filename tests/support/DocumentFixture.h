#pragma once

// What every test of documents and their windows sets up: a scripted presenter, user
// defaults of its own in a temporary folder, and, when it ends, every static hook of the
// document layer put back as the program has it, whatever the test set.
#include "Clock.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "SafeFileWriter.h"
#include "TemplateDocument.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Presenter::setShared(&m_presenter);
        UserDefaults::setStandardUserDefaults(&m_defaults);
    }

    void TearDown() override
    {
        // Documents the test left open go first, while the hooks they use are still set.
        for (Document* document : std::vector<Document*>(DocumentController::shared().documents()))
            DocumentController::shared().removeDocument(document);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DatafileDocument::setEditorFactory(nullptr);
        DatafileDocument::setDidWriteHook(nullptr);
        TemplateDocument::setPageWindowFactory(nullptr);
        TemplateDocument::setDidWriteHook(nullptr);
        SafeFileWriter::setFailAfterBytesForTesting(std::nullopt);
        Clock::setNowForTesting(nullptr);
        UserInfo::setFullUserNameForTesting(std::nullopt);
        UserDefaults::setStandardUserDefaults(nullptr);
        Presenter::setShared(nullptr);
    }

    // A copy of a fixture datafile in the test's folder, so that saving may change it.
    QString copyFixture(const QString& name, const QString& as = QString())
    {
        return copyFixtureOf(QStringLiteral("datafile"), name, as);
    }
    // The same from another folder of fixtures ("template" ...).
    QString copyFixtureOf(const QString& folder, const QString& name, const QString& as = QString())
    {
        const QString path = m_dir.filePath(as.isEmpty() ? name : as);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(
            QStringLiteral(NORVA_FIXTURES_DIR "/") + folder + QLatin1Char('/') + name, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    // Lets the deferred work after a write run.
    static void processTimers()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 150)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    // A file of the bytes in the test's folder, as another program saved it.
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    QTemporaryDir m_dir;
    ScriptedPresenter m_presenter;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
};
