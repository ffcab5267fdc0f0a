// Screenshots of every module and dialog, for the README and the docs:
//
//     orvendal-screenshots <out-dir>
//
// Makes a program folder in a temp directory with a book that holds a
// family's last few months (income, expense and loans of 爸爸 and 妈妈),
// brings up the real main window and dialogs over it, and saves a PNG of
// each. Run it on a virtual display with the real platform plugin, so that
// fonts and styles are those a user sees:
//
//     xvfb-run -a -s '-screen 0 1280x900x24' build/tools/orvendal-screenshots docs/screenshots
//
// No window manager runs there, so windows come without frames; each shot
// gets a plain frame drawn here with the window's own title and icon.

#include "app/CLedgerApp.h"
#include "app/CLoginDlg.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "analysis/CAnalysisView.h"
#include "analysis/CPeriodBar.h"
#include "items/CItemEditDlg.h"
#include "items/CSetItemsDlg.h"
#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/CQueryDlg.h"
#include "records/CAddRecordDlg.h"
#include "records/CAmountKeypadDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "records/EntryStore.h"
#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "model/TextForms.h"
#include "users/CAddUserDlg.h"
#include "users/CDeleteUserDlg.h"
#include "users/CModifyUserDlg.h"
#include "users/CUserManageDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");
const QString kDadPassword = QStringLiteral("baba2024");
const QString kMumPassword = QStringLiteral("mama2024");
// The list colour chosen in the colour shot: a soft green.
const QColor kChosenListColor(170, 214, 178);
// The main window's client area.
const QSize kClientSize(900, 600);

// ---------------------------------------------------------------- the book

// Dates of the demo book: the four months before the current one and the
// current month up to today, so that the book looks kept until now.
class DemoCalendar
{
public:
    explicit DemoCalendar(const QDate &today)
        : m_today(today)
        , m_first(QDate(today.year(), today.month(), 1).addMonths(-4))
    {
    }

    static constexpr int kMonths = 5;
    // Day `day` of the month `month` months after the first (clamped to the month's end).
    QDate Day(int month, int day) const
    {
        const QDate start = m_first.addMonths(month);
        return QDate(start.year(), start.month(), qMin(day, start.daysInMonth()));
    }
    bool Kept(const QDate &date) const { return date <= m_today; }
    int MonthNumber(int month) const { return m_first.addMonths(month).month(); }
    QDate First() const { return m_first; }
    QDate Today() const { return m_today; }

private:
    QDate m_today;
    QDate m_first;
};

struct DemoEntry
{
    orv::RecordKind kind;
    QDate date;
    QString items;
    double money;
    QString remark;
    QString user;
};

QString MonthWord(int month)
{
    return QString::number(month) + QStringLiteral("月");
}

