#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norva"));
    QApplication::setOrganizationName(QStringLiteral("Norva"));
    // Start-up grows here: defaults, menus, the previous session.
    return QApplication::exec();
}
