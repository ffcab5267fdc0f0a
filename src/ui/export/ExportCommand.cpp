#include "mainwnd/CLedgerDlg.h"

#include "app/Globals.h"
#include "app/Prompter.h"
#include "export/CsvWriter.h"
#include "export/SheetWriter.h"
#include "mainwnd/CommandGuards.h"
#include "records/CRecordListCtrl.h"
#include "store/BookMaintenance.h"

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

// "20091205收入帐.xlsx"
QString ProposedName(const QString &book, const QDate &day)
{
    return QString::asprintf("%04d%02d%02d", day.year(), day.month(), day.day()) + book + QStringLiteral(".xlsx");
}

// About how many characters fit the width the list gives a column.
constexpr double kPixelsPerCharacter = 7.0;
// Exports quicker than this show no progress.
constexpr int kProgressAfterMs = 500;

// What went wrong in the spreadsheet library, and what to do about it.
QString FailureSentence(orv::SheetFailure failure)
{
    switch (failure) {
    case orv::SheetFailure::OutOfMemory:
        return QStringLiteral("内存不足。请关闭一些程序后再试。");
    case orv::SheetFailure::CannotCreateFile:
        return QStringLiteral("无法在这个位置建立文件（文件夹不允许写入，或没有权限）。请另选一个保存位置。");
    case orv::SheetFailure::TempFile:
        return QStringLiteral("无法使用临时文件夹（临时文件夹已满或不允许写入）。请清理出一些磁盘空间后再试。");
    case orv::SheetFailure::Compressing:
        return QStringLiteral("压缩保存文件时出错，多半是磁盘已满。请清理出一些磁盘空间，或另选一个保存位置后再试。");
    case orv::SheetFailure::TextTooLong:
        return QStringLiteral("有一格的文字超过了Excel表每格最多32767个字符的限制。请缩短那一格的内容后再试。");
    case orv::SheetFailure::BadSheetName:
        return QStringLiteral("工作表的名称不符合Excel表的要求。");
    case orv::SheetFailure::None:
    case orv::SheetFailure::Internal:
        break;
    }
    return QStringLiteral("Excel表的写入程序出错。请再试一次。");
}

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
    request.proposedPath = QDir(g_strAppDir).filePath(ProposedName(names->book, QDate::currentDate()));
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
    const QString shown = QDir::toNativeSeparators(path);
    switch (outcome.problem) {
    case orv::SheetProblem::None:
        ShowMessage(this, QStringLiteral("导出文件保存于%1!").arg(shown), QString(), MsgIcon::Information);
        break;
    case orv::SheetProblem::Cancelled:
        // Stopped by the user: no file was written, an old one is as it was.
        break;
    case orv::SheetProblem::CannotReplace:
        ShowMessage(this, QStringLiteral("覆盖文件时出错！"));
        break;
    case orv::SheetProblem::CannotMakeFolder:
        ShowMessage(this,
                    QStringLiteral("无法创建文件夹“%1”，%2没有保存!").arg(QDir::toNativeSeparators(outcome.detail), what),
                    QString(), MsgIcon::Stop);
        break;
    case orv::SheetProblem::TooManyRows:
        ShowMessage(this,
                    QStringLiteral("当前窗口有%1行数据，超过了Excel表最多%2行的限制，无法导出!")
                        .arg(list.GetItemCount())
                        .arg(orv::kMaxSheetRows - 1),
                    QString(), MsgIcon::Stop);
        break;
    case orv::SheetProblem::CannotWrite:
        if (csv) {
            ShowMessage(this,
                        QStringLiteral("写入CSV文件“%1”时出错，文件没有保存!\n请检查保存位置是否允许写入、磁盘是否已满，"
                                       "或另选一个保存位置后再试。\n\n（%2）")
                            .arg(shown, outcome.detail),
                        QString(), MsgIcon::Stop);
            break;
        }
        ShowMessage(this,
                    QStringLiteral("写入Excel表“%1”时出错，文件没有保存!\n%2\n\n（%3）")
                        .arg(shown, FailureSentence(outcome.failure), outcome.detail),
                    QString(), MsgIcon::Stop);
        break;
    }
}
