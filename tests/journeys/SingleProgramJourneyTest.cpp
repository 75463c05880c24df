// Two starts of the real program at the same moment, as a file manager makes when the
// user opens two datafiles at once: one program stays and opens both.
#include "JourneyTestBase.h"

#include <QProcess>

#include <array>

namespace {

class SingleProgramJourneyTest : public JourneyTestBase {
protected:
    // Folders of these runs alone, so that no real user's state is touched.
    void SetUp() override
    {
        JourneyTestBase::SetUp();
        QDir root(m_dir.path());
        for (const char* folder : {"runtime", "home", "config", "Datafiles", "Templates2"})
            ASSERT_TRUE(root.mkpath(folder));
        QFile::setPermissions(root.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        m_environment.insert("HOME", root.filePath("home"));
        m_environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
    }

    // A datafile shared on a network: while a program has it open, its lock file is there.
    QString sharedDatafile(const QString& name)
    {
        const QString path = m_dir.filePath("Datafiles/" + name);
        writeRecords(path, {"Name"}, {{"one", ""}}, PlistDictionary{{"NetworkShared", true}});
        return path;
    }

    // The previous session lists the datafile; both folders are known.
    void writeDefaults(const QString& sessionDatafile)
    {
        UserDefaults defaults(m_dir.filePath("config/Norva"));
        defaults.setObject(QUrl::fromLocalFile(m_dir.filePath("Datafiles")).toString() + '/',
                           "DatafilesFolderURL");
        defaults.setObject(QUrl::fromLocalFile(m_dir.filePath("Templates2")).toString() + '/',
                           "TemplatesFolderURL");
        defaults.setBool(true, "RestorePreviousSession");
        defaults.setObject(PlistArray{QUrl::fromLocalFile(sessionDatafile).toString(),
                                      "00000000-0000-4000-8000-000000000001"},
                           "PreviousSessionList");
        ASSERT_TRUE(defaults.synchronize());
    }

    QProcessEnvironment m_environment;
};

// Killed whatever the test's outcome.
struct Programs {
    std::array<QProcess, 2> processes;
    ~Programs()
    {
        for (QProcess& process : processes) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

} // namespace

TEST_F(SingleProgramJourneyTest, TwoStartsAtOnce_OneProgramOpensBothFilesAndThePreviousSession)
{
    const QString session = sharedDatafile("session.nv3");
    const QStringList files{sharedDatafile("a.nv3"), sharedDatafile("b.nv3")};
    writeDefaults(session);
    const QStringList datafiles{session, files[0], files[1]};

    // Which start gets there first varies: the race is run several times. Each round after
    // the first starts after a crash, the program before killed, its lock and socket left.
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        for (const QString& datafile : datafiles)
            QFile::remove(datafile + ".lock");
        // Each waits for a line before it becomes the program, so that both start at once.
        Programs programs;
        for (int i = 0; i < 2; ++i) {
            programs.processes[i].setProcessEnvironment(m_environment);
            programs.processes[i].start("/bin/sh", {"-c", "read go && exec \"$0\" \"$1\"",
                                                    NORVA_EXECUTABLE, files[i]});
            ASSERT_TRUE(programs.processes[i].waitForStarted(5000));
        }
        for (QProcess& process : programs.processes)
            process.write("\n");
        const auto running = [&] {
            return int(
                std::count_if(programs.processes.begin(), programs.processes.end(),
                              [](const QProcess& p) { return p.state() != QProcess::NotRunning; }));
        };
        const auto allOpen = [&] {
            return std::all_of(datafiles.begin(), datafiles.end(), [](const QString& datafile) {
                return QFile::exists(datafile + ".lock");
            });
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return running() == 1 && allOpen(); }, 20000))
            << "programs running: " << running();
        // And it stays so.
        QTest::qWait(300);
        ASSERT_EQ(running(), 1);
        for (const QProcess& process : programs.processes) {
            if (process.state() == QProcess::NotRunning) {
                EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
                EXPECT_EQ(process.exitCode(), 0);
            }
        }
        for (QProcess& process : programs.processes) {
            if (process.state() != QProcess::NotRunning) {
                process.kill();
                process.waitForFinished(5000);
            }
            const QString errors = QString::fromUtf8(process.readAllStandardError());
            EXPECT_FALSE(errors.contains("unavailable")) << errors.toStdString();
            EXPECT_FALSE(errors.contains("Unable to open")) << errors.toStdString();
        }
    }
}
