#include "mainwnd/CLedgerDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/PlainText.h"
#include "app/Prompter.h"
#include "backup/CAutoBackup.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "mainwnd/CColorToolBar.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "query/QueryResultFills.h"
#include "records/CRecordListCtrl.h"
#include "settings/ProgramSettings.h"
#include "store/BookConnection.h"
#include "users/UserStore.h"

#include <QAction>
#include <QGroupBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

CLedgerDlg *g_pLedgerWindow = nullptr;

// False as well when the book does not open: the login dialog then says so.
bool IsUserOfTheBook(const QString &name)
{
    orv::BookConnection *conn = AppBook().connection();
    if (!conn)
        return false;
    const auto taken = orv::UserStore::nameTaken(*conn, name);
    return taken.ok() && *taken;
}

// The client area under the menu bar, where the window paints its
// background and places its controls by the layout formulas.
class CLedgerClient final : public QWidget
{
public:
    explicit CLedgerClient(CLedgerDlg *owner)
        : QWidget(owner)
        , m_pOwner(owner)
    {
        setObjectName(QStringLiteral("client"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_pOwner->PaintClient(painter);
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        m_pOwner->OnSize(width(), height());
    }

private:
    CLedgerDlg *m_pOwner;
};

constexpr int kStartButtons[] = {1004, 1001, 1002, 1000, 1003};
constexpr int kOperationButtons[] = {1011, 1012, 1013, 1015, 1014};
constexpr int kBookStatusControls[] = {1025, 1026, 1027, 1028, 1029, 1030, 1031,
                                       1032, 1033, 1034, 1035, 1036, 1037};

QString PositionText(int module)
{
    switch (module) {
    case 1: return QStringLiteral("当前位置：收入记录");
    case 2: return QStringLiteral("当前位置：支出记录");
    case 3: return QStringLiteral("当前位置：查询备份");
    case 4: return QStringLiteral("当前位置：财务分析");
    case 5: return QStringLiteral("当前位置：借贷情况");
    default: return QStringLiteral("当前位置：开始界面");
    }
}

} // namespace

CLedgerDlg *LedgerWindow()
{
    return g_pLedgerWindow;
}

CLedgerDlg::CLedgerDlg(QWidget *parent)
    : QDialog(parent)
{
    g_pLedgerWindow = this;
    g_nModule = 0;
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("KestruneV2.5.1"));
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setMinimumHeight(420);

    auto *frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    m_pMenuBar = new QMenuBar(this);
    frame->setMenuBar(m_pMenuBar);
    m_pClient = new CLedgerClient(this);
    frame->addWidget(m_pClient);

    CreateMenus();
    FollowBook();
    m_pAutoBackup = new CAutoBackup(this);
    m_bmpStart = Picture(QStringLiteral(":/res/pictures/start.svg"), QSize(696, 380));
    m_bmpStrip = Picture(QStringLiteral(":/res/pictures/strip.svg"), QSize(3, 5));
    CreateControls();
    ConnectCommands();

    resize(798, 540 + m_pMenuBar->sizeHint().height());
    frame->activate();

    // Initialisation, in the order the window was always brought up. Without
    // its toolbar the window stays as built: start screen, operation buttons
    // visible, no figures; the login still comes when it is shown.
    m_pToolBar = new CColorToolBar(m_pClient);
    m_bToolBarReady = m_pToolBar->LoadToolBar();
    connect(m_pToolBar, &CColorToolBar::Command, this, &CLedgerDlg::RunCommand);
    m_pToolBar->setGeometry(0, 0, m_pClient->width(), m_pToolBar->sizeHint().height());
    m_pToolBar->show();
    if (!m_bToolBarReady)
        return;
    for (int id : kOperationButtons)
        Control(id)->hide();
    UpdateBookStatus();
    LoadDirectLogin();
    if (m_bDirectLogin) {
        m_bLoginPending = false;
        SetTitle();
        UpdateStatusTexts();
    }
    m_cx = m_pClient->width();
    m_cy = m_pClient->height();
    LayoutStart(m_cx, m_cy, true);
    m_laidOutSize = QSize(m_cx, m_cy);
    m_pToolBar->ShowPressed(32793);
}

CLedgerDlg::~CLedgerDlg()
{
    RecordList().DestroyListWindow();
    if (g_pLedgerWindow == this)
        g_pLedgerWindow = nullptr;
}

