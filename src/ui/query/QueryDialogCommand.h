#pragma once

class CLedgerDlg;

// Runs the query dialog over the main window (the query module's first
// operation button and the query list's context menu).
void RunQueryDialog(CLedgerDlg *owner);