// A household of two earners and a child in a large city: salaries in,
// the mortgage, bills, food and the child's lessons out, a loan to a
// colleague and one from a sister for the parents' house.
QList<DemoEntry> DemoEntries(const DemoCalendar &cal)
{
    using orv::RecordKind;
    QList<DemoEntry> all;
    auto add = [&](RecordKind kind, const QDate &date, const QString &items, double money, const QString &remark,
                   const QString &user) {
        if (cal.Kept(date))
            all.append({kind, date, items, money, remark, user});
    };
    const auto income = RecordKind::Income;
    const auto payout = RecordKind::Payout;
    const auto loan = RecordKind::Loan;

    // Amounts that move a little from month to month.
    const double power[] = {412.60, 268.30, 196.80, 231.40, 287.90};
    const double water[] = {76.50, 71.20, 63.80, 60.40, 62.10};
    const double gas[] = {58.00, 61.50, 84.30, 112.60, 138.20};
    const double market[][4] = {{286.40, 312.70, 264.90, 298.10},
                                {305.20, 276.80, 331.50, 289.60},
                                {268.30, 342.10, 297.40, 315.80},
                                {321.60, 288.90, 305.70, 276.30},
                                {296.50, 318.40, 284.20, 309.60}};
    const double dinner[][2] = {{368.00, 426.00}, {312.00, 458.00}, {586.00, 348.00}, {396.00, 284.00}, {452.00, 336.00}};
    const double fund[] = {46.82, 51.37, 49.15, 53.06, 50.48};

    for (int m = 0; m < DemoCalendar::kMonths; ++m) {
        // The salary paid early in a month is the last month's.
        const QString last = MonthWord(cal.MonthNumber(m - 1));
        add(payout, cal.Day(m, 1), QStringLiteral("住房"), 6200.00, QStringLiteral("房贷月供"), kDad);
        add(income, cal.Day(m, 1), QStringLiteral("投资收益"), fund[m], QStringLiteral("货币基金收益"), kDad);
        add(payout, cal.Day(m, 2), QStringLiteral("餐饮"), market[m][0], QStringLiteral("超市买菜"), kMum);
        add(payout, cal.Day(m, 3), QStringLiteral("通讯"), 158.00, QStringLiteral("两部手机话费"), kMum);
        add(income, cal.Day(m, 5), QStringLiteral("工资"), 12860.00, last + QStringLiteral("工资（税后）"), kDad);
        add(payout, cal.Day(m, 6), QStringLiteral("交通"), 350.00, QStringLiteral("加油"), kDad);
        add(payout, cal.Day(m, 7), QStringLiteral("教育"), 960.00, QStringLiteral("儿子钢琴课（4节）"), kMum);
        add(payout, cal.Day(m, 8), QStringLiteral("水电燃气"), power[m], QStringLiteral("电费"), kMum);
        add(payout, cal.Day(m, 8), QStringLiteral("水电燃气"), water[m], QStringLiteral("水费"), kMum);
        add(payout, cal.Day(m, 9), QStringLiteral("餐饮"), market[m][1], QStringLiteral("超市买菜"), kMum);
        add(income, cal.Day(m, 10), QStringLiteral("工资"), 8650.00, last + QStringLiteral("工资（学校）"), kMum);
        add(payout, cal.Day(m, 12), QStringLiteral("水电燃气"), gas[m], QStringLiteral("燃气费"), kMum);
        add(payout, cal.Day(m, 13), QStringLiteral("餐饮"), dinner[m][0], QStringLiteral("周末全家外出吃饭"), kDad);
        add(payout, cal.Day(m, 15), QStringLiteral("日用品"), 168.40 + 7.5 * m, QStringLiteral("纸巾、洗衣液等"), kMum);
        add(payout, cal.Day(m, 16), QStringLiteral("餐饮"), market[m][2], QStringLiteral("超市买菜"), kMum);
        add(payout, cal.Day(m, 18), QStringLiteral("交通"), 100.00, QStringLiteral("地铁卡充值"), kMum);
        add(payout, cal.Day(m, 20), QStringLiteral("交通"), 350.00, QStringLiteral("加油"), kDad);
        add(payout, cal.Day(m, 23), QStringLiteral("餐饮"), market[m][3], QStringLiteral("超市买菜"), kMum);
        add(payout, cal.Day(m, 26), QStringLiteral("餐饮"), dinner[m][1], QStringLiteral("朋友聚餐"), kDad);
        add(income, cal.Day(m, 27), QStringLiteral("兼职"), 1200.00, QStringLiteral("周末家教"), kMum);
    }

    // What happens once.
    add(payout, cal.Day(0, 4), QStringLiteral("娱乐"), 680.00, QStringLiteral("带孩子去海洋馆"), kDad);
    add(income, cal.Day(0, 11), QStringLiteral("报销"), 2368.00, QStringLiteral("出差车票住宿报销"), kDad);
    add(payout, cal.Day(0, 19), QStringLiteral("人情往来"), 800.00, QStringLiteral("同事结婚随礼"), kDad);
    add(payout, cal.Day(0, 24), QStringLiteral("服饰"), 459.00, QStringLiteral("孩子换季衣服"), kMum);
    add(payout, cal.Day(1, 1), QStringLiteral("教育"), 2680.00, QStringLiteral("新学期学杂费、书本费"), kMum);
    add(payout, cal.Day(1, 14), QStringLiteral("医疗"), 236.50, QStringLiteral("孩子感冒看病买药"), kMum);
    add(income, cal.Day(1, 21), QStringLiteral("奖金"), 6000.00, QStringLiteral("季度奖金"), kDad);
    add(payout, cal.Day(1, 22), QStringLiteral("人情往来"), 386.00, QStringLiteral("看望外婆买水果"), kMum);
    add(payout, cal.Day(2, 3), QStringLiteral("娱乐"), 1860.00, QStringLiteral("假期全家出游住宿"), kDad);
    add(income, cal.Day(2, 17), QStringLiteral("礼金"), 1000.00, QStringLiteral("奶奶给孙子的生日红包"), kMum);
    add(payout, cal.Day(2, 17), QStringLiteral("餐饮"), 268.00, QStringLiteral("儿子生日蛋糕"), kMum);
    add(payout, cal.Day(2, 25), QStringLiteral("医疗"), 128.00, QStringLiteral("体检加项"), kDad);
    add(payout, cal.Day(3, 11), QStringLiteral("服饰"), 899.00, QStringLiteral("爸爸冬季外套"), kDad);
    add(income, cal.Day(3, 14), QStringLiteral("报销"), 420.60, QStringLiteral("医药费报销"), kMum);
    add(payout, cal.Day(3, 21), QStringLiteral("其他"), 236.00, QStringLiteral("猫粮猫砂"), kMum);
    add(income, cal.Day(3, 24), QStringLiteral("其他"), 260.00, QStringLiteral("二手平台卖旧童车"), kMum);
    add(payout, cal.Day(4, 2), QStringLiteral("住房"), 1380.00, QStringLiteral("物业费（半年）"), kDad);

    // Loans: the colleague repays in two parts, the sister is repaid monthly.
    add(loan, cal.Day(0, 12), QStringLiteral("借出"), 5000.00, QStringLiteral("借给同事小王装修"), kDad);
    add(loan, cal.Day(1, 2), QStringLiteral("借入"), 10000.00, QStringLiteral("向姐姐借，老家翻修房子"), kMum);
    add(loan, cal.Day(1, 20), QStringLiteral("还入"), 2000.00, QStringLiteral("小王还款（第一次）"), kDad);
    add(loan, cal.Day(2, 15), QStringLiteral("还出"), 3000.00, QStringLiteral("还姐姐"), kMum);
    add(loan, cal.Day(3, 15), QStringLiteral("还出"), 3000.00, QStringLiteral("还姐姐"), kMum);
    add(loan, cal.Day(3, 22), QStringLiteral("还入"), 3000.00, QStringLiteral("小王还清"), kDad);
    add(loan, cal.Day(4, 3), QStringLiteral("借出"), 2000.00, QStringLiteral("借给表弟交学费"), kMum);

    // Entered day by day, as a family keeps a book.
    std::stable_sort(all.begin(), all.end(), [](const DemoEntry &a, const DemoEntry &b) { return a.date < b.date; });
    return all;
}

