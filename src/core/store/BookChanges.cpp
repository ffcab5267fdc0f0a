#include "store/BookChanges.h"

namespace orv {

BookChange entryChange(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Income: return BookChange::Income;
    case RecordKind::Payout: return BookChange::Payout;
    case RecordKind::Loan: return BookChange::Loans;
    }
    return BookChange::Everything;
}

BookChanges changeOfTable(const QString &table)
{
    for (RecordKind kind : kAllKinds) {
        if (table == recordTable(kind))
            return entryChange(kind);
        if (table == itemsTable(kind))
            return BookChange::Categories;
    }
    if (table == QLatin1String("USER"))
        return BookChange::Users;
    return BookChange::Everything;
}

} // namespace orv
