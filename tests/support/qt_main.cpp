// Test entry point for suites that need a QApplication; runs headless unless
// a platform was chosen explicitly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>
#include <QLocale>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef THRUSTLET_TEST_FONT_DIR
    // Windows' offscreen platform reads its fonts from one folder. (Set
    // here: Wine passes no QT_ variable on to the programs it runs.)
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR")) qputenv("QT_QPA_FONTDIR", THRUSTLET_TEST_FONT_DIR);
#endif
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
