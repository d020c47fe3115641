// SPDX-License-Identifier: Apache-2.0
#include "workbench/WorkbenchHook.h"

#include <QAction>

#include "workbench/LadderWorkbench.h"
#include "workbench/MainWindow.h"

namespace corvane {

namespace {

const char* const kWindowName = "LadderWorkbench";

LadderWorkbench* OpenWorkbench(MainWindow* owner)
{
    LadderWorkbench* window = WorkbenchOf(*owner);
    if (!window) {
        // A child of the main window: it stays above it and closes with it.
        window = new LadderWorkbench(owner->DesignWindow(), owner);
        window->setObjectName(QString::fromLatin1(kWindowName));
        window->SetSettings(owner->ExactSettings());
        QObject::connect(window, &LadderWorkbench::SettingsChanged, owner,
                         [owner, window] { owner->SetExactSettings(window->Settings()); });
        QObject::connect(owner, &MainWindow::ExactSettingsLoaded, window, &LadderWorkbench::SetSettings);
        QObject::connect(owner, &MainWindow::DesignCleared, window, &LadderWorkbench::DropDesign);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

LadderWorkbench* WorkbenchOf(const MainWindow& main)
{
    return main.findChild<LadderWorkbench*>(QString::fromLatin1(kWindowName), Qt::FindDirectChildrenOnly);
}

void AttachWorkbench(MainWindow& main)
{
    MainWindow* owner = &main;
    QObject::connect(main.WorkbenchAction(), &QAction::triggered, owner, [owner] { OpenWorkbench(owner); });
    QObject::connect(main.ToleranceAction(), &QAction::triggered, owner,
                     [owner] { OpenWorkbench(owner)->ShowTab(LadderWorkbench::ToleranceTabIndex); });
}

} // namespace corvane
