#include "InstanceChannel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.filePath("instance"); }

    // Hands the files over from another thread while this one serves; what came of it.
    InstanceChannel::Start startWith(const QStringList& files, int milliseconds)
    {
        std::atomic<int> start{-1};
        std::thread second([&] {
            InstanceChannel channel;
            start = int(channel.listenOrDeliver(
                path(), [&](int wait) { return InstanceChannel::handOver(path(), files, wait); },
                milliseconds));
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return start != -1; }, milliseconds + 5000));
        second.join();
        return InstanceChannel::Start(start.load());
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(InstanceChannelTest, ListeningInstance_KeepsThePathEvenWithItsSocketFileGone)
{
    InstanceChannel first;
    QStringList received;
    QObject::connect(&first, &InstanceChannel::filesReceived,
                     [&](const QStringList& files) { received += files; });
    ASSERT_TRUE(first.listen(path()));

    InstanceChannel second;
    EXPECT_FALSE(second.listen(path()));
    // A start that finds no socket still finds the lock: it does not become a second one.
    QFile::remove(path());
    EXPECT_FALSE(second.listen(path()));
    EXPECT_EQ(startWith({"/x/a.nv3"}, 300), InstanceChannel::Start::Unanswered);
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(InstanceChannelTest, LaterStart_HandsOverToTheListener_OrListensWhenNoneIs)
{
    {
        InstanceChannel first;
        QStringList received;
        QObject::connect(&first, &InstanceChannel::filesReceived,
                         [&](const QStringList& files) { received += files; });
        ASSERT_TRUE(first.listen(path()));
        EXPECT_EQ(startWith({"/x/a.nv3", "/x/b.nv3"}, 5000), InstanceChannel::Start::HandedOver);
        EXPECT_EQ(received, QStringList({"/x/a.nv3", "/x/b.nv3"}));
    }
    // The first has gone and let its lock go.
    InstanceChannel next;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(next.listenOrDeliver(
                  path(), [](int) { return false; }, 5000),
              InstanceChannel::Start::Listening);
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST_F(InstanceChannelTest, StartWhileAnotherIsStarting_WaitsBoundedAndHandsNothingElsewhere)
{
    // The lock is held by one that does not listen yet.
    QLockFile starting(path() + ".lock");
    ASSERT_TRUE(starting.tryLock(0));
    InstanceChannel channel;
    int tries = 0;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(channel.listenOrDeliver(
                  path(),
                  [&](int) {
                      ++tries;
                      return false;
                  },
                  400),
              InstanceChannel::Start::Unanswered);
    EXPECT_GE(timer.elapsed(), 400);
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_GT(tries, 2);
}

TEST_F(InstanceChannelTest, LockAndSocketLeftByACrash_AreTakenOver)
{
    // A lock of a process that no longer runs, and a socket file no one listens at.
    {
        QFile lock(path() + ".lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write("999999999\nnorva\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        QFile socket(path());
        ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    }
    InstanceChannel channel;
    QStringList received;
    QObject::connect(&channel, &InstanceChannel::filesReceived,
                     [&](const QStringList& files) { received += files; });
    ASSERT_TRUE(channel.listen(path()));
    EXPECT_EQ(startWith({"/x/c.nv3"}, 5000), InstanceChannel::Start::HandedOver);
    EXPECT_EQ(received, QStringList({"/x/c.nv3"}));
}

TEST_F(InstanceChannelTest, HandedOverURL_ArrivesAsAURLAndFilesStillAsFiles)
{
    InstanceChannel first;
    QStringList files;
    QStringList urls;
    QObject::connect(&first, &InstanceChannel::filesReceived, [&](const QStringList& got) { files += got; });
    QObject::connect(&first, &InstanceChannel::urlReceived, [&](const QString& url) { urls += url; });
    ASSERT_TRUE(first.listen(path()));
    const QString redirect = QStringLiteral("db-abcdefghij12345://2/token?code=c&state=s");
    std::atomic<int> handed{-1};
    std::thread second([&] { handed = InstanceChannel::handOverURL(path(), redirect, 5000) ? 1 : 0; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return handed != -1; }, 10000));
    second.join();
    EXPECT_EQ(handed, 1);
    EXPECT_EQ(urls, QStringList{redirect});
    EXPECT_TRUE(files.isEmpty());
    EXPECT_EQ(startWith({"/x/a.nv3"}, 5000), InstanceChannel::Start::HandedOver);
    EXPECT_EQ(files, QStringList{"/x/a.nv3"});
    EXPECT_EQ(urls.size(), 1);
}
