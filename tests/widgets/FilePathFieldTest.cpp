// Files and folders dragged onto a path field, as the window system delivers them.
#include "FilePathField.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FilePathFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"a.nv3", "b.nv3", "c.nv3"}) {
            QFile file(m_dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        m_field.resize(200, 24);
    }

    QMimeData* drag(const QStringList& names)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(name.isEmpty() ? m_dir.path() : m_dir.filePath(name));
        data->setUrls(urls);
        m_data.reset(data);
        return data;
    }
    // Whether the field takes the drag as it enters.
    bool enter(const QMimeData* data)
    {
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&m_field, &event);
        return event.isAccepted();
    }
    bool drop(const QMimeData* data)
    {
        QDropEvent event(QPointF(10, 10), Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&m_field, &event);
        return event.isAccepted();
    }

    QTemporaryDir m_dir;
    FilePathField m_field;
    std::unique_ptr<QMimeData> m_data;
};

} // namespace

TEST_F(FilePathFieldTest, AFolderOnAFieldForFilesIsRefusedAndNotHighlighted)
{
    m_field.setAcceptsDirectories(false);
    EXPECT_FALSE(enter(drag({""})));
    EXPECT_FALSE(m_field.isHighlighted());
    EXPECT_TRUE(enter(drag({"a.nv3"})));
    EXPECT_TRUE(m_field.isHighlighted());
    QDragLeaveEvent leave;
    QApplication::sendEvent(&m_field, &leave);
    EXPECT_FALSE(m_field.isHighlighted());

    // And the other way round.
    m_field.setAcceptsDirectories(true);
    m_field.setAcceptsFiles(false);
    EXPECT_FALSE(enter(drag({"a.nv3"})));
    EXPECT_TRUE(enter(drag({""})));
    // Text that is no file is refused too.
    auto* text = new QMimeData;
    text->setText("plain");
    m_data.reset(text);
    EXPECT_FALSE(enter(text));
}

TEST_F(FilePathFieldTest, SeveralFilesGiveTheFirstPathAndOneAction)
{
    QSignalSpy actions(&m_field, &FilePathField::action);
    QMimeData* files = drag({"a.nv3", "b.nv3", "c.nv3"});
    ASSERT_TRUE(enter(files));
    EXPECT_TRUE(drop(files));
    EXPECT_EQ(m_field.text(), m_dir.filePath("a.nv3"));
    EXPECT_EQ(actions.count(), 1);
    EXPECT_FALSE(m_field.isHighlighted());
}

TEST_F(FilePathFieldTest, AFieldBeingEditedRefusesOneDragThenTakesTheNext)
{
    m_field.show();
    QApplication::setActiveWindow(&m_field);
    m_field.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_field.hasFocus(); }));
    QTest::keyClicks(&m_field, "typing");

    EXPECT_FALSE(enter(drag({"b.nv3"})));
    EXPECT_FALSE(m_field.hasFocus());
    EXPECT_FALSE(m_field.isHighlighted());
    EXPECT_TRUE(enter(drag({"b.nv3"})));
    EXPECT_TRUE(drop(m_data.get()));
    EXPECT_EQ(m_field.text(), m_dir.filePath("b.nv3"));
}
