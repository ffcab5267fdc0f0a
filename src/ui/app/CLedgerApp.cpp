#include "app/CLedgerApp.h"

#include "app/BusyIndicator.h"
#include "app/FileMessages.h"
#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "mainwnd/MaintenanceCommands.h"
#include "settings/ProgramOptions.h"
#include "store/BookSchema.h"
#include "store/BusyWait.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "book/Leftovers.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookFile.h"
#include "store/DataSource.h"

#include <QCommandLineParser>
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

bool CLedgerApp::ChooseBook(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption bookOption(QStringLiteral("book"),
                                        QStringLiteral("The book to work on: a postgresql:// URI or a book file."),
                                        QStringLiteral("URI"));
    parser.addOption(bookOption);
    parser.parse(arguments);
    QString wanted = parser.value(bookOption);
    if (wanted.isEmpty())
        wanted = orv::ProgramOptions::load(g_strAppDir).book;
    if (wanted.isEmpty()) {
        SetAppBookLocation(std::nullopt);
        return true;
    }
    QString problem;
    const std::optional<orv::BookLocation> location = orv::BookLocation::parse(wanted, g_strAppDir, &problem);
    if (!location) {
        ShowMessage(nullptr, QStringLiteral("帐本的位置“%1”不能使用：%2").arg(wanted, problem));
        return false;
    }
    // The book file of the program folder is the default itself.
    SetAppBookLocation(location->isFile() && location->filePath() == AppBookPath() ? std::nullopt : location);
    return true;
}

bool CLedgerApp::CheckBookOpens()
{
    orv::DbError error;
    orv::BookConnection *conn = AppBook().connection(&error);
    orv::BusyWait::finished();
    if (conn && orv::BookSchema::isBook(*conn))
        return true;
    if (conn)
        error = orv::DbError::cannotOpen(QString(), orv::DbError::Cause::NotABook);
    const orv::BookLocation location = AppBookLocation();
    if (location.isServer()) {
        // Nothing to restore into on this computer: say what is wrong with
        // the server book, before any window.
        ShowMessage(nullptr, DbErrorText(error) + QStringLiteral("\n\n服务器帐本：%1").arg(location.display()));
        return false;
    }
    // A damaged book locks nobody out of the backups.
    AppBook().close();
    return RestoreUnreadableBook(error);
}

bool CLedgerApp::PrepareBook(const QStringList &arguments)
{
    g_strAppDir = QDir::currentPath();
    if (g_strAppDir.isEmpty() || g_strAppDir == QStringLiteral("null"))
        g_strAppDir = QDir::currentPath();
    if (!ChooseBook(arguments))
        return false;

    // A run that died half-way may have left the users' carry file (with
    // their passwords) or half-written settings behind.
    ShowFileProblems(nullptr, QStringLiteral("上次运行意外中断后留下的临时文件无法删除，请手动删除它们。"),
                     orv::cleanLeftovers(g_strAppDir).failed);

    const orv::BookLocation location = AppBookLocation();
    if (location.isFile() && location.filePath() == AppBookPath() &&
        orv::BookFile::ensureBook(g_strAppDir) == orv::BookFile::CheckResult::Missing) {
        ShowMessage(nullptr, QStringLiteral("数据库文件丢失!"));
        return false;
    }
    if (location.isFile() && !QFileInfo::exists(location.filePath())) {
        ShowMessage(nullptr, QStringLiteral("数据库文件丢失!") + QStringLiteral("\n\n（%1）").arg(location.display()));
        return false;
    }

    switch (location.isServer() ? orv::DataSource::registerServerBook(location.uri())
                                : orv::DataSource::registerBook(location.filePath())) {
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
    return CheckBookOpens();
}

int CLedgerApp::InitInstance()
{
    SetUpLookAndLanguage();
    InstallBusyIndicator();
    if (!PrepareBook(arguments()))
        return 0;
    CLedgerDlg dlg;
    dlg.exec();
    return 0;
}