// The program folder: the book with the two users and the entries, direct
// login off or on, the user folder.
bool MakeProgramFolder(const QString &dir, const QList<DemoEntry> &entries)
{
    const QString book = orv::BookFile::bookPath(dir);
    const orv::DbStatus made = orv::BookSchema::createBook(book, {{kDad, kDadPassword}, {kMum, kMumPassword}});
    if (!made) {
        std::fprintf(stderr, "cannot make the book: %s\n", qPrintable(made.error().message));
        return false;
    }
    QDir(dir).mkpath(QStringLiteral("user"));
    for (const QString &user : {kDad, kMum})
        orv::UserColorFile(dir, user).writeDefault();

    orv::BookConnection conn(book);
    orv::Transaction tx(conn);
    orv::EntryList scratch;
    for (const DemoEntry &e : entries) {
        const auto stored = orv::EntryStore::insert(conn, e.kind, {e.date, e.items, e.money, e.remark, e.user}, scratch);
        if (!stored) {
            std::fprintf(stderr, "cannot add an entry: %s\n", qPrintable(stored.error().message));
            return false;
        }
    }
    return tx.commit();
}

// ---------------------------------------------------------------- prompts

// Nothing in the tour should ask anything; a box that comes up anyway is
// reported, answered with No or OK, and makes the run fail.
class TourPrompter final : public CPrompter
{
public:
    MsgResult Message(QWidget *, const QString &text, const QString &caption, MsgIcon, MsgButtons buttons) override
    {
        std::fprintf(stderr, "unexpected message box \"%s\": %s\n", qPrintable(caption), qPrintable(text));
        ++m_nUnexpected;
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    QString ChooseFile(QWidget *, const FileDialogRequest &request) override
    {
        std::fprintf(stderr, "unexpected file dialog \"%s\"\n", qPrintable(request.title));
        ++m_nUnexpected;
        return {};
    }
    QColor ChooseColor(QWidget *, const QColor &) override { return kChosenListColor; }

    int m_nUnexpected = 0;
};

// ---------------------------------------------------------------- pictures

// Lets the event loop run for a while: layouts settle, deferred work runs,
// pictures are drawn.
void Settle(int ms = 150)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

constexpr int kTitleHeight = 28;
constexpr int kBorder = 1;
const QColor kFrameColor(112, 118, 132);

// The size of a window with the frame drawn around it.
QSize FramedSize(const QWidget *window)
{
    const bool titled = !(window->windowFlags() & Qt::FramelessWindowHint);
    return window->size() + QSize(2 * kBorder, 2 * kBorder + (titled ? kTitleHeight : 0));
}

// Where the window's content starts inside its frame.
QPoint ContentOffset(const QWidget *window)
{
    const bool titled = !(window->windowFlags() & Qt::FramelessWindowHint);
    return QPoint(kBorder, kBorder + (titled ? kTitleHeight : 0));
}

// A plain, quiet title bar: icon, title, the window's buttons.
void PaintFrame(QPainter &p, const QWidget *window, const QPoint &at)
{
    const QSize size = FramedSize(window);
    const QRect outer(at, size);
    p.fillRect(outer, kFrameColor);
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return;
    const QRect bar(at + QPoint(kBorder, kBorder), QSize(size.width() - 2 * kBorder, kTitleHeight));
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0, QColor(246, 247, 250));
    shade.setColorAt(1, QColor(226, 229, 236));
    p.fillRect(bar, shade);
    p.setPen(QColor(196, 200, 210));
    p.drawLine(bar.bottomLeft(), bar.bottomRight());

