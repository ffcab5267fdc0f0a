#include "mainwnd/CLedgerDlg.h"

#include "app/Globals.h"
#include "app/Prompter.h"
#include "export/CsvWriter.h"
#include "export/ExportMessages.h"
#include "export/SheetWriter.h"
#include "mainwnd/CommandGuards.h"
#include "records/CRecordListCtrl.h"
#include "book/BookMaintenance.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>

#include <optional>

namespace {

struct ExportNames
{
    QString sheet; // the worksheet
    QString book;  // the words after the date in the proposed file name
};

// What the list of a module is called in the workbook; nothing on the start screen.
std::optional<ExportNames> NamesOf(int module)
{
    switch (module) {
    case 1: return ExportNames{QStringLiteral("家庭帐务—收入"), QStringLiteral("收入帐")};
    case 2: return ExportNames{QStringLiteral("家庭帐务—支出"), QStringLiteral("支出帐")};
    case 3: return ExportNames{QStringLiteral("家庭帐务—综合"), QStringLiteral("综合帐")};
    case 5: return ExportNames{QStringLiteral("家庭帐务—借贷"), QStringLiteral("借贷帐")};
    default: return std::nullopt;
    }
}


// The CSV filter of the save dialog; a chosen name ending in .csv is written as CSV.
const QString kCsvFilter = QStringLiteral("CSV文件(*.csv)");

bool IsCsvPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
}

// About how many characters fit the width the list gives a column.
constexpr double kPixelsPerCharacter = 7.0;
// Exports quicker than this show no progress.
constexpr int kProgressAfterMs = 500;


// The progress of a long export, with a button that stops it.
class CExportProgress final
{
public:
    CExportProgress(QWidget *parent, qsizetype rows, const QString &what)
        : m_dialog(parent)
        , m_nRows(rows)
        , m_strWhat(what)
    {
        m_dialog.setObjectName(QStringLiteral("exportProgress"));
        m_dialog.setWindowTitle(QStringLiteral("生成Excel表"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setCancelButtonText(QStringLiteral("取消"));
        m_dialog.setMinimumDuration(kProgressAfterMs);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        // Row counts fit an int: a sheet holds about a million rows.
        m_dialog.setRange(0, int(rows));
        m_dialog.setLabelText(Label(0));
        m_dialog.setValue(0);
    }

    // false once the user has stopped the export.
    bool Report(qsizetype written)
    {
        if (m_dialog.wasCanceled())
            return false;
        if (written >= m_nRows) {
            // Packing the file cannot be stopped half-way.
            m_dialog.setLabelText(QStringLiteral("正在保存%1，请稍候……").arg(m_strWhat));
            m_dialog.setCancelButton(nullptr);
        } else {
            m_dialog.setLabelText(Label(written));
        }
        m_dialog.setValue(int(written)); // a modal progress dialog lets its Cancel button be pressed here
        return !m_dialog.wasCanceled();
    }

private:
    QString Label(qsizetype written) const
    {
        return QStringLiteral("正在导出第 %1 行，共 %2 行……").arg(written).arg(m_nRows);
    }

    QProgressDialog m_dialog;
    qsizetype m_nRows;
    QString m_strWhat;
};

} // namespace

void CLedgerDlg::OnExportExcel()
{
    if (g_nModule == 4) {
        ExportAnalysisWorkbook();
        return;
    }
    const ProgramDirGuard programDir;
    const std::optional<ExportNames> names = NamesOf(g_nModule);
    if (!names)
        return;
    CRecordListCtrl &list = RecordList();
    if (list.GetItemCount() == 0) {
        ShowMessage(this, QStringLiteral("当前窗口没有数据可导出!"), QString(), MsgIcon::Information);
        return;
    }

    FileDialogRequest request;
    request.title = QStringLiteral("保存Excel表");
    request.proposedPath = QDir(g_strAppDir).filePath(DatedExportName(names->book, QStringLiteral("xlsx"), QDate::currentDate()));
    request.filters = {QStringLiteral("Excel文件(*.xlsx)"), kCsvFilter, QStringLiteral("所有文件 (*.*)")};
    request.defaultSuffix = QStringLiteral("xlsx");
    request.save = true;
    const QString path = Prompter().ChooseFile(this, request);
    if (path.isEmpty())
        return;
    // The dialog asked before overwriting, but never the book in use.
    const bool csv = IsCsvPath(path);
    const QString what = csv ? QStringLiteral("CSV文件") : QStringLiteral("Excel表");
    if (orv::BookMaintenance::isSameFile(path, AppBookPath())) {
        ShowAttention(this, QStringLiteral("不能用%1覆盖正在使用的数据库文件，请另选一个文件名!").arg(what));
        return;
    }

    orv::SheetContent content;
    content.sheetName = names->sheet;
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        content.captions << list.GetColumnCaption(c);
        if (const CRecordListView *view = list.Window())
            content.columnWidths << view->columnWidth(c) / kPixelsPerCharacter;
    }
    content.rowCount = list.GetItemCount();
    // The texts exactly as the list shows them.
    content.cell = [&list](qsizetype row, int column) { return list.GetItemText(int(row), column); };

    orv::SheetOutcome outcome;
    {
        CExportProgress progress(this, content.rowCount, what);
        const auto report = [&progress](qsizetype written, qsizetype) { return progress.Report(written); };
        outcome = csv ? orv::writeCsv(path, content, report) : orv::writeSheet(path, content, report);
    }
    if (outcome.problem == orv::SheetProblem::TooManyRows) {
        ShowMessage(this,
                    QStringLiteral("当前窗口有%1行数据，超过了Excel表最多%2行的限制，无法导出!")
                        .arg(list.GetItemCount())
                        .arg(orv::kMaxSheetRows - 1),
                    QString(), MsgIcon::Stop);
        return;
    }
    ShowExportOutcome(this, outcome, path, what);
}
