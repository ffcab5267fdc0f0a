#include "app/DbMessages.h"

#include "app/AppBook.h"
#include "app/Prompter.h"
#include "store/BusyWait.h"

using Cause = orv::DbError::Cause;

orv::BookConnection *OpenBook(QWidget *parent)
{
    orv::DbError error;
    orv::BookConnection *conn = AppBook().connection(&error);
    // Opening may have waited for a book held elsewhere; that wait is over.
    orv::BusyWait::finished();
    if (conn)
        return conn;
    ShowDbError(parent, error);
    return nullptr;
}

QString DbCauseSentence(Cause cause)
{
    switch (cause) {
    case Cause::Busy:
        return QStringLiteral("帐本正被其他程序使用，等了几秒仍没有空出来，这次操作没有完成。"
                              "请关闭正在使用帐本的其他程序（或稍等片刻）后再试一次。");
    case Cause::ReadOnly:
        return QStringLiteral("帐本文件或它所在的文件夹不允许写入（只读或没有权限），这次更改没有保存。"
                              "请检查文件和文件夹的权限后再试。");
    case Cause::DiskFull:
        return QStringLiteral("磁盘已满，这次更改没有保存。请清理出一些磁盘空间后再试。");
    case Cause::Damaged:
        return QStringLiteral("帐本文件已损坏，有些内容无法读取。"
                              "请用“管理数据库”菜单中的“导入恢复数据库”从备份中恢复帐本。");
    case Cause::NotABook:
        return QStringLiteral("这个文件不是本程序的帐本数据库。请检查程序文件夹中的帐本文件，或从备份中恢复帐本。");
    case Cause::NewerLayout:
        return QStringLiteral("这个帐本是由更新版本的程序建立的，本程序无法使用它。请先升级程序再打开帐本。");
    case Cause::Missing:
        return QStringLiteral("找不到帐本文件。请检查程序文件夹中的帐本文件是否被移走或改名，或从备份中恢复帐本。");
    case Cause::ServerDown:
        return QStringLiteral("无法连接帐本服务器：帐本所在的地址上没有服务器应答。请检查服务器是否已经启动、网络是否连通。");
    case Cause::BadAddress:
        return QStringLiteral("帐本服务器的地址无法识别。请检查帐本服务器的地址是否写对了。");
    case Cause::PasswordRejected:
        return QStringLiteral("帐本服务器不接受登录的用户名或密码。请检查连接服务器所用的用户名和密码。");
    case Cause::PermissionDenied:
        return QStringLiteral("帐本服务器上的这个帐户没有使用帐本的权限。请让服务器的管理员授予权限。");
    case Cause::ConnectionLost:
        return QStringLiteral("与帐本服务器的连接中断了，这次操作没有完成。请检查网络后再试一次。");
    case Cause::Conflict:
        return QStringLiteral("别人在同一时间修改了同样的记录，这次更改没有保存。请重新打开列表看过之后再试一次。");
    case Cause::Unknown:
        break;
    }
    return QStringLiteral("帐本操作出错，这次操作没有完成。请再试一次；如果仍然出错，请先备份帐本。");
}

QString DbErrorText(const orv::DbError &error)
{
    if (error.kind == orv::DbError::Kind::Refused)
        return error.message;
    QString text;
    if (error.kind == orv::DbError::Kind::CannotOpen)
        text = QStringLiteral("不能打开数据库\n");
    text += DbCauseSentence(error.cause);
    // The engine's own words, for whoever helps the family find the fault.
    if (!error.message.trimmed().isEmpty())
        text += QStringLiteral("\n\n（") + error.message.trimmed() + QStringLiteral("）");
    return text;
}

void ShowDbError(QWidget *parent, const orv::DbError &error)
{
    switch (error.kind) {
    case orv::DbError::Kind::CannotOpen:
        ShowMessage(parent, DbErrorText(error));
        return;
    case orv::DbError::Kind::Statement:
        ShowMessage(parent, DbErrorText(error), QString(), MsgIcon::Stop);
        return;
    case orv::DbError::Kind::Refused:
        ShowAttention(parent, error.message);
        return;
    }
}
