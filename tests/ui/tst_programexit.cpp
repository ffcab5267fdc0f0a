// The program leaves cleanly once its window closes: the run is started
// as the real one is (a program folder with a book, direct login), the
// window is closed with "退出系统", and the process must end normally with 0.
#include "app/CLedgerApp.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/ProgramSettings.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The child: the program's own start-up in the folder, its window closed
// by the exit command as soon as it is up.
int RunProgram(int argc, char *argv[], const QString &folder)
{
    QDir::setCurrent(folder);
    CLedgerApp app(argc, argv);
    QTimer::singleShot(100, [] {
        if (CLedgerDlg *window = LedgerWindow())
            window->RunCommand(32774);
    });
    return app.InitInstance();
}

} // namespace

class TestProgramExit final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endsNormallyAfterTheWindowCloses()
    {
        QTemporaryDir folder;
        const QString dad = QStringLiteral("爸爸");
        QVERIFY(orv::BookSchema::createBook(orv::BookFile::bookPath(folder.path()), {{dad, QStringLiteral("pw")}}));
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("user")));
        orv::ProgramSettings(folder.path()).save(true, dad);

        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--run-program-in"), folder.path()});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 0);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--run-program-in") == 0)
        return RunProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    TestProgramExit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_programexit.moc"
