#pragma once

#include "support/ModalGuard.h"

#include <QApplication>
#include <QTest>

// QTEST_MAIN for the widget tests: the same application and arguments, with
// the guard against modal windows that no step expected.
#define ORV_WIDGET_TEST_MAIN(TestObject)                                                                               \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        ModalGuard::Install();                                                                                         \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
