#pragma once

#include <QString>

#include <array>
#include <optional>

namespace orv {

// The three kinds of entry. The numbers are the module codes of the main
// window, which other parts of the program store and compare.
enum class RecordKind { Income = 1, Payout = 2, Loan = 5 };

inline constexpr std::array<RecordKind, 3> kAllKinds = {RecordKind::Income, RecordKind::Payout, RecordKind::Loan};

// Entry table of a kind: INCOME, PAYOUT, ON_LOAD.
QString recordTable(RecordKind kind);
// Category table of a kind: INCOME_ITEMS, PAYOUT_ITEMS, ON_LOAD_ITEMS.
QString itemsTable(RecordKind kind);
// The kind's word on screen: 收入, 支出, 借贷.
QString kindWord(RecordKind kind);

// The kind whose module code this is, if any (1, 2, 5).
std::optional<RecordKind> kindFromModule(int module);
// The category dialogs number the kinds 0, 1, 2.
std::optional<RecordKind> kindFromItemsIndex(int index);
int itemsIndexOf(RecordKind kind);

} // namespace orv
