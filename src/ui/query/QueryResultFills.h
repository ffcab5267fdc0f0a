#pragma once

#include "query/QueryCriteria.h"
#include "model/RecordKind.h"

#include <QString>

class QWidget;

// The query module's result fills: what a query found, written into the
// record list with its summary row, block headings and totals. Each writes
// the list from scratch and answers whether it got to the end; a failure
// has been shown to the user over parent.
bool FillIncomePayoutResult(QWidget *parent, const orv::QueryCriteria &query);
bool FillSingleKindResult(QWidget *parent, const orv::QueryCriteria &query, orv::RecordKind kind,
                          const QString &totalName, const QString &blockName);

// Runs a query into the query module's list by its range, as the query
// dialog's "查询(&Q)" does, and keeps it as the list's query (for re-sorts
// and for following the book). Criteria that cannot run are refused with
// the dialog's own message. True when the result is on screen.
bool ShowQueryResult(QWidget *parent, const orv::QueryCriteria &criteria);
