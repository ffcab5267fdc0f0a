#pragma once

#include "store/BookConnection.h"
#include "store/DbResult.h"

class QWidget;

// The run's book connection for one operation, or nullptr after telling the
// user "不能打开数据库" (and why): every command stops there rather than run
// on nothing. The connection belongs to the run's Book.
orv::BookConnection *OpenBook(QWidget *parent);

// How a failed book operation reaches the user: "不能打开数据库" when the
// book would not open, the engine's own words in a stop box when it refused
// a statement, and the reason itself when the program refused the change.
void ShowDbError(QWidget *parent, const orv::DbError &error);

// Shows the error of a failed result; true when it succeeded.
template <typename R>
bool CheckDb(QWidget *parent, const R &result)
{
    if (result.ok())
        return true;
    ShowDbError(parent, result.error());
    return false;
}