    int x = bar.left() + 8;
    const QIcon icon = window->windowIcon();
    if (!icon.isNull()) {
        p.drawPixmap(x, bar.top() + (kTitleHeight - 16) / 2, icon.pixmap(16, 16));
        x += 22;
    }

    // Buttons from the right: close, then maximise and minimise if the window has them.
    QStringList glyphs{QStringLiteral("✕")};
    if (window->windowFlags() & Qt::WindowMaximizeButtonHint)
        glyphs.prepend(QStringLiteral("☐"));
    if (window->windowFlags() & Qt::WindowMinimizeButtonHint)
        glyphs.prepend(QStringLiteral("—"));
    const int buttonWidth = 30;
    const int buttonsLeft = bar.right() - int(glyphs.size()) * buttonWidth;
    QFont glyphFont = QApplication::font();
    glyphFont.setPointSizeF(glyphFont.pointSizeF() * 0.95);
    p.setFont(glyphFont);
    p.setPen(QColor(70, 74, 86));
    for (int i = 0; i < glyphs.size(); ++i)
        p.drawText(QRect(buttonsLeft + i * buttonWidth, bar.top(), buttonWidth, kTitleHeight), Qt::AlignCenter,
                   glyphs[i]);

    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(QColor(40, 44, 56));
    const QRect textRect(x, bar.top(), buttonsLeft - x - 6, kTitleHeight);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(window->windowTitle(), Qt::ElideRight, textRect.width()));
}

