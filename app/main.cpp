#include <QApplication>
#include <QIcon>

#include "window/TFMain.h"
#include "workbench/ExactResponseHook.h"
#include "workbench/MainWindow.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("corvane")));
    MainWindow FMain;
    AttachExactResponseWindow(FMain);
    FMain.show();
    return application.exec();
}