void CLedgerDlg::CreateControls()
{
    auto button = [this](int id, const QString &text, const QString &accessible = QString()) {
        auto *b = new QPushButton(text, m_pClient);
        b->setObjectName(QString::number(id));
        if (!accessible.isEmpty())
            b->setAccessibleName(accessible);
        m_controls.insert(id, b);
        return b;
    };
    auto label = [this](int id, const QString &text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        auto *l = new QLabel(text, m_pClient);
        l->setObjectName(QString::number(id));
        l->setAlignment(align);
        m_controls.insert(id, l);
        return l;
    };
    auto group = [this](int id, const QString &title) {
        auto *g = new QGroupBox(title, m_pClient);
        g->setObjectName(QString::number(id));
        m_controls.insert(id, g);
        return g;
    };

    // Start screen. Group boxes first, so the labels and buttons lie above them.
    group(1025, QStringLiteral("帐本状态"));
    auto *income = button(1004, QStringLiteral("收  入\n\n记  录"), QStringLiteral("收入记录"));
    income->setDefault(true);
    button(1001, QStringLiteral("支  出\n\n记  录"), QStringLiteral("支出记录"));
    button(1002, QStringLiteral("查  询\n\n统  计"), QStringLiteral("查询统计"));
    button(1000, QStringLiteral("财  务\n\n分  析"), QStringLiteral("财务分析"));
    button(1003, QStringLiteral("借  贷\n\n情  况"), QStringLiteral("借贷情况"));
    label(1026, QStringLiteral("收入记录："));
    label(1027, QStringLiteral("支出记录："));
    label(1029, QStringLiteral("借贷记录："));
    label(1028, QStringLiteral("当前余额："));
    label(1030, QString(), Qt::AlignCenter)->setAccessibleName(QStringLiteral("收入记录条数"));
    label(1031, QString(), Qt::AlignCenter)->setAccessibleName(QStringLiteral("支出记录条数"));
    label(1033, QString(), Qt::AlignCenter)->setAccessibleName(QStringLiteral("借贷记录条数"));
    label(1032, QString(), Qt::AlignCenter)->setAccessibleName(QStringLiteral("当前余额"));
    label(1034, QStringLiteral("条"));
    label(1035, QStringLiteral("条"));
    label(1036, QStringLiteral("条"));
    label(1037, QStringLiteral("元"));

    // Position label: blue heading type, always in the same place.
    m_pPositionLabel = label(1007, PositionText(0), Qt::AlignCenter);
    QFont heading(HeitiFamily());
    heading.setPointSizeF(16.9);
    m_pPositionLabel->setFont(heading);
    QPalette blue = m_pPositionLabel->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_pPositionLabel->setPalette(blue);
    m_pPositionLabel->setGeometry(420, 18, 360, 44);
    // The label never moves: the window may not get so narrow that it cuts it.
    const int textRight = 420 + (360 + QFontMetrics(heading).horizontalAdvance(PositionText(0))) / 2;
    m_pClient->setMinimumWidth(textRight + 8);

    // Record and query modules.
    group(1014, QStringLiteral("操作区"));
    button(1011, QStringLiteral("添加(&A)..."));
    button(1012, QStringLiteral("修改(&M)..."));
    button(1013, QStringLiteral("删除(&D)"));
    button(1015, QStringLiteral("生成Excel表(&E)..."));
}

void CLedgerDlg::ConnectCommands()
{
    const std::pair<int, int> buttons[] = {{1004, 32777}, {1001, 32778}, {1002, 32779}, {1000, 32812}, {1003, 32781},
                                           {1011, 1011},  {1012, 1012},  {1013, 1013},  {1015, 1015}};
    for (const auto &[control, command] : buttons) {
        auto *b = qobject_cast<QPushButton *>(Control(control));
        const int id = command;
        connect(b, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
    }
    CRecordListCtrl &list = RecordList();
    // The list's context menu and double-click are the operation buttons' commands.
    connect(&list, &CRecordListCtrl::AddRequested, this, [this] { RunCommand(1011); });
    connect(&list, &CRecordListCtrl::ModifyRequested, this, [this] { RunCommand(1012); });
    connect(&list, &CRecordListCtrl::DeleteRequested, this, [this] { RunCommand(1013); });
    connect(&list, &CRecordListCtrl::ExportRequested, this, [this] { RunCommand(1015); });
    // Rows written into the list (by a fill or a query) take the colours of
    // the module's fixed rows once the writing command is over.
    CRecordListModel &model = list.Model();
    auto recolour = [this] {
        if (!m_bRowColorsPending) {
            m_bRowColorsPending = true;
            QTimer::singleShot(0, this, &CLedgerDlg::ApplyModuleRowColors);
        }
    };
    connect(&model, &QAbstractItemModel::modelReset, this, recolour);
    connect(&model, &QAbstractItemModel::rowsInserted, this, recolour);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, recolour);
}