// A window and the windows over it, each framed, as they stand on the screen.
QImage Compose(const QList<QWidget *> &windows)
{
    QRect area;
    QList<QPoint> places;
    for (QWidget *w : windows) {
        // Placed so that the content lands where it is on the screen.
        const QPoint at = w->mapToGlobal(QPoint(0, 0)) - ContentOffset(w);
        places.append(at);
        area |= QRect(at, FramedSize(w));
    }
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QWidget *w = windows[i];
        const QPoint at = places[i] - area.topLeft();
        PaintFrame(p, w, at);
        p.drawPixmap(at + ContentOffset(w), w->grab());
    }
    return image;
}

// These pictures go into the repository: where pngquant is installed, it
// makes each a palette PNG of a fraction of the size, with no visible change.
void Shrink(const QString &path)
{
    static const QString pngquant = QStandardPaths::findExecutable(QStringLiteral("pngquant"));
    if (pngquant.isEmpty())
        return;
    QProcess::execute(pngquant, {QStringLiteral("--force"), QStringLiteral("--skip-if-larger"), QStringLiteral("--strip"),
                                 QStringLiteral("--speed"), QStringLiteral("1"), QStringLiteral("--quality"),
                                 QStringLiteral("75-95"), QStringLiteral("--output"), path, path});
}

class Tour
{
public:
    Tour(QString outDir, const DemoCalendar &cal)
        : m_outDir(std::move(outDir))
        , m_cal(cal)
    {
    }

    bool Save(const QString &name, const QImage &image)
    {
        const QString path = QDir(m_outDir).filePath(name);
        // Highest compression; the PNG carries no text chunks.
        if (!image.convertToFormat(QImage::Format_RGB888).save(path, "PNG", 0)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            m_bFailed = true;
            return false;
        }
        Shrink(path);
        std::printf("%s\n", qPrintable(path));
        return true;
    }
    bool Shot(const QString &name, const QList<QWidget *> &windows)
    {
        Settle();
        return Save(name, Compose(windows));
    }

    void Run(const QString &programDir);
    bool Failed() const { return m_bFailed; }

private:
    void LoginShot(const QString &programDir);
    void ModuleShots(CLedgerDlg &ledger);
    void EntryDialogShots(CLedgerDlg &ledger);
    void QueryShots(CLedgerDlg &ledger);
    void CategoryShots(CLedgerDlg &ledger);
    void UserShots(CLedgerDlg &ledger);
    void ColourAndAboutShots(CLedgerDlg &ledger);
    void AnalysisShots(CLedgerDlg &ledger);

    static void PlaceLedger(CLedgerDlg &ledger)
    {
        ledger.resize(kClientSize.width(), kClientSize.height() + ledger.MenuBar()->sizeHint().height());
        ledger.move(60, 40);
    }
    // Selects a row recorded by the current user: the last one, or the
    // one that many of that user's rows before it.
    static void SelectOwnRow(int fromEnd);

    QString m_outDir;
    DemoCalendar m_cal;
    bool m_bFailed = false;
};

void Tour::SelectOwnRow(int fromEnd)
{
    CRecordListCtrl &list = RecordList();
    int seen = 0;
    for (int row = list.GetItemCount() - 1; row >= 0; --row) {
        if (list.GetItemText(row, 5) == g_strCurUser && seen++ == fromEnd) {
            list.SelectRow(row);
            return;
        }
    }
}

void Tour::LoginShot(const QString &programDir)
{
    // The login as a user meets it: direct login off, the dialog over the
    // start screen before any figures are shown.
    orv::ProgramSettings(programDir).save(false, kDad);
    CLedgerDlg ledger;
    PlaceLedger(ledger);
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *login = qobject_cast<CLoginDlg *>(QApplication::activeModalWidget());
        if (!login || answered)
            return;
        answered = true;
        poll.stop();
        login->UserBox()->setCurrentText(kDad);
        login->PasswordEdit()->setText(kDadPassword);
        Shot(QStringLiteral("01-login.png"), {&ledger, login});
        login->accept();
    });
    poll.start(50);
    ledger.show();
    Settle(400);
    if (!answered) {
        std::fprintf(stderr, "the login dialog did not come\n");
        m_bFailed = true;
    }
    ledger.hide();
}

