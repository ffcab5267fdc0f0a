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
    // Program folder, book check and data-source registration; false when
    // the program must end (no book).
    static bool PrepareBook();
};
