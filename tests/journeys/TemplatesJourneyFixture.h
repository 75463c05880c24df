#pragma once

// The templates folder of a journey: a label template tied to the datafile People.nv3
// beside it.
#include "JourneyTestBase.h"

#include "DocumentController.h"
#include "PropertyList.h"
#include "TemplateDesignSheetController.h"
#include "TemplateDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <functional>

class TemplatesJourneyTest : public JourneyTestBase {
protected:
    // The labels of the templates folder tied to the datafile People.nv3 beside it.
    void beforeLaunch() override
    {
        m_datafile = copyFixture("good.nv3", "People.nv3");
        QFile fixture(QStringLiteral(NORVA_FIXTURES_DIR "/template/Labels.zlabel"));
        ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
        const PlistReadResult read = readPropertyList(fixture.readAll());
        ASSERT_TRUE(read.ok());
        PlistDictionary labels = read.value.asDictionary()->deepCopy();
        labels.find("Settings")
            ->asDictionary()
            ->insert("AssociatedDatafileURL", QUrl::fromLocalFile(m_datafile).toString());
        m_template = m_dir.filePath("Templates/Labels.zlabel");
        QFile file(m_template);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writePropertyList(labels, file, PlistFormat::Xml));
    }

    // The labels opened from the Templates menu, their window in front.
    TemplateDocument* openLabels()
    {
        EXPECT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "openFromTemplateMenu:"));
        auto* labels = qobject_cast<TemplateDocument*>(
            DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
        if (labels)
            activate(labels->windowControllers().front()->window());
        return labels;
    }

    // Edit Design from the page window's toolbar button: the sheet once it shows, or none.
    TemplateDesignSheetController* openDesignSheet(QWidget* pageWindow)
    {
        activate(pageWindow);
        QToolButton* button = toolbarButton(pageWindow, QStringLiteral("EditDesignLayout"));
        EXPECT_TRUE(button && button->isEnabled());
        if (!button)
            return nullptr;
        QTest::mouseClick(button, Qt::LeftButton);
        auto* sheet = VKSheetController::topmostController<TemplateDesignSheetController>();
        EXPECT_TRUE(sheet && QTest::qWaitForWindowExposed(sheet->window()));
        return sheet;
    }

    // A copy of the labels at the path in the test's folder, its settings changed.
    QString writeLabels(const QString& name, const std::function<void(PlistDictionary&)>& change)
    {
        PlistDictionary labels = readDatafile(m_template);
        PlistDictionary settings = *labels.find("Settings")->asDictionary();
        change(settings);
        labels.insert("Settings", settings);
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(labels, file, PlistFormat::Xml));
        return path;
    }

    static QString titleOf(QWidget* window)
    {
        return window->windowTitle().remove(QStringLiteral("[*]"));
    }

    QString m_datafile;
    QString m_template;
};
