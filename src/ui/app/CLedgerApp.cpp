#include "app/CLedgerApp.h"

#include "app/BusyIndicator.h"
#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "files/Leftovers.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookFile.h"
#include "store/DataSource.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// A path with its control characters spelled out, so a line break in it
// shows as what it is instead of breaking the message.
QString PrintablePath(const QString &path)
{
    QString shown;
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace

CLedgerApp::CLedgerApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // Boxes without a caption of their own show the program's file name.
    setApplicationName(QFileInfo(applicationFilePath()).completeBaseName());
    setApplicationVersion(QStringLiteral("2.5.1"));
    setOrganizationName(QStringLiteral("Orvendal"));
    setDesktopFileName(QStringLiteral("orvendal"));
}

void CLedgerApp::SetUpLookAndLanguage()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    for (const char *catalogue : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto *translator = new QTranslator(qApp);
        if (translator->load(QString::fromLatin1(catalogue), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
    QApplication::setFont(DialogFont());
    QApplication::setWindowIcon(AppIcon());
}

bool CLedgerApp::PrepareBook()
{
    g_strAppDir = QDir::currentPath();
    if (g_strAppDir.isEmpty() || g_strAppDir == QStringLiteral("null"))
        g_strAppDir = QDir::currentPath();

    // A run that died half-way may have left the users' carry file (with
    // their passwords) or half-written settings behind.
    ShowFileProblems(nullptr, QStringLiteral("上次运行意外中断后留下的临时文件无法删除，请手动删除它们。"),
                     orv::cleanLeftovers(g_strAppDir).failed);

    if (orv::BookFile::ensureBook(g_strAppDir) == orv::BookFile::CheckResult::Missing) {
        ShowMessage(nullptr, QStringLiteral("数据库文件丢失!"));
        return false;
    }

    switch (orv::DataSource::registerBook(AppBookPath())) {
    case orv::DataSource::Result::Registered:
        break;
    case orv::DataSource::Result::InstallerMissing:
        ShowMessage(nullptr,
                    QStringLiteral("The ODBC installer library (%1) is not installed on this system.")
                        .arg(orv::DataSource::installerLibraryName()),
                    QStringLiteral("ODBC Installer Error"), MsgIcon::Information);
        ShowMessage(nullptr, QStringLiteral("SQLConfigDataSource Failed"));
        break;
    case orv::DataSource::Result::Refused:
        ShowMessage(nullptr, QStringLiteral("SQLConfigDataSource Failed"));
        break;
    case orv::DataSource::Result::UnsafePath:
        ShowMessage(nullptr,
                    QStringLiteral("程序文件夹的名称含有换行等控制字符，无法登记ODBC数据源“Orvendal”，"
                                   "其他程序将不能通过这个名称打开帐本（本程序仍可正常使用）。\n"
                                   "请把程序文件夹改名或移到名称中没有这些字符的位置。\n\n（%1）")
                        .arg(PrintablePath(AppBookPath())),
                    QString(), MsgIcon::Exclamation);
        break;
    }
    return true;
}

int CLedgerApp::InitInstance()
{
    SetUpLookAndLanguage();
    InstallBusyIndicator();
    if (!PrepareBook())
        return 0;
    CLedgerDlg dlg;
    dlg.exec();
    return 0;
}
