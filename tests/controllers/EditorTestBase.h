#pragma once

// What every editor-window test sets up besides the document fixture's: the editor
// window as the datafile's window, and datafiles opened as the application opens them.
#include "DocumentFixture.h"
#include "EditorWindowController.h"

class EditorTestBase : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        DatafileDocument::setEditorFactory(
            [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });
    }
    void TearDown() override
    {
        m_documents.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EditorWindowController::setFileSizeForTesting(nullptr);
        DocumentFixture::TearDown();
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

    std::vector<std::unique_ptr<DatafileDocument>> m_documents;
};
