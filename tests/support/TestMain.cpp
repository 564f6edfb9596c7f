// main() of every test executable: a QApplication on the offscreen platform with a screen
// of 1920 x 1200 (support/screen.json, the size the end-to-end tests use) under Czech
// regional settings (a comma as the decimal separator), then GoogleTest. QApplication sets
// the C library's locale from LC_ALL, as in the program, so the system's error texts come
// in Czech where cs_CZ.UTF-8 is generated. A run of the archive's tests on PostgreSQL
// without a server is skipped whole, with the reason (support/ArchiveBackends.h).
#include <QApplication>
#include <gtest/gtest.h>

#include "support/ArchiveBackends.h"

#include <cstdio>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VELIMOR_TEST_SCREEN);
    qputenv("LC_ALL", "cs_CZ.UTF-8");
    qputenv("LANG", "cs_CZ.UTF-8");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // The line ctest takes for a skip (gtest_discover_tests' SKIP_REGULAR_EXPRESSION).
    const QString reason = testing_support::postgresSkipReason();
    if (!reason.isEmpty() && !::testing::GTEST_FLAG(list_tests)) {
        std::printf("[  SKIPPED ] %s\n", reason.toLocal8Bit().constData());
        return 0;
    }
    return RUN_ALL_TESTS();
}
