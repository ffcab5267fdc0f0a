// The entry dialogs' amount checks beyond what a user types by hand, and the
// entry edits on a real book.
#include "records/EntryStore.h"
#include "records/EntryInput.h"
#include "store/BookConnection.h"
#include "support/TestBook.h"

#include <QTest>

using orv::EntryProblem;
using orv::RecordKind;

class TstEntryInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void amountChecks_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("problem");
        QTest::addColumn<double>("stored");
        QTest::newRow("rounds to zero") << "0.001" << int(EntryProblem::AmountNotPositive) << 0.0;
        QTest::newRow("negative from the wheel") << "-0.5" << int(EntryProblem::AmountNotPositive) << 0.0;
        QTest::newRow("pasted unit") << "12元" << int(EntryProblem::AmountNotNumber) << 0.0;
        QTest::newRow("infinity") << "inf" << int(EntryProblem::AmountNotNumber) << 0.0;
        QTest::newRow("not a number") << "nan" << int(EntryProblem::AmountNotNumber) << 0.0;
        QTest::newRow("too large") << "1e31" << int(EntryProblem::AmountTooLarge) << 0.0;
        QTest::newRow("trailing point") << "7." << int(EntryProblem::None) << 7.0;
        QTest::newRow("leading point") << ".5" << int(EntryProblem::None) << 0.5;
        QTest::newRow("pasted with blanks") << " 3 " << int(EntryProblem::None) << 3.0;
    }
    void amountChecks()
    {
        QFETCH(QString, amount);
        QFETCH(int, problem);
        QFETCH(double, stored);
        double money = -1.0;
        QCOMPARE(int(orv::checkEntryInput(amount, QStringLiteral("餐饮"), QStringLiteral("备注"), &money)), problem);
        QCOMPARE(money, problem == int(EntryProblem::None) ? stored : -1.0); // untouched on refusal
    }

};

QTEST_GUILESS_MAIN(TstEntryInput)
#include "tst_entryinput.moc"
