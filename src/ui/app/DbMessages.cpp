#include "app/DbMessages.h"

#include "app/AppBook.h"
#include "app/Prompter.h"

orv::BookConnection *OpenBook(QWidget *parent)
{
    orv::DbError error;
    if (orv::BookConnection *conn = AppBook().connection(&error))
        return conn;
    ShowDbError(parent, error);
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
