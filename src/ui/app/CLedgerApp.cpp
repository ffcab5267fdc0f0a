#include "app/CLedgerApp.h"

#include "app/BusyIndicator.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookFile.h"
#include "store/DataSource.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
