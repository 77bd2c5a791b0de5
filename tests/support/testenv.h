#pragma once

#include <QString>
#include <QtTest>
#include <unistd.h>

namespace kalvorin::test {

// Puts QStandardPaths in test mode, names the app, and gives the process a
// private runtime folder, so settings and the cookie file of a test never touch
// the developer's own. Call first thing in main (see KALVORIN_TEST_MAIN).
void prepareEnvironment();

// Removes every stored setting and the cookie file: a first launch.
void resetStoredState();

// A shown text written with its isolated runs marked, "<…>" a left-to-right run and "{…}" a run
// of its own direction, turned into the invisible isolates the screens hold:
//     withIsolates("البلاغ <MNT-1>")
QString withIsolates(const QString& marked);

} // namespace kalvorin::test

// QTEST_GUILESS_MAIN with the environment prepared before anything runs.
#define KALVORIN_TEST_MAIN(TestObject)                                                                       \
    int main(int argc, char** argv) {                                                                        \
        QCoreApplication app(argc, argv);                                                                    \
        kalvorin::test::prepareEnvironment();                                                                \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
