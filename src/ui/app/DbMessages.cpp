#include "app/DbMessages.h"

#include "app/Globals.h"
#include "app/Prompter.h"

std::unique_ptr<orv::BookConnection> OpenBook(QWidget *parent)
{
    auto conn = std::make_unique<orv::BookConnection>(AppBookPath());
    if (conn->isOpen())
        return conn;
    ShowDbError(parent, conn->openError());
    return nullptr;
}

void ShowDbError(QWidget *parent, const orv::DbError &error)
{
    switch (error.kind) {
    case orv::DbError::Kind::CannotOpen:
        ShowMessage(parent, QStringLiteral("不能打开数据库"));
        return;
    case orv::DbError::Kind::Statement:
        ShowMessage(parent, error.message, QString(), MsgIcon::Stop);
        return;
    case orv::DbError::Kind::Refused:
        ShowAttention(parent, error.message);
        return;
    }
}
