#pragma once

#include <QString>

// The few run-wide values every part of the program reads.

// Module on screen: 0 start screen, 1 income, 2 expense, 3 query, 4 analysis, 5 loans.
extern int g_nModule;
// The logged-in user's name.
extern QString g_strCurUser;
// The stored password (its hash) of the name last tried in the login dialog.
extern QString g_strUserCode;
// The program folder (the working directory at start), without trailing slash.
extern QString g_strAppDir;
// Row of the "支出记录" header in the query list.
extern int g_nPayoutHeaderRow;

// The book file in the program folder.
QString AppBookPath();
