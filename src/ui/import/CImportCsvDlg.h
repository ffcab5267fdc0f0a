#pragma once

#include "import/ImportCheck.h"
#include "import/ImportLayout.h"
#include "import/ImportStore.h"

#include <QByteArray>
#include <QDialog>
#include <QHash>

class CImportPreviewModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// What the book holds that the import is checked against.
struct ImportBookView
{
    orv::EntryKeys entries;                        // for duplicates
    QHash<orv::RecordKind, QStringList> categories; // each kind's list
};

// The CSV import dialog: shows how the file was read (encoding, separator,
// header, what each column holds, where the kinds come from, the order of
// slash dates) so the user can correct each guess, and every record of the
// file as it would be stored, with its problems. Rows with problems are
// skipped; likely duplicates are skipped unless ticked. The dialog stores
// nothing: its caller stores what it chose.
class CImportCsvDlg final : public QDialog
{
    Q_OBJECT

public:
    CImportCsvDlg(const QString &fileName, QByteArray bytes, ImportBookView book, orv::RecordKind fallbackKind,
                  QWidget *parent = nullptr);

    const orv::ImportLayout &Layout() const { return m_layout; }
    const QList<orv::ImportRow> &Rows() const;
    // The entries of the ticked rows, in file order.
    QList<orv::ImportEntry> EntriesToStore() const;
    // The new categories of the ticked rows, when the user agrees to add them.
    QList<QPair<orv::RecordKind, QString>> CategoriesToAdd() const;
    // Records of the file that will not be stored.
    qsizetype SkippedCount() const;
    // Ticks or unticks a row (one without problems).
    bool SetChosen(int row, bool chosen);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls(const QString &fileName);
    // The file read again (encoding, separator) and its columns guessed anew.
    void OnReadingChanged();
    // The header ticked or not: same columns, new captions.
    void OnHeaderChanged();
    // What a column holds, where kinds come from, the date order.
    void OnMeaningChanged();
    void FillColumnBoxes();
    void ShowLayout();
    void TakeLayoutFromControls();
    void Recheck();
    void UpdateSummary();
    void OnImport();

    QByteArray m_bytes;
    ImportBookView m_book;
    orv::RecordKind m_fallbackKind;
    orv::ImportLayout m_layout;
    orv::ImportTable m_table;
    orv::ImportCheck m_check;
    // What the user ticked or unticked, by line of the file.
    QHash<int, bool> m_choices;
    bool m_bShowing = false;

    QComboBox *m_pEncoding = nullptr;
    QComboBox *m_pSeparator = nullptr;
    QCheckBox *m_pHeader = nullptr;
    QComboBox *m_pKindSource = nullptr;
    QComboBox *m_pKindColumn = nullptr;
    QComboBox *m_pDateColumn = nullptr;
    QComboBox *m_pItemsColumn = nullptr;
    QComboBox *m_pAmountColumn = nullptr;
    QComboBox *m_pRemarkColumn = nullptr;
    QComboBox *m_pDateOrder = nullptr;
    QTableView *m_pPreview = nullptr;
    CImportPreviewModel *m_pModel = nullptr;
    QLabel *m_pSummary = nullptr;
    QLabel *m_pEncodingNote = nullptr;
    QCheckBox *m_pAddCategories = nullptr;
    QLabel *m_pNewCategories = nullptr;
    QPushButton *m_pImport = nullptr;
};
