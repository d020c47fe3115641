// SPDX-License-Identifier: Apache-2.0
#include "workbench/ExactResponseHook.h"

#include <QAction>

#include "workbench/ExactResponseWindow.h"
#include "workbench/MainWindow.h"

namespace {

const char* const kWindowName = "ExactResponseWindow";

} // namespace

ExactResponseWindow* ExactResponseWindowOf(const MainWindow& main)
{
    return main.findChild<ExactResponseWindow*>(QString::fromLatin1(kWindowName), Qt::FindDirectChildrenOnly);
}

void AttachExactResponseWindow(MainWindow& main)
{
    MainWindow* owner = &main;
    QObject::connect(main.ExactResponseAction(), &QAction::triggered, owner, [owner] {
        ExactResponseWindow* window = ExactResponseWindowOf(*owner);
        if (!window) {
            // A child of the workbench: it stays above it and closes with it.
            window = new ExactResponseWindow(owner->DesignWindow(), owner);
            window->setObjectName(QString::fromLatin1(kWindowName));
            window->SetSettings(owner->ExactSettings());
            QObject::connect(window, &ExactResponseWindow::SettingsChanged, owner,
                             [owner, window] { owner->SetExactSettings(window->Settings()); });
            QObject::connect(owner, &MainWindow::ExactSettingsLoaded, window, &ExactResponseWindow::SetSettings);
        }
        window->show();
        window->raise();
        window->activateWindow();
    });
}
