#pragma once

#include "store/BookConnection.h"
#include "store/DbResult.h"

class QWidget;

// The run's book connection for one operation, or nullptr after telling the
// user "不能打开数据库" (and why): every command stops there rather than run
// on nothing. The connection belongs to the run's Book.
orv::BookConnection *OpenBook(QWidget *parent);

// What happened and what to do about it, for each way the book can fail.
QString DbCauseSentence(orv::DbError::Cause cause);

// The whole message of a failed book operation: "不能打开数据库" first when
// the book would not open; then the sentence for its cause; then the
// engine's own words. A refusal of the program's own is its reason alone.
QString DbErrorText(const orv::DbError &error);

// How a failed book operation reaches the user: the text above, in a stop
// box (a refusal in the dialogs' "注意" box).
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