void CLedgerDlg::ApplyModuleRowColors()
{
    m_bRowColorsPending = false;
    CRecordListCtrl &list = RecordList();
    switch (g_nModule) {
    case 1:
    case 2:
    case 4:
    case 5:
        list.SetRowColor(0, QColor(0, 0, 0));
        list.SetRowColor(1, QColor(0, 0, 0));
        list.SetRowColor(g_nPayoutHeaderRow, QColor(0, 0, 0));
        break;
    case 3:
        // The balance row and the first block's heading stand out in yellow.
        list.SetRowColor(0, QColor(255, 255, 0));
        list.SetRowColor(1, QColor(255, 255, 0));
        break;
    default:
        break;
    }
}

void CLedgerDlg::reject()
{
    // Esc and the close box end the run like "退出系统(&X)", with the cancel result.
    done(2);
}

void CLedgerDlg::RunCommand(int id)
{
    Q_EMIT CommandRun(id);
    // A command works on the book as it is now, whatever another window or
    // computer did since the last look.
    AppBook().catchUp();
    switch (id) {
    case 32802: OnManageUsers(); break;
    case 32794: OnLogOff(); break;
    case 32811: OnNewBook(); break;
    case 32774: OnExit(); break;
    case 32777:
    case 32787: SwitchToIncome(); break;
    case 32778:
    case 32788: SwitchToPayout(); break;
    case 32779:
    case 32789: SwitchToQuery(); break;
    case 32780:
    case 32793: SwitchToStart(); break;
    case 32781:
    case 32791: SwitchToLoan(); break;
    case 32812:
    case 32813: SwitchToAnalysis(); break;
    case 32782: OnSetItems(); break;
    case 32806: OnSetBackColor(); break;
    case 32784: OnDirectLogin(); break;
    case 32809: OnCalculator(); break;
    case 32810: OnNotepad(); break;
    case 32803: OnRestore(); break;
    case 32804: OnBackup(); break;
    case 32775: OnHelp(); break;
    case 32776:
    case 16: OnAbout(); break;
    case 1011: OnAddRecord(); break;
    case 1012: OnModifyRecord(); break;
    case 1013: OnDeleteRecord(); break;
    case 1015: OnExportExcel(); break;
    case 32814: OnImportCsv(); break;
    default: break;
    }
}

void CLedgerDlg::CreateMenus()
{
    struct Item
    {
        int id; // 0: separator
        const char16_t *text;
    };
    struct Menu
    {
        const char16_t *title;
        std::initializer_list<Item> items;
    };
    const Menu menus[] = {
        {u"系统管理(&S)", {{32802, u"管理用户(&M)..."}, {32794, u"注销当前用户(&L)"}, {0, nullptr},
                          {32811, u"创建新账(&N)..."}, {0, nullptr}, {32774, u"退出系统(&X)"}}},
        {u"选择模块(&M)", {{32777, u"收入记录(&I)"}, {32778, u"支出记录(&P)"}, {0, nullptr},
                          {32779, u"查询统计(&Q)"}, {32812, u"财务分析(&A)"}, {32780, u"开始界面(&S)"}, {0, nullptr},
                          {32781, u"借贷情况(&L)"}}},
        {u"设置(&D)", {{32782, u"设置名目(&C)..."}, {32806, u"设置背景色(&B)..."}, {0, nullptr},
                       {32784, u"直接登录系统(&L)"}}},
        {u"常用工具(&T)", {{32809, u"计算器(&C)..."}, {32810, u"记事本(&B)..."}}},
        {u"管理数据库(&D)", {{32803, u"导入恢复数据库(&I)..."}, {32804, u"导出备份数据库(&E)..."}, {0, nullptr},
                            {32814, u"导入CSV文件(&C)..."}}},
        {u"帮助(&H)", {{32775, u"帮助文档(&D)...   \tF1"}, {0, nullptr}, {32776, u"关于(&A)..."}}},
    };
    for (const Menu &menu : menus) {
        QMenu *popup = m_pMenuBar->addMenu(QString::fromUtf16(menu.title));
        for (const Item &item : menu.items) {
            if (item.id == 0) {
                popup->addSeparator();
                continue;
            }
            QAction *action = popup->addAction(QString::fromUtf16(item.text));
            action->setObjectName(QString::number(item.id));
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
            m_commands.insert(id, action);
        }
    }
    // F1 opens the help from anywhere in the window.
    QAction *help = m_commands.value(32775);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    m_pDirectLoginAction = m_commands.value(32784);
    m_pDirectLoginAction->setCheckable(true);
}

