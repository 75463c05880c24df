#pragma once

// What every editor-window test sets up: a scripted presenter, user defaults of its
// own, the editor window as the datafile's window, and datafiles opened as the
// application opens them.
#include "DatafileDocument.h"
#include "EditorWindowController.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class EditorTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Presenter::setShared(&m_presenter);
        UserDefaults::setStandardUserDefaults(&m_defaults);
        DatafileDocument::setEditorFactory(
            [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });
    }
    void TearDown() override
    {
        m_documents.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EditorWindowController::setFileSizeForTesting(nullptr);
        DatafileDocument::setEditorFactory(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
        Presenter::setShared(nullptr);
    }

    // Opens the file as another machine would: a document of its own with its window.
    DatafileDocument* open(const QString& path)
    {
        auto document = std::make_unique<DatafileDocument>();
        document->setFileType(DatafileDocument::ProDatafileType);
        document->setFileURL(QUrl::fromLocalFile(path));
        EXPECT_TRUE(
            document->readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType));
        return show(std::move(document));
    }

    // Gives a document its window and keeps it until the test ends.
    DatafileDocument* show(std::unique_ptr<DatafileDocument> document)
    {
        document->makeWindowControllers();
        document->showWindows();
        m_documents.push_back(std::move(document));
        return m_documents.back().get();
    }

    static EditorWindowController* editorOf(DatafileDocument* document)
    {
        return static_cast<EditorWindowController*>(document->windowControllers().front().get());
    }

    QTemporaryDir m_dir;
    ScriptedPresenter m_presenter;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
    std::vector<std::unique_ptr<DatafileDocument>> m_documents;
};
