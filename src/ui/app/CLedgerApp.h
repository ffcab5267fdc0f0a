#pragma once

#include <QApplication>

// The application: finds the book in the working directory, registers its
// data source and runs the main window until it closes.
class CLedgerApp final : public QApplication
{
    Q_OBJECT

public:
    CLedgerApp(int &argc, char **argv);

    // The start-up steps; answers the process's exit code.
    int InitInstance();

    // Chinese texts on Qt's own buttons and dialogs, the dialog font, the icon.
    static void SetUpLookAndLanguage();
    // Program folder, the book to work on (--book, orvendal.ini, or the
    // folder's file), book check and data-source registration; false when
    // the program must end (no book that opens).
    static bool PrepareBook(const QStringList &arguments = {});

private:
    // The book of the run, from the command line or the program folder's
    // orvendal.ini; false (after telling why) when it cannot be used.
    static bool ChooseBook(const QStringList &arguments);
    // The book opens and is a book; a file book that does not is offered a
    // restore from a backup, a server book's failure is told.
    static bool CheckBookOpens();
};