QWidget *CLedgerDlg::Control(int id) const
{
    return m_controls.value(id);
}

QAction *CLedgerDlg::MenuCommand(int id) const
{
    return m_commands.value(id);
}

void CLedgerDlg::LoadDirectLogin()
{
    const orv::DirectLoginSetting setting = orv::ProgramSettings(g_strAppDir).load();
    g_strCurUser = setting.userName;
    // Only a user the book holds is logged in without a password: set.ini
    // may still name one who was renamed or deleted when the program was
    // cut off, or nobody at all. The login dialog then asks who is there.
    m_bDirectLogin = setting.readable && setting.directLogin && IsUserOfTheBook(g_strCurUser);
    m_pDirectLoginAction->setChecked(m_bDirectLogin);
}

void CLedgerDlg::SetTitle()
{
    SetPlainTitle(this, QStringLiteral("KestruneV2.5.1  —  当前用户：%1").arg(g_strCurUser));
}

void CLedgerDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_bLoginPending)
        QTimer::singleShot(0, this, &CLedgerDlg::RunPendingLogin);
}

// ---------------------------------------------------------------- layout

void CLedgerDlg::LayoutStart(int w, int h, bool firstLayout)
{
    const int mid = (h + 62) / 2;
    const int r1 = mid - 25;
    const int r2 = mid + 14;
    const int yb = 3 * ((h + 62) / 4) - (firstLayout ? 33 : 23);
    const struct
    {
        int id, x, y, cx, cy;
    } places[] = {
        {1025, w / 2 - 200, mid - 50, 400, 100},
        {1026, w / 2 - 152, r1, 60, 18},
        {1030, w / 2 - 92, r1, 50, 18},
        {1034, w / 2 - 42, r1, 18, 18},
        {1027, w / 2 + 25, r1, 60, 18},
        {1031, w / 2 + 85, r1, 50, 18},
        {1035, w / 2 + 135, r1, 18, 18},
        {1029, w / 2 - 152, r2, 60, 18},
        {1033, w / 2 - 92, r2, 50, 18},
        {1036, w / 2 - 42, r2, 18, 18},
        {1028, w / 2 + 25, r2, 60, 18},
        {1032, w / 2 + 85, r2, 100, 18},
        {1037, w / 2 + 185, r2, 18, 18},
    };
    for (const auto &p : places)
        Control(p.id)->setGeometry(p.x, p.y, p.cx, p.cy);
    LayoutStartButtons(w, yb);
}

void CLedgerDlg::LayoutRecordModule(int w, int h)
{
    Control(1014)->setGeometry(6, h - 76, w - 12, 53);
    Control(1011)->setGeometry(w / 7 - 55, h - 60, 110, 28);
    Control(1012)->setGeometry(8 * (w / 21) - 55, h - 60, 110, 28);
    Control(1013)->setGeometry(13 * (w / 21) - 55, h - 60, 110, 28);
    Control(1015)->setGeometry(6 * (w / 7) - 55, h - 60, 110, 28);
}

void CLedgerDlg::LayoutQueryModule(int w, int h)
{
    Control(1014)->setGeometry(6, h - 76, w - 12, 53);
    Control(1011)->setGeometry(w / 4 - 55, h - 60, 110, 28);
    Control(1015)->setGeometry(3 * (w / 4) - 55, h - 60, 110, 28);
}

QRect CLedgerDlg::ListRect(int w, int h) const
{
    return QRect(QPoint(6, 86), QPoint(w - 6 - 1, h - 80 - 1));
}

