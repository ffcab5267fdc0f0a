#pragma once

#include <QtGlobal>

#include <iterator>

namespace orv {

// The colours of the charts as 0xRRGGBB, the same on screen, in saved
// pictures and in the spreadsheet's charts, so that a family reads income
// as green and expense as red wherever it meets them.
inline constexpr quint32 kIncomeColor = 0x3E9E5C;
inline constexpr quint32 kPayoutColor = 0xD9534F;
inline constexpr quint32 kBalanceColor = 0x2F6DB5;
inline constexpr quint32 kRunningColor = 0xE39B1B;
inline constexpr quint32 kOwedToFamilyColor = 0x2E8B8B;
inline constexpr quint32 kOwedByFamilyColor = 0xC2185B;
inline constexpr quint32 kOtherSliceColor = 0xA3A8B2;

// Slices of a pie, in order; "其他" takes kOtherSliceColor.
inline constexpr quint32 kSliceColors[] = {0x4E79A7, 0xF28E2B, 0xE15759, 0x76B7B2, 0x59A14F,
                                           0xEDC948, 0xB07AA1, 0xFF9DA7, 0x9C755F, 0x6B8E23};
// The parts of the family members' bars: income in greens and blues,
// expense in reds and browns.
inline constexpr quint32 kIncomePartColors[] = {0x2E7D32, 0x43A047, 0x66BB6A, 0x26A69A, 0x4DB6AC, 0x80CBC4};
inline constexpr quint32 kPayoutPartColors[] = {0xC62828, 0xE53935, 0xF4511E, 0xFB8C00, 0xA1887F, 0xF06292};

inline quint32 sliceColor(qsizetype index, bool other)
{
    return other ? kOtherSliceColor : kSliceColors[index % qsizetype(std::size(kSliceColors))];
}

// A part of a member's income (or expense) bar; "其他" takes kOtherSliceColor.
inline quint32 partColor(bool income, qsizetype index, bool other)
{
    if (other)
        return kOtherSliceColor;
    return income ? kIncomePartColors[index % qsizetype(std::size(kIncomePartColors))]
                  : kPayoutPartColors[index % qsizetype(std::size(kPayoutPartColors))];
}

} // namespace orv
