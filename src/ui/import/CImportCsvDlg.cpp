#include "import/CImportCsvDlg.h"

#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "import/CImportPreviewModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The kind source box: the three kinds, then by a column, then by sign.
constexpr int kByColumn = 3;
constexpr int kBySign = 4;

QLabel *PlainLabel(QWidget *parent, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QComboBox *Box(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A label that names a field and leads to it by its Alt key.
QLabel *LabelFor(QWidget *parent, const QString &text, QWidget *field)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

void SelectData(QComboBox *box, const QVariant &value)
{
    box->setCurrentIndex(box->findData(value));
}

} // namespace

CImportCsvDlg::CImportCsvDlg(const QString &fileName, QByteArray bytes, ImportBookView book,
                             orv::RecordKind fallbackKind, QWidget *parent)
    : QDialog(parent)
    , m_bytes(std::move(bytes))
    , m_book(std::move(book))
    , m_fallbackKind(fallbackKind)
{
    setObjectName(QStringLiteral("importCsv"));
    setWindowTitle(QStringLiteral("导入CSV文件"));
    setFont(DialogFont());
    BuildControls(fileName);
    m_layout = orv::guessImportLayout(m_bytes, m_fallbackKind);
    m_table = orv::readImportTable(m_bytes, m_layout);
    ShowLayout();
    Recheck();
}

void CImportCsvDlg::BuildControls(const QString &fileName)
{
    const CDialogUnits du(font());
    auto *outer = new QVBoxLayout(this);

    auto *fileLine = new QHBoxLayout;
    fileLine->addWidget(new QLabel(QStringLiteral("文件："), this));
    auto *name = PlainLabel(this, QFileInfo(fileName).fileName());
    name->setObjectName(QStringLiteral("fileName"));
    fileLine->addWidget(name, 1);
    outer->addLayout(fileLine);

    // How the file is read.
    auto *reading = new QGroupBox(QStringLiteral("读取方式"), this);
    auto *readingGrid = new QGridLayout(reading);
    m_pEncoding = Box(reading, "encoding");
    m_pEncoding->addItem(QStringLiteral("UTF-8"), int(orv::TextEncoding::Utf8));
    m_pEncoding->addItem(QStringLiteral("GB18030 / GBK（中文Windows）"), int(orv::TextEncoding::Gb18030));
    m_pEncoding->addItem(QStringLiteral("UTF-16 LE"), int(orv::TextEncoding::Utf16LE));
    m_pEncoding->addItem(QStringLiteral("UTF-16 BE"), int(orv::TextEncoding::Utf16BE));
    m_pSeparator = Box(reading, "separator");
    m_pSeparator->addItem(QStringLiteral("逗号 ,"), QChar(u','));
    m_pSeparator->addItem(QStringLiteral("分号 ;"), QChar(u';'));
    m_pSeparator->addItem(QStringLiteral("制表符 Tab"), QChar(u'\t'));
    m_pHeader = new QCheckBox(QStringLiteral("第一行是列标题(&H)"), reading);
    m_pHeader->setObjectName(QStringLiteral("header"));
    readingGrid->addWidget(LabelFor(reading, QStringLiteral("编码(&E)："), m_pEncoding), 0, 0);
    readingGrid->addWidget(m_pEncoding, 0, 1);
    readingGrid->addWidget(LabelFor(reading, QStringLiteral("分隔符(&S)："), m_pSeparator), 0, 2);
    readingGrid->addWidget(m_pSeparator, 0, 3);
    readingGrid->addWidget(m_pHeader, 0, 4);
    readingGrid->setColumnStretch(5, 1);
    m_pEncodingNote = PlainLabel(reading);
    m_pEncodingNote->setObjectName(QStringLiteral("encodingNote"));
    m_pEncodingNote->setWordWrap(true);
    readingGrid->addWidget(m_pEncodingNote, 1, 0, 1, 6);
    outer->addWidget(reading);

    // What each column holds.
    auto *meaning = new QGroupBox(QStringLiteral("各列的含义"), this);
    auto *meaningGrid = new QGridLayout(meaning);
    m_pDateColumn = Box(meaning, "dateColumn");
    m_pItemsColumn = Box(meaning, "itemsColumn");
    m_pAmountColumn = Box(meaning, "amountColumn");
    m_pRemarkColumn = Box(meaning, "remarkColumn");
    m_pKindSource = Box(meaning, "kindSource");
    for (orv::RecordKind kind : orv::kAllKinds)
        m_pKindSource->addItem(orv::kindWord(kind) + QStringLiteral("记录"));
    m_pKindSource->addItem(QStringLiteral("按“类别”列区分（收入、支出、借贷）"));
    m_pKindSource->addItem(QStringLiteral("按金额正负区分（正数为收入，负数为支出）"));
    m_pKindColumn = Box(meaning, "kindColumn");
    m_pDateOrder = Box(meaning, "dateOrder");
    m_pDateOrder->addItem(QStringLiteral("月/日/年（03/04/2024 是3月4日）"), int(orv::DateOrder::MonthFirst));
    m_pDateOrder->addItem(QStringLiteral("日/月/年（03/04/2024 是4月3日）"), int(orv::DateOrder::DayFirst));
    m_pDateOrder->setPlaceholderText(QStringLiteral("（请选择）"));
    const struct
    {
        const char16_t *label;
        QComboBox *box;
    } fields[] = {
        {u"日期(&D)：", m_pDateColumn},   {u"名目(&M)：", m_pItemsColumn}, {u"金额(&A)：", m_pAmountColumn},
        {u"备注(&R)：", m_pRemarkColumn}, {u"记入(&K)：", m_pKindSource},  {u"类别列(&T)：", m_pKindColumn},
        {u"日期顺序(&O)：", m_pDateOrder},
    };
    int place = 0;
    for (const auto &field : fields) {
        const int row = place / 2, column = (place % 2) * 2;
        meaningGrid->addWidget(LabelFor(meaning, QString::fromUtf16(field.label), field.box), row, column);
        meaningGrid->addWidget(field.box, row, column + 1);
        ++place;
    }
    meaningGrid->setColumnStretch(1, 1);
    meaningGrid->setColumnStretch(3, 1);
    outer->addWidget(meaning);

    // Every record as it would be stored.
    m_pPreview = new QTableView(this);
    m_pPreview->setObjectName(QStringLiteral("preview"));
    m_pModel = new CImportPreviewModel(this);
    m_pPreview->setModel(m_pModel);
    m_pPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pPreview->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pPreview->setWordWrap(false);
    // Tab leaves the preview for the next control, as everywhere else.
    m_pPreview->setTabKeyNavigation(false);
    m_pPreview->verticalHeader()->hide();
    m_pPreview->installEventFilter(this);
    const int widths[] = {40, 48, 48, 110, 100, 90, 170};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_pPreview->setColumnWidth(c, widths[c]);
    m_pPreview->horizontalHeader()->setStretchLastSection(true);
    outer->addWidget(LabelFor(this, QStringLiteral("预览(&P)：（空格键勾选或取消勾选当前行）"), m_pPreview));
    outer->addWidget(m_pPreview, 1);

    m_pSummary = PlainLabel(this);
    m_pSummary->setObjectName(QStringLiteral("summary"));
    m_pSummary->setWordWrap(true);
    outer->addWidget(m_pSummary);

    m_pAddCategories = new QCheckBox(QStringLiteral("把名目列表中还没有的名目添加到列表末尾(&N)"), this);
    m_pAddCategories->setObjectName(QStringLiteral("addCategories"));
    m_pAddCategories->setChecked(true);
    outer->addWidget(m_pAddCategories);
    m_pNewCategories = PlainLabel(this);
    m_pNewCategories->setObjectName(QStringLiteral("newCategories"));
    m_pNewCategories->setWordWrap(true);
    outer->addWidget(m_pNewCategories);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_pImport = new QPushButton(QStringLiteral("导入(&I)"), this);
    m_pImport->setObjectName(QStringLiteral("import"));
    m_pImport->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    buttons->addWidget(m_pImport);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    connect(m_pImport, &QPushButton::clicked, this, &CImportCsvDlg::OnImport);
    connect(cancel, &QPushButton::clicked, this, &CImportCsvDlg::reject);

    connect(m_pEncoding, &QComboBox::currentIndexChanged, this, &CImportCsvDlg::OnReadingChanged);
    connect(m_pSeparator, &QComboBox::currentIndexChanged, this, &CImportCsvDlg::OnReadingChanged);
    connect(m_pHeader, &QCheckBox::toggled, this, &CImportCsvDlg::OnHeaderChanged);
    for (QComboBox *box : {m_pDateColumn, m_pItemsColumn, m_pAmountColumn, m_pRemarkColumn, m_pKindSource,
                           m_pKindColumn, m_pDateOrder})
        connect(box, &QComboBox::currentIndexChanged, this, &CImportCsvDlg::OnMeaningChanged);
    connect(m_pAddCategories, &QCheckBox::toggled, this, &CImportCsvDlg::UpdateSummary);
    connect(m_pModel, &CImportPreviewModel::ChosenChanged, this, [this](int row, bool chosen) {
        m_choices.insert(m_pModel->Rows().at(row).line, chosen);
        UpdateSummary();
    });
    resize(du.Size(470, 330));
}

const QList<orv::ImportRow> &CImportCsvDlg::Rows() const
{
    return m_pModel->Rows();
}

void CImportCsvDlg::FillColumnBoxes()
{
    for (QComboBox *box : {m_pDateColumn, m_pItemsColumn, m_pAmountColumn, m_pRemarkColumn, m_pKindColumn}) {
        box->clear();
        box->addItem(QStringLiteral("（无）"), -1);
        for (int c = 0; c < m_table.columnCount; ++c) {
            const QString number = QStringLiteral("第%1列").arg(c + 1);
            const QString caption = m_table.captions.value(c);
            box->addItem(caption == number ? number : number + QStringLiteral("：") + caption, c);
        }
    }
}

void CImportCsvDlg::ShowLayout()
{
    m_bShowing = true;
    SelectData(m_pEncoding, int(m_layout.encoding));
    SelectData(m_pSeparator, m_layout.separator);
    m_pHeader->setChecked(m_layout.hasHeader);
    FillColumnBoxes();
    SelectData(m_pDateColumn, m_layout.dateColumn);
    SelectData(m_pItemsColumn, m_layout.itemsColumn);
    SelectData(m_pAmountColumn, m_layout.amountColumn);
    SelectData(m_pRemarkColumn, m_layout.remarkColumn);
    SelectData(m_pKindColumn, m_layout.kindColumn);
    switch (m_layout.kindSource) {
    case orv::KindSource::Fixed: m_pKindSource->setCurrentIndex(orv::itemsIndexOf(m_layout.fixedKind)); break;
    case orv::KindSource::Column: m_pKindSource->setCurrentIndex(kByColumn); break;
    case orv::KindSource::Sign: m_pKindSource->setCurrentIndex(kBySign); break;
    }
    m_pKindColumn->setEnabled(m_layout.kindSource == orv::KindSource::Column);
    // Asked only of a file whose dates read otherwise in the other order.
    m_pDateOrder->setEnabled(orv::datesDependOnOrder(m_table, m_layout.dateColumn));
    if (m_layout.dateOrder)
        SelectData(m_pDateOrder, int(*m_layout.dateOrder));
    else
        m_pDateOrder->setCurrentIndex(-1);
    m_pEncodingNote->setText(
        m_table.invalidBytes > 0
            ? QStringLiteral("注意：文件中有 %1 处不是所选编码的文字（显示为 �），多半是编码选错了，请换一种编码试试。")
                  .arg(m_table.invalidBytes)
            : QString());
    m_pEncodingNote->setVisible(m_table.invalidBytes > 0);
    m_bShowing = false;
}

void CImportCsvDlg::TakeLayoutFromControls()
{
    m_layout.dateColumn = m_pDateColumn->currentData().toInt();
    m_layout.itemsColumn = m_pItemsColumn->currentData().toInt();
    m_layout.amountColumn = m_pAmountColumn->currentData().toInt();
    m_layout.remarkColumn = m_pRemarkColumn->currentData().toInt();
    m_layout.kindColumn = m_pKindColumn->currentData().toInt();
    const int source = m_pKindSource->currentIndex();
    if (source == kByColumn) {
        m_layout.kindSource = orv::KindSource::Column;
    } else if (source == kBySign) {
        m_layout.kindSource = orv::KindSource::Sign;
    } else {
        m_layout.kindSource = orv::KindSource::Fixed;
        m_layout.fixedKind = orv::kindFromItemsIndex(source).value_or(orv::RecordKind::Income);
    }
    if (m_pDateOrder->currentIndex() >= 0)
        m_layout.dateOrder = orv::DateOrder(m_pDateOrder->currentData().toInt());
    else
        m_layout.dateOrder.reset();
}

void CImportCsvDlg::OnReadingChanged()
{
    if (m_bShowing)
        return;
    m_layout.encoding = orv::TextEncoding(m_pEncoding->currentData().toInt());
    m_layout.separator = m_pSeparator->currentData().toChar();
    // Other fields, other columns: they are guessed anew.
    m_table = orv::readImportTable(m_bytes, m_layout);
    orv::guessColumns(m_table, m_layout, m_fallbackKind);
    m_table = orv::readImportTable(m_bytes, m_layout);
    m_choices.clear();
    ShowLayout();
    Recheck();
}

void CImportCsvDlg::OnHeaderChanged()
{
    if (m_bShowing)
        return;
    TakeLayoutFromControls();
    m_layout.hasHeader = m_pHeader->isChecked();
    m_table = orv::readImportTable(m_bytes, m_layout);
    ShowLayout();
    Recheck();
}

void CImportCsvDlg::OnMeaningChanged()
{
    if (m_bShowing)
        return;
    const int dateColumn = m_layout.dateColumn;
    TakeLayoutFromControls();
    // Another date column: what its dates tell about their order.
    if (m_layout.dateColumn != dateColumn)
        m_layout.dateOrder = orv::guessDateOrder(m_table, m_layout.dateColumn);
    ShowLayout();
    Recheck();
}

void CImportCsvDlg::Recheck()
{
    m_check = orv::checkImport(m_table, m_layout, m_book.entries, m_book.categories);
    QList<bool> chosen;
    chosen.reserve(m_check.rows.size());
    for (const orv::ImportRow &row : std::as_const(m_check.rows)) {
        const auto choice = m_choices.constFind(row.line);
        chosen.append(row.canStore() && (choice != m_choices.cend() ? *choice : row.chosenByDefault()));
    }
    m_pModel->SetRows(m_check.rows, chosen);
    UpdateSummary();
}

void CImportCsvDlg::UpdateSummary()
{
    const QList<orv::ImportRow> &rows = m_pModel->Rows();
    const QList<bool> &chosen = m_pModel->ChosenRows();
    qsizetype storing = 0, problems = 0, duplicates = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        storing += chosen.at(i) ? 1 : 0;
        problems += rows.at(i).canStore() ? 0 : 1;
        duplicates += rows.at(i).canStore() && rows.at(i).isDuplicate() ? 1 : 0;
    }
    QString text = QStringLiteral("文件中共有 %1 条记录：将导入 %2 条；%3 条有问题，将跳过；%4 条疑似重复，不勾选就跳过。")
                       .arg(rows.size())
                       .arg(storing)
                       .arg(problems)
                       .arg(duplicates);
    if (m_check.dateOrderNeeded)
        text += QStringLiteral("\n有的日期可以读作两个不同的日子（例如 03/04/2024），请在“日期顺序”中选择文件所用的顺序。");
    m_pSummary->setText(text);

    const auto added = orv::newCategoriesOf(rows, chosen, m_book.categories);
    QStringList perKind;
    for (orv::RecordKind kind : orv::kAllKinds) {
        QStringList names;
        for (const auto &[k, name] : added) {
            if (k == kind)
                names.append(QStringLiteral("“%1”").arg(name));
        }
        if (!names.isEmpty())
            perKind.append(orv::kindWord(kind) + QStringLiteral("：") + names.join(QStringLiteral("、")));
    }
    m_pAddCategories->setEnabled(!added.isEmpty());
    m_pNewCategories->setEnabled(!added.isEmpty());
    m_pNewCategories->setText(added.isEmpty() ? QStringLiteral("文件中的名目都已在名目列表中。")
                                              : QStringLiteral("名目列表中还没有的名目——") + perKind.join(QStringLiteral("；")));
}

