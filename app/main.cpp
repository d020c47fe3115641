// SPDX-License-Identifier: Apache-2.0
#include <QApplication>
#include <QIcon>
#include <iostream>

#include "app/InfoOptions.h"
#include "window/TFMain.h"
#include "workbench/MainWindow.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

int main(int argc, char* argv[])
{
    if (const auto status = AnswerInfoOptions(argc, argv, std::cout)) return *status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    // Where QSettings keeps the recent files.
    QApplication::setOrganizationName(kApplicationTitle);
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("corvane")));
    MainWindow FMain;
    AttachWorkbench(FMain);
    FMain.show();
    FMain.OpenFromCommandLine(QApplication::arguments());
    return application.exec();
}