void CLedgerDlg::OnSize(int w, int h)
{
    if (m_pToolBar)
        m_pToolBar->setGeometry(0, 0, w, m_pToolBar->height());
    // Showing the window reports the size it already has; only a real
    // change of size lays it out again.
    if (QSize(w, h) == m_laidOutSize)
        return;
    m_laidOutSize = QSize(w, h);
    if (m_pStatusBar)
        m_pStatusBar->setGeometry(0, h - 25, w, 25);
    switch (g_nModule) {
    case 0:
        LayoutStart(w, h, false);
        break;
    case 1:
    case 2:
    case 5:
        LayoutRecordModule(w, h);
        if (auto *list = RecordList().Window())
            list->setGeometry(6, 86, w - 12, h - 169);
        break;
    case 4:
        LayoutAnalysisModule(w, h);
        break;
    case 3:
        if (auto *list = RecordList().Window())
            list->setGeometry(6, 86, w - 12, h - 169);
        LayoutQueryModule(w, h);
        break;
    default:
        break;
    }
    m_pClient->update(0, 86, w, h - 86);
}

void CLedgerDlg::PaintClient(QPainter &painter)
{
    const int w = m_pClient->width();
    const int h = m_pClient->height();
    painter.fillRect(0, 0, w, h, QColor(235, 233, 237));
    m_cx = w;
    m_cy = h;
    if (!m_bmpStrip.isNull()) {
        for (int x = 0; x < w; x += 3)
            painter.drawPixmap(x, 80, 3, 5, m_bmpStrip);
    }
    if (g_nModule == 0 && !m_bmpStart.isNull() && h > 85) {
        // The picture is stretched over the whole area below the strip; drawn
        // anew at that size, so that it stays sharp in a large window.
        const QSize area(w, h - 85);
        if (m_bmpStartScaled.deviceIndependentSize().toSize() != area)
            m_bmpStartScaled = Picture(QStringLiteral(":/res/pictures/start.svg"), area);
        painter.drawPixmap(QRect(QPoint(0, 85), area), m_bmpStartScaled.isNull() ? m_bmpStart : m_bmpStartScaled);
    }
    ApplyModuleRowColors();
}

void CLedgerDlg::InvalidateBelowStrip()
{
    m_pClient->update(0, 86, m_cx, m_cy - 86);
}

// ---------------------------------------------------------------- modules

void CLedgerDlg::HideStartScreen()
{
    for (int id : kStartButtons)
        Control(id)->hide();
    for (int id : kBookStatusControls)
        Control(id)->hide();
}

void CLedgerDlg::ShowOperationButtons(bool recordModule)
{
    Control(1014)->show();
    Control(1011)->show();
    Control(1012)->setVisible(recordModule);
    Control(1013)->setVisible(recordModule);
    Control(1015)->show();
    qobject_cast<QPushButton *>(Control(1011))
        ->setText(recordModule ? QStringLiteral("添加(&A)...") : QStringLiteral("查询(&Q)..."));
}

void CLedgerDlg::SetPositionLabel(int module)
{
    m_pPositionLabel->setText(PositionText(module));
}

void CLedgerDlg::SwitchToModule(int module)
{
    switch (module) {
    case 1: SwitchToIncome(); break;
    case 2: SwitchToPayout(); break;
    case 3: SwitchToQuery(); break;
    case 4: SwitchToAnalysis(); break;
    case 5: SwitchToLoan(); break;
    default: SwitchToStart(); break;
    }
}

void CLedgerDlg::SwitchToIncome()
{
    SwitchToRecordModule(1, 32787);
}

void CLedgerDlg::SwitchToPayout()
{
    SwitchToRecordModule(2, 32788);
}

void CLedgerDlg::SwitchToLoan()
{
    SwitchToRecordModule(5, 32791);
}

void CLedgerDlg::SwitchToRecordModule(int module, int toolbarButton)
{
    AppBook().catchUp();
    m_pToolBar->ShowPressed(toolbarButton);
    HideAnalysis();
    HideStartScreen();
    ShowOperationButtons(true);
    LayoutRecordModule(m_cx, m_cy);
    SetPositionLabel(module);
    CreateRecordList();
    g_nModule = module;
    // The income module repaints only once it is complete; the others before the fill.
    if (module != 1)
        InvalidateBelowStrip();
    FillList(*orv::kindFromModule(module));
    CRecordListCtrl &list = RecordList();
    list.EnsureVisible(list.GetItemCount() - 1);
    list.SetFocus();
    CreateStatusBar();
    if (module == 1)
        InvalidateBelowStrip();
}

