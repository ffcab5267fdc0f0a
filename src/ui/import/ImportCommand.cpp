// "导入CSV文件": entries from another program's CSV file (or this
// program's own CSV export) into the book, all in one transaction.

#include "mainwnd/CLedgerDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "app/WorkProgress.h"
#include "import/CImportCsvDlg.h"
#include "import/ImportStore.h"
#include "import/TextEncoding.h"
#include "mainwnd/CommandGuards.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Larger than any household's file; more would only fill the memory.
constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;

// The file's bytes, or nullopt after telling the user why not.
std::optional<QByteArray> ReadImportFile(QWidget *parent, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(parent,
                    QStringLiteral("无法读取文件“%1”，没有导入任何记录。\n请确认文件还在、可以读取后再试。\n\n（%2）")
                        .arg(shown, file.errorString()),
                    QString(), MsgIcon::Stop);
        return std::nullopt;
    }
    if (file.size() > kMaxFileBytes) {
        ShowMessage(parent,
                    QStringLiteral("文件“%1”太大（超过 %2 MB），不像是一份帐目的CSV文件，没有导入。\n请确认选对了文件。")
                        .arg(shown)
                        .arg(kMaxFileBytes / 1024 / 1024),
                    QString(), MsgIcon::Stop);
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ShowMessage(parent,
                    QStringLiteral("读取文件“%1”时出错，没有导入任何记录。\n\n（%2）").arg(shown, file.errorString()),
                    QString(), MsgIcon::Stop);
        return std::nullopt;
    }
    if (orv::decodeText(bytes, orv::guessEncoding(bytes)).text.trimmed().isEmpty()) {
        ShowAttention(parent, QStringLiteral("文件“%1”是空的，没有可以导入的记录。").arg(shown));
        return std::nullopt;
    }
    return bytes;
}

// The entries and categories the book holds, to check the file against.
std::optional<ImportBookView> ReadBookView(QWidget *parent)
{
    ImportBookView view;
    orv::Book &book = AppBook();
    for (orv::RecordKind kind : orv::kAllKinds) {
        const auto entries = book.entries(kind);
        if (!CheckDb(parent, entries))
            return std::nullopt;
        view.entries.add(kind, *entries);
        const auto names = book.categoryNames(kind);
        if (!CheckDb(parent, names))
            return std::nullopt;
        view.categories.insert(kind, *names);
    }
    return view;
}

} // namespace

void CLedgerDlg::OnImportCsv()
{
    const ProgramDirGuard programDir;
    FileDialogRequest request;
    request.title = QStringLiteral("导入CSV文件");
    request.proposedPath = g_strAppDir;
    request.filters = {QStringLiteral("CSV文件(*.csv)"), QStringLiteral("文本文件(*.txt)"),
                       QStringLiteral("所有文件 (*)")};
    request.save = false;
    const QString path = Prompter().ChooseFile(this, request);
    if (path.isEmpty())
        return;
    const std::optional<QByteArray> bytes = ReadImportFile(this, path);
    if (!bytes)
        return;
    std::optional<ImportBookView> book;
    {
        const WaitCursor busy;
        book = ReadBookView(this);
    }
    if (!book)
        return;
    // Into the list on screen; elsewhere, the kind the file's name speaks of
    // (this program's exports name it).
    const orv::RecordKind kind = orv::kindFromModule(g_nModule).value_or(
        orv::kindFromFileName(QFileInfo(path).fileName()).value_or(orv::RecordKind::Income));
    CImportCsvDlg dlg(path, *bytes, std::move(*book), kind, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QList<orv::ImportEntry> entries = dlg.EntriesToStore();
    const auto categories = dlg.CategoriesToAdd();
    const qsizetype skipped = dlg.SkippedCount();

    orv::BookConnection *conn = OpenBook(this);
    if (!conn)
        return;
    orv::ImportOutcome outcome;
    {
        const WaitCursor busy;
        CWorkProgress progress(this, QStringLiteral("正在导入记录……"), true);
        outcome = orv::storeImport(*conn, entries, categories, g_strCurUser, progress.Reporter());
    }
    switch (outcome.result) {
    case orv::ImportOutcome::Result::Cancelled:
        ShowMessage(this, QStringLiteral("导入已取消，没有导入任何记录。"), QString(), MsgIcon::Information);
        return;
    case orv::ImportOutcome::Result::Failed:
        ShowMessage(this, QStringLiteral("导入失败，没有导入任何记录。\n") + DbErrorText(outcome.error), QString(),
                    MsgIcon::Stop);
        return;
    case orv::ImportOutcome::Result::Stored:
        break;
    }
    AppBook().announce(outcome.changes);
    QString done = QStringLiteral("导入了 %1 条记录，跳过 %2 条").arg(outcome.entriesStored).arg(skipped);
    if (outcome.categoriesAdded > 0)
        done += QStringLiteral("\n名目列表中添加了 %1 个新名目。").arg(outcome.categoriesAdded);
    ShowMessage(this, done, QString(), MsgIcon::Information);
}