void Tour::ModuleShots(CLedgerDlg &ledger)
{
    Shot(QStringLiteral("02-start.png"), {&ledger});

    ledger.SwitchToIncome();
    SelectOwnRow(1);
    Shot(QStringLiteral("03-income.png"), {&ledger});

    ledger.SwitchToPayout();
    SelectOwnRow(0);
    Shot(QStringLiteral("04-expense.png"), {&ledger});

    ledger.SwitchToLoan();
    SelectOwnRow(0);
    Shot(QStringLiteral("05-loans.png"), {&ledger});
}

void Tour::EntryDialogShots(CLedgerDlg &ledger)
{
    ledger.SwitchToPayout();
    {
        // The next expense half typed, the keypad open beside the dialog.
        CAddRecordDlg add(orv::RecordKind::Payout, &ledger);
        add.show();
        Settle();
        add.ItemsBox()->setCurrentText(QStringLiteral("餐饮"));
        add.RemarkEdit()->setText(QStringLiteral("周末全家外出吃饭"));
        add.OnKeypadButton();
        add.AmountEdit()->clear();
        for (int code : {3, 2, 8, kKeypadPointCode, 5})
            add.OnKeypadKey(code);
        if (add.Keypad()) {
            Shot(QStringLiteral("06-add-keypad.png"), {&add, add.Keypad()});
        } else {
            std::fprintf(stderr, "the keypad did not open\n");
            m_bFailed = true;
        }
        add.CloseKeypad();
        add.reject();
    }

    // The modify dialog of the selected row, filled as the command fills it.
    SelectOwnRow(0);
    CRecordListCtrl &list = RecordList();
    const int row = list.GetSelectionMark();
    CModifyRecordDlg modify(orv::RecordKind::Payout, &ledger);
    modify.m_nId = list.GetItemText(row, 0).toInt();
    modify.m_tDate = orv::parseDateText(list.GetItemText(row, 1)).value_or(m_cal.Today());
    modify.m_strItems = list.GetItemText(row, 2);
    modify.m_dMoney = list.GetItemText(row, 3).toDouble();
    modify.m_strRemark = list.GetItemText(row, 4);
    modify.show();
    Shot(QStringLiteral("07-modify.png"), {&modify});
    modify.reject();
}

void Tour::QueryShots(CLedgerDlg &ledger)
{
    ledger.SwitchToQuery();
    Shot(QStringLiteral("08-query-overview.png"), {&ledger});

    // Last month's income and expense.
    const QDate lastMonth = m_cal.Day(DemoCalendar::kMonths - 2, 1);
    {
        CQueryDlg query(&ledger);
        query.DateFromPicker()->setDate(lastMonth);
        query.DateToPicker()->setDate(lastMonth.addDays(lastMonth.daysInMonth() - 1));
        query.show();
        Shot(QStringLiteral("09-query-dialog.png"), {&query});
        query.OnOK();
        query.reject();
    }
    RecordList().SetFocus();
    Shot(QStringLiteral("10-query-income-expense.png"), {&ledger});

    // Every loan of the book, with who owes whom.
    {
        CQueryDlg query(&ledger);
        query.show();
        if (auto *loans = query.findChild<QAbstractButton *>(QStringLiteral("1037")))
            loans->click();
        query.DateFromPicker()->setDate(m_cal.First());
        query.DateToPicker()->setDate(m_cal.Today());
        Settle();
        query.OnOK();
        query.reject();
    }
    RecordList().SetFocus();
    Shot(QStringLiteral("11-query-loans.png"), {&ledger});
}

void Tour::CategoryShots(CLedgerDlg &ledger)
{
    CSetItemsDlg items(&ledger);
    items.KindBox()->setCurrentIndex(1);
    items.show();
    Settle();
    items.ItemList()->setCurrentRow(0);
    Shot(QStringLiteral("12-categories.png"), {&items});

    CItemEditDlg edit(1, true, items.ItemList()->currentItem()->text(), &items);
    edit.show();
    Shot(QStringLiteral("13-category-edit.png"), {&edit});
    edit.hide();
    items.hide();
}

