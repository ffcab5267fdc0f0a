#include "model/RecordKind.h"

namespace orv {

QString recordTable(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Income: return QStringLiteral("INCOME");
    case RecordKind::Payout: return QStringLiteral("PAYOUT");
    case RecordKind::Loan: return QStringLiteral("ON_LOAD");
    }
    return {};
}

QString itemsTable(RecordKind kind)
{
    return recordTable(kind) + QStringLiteral("_ITEMS");
}

QString kindWord(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Income: return QStringLiteral("收入");
    case RecordKind::Payout: return QStringLiteral("支出");
    case RecordKind::Loan: return QStringLiteral("借贷");
    }
    return {};
}

std::optional<RecordKind> kindFromModule(int module)
{
    switch (module) {
    case 1: return RecordKind::Income;
    case 2: return RecordKind::Payout;
    case 5: return RecordKind::Loan;
    default: return std::nullopt;
    }
}

std::optional<RecordKind> kindFromItemsIndex(int index)
{
    switch (index) {
    case 0: return RecordKind::Income;
    case 1: return RecordKind::Payout;
    case 2: return RecordKind::Loan;
    default: return std::nullopt;
    }
}

int itemsIndexOf(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Income: return 0;
    case RecordKind::Payout: return 1;
    case RecordKind::Loan: return 2;
    }
    return 0;
}

} // namespace orv