QList<orv::ImportEntry> CImportCsvDlg::EntriesToStore() const
{
    QList<orv::ImportEntry> entries;
    const QList<orv::ImportRow> &rows = m_pModel->Rows();
    const QList<bool> &chosen = m_pModel->ChosenRows();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (chosen.at(i) && rows.at(i).canStore())
            entries.append({*rows.at(i).kind, rows.at(i).values});
    }
    return entries;
}

QList<QPair<orv::RecordKind, QString>> CImportCsvDlg::CategoriesToAdd() const
{
    if (!m_pAddCategories->isChecked())
        return {};
    return orv::newCategoriesOf(m_pModel->Rows(), m_pModel->ChosenRows(), m_book.categories);
}

qsizetype CImportCsvDlg::SkippedCount() const
{
    return m_pModel->Rows().size() - EntriesToStore().size();
}

bool CImportCsvDlg::SetChosen(int row, bool chosen)
{
    return m_pModel->SetChosen(row, chosen);
}

bool CImportCsvDlg::eventFilter(QObject *watched, QEvent *event)
{
    // The space bar ticks the current row, whichever of its cells is current.
    if (watched == m_pPreview && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            const int row = m_pPreview->currentIndex().row();
            if (row >= 0)
                SetChosen(row, !m_pModel->ChosenRows().value(row));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CImportCsvDlg::OnImport()
{
    if (m_check.dateOrderNeeded) {
        ShowAttention(this, QStringLiteral("文件中有的日期（例如 03/04/2024）既可以读作3月4日，也可以读作4月3日。\n"
                                           "请先在“日期顺序”中选择文件所用的顺序，再导入。"));
        m_pDateOrder->setFocus();
        return;
    }
    if (EntriesToStore().isEmpty()) {
        ShowAttention(this, QStringLiteral("没有可以导入的记录。\n请检查各列的含义是否选对，或在预览中勾选要导入的行。"));
        return;
    }
    accept();
}
