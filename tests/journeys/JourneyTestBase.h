#pragma once

// The program as a user gets it: the same assembly main() runs, driven through its
// menus and keys, with the panels and alerts answered from a script.
#include "ApplicationAssembly.h"
#include "ApplicationMenus.h"
#include "DocumentFixture.h"
#include "EditorViewController.h"
#include "EditorWindowController.h"
#include "MainController.h"
#include "MultiFileFindController.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "StartWindow.h"
#include "ToolbarItem.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

// Failures name the strings, not their bytes.
inline void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

inline void PrintTo(const PlistValue& value, std::ostream* stream)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    PlistXmlWriter::write(value, buffer);
    *stream << buffer.data().toStdString();
}

class JourneyTestBase : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        // Launching asks for the two folders when none is known.
        m_defaults.setObject(QUrl::fromLocalFile(m_dir.path()).toString() + '/',
                             QStringLiteral("DatafilesFolderURL"));
        QDir(m_dir.path()).mkdir(QStringLiteral("Templates"));
        m_defaults.setObject(QUrl::fromLocalFile(m_dir.filePath("Templates")).toString() + '/',
                             QStringLiteral("TemplatesFolderURL"));
        beforeLaunch();
        m_assembly = std::make_unique<ApplicationAssembly>();
        m_assembly->launch(launchOptions());
        // Launching finishes once the event loop turns.
        QCoreApplication::processEvents();
        activate(&m_assembly->startWindow());
    }

    void TearDown() override
    {
        m_assembly.reset();
        DocumentFixture::TearDown();
    }

    // The defaults and the presenter's script as the program finds them at launch.
    virtual void beforeLaunch() {}

    // What the program is launched with; nothing by default.
    virtual ApplicationAssembly::LaunchOptions launchOptions() { return {}; }

    static void activate(QWidget* window)
    {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    // Opens the file through File ▸ Open, as the user would with Ctrl+O from the window
    // in front; the window of the datafile then comes to the front.
    EditorWindowController* openWithCommand(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        QTest::keyClick(QApplication::activeWindow(), Qt::Key_O, Qt::ControlModifier);
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        EXPECT_TRUE(document);
        if (!document)
            return nullptr;
        auto* editor =
            static_cast<EditorWindowController*>(document->windowControllers().front().get());
        activate(editor->window());
        // Saving is allowed a moment after the window comes to the front, once it is
        // known that no password is needed.
        EXPECT_TRUE(QTest::qWaitFor([editor] { return editor->canSaveChanges(); }, 3000));
        return editor;
    }

    // Until the window's frame counts as the user's: a moment after it was first shown.
    static bool frameSettles(EditorWindowController* editor)
    {
        return QTest::qWaitFor([editor] { return editor->viewController().frameSettled(); },
                               3000);
    }

    // The item of the window's menus that sends the action.
    QAction* menuItem(QWidget* window, const QString& selector) const
    {
        const ActionBinding& binding = m_assembly->mainController().menus().binding();
        const std::function<QAction*(const QList<QAction*>&)> find =
            [&](const QList<QAction*>& actions) -> QAction* {
            for (QAction* action : actions) {
                if (binding.selectorFor(action) == selector)
                    return action;
                if (QMenu* menu = action->menu())
                    if (QAction* found = find(menu->actions()))
                        return found;
            }
            return nullptr;
        };
        QMenuBar* bar = window->findChild<QMenuBar*>();
        return bar ? find(bar->actions()) : nullptr;
    }

    // Opens the item's menu, as a click on the menu bar does, and chooses the item when
    // it is enabled. Whether it was.
    bool chooseMenuItem(QWidget* window, const QString& selector)
    {
        QAction* item = menuItem(window, selector);
        EXPECT_TRUE(item) << selector.toStdString();
        if (!item)
            return false;
        showMenusOf(window);
        // A submenu is validated as it opens.
        if (auto* menu = qobject_cast<QMenu*>(item->parent()))
            Q_EMIT menu->aboutToShow();
        if (!item->isEnabled())
            return false;
        item->trigger();
        return true;
    }

    // Find ▸ Multi-File Find… chosen in the window in front.
    MultiFileFindController* openMultiFileFind()
    {
        EXPECT_TRUE(chooseMenuItem(QApplication::activeWindow(), "startMultiFileFind:"));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowTitle().startsWith("Multi-File Find"))
                return dynamic_cast<MultiFileFindController*>(
                    WindowController::controllerForWindow(window));
        }
        ADD_FAILURE() << "no Multi-File Find window";
        return nullptr;
    }

    // The shown toolbar button of the item, in any toolbar of the window.
    static QToolButton* toolbarButton(QWidget* window, const QString& identifier)
    {
        // A toolbar shows its buttons once laid out.
        QApplication::processEvents();
        for (QToolButton* button : window->findChildren<QToolButton*>()) {
            const QAction* action = button->defaultAction();
            const auto* item = action ? qobject_cast<ToolbarItem*>(action->parent()) : nullptr;
            if (button->isVisible() && item && item->itemIdentifier() == identifier)
                return button;
        }
        return nullptr;
    }

    // Every menu of the window's menu bar is validated, as when the user opens it.
    static void showMenusOf(QWidget* window)
    {
        for (QAction* top : window->findChild<QMenuBar*>()->actions())
            if (QMenu* menu = top->menu())
                Q_EMIT menu->aboutToShow();
    }

    // A datafile of these fields (identifier, name) and records (their values in field
    // order, then the text), all selected, in this order.
    QString writeDatafile(const QString& name, const QList<std::pair<QString, QString>>& fields,
                          const QList<QStringList>& records,
                          const QString& mode = QStringLiteral("List"))
    {
        PlistArray definitions;
        for (const auto& [identifier, fieldName] : fields)
            definitions.append(PlistDictionary{
                {"Identifier", identifier}, {"Name", fieldName}, {"Width", 150.0}, {"Show", true}});
        PlistDictionary recordDictionaries;
        PlistArray catalog;
        int number = 0;
        for (const QStringList& values : records) {
            const QString identifier = QStringLiteral("00000000-0000-4000-8000-%1")
                                           .arg(++number, 12, 10, QLatin1Char('0'));
            PlistDictionary fieldValues;
            for (qsizetype i = 0; i < fields.size(); ++i)
                fieldValues.insert(fields.at(i).first, values.value(i));
            recordDictionaries.insert(identifier,
                                      PlistDictionary{{"RecordIdentifier", identifier},
                                                      {"Fields", fieldValues},
                                                      {"TextString", values.value(fields.size())}});
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        const PlistDictionary datafile{
            {"Settings",
             PlistDictionary{{"DataFormat", 1}, {"Mode", mode}, {"Fields", definitions}}},
            {"Records", recordDictionaries},
            {"Catalog", catalog}};
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    static PlistDictionary readDatafile(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const PlistReadResult read = readPropertyList(file.readAll());
        EXPECT_TRUE(read.ok());
        const PlistDictionary* top = read.value.asDictionary();
        return top ? top->deepCopy() : PlistDictionary();
    }

    // A datafile of the named fields (identifiers F0, F1 ...) whose records hold the rows'
    // values, each row's last value being its text; every record selected.
    static void writeRecords(const QString& path, const QStringList& fieldNames,
                             const QList<QStringList>& rows, const PlistDictionary& settings = {})
    {
        PlistArray fields;
        for (qsizetype field = 0; field < fieldNames.size(); ++field)
            fields.append(PlistDictionary{{"Identifier", QStringLiteral("F%1").arg(field)},
                                          {"Name", fieldNames[field]},
                                          {"Width", 150.0}});
        PlistDictionary records;
        PlistArray catalog;
        int number = 0;
        for (const QStringList& row : rows) {
            const QString identifier = QStringLiteral("00000000-0000-4000-8000-%1")
                                           .arg(++number, 12, 10, QLatin1Char('0'));
            PlistDictionary values;
            for (qsizetype field = 0; field + 1 < row.size(); ++field)
                values.insert(QStringLiteral("F%1").arg(field), row[field]);
            records.insert(identifier, PlistDictionary{{"RecordIdentifier", identifier},
                                                       {"Fields", values},
                                                       {"TextString", row.value(row.size() - 1)}});
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        PlistDictionary allSettings = settings.deepCopy();
        allSettings.insert("DataFormat", 1);
        allSettings.insert("Fields", fields);
        if (!allSettings.find("Mode"))
            allSettings.insert("Mode", "Basic");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(
            PlistDictionary{{"Settings", allSettings}, {"Records", records}, {"Catalog", catalog}},
            file, PlistFormat::Xml));
    }

    static QByteArray contentsOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<ApplicationAssembly> m_assembly;
};