void CLedgerDlg::SwitchToQuery(const orv::QueryCriteria *query)
{
    AppBook().catchUp();
    m_pToolBar->ShowPressed(32789);
    HideAnalysis();
    HideStartScreen();
    ShowOperationButtons(false);
    LayoutQueryModule(m_cx, m_cy);
    SetPositionLabel(3);
    CRecordListCtrl &list = RecordList();
    list.CreateListWindow(m_pClient, ListRect(m_cx, m_cy), ListColumns::Query, m_crBack);
    if (!query)
        FillQueryOverview();
    g_nModule = 3;
    list.m_nQueryKind = -1;
    m_bQueryOutdated = false;
    InvalidateBelowStrip();
    list.SetFocus();
    CreateStatusBar();
    ApplyModuleRowColors();
    if (query)
        ShowQueryResult(this, *query);
}

void CLedgerDlg::SwitchToStart()
{
    AppBook().catchUp();
    m_pToolBar->ShowPressed(32793);
    g_nModule = 0;
    RecordList().DestroyListWindow();
    HideAnalysis();
    for (int id : kStartButtons)
        Control(id)->show();
    for (int id : kBookStatusControls)
        Control(id)->show();
    for (int id : kOperationButtons)
        Control(id)->hide();
    SetPositionLabel(0);
    InvalidateBelowStrip();
    delete m_pStatusBar.data();
    LayoutStart(m_cx, m_cy, false);
}

void CLedgerDlg::CreateRecordList()
{
    RecordList().CreateListWindow(m_pClient, ListRect(m_cx, m_cy), ListColumns::Records, m_crBack);
}

void CLedgerDlg::CreateStatusBar()
{
    delete m_pStatusBar.data();
    m_pStatusBar = new CStatusBarCtrl(m_pClient);
    m_pStatusBar->setGeometry(0, m_cy - 25, m_cx, 25);
    m_pStatusBar->show();
    UpdateStatusTexts();
    UpdateStatusNote();
}

// ---------------------------------------------------------------- figures

void CLedgerDlg::UpdateBookStatus()
{
    m_dIncomeSum = 0.0;
    m_dPayoutSum = 0.0;
    auto status = AppBook().recount();
    if (!CheckDb(this, status))
        return;
    AdjustBookStatus(*status);
}

void CLedgerDlg::AdjustBookStatus(const orv::BookStatus &status)
{
    m_status = status;
    m_strIncomeCount = status.incomeCountText();
    m_strPayoutCount = status.payoutCountText();
    m_strLoanCount = status.loanCountText();
    m_dIncomeSum = orv::fenToDouble(status.incomeSum);
    m_dPayoutSum = orv::fenToDouble(status.payoutSum);
    m_dBalance = orv::fenToDouble(status.balance());
    m_strBalance = status.balanceText();
}

void CLedgerDlg::UpdateStatusTexts()
{
    qobject_cast<QLabel *>(Control(1030))->setText(m_strIncomeCount);
    qobject_cast<QLabel *>(Control(1031))->setText(m_strPayoutCount);
    qobject_cast<QLabel *>(Control(1032))->setText(m_strBalance);
    qobject_cast<QLabel *>(Control(1033))->setText(m_strLoanCount);
    if (m_pStatusBar) {
        m_pStatusBar->SetText(0, QStringLiteral("收入记录") + m_strIncomeCount + QStringLiteral("条"));
        m_pStatusBar->SetText(1, QStringLiteral("支出记录") + m_strPayoutCount + QStringLiteral("条"));
        m_pStatusBar->SetText(2, QStringLiteral("借贷记录") + m_strLoanCount + QStringLiteral("条"));
        m_pStatusBar->SetText(3, QStringLiteral("当前余额") + m_strBalance + QStringLiteral("元"));
    }
}

// ---------------------------------------------------------------- fills

void CLedgerDlg::FillList(orv::RecordKind kind)
{
    CRecordListCtrl &list = RecordList();
    auto entries = AppBook().entries(kind);
    if (!CheckDb(this, entries)) {
        list.Model().Clear();
        return;
    }
    list.ShowEntries(std::move(entries).value());
}

void CLedgerDlg::FillIncomeList()
{
    FillList(orv::RecordKind::Income);
}

void CLedgerDlg::FillPayoutList()
{
    FillList(orv::RecordKind::Payout);
}

void CLedgerDlg::FillLoanList()
{
    FillList(orv::RecordKind::Loan);
}
