#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    // Test discovery runs the binary without the test environment.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr)
        setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillstar"));
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