void Tour::UserShots(CLedgerDlg &ledger)
{
    CUserManageDlg users(&ledger);
    users.show();
    users.SelectUser(kMum);
    Shot(QStringLiteral("14-users.png"), {&users});

    {
        CAddUserDlg add(&users);
        add.NameEdit()->setText(QStringLiteral("奶奶"));
        add.PasswordEdit()->setText(QStringLiteral("nainai"));
        add.ConfirmEdit()->setText(QStringLiteral("nainai"));
        add.show();
        Shot(QStringLiteral("15-user-add.png"), {&add});
        add.hide();
    }
    {
        CModifyUserDlg modify(kMum, &users);
        modify.OldPasswordEdit()->setText(kMumPassword);
        modify.show();
        modify.NewPasswordEdit()->setFocus();
        Shot(QStringLiteral("16-user-modify.png"), {&modify});
        modify.hide();
    }
    {
        CDeleteUserDlg remove(kMum, &users);
        remove.show();
        Shot(QStringLiteral("17-user-delete.png"), {&remove});
        remove.hide();
    }
    users.hide();
}

void Tour::ColourAndAboutShots(CLedgerDlg &ledger)
{
    ledger.SwitchToPayout();
    ledger.OnSetBackColor();
    SelectOwnRow(2);
    Shot(QStringLiteral("18-list-colour.png"), {&ledger});

    CAboutDlg about(&ledger);
    about.show();
    Shot(QStringLiteral("19-about.png"), {&about});
    about.hide();
}

void Tour::AnalysisShots(CLedgerDlg &ledger)
{
    // The family's months so far, chart by chart.
    ledger.SwitchToAnalysis();
    CAnalysisView *view = ledger.AnalysisView();
    view->SetPeriod(orv::AnalysisPeriod::range(m_cal.First(), m_cal.Today()));
    const struct
    {
        orv::AnalysisChart chart;
        const char *name;
    } shots[] = {
        {orv::AnalysisChart::Trend, "20-analysis-trend.png"},
        {orv::AnalysisChart::PayoutShares, "21-analysis-expense.png"},
        {orv::AnalysisChart::Members, "22-analysis-members.png"},
        {orv::AnalysisChart::Loans, "23-analysis-loans.png"},
    };
    for (const auto &shot : shots) {
        view->SetCurrentChart(shot.chart);
        Shot(QString::fromLatin1(shot.name), {&ledger});
    }
    view->SetCurrentChart(orv::AnalysisChart::Trend);
}

void Tour::Run(const QString &programDir)
{
    LoginShot(programDir);

    // From here on 爸爸 is logged in directly, as set.ini says.
    orv::ProgramSettings(programDir).save(true, kDad);
    CLedgerDlg ledger;
    PlaceLedger(ledger);
    ledger.show();
    Settle(300);

    ModuleShots(ledger);
    EntryDialogShots(ledger);
    QueryShots(ledger);
    CategoryShots(ledger);
    UserShots(ledger);
    ColourAndAboutShots(ledger);
    AnalysisShots(ledger);
    ledger.hide();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvendal"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvendal-screenshots <out-dir>\n");
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    CLedgerApp::SetUpLookAndLanguage();

    QTemporaryDir programDir;
    if (!programDir.isValid()) {
        std::fprintf(stderr, "cannot make a temp folder\n");
        return 1;
    }
    const DemoCalendar cal(QDate::currentDate());
    if (!MakeProgramFolder(programDir.path(), DemoEntries(cal)))
        return 1;
    // The program works in its folder.
    QDir::setCurrent(programDir.path());
    g_strAppDir = programDir.path();

    TourPrompter prompter;
    SetPrompter(&prompter);
    Tour tour(outDir, cal);
    tour.Run(programDir.path());
    SetPrompter(nullptr);
    return tour.Failed() || prompter.m_nUnexpected > 0 ? 1 : 0;
}
